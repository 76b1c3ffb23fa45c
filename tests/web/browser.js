// Shared by the browser test and the figures: headless Chromium, started
// the same way for both, and a bounded wait.
'use strict';
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
// and nothing fetched from the network on its own account.
function launch(userDir) {
  return puppeteer.launch({
    executablePath: process.env.MARCHFIRE_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    protocolTimeout: 30000,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           `--user-data-dir=${userDir}`],
  });
}

module.exports = {sleep, waitFor, launch};
