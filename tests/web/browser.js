// Shared by the browser test and the figures: headless Chromium, started
// the same way for both, a bounded wait, and the build's size.
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Polls `check` until it gives something true, which it returns; past the
// limit it throws, naming what it waited for.
async function waitFor(what, check, timeoutMs = 5000, everyMs = 25) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out after ${timeoutMs} ms waiting for ${what}`);
    await sleep(everyMs);
  }
}

// The installed Chromium, headless, with a profile of its own in `userDir`
// and nothing fetched from the network on its own account. With no GPU its
// WebGL is SwiftShader's, which Chromium 156 still gives on its own but
// names as a fallback it means to drop: asked for by name, it stays.
function launch(userDir) {
  return puppeteer.launch({
    executablePath: process.env.MARCHFIRE_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    protocolTimeout: 30000,
    args: ['--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           `--user-data-dir=${userDir}`],
  });
}

// Every file of the build, plain and gzipped (level 6, as a web server
// would), against its bounds: 1 MB and 600 kB.
const sizeBounds = {raw: 1000000, gz: 600000};
function downloadSize(site) {
  let raw = 0, gz = 0;
  const rows = [];
  for (const name of fs.readdirSync(site).sort()) {
    const bytes = fs.readFileSync(path.join(site, name));
    const packed = zlib.gzipSync(bytes, {level: 6}).length;
    raw += bytes.length;
    gz += packed;
    rows.push(`    ${name.padEnd(22)} ${String(bytes.length).padStart(9)} B  gzip ${String(packed).padStart(7)} B`);
  }
  return {raw, gz, rows};
}

module.exports = {sleep, waitFor, launch, sizeBounds, downloadSize};
