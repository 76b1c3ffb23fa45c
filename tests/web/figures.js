// The browser build's figures, measured in headless Chromium: what the page
// downloads (plain and gzip-compressed), page load to the intro on a first
// visit and offline from the service worker's cache, Enter to the first
// frame of play (the first press and later ones), the cost of showing a
// frame, the length of 1,000 steps of play on a quiet machine and beside two
// busy processes, long tasks, and the two ways of
// putting a frame on a canvas (2D putImageData or a WebGL texture).
//
// usage: node figures.js <dist/web>      (scripts/bench-web.sh runs it)
'use strict';
const {spawn} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {sleep, waitFor, launch, sizeBounds, downloadSize} = require('./browser.js');
const {serve} = require('./static_server.js');

const site = process.argv[2];
if (!site) throw new Error('usage: node figures.js <dist/web>');

function quantile(values, q) {
  const sorted = values.slice().sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
}
const ms = (v) => `${v.toFixed(2)} ms`;

const introAt = (page) => waitFor('the intro', () => page.evaluate(() => marchfireHost.screen.stats.firstFrameAt), 10000);
const enterToPlay = (page) => waitFor('the first frame of play', () => page.evaluate(() => {
  const measures = performance.getEntriesByName('marchfire-enter-to-play');
  return measures.length > 0 ? measures[measures.length - 1].duration : null;
}));

// Each a first visit, in a browser context of its own; then Enter, a second
// after the intro: the first press; then the page again with no network,
// from the service worker's cache.
async function visits(browser, url, times) {
  const result = {loads: [], enters: [], offline: []};
  for (let i = 0; i < times; i++) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(url, {waitUntil: 'load'});
    result.loads.push(await introAt(page));
    await sleep(1000);
    await page.keyboard.press('Enter');
    result.enters.push(await enterToPlay(page));
    await waitFor('the service worker', () => page.evaluate(() => navigator.serviceWorker.controller !== null), 10000);
    await page.setOfflineMode(true);
    await page.reload({waitUntil: 'load'});
    result.offline.push(await introAt(page));
    await context.close();
  }
  return result;
}

// Enter at the death picture: standing in the open until shot, a few times.
async function laterPresses(browser, url, times) {
  const page = await browser.newPage();
  await page.goto(url, {waitUntil: 'load'});
  await introAt(page);
  await page.keyboard.press('Enter');
  const result = [];
  const dead = () => page.evaluate(() => marchfireHost.pace.waitingForKey());
  for (const end = Date.now() + 120000; result.length < times && Date.now() < end;) {
    await page.keyboard.down('ArrowRight');
    await sleep(700);
    await page.keyboard.up('ArrowRight');
    if (!(await waitFor('a death', dead, end - Date.now(), 100).catch(() => false))) break;
    await page.evaluate(() => performance.clearMeasures());
    await page.keyboard.press('Enter');
    result.push(await enterToPlay(page));
  }
  await page.close();
  return result;
}

// Two processes that take a core each while `work` runs.
async function besideBusyProcesses(work) {
  const busy = [0, 1].map(() => spawn('sh', ['-c', 'while :; do :; done'], {stdio: 'ignore'}));
  try {
    return await work();
  } finally {
    busy.forEach((child) => child.kill());
  }
}

// 1,000 steps of play behind the left shield, where no enemy shot can reach.
async function playSteps(browser, url, steps) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    window.longTasks = [];
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) window.longTasks.push({start: e.startTime, duration: e.duration});
    }).observe({type: 'longtask', buffered: true});
  });
  await page.goto(url, {waitUntil: 'load'});
  await waitFor('the intro', () => page.evaluate(() => marchfireHost.screen.stats.frames > 0), 10000);
  await page.keyboard.press('Enter');
  await waitFor('play', () => page.evaluate(() => marchfireHost.screen.stats.frames > 1), 5000);
  const from = await page.evaluate(() => ({frames: marchfireHost.screen.stats.frames, at: performance.now()}));
  await waitFor(`${steps} steps`, () => page.evaluate((n) => marchfireHost.screen.stats.frames >= n, from.frames + steps + 1),
                steps * 40);
  const seen = await page.evaluate((f) => {
    const s = marchfireHost.screen.stats;
    const recent = s.frames - f.frames;
    return {shownAt: s.shownAt.slice(-recent), showMs: s.showMs.slice(-recent), longTasks: window.longTasks.filter((t) => t.start > f.at),
            turns: marchfireHost.pace.turns.longest, turnMean: marchfireHost.pace.turns.totalMs / marchfireHost.pace.turns.count,
            // A turn that ends in a rest of 10 ms or more did a step's work.
            stepWork: marchfireHost.pace.turns.recent.filter((t) => t[1] >= 10 && t[1] <= 15).map((t) => t[0])};
  }, from);
  await page.close();
  const gaps = [];
  for (let i = 1; i < seen.shownAt.length; i++) gaps.push(seen.shownAt[i] - seen.shownAt[i - 1]);
  const kept = gaps.slice(0, steps);
  return {gaps: kept, mean: kept.reduce((a, b) => a + b, 0) / kept.length, showMs: seen.showMs.slice(0, steps), longTasks: seen.longTasks, turns: seen.turns, turnMean: seen.turnMean, stepWork: seen.stepWork};
}

// The same frame put on a canvas both ways, 200 times each, a new frame each time.
async function uploadWays(browser, url) {
  const page = await browser.newPage();
  await page.goto(url + 'favicon.png');
  return page.evaluate(() => {
    const width = 1024, height = 768, rounds = 200;
    const frames = [0, 1].map((k) => {
      const words = new Uint32Array(width * height);
      for (let i = 0; i < words.length; i++) words[i] = ((i * 2654435761) >>> (k + 8)) & 0xFFFFFF;
      return words;
    });
    const result = {};

    const c2 = document.createElement('canvas');
    c2.width = width; c2.height = height;
    document.body.appendChild(c2);
    const ctx = c2.getContext('2d', {alpha: false});
    const images = frames.map((f) => new ImageData(new Uint8ClampedArray(f.buffer), width, height));
    const times2d = [];
    for (let i = 0; i < rounds; i++) {
      const t = performance.now();
      ctx.putImageData(images[i & 1], 0, 0);
      ctx.getImageData(0, 0, 1, 1);  // wait for the canvas to take it
      times2d.push(performance.now() - t);
    }
    result.putImageData = times2d;

    const cg = document.createElement('canvas');
    cg.width = width; cg.height = height;
    document.body.appendChild(cg);
    const gl = cg.getContext('webgl', {alpha: false, antialias: false});
    if (!gl) {
      result.webgl = null;
      return result;
    }
    const shader = (type, source) => {
      const s = gl.createShader(type);
      gl.shaderSource(s, source);
      gl.compileShader(s);
      return s;
    };
    const program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER,
        'attribute vec2 p; varying vec2 uv; void main() { uv = vec2(p.x + 1.0, 1.0 - p.y) * 0.5; gl_Position = vec4(p, 0.0, 1.0); }'));
    // The game's words are the bytes B, G, R, 0: swizzled back in the shader.
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
        'precision mediump float; varying vec2 uv; uniform sampler2D t; void main() { gl_FragColor = vec4(texture2D(t, uv).bgr, 1.0); }'));
    gl.linkProgram(program);
    gl.useProgram(program);
    const buffer = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
    const at = gl.getAttribLocation(program, 'p');
    gl.enableVertexAttribArray(at);
    gl.vertexAttribPointer(at, 2, gl.FLOAT, false, 0, 0);
    const texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
    const bytes = frames.map((f) => new Uint8Array(f.buffer));
    const timesGl = [];
    for (let i = 0; i < rounds; i++) {
      const t = performance.now();
      gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, bytes[i & 1]);
      gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
      gl.finish();
      timesGl.push(performance.now() - t);
    }
    result.webgl = timesGl;
    result.renderer = gl.getParameter(gl.RENDERER);
    return result;
  });
}

(async () => {
  const userDir = fs.mkdtempSync(path.join(os.tmpdir(), 'marchfire-chromium-'));
  const {server, url} = await serve(site);
  const browser = await launch(userDir);
  let failed = false;
  const check = (ok, line) => {
    console.log(`${ok ? 'ok  ' : 'MISS'} ${line}`);
    if (!ok) failed = true;
  };
  try {
    const size = downloadSize(site);
    console.log(`download (${fs.readdirSync(site).length} files):`);
    size.rows.forEach((row) => console.log(row));
    check(size.raw <= sizeBounds.raw, `everything as plain files: ${size.raw} B (bound 1 MB)`);
    check(size.gz <= sizeBounds.gz, `everything gzip-compressed: ${size.gz} B (bound 600 kB)`);

    const visited = await visits(browser, url, 5);
    const loads = visited.loads, offline = visited.offline;
    check(quantile(loads, 0.5) <= 1000, `page load to intro, first visits, 5 loads: median ${ms(quantile(loads, 0.5))}, slowest ${ms(Math.max(...loads))} (bound 1 s)`);
    check(quantile(offline, 0.5) <= 1000, `page load to intro, offline from the worker's cache, 5 loads: median ${ms(quantile(offline, 0.5))}, slowest ${ms(Math.max(...offline))} (bound 1 s)`);
    check(quantile(visited.enters, 0.5) <= 20, `Enter to the first frame of play, first press, 5 visits: ${visited.enters.map((v) => v.toFixed(1)).join(', ')} ms (bound: median 20 ms)`);
    const later = await laterPresses(browser, url, 3);
    check(later.length > 0 && quantile(later, 0.5) <= 20, `Enter to the first frame of play, later presses (death pictures): ${later.map((v) => v.toFixed(1)).join(', ')} ms (bound: median 20 ms)`);

    const busy = await besideBusyProcesses(() => playSteps(browser, url, 1000));
    console.log(`     steps of play beside two busy processes, ${busy.gaps.length}: mean ${ms(busy.mean)}, 95% ${ms(quantile(busy.gaps, 0.95))}, longest ${ms(Math.max(...busy.gaps))}`);
    const play = await playSteps(browser, url, 1000);
    check(quantile(play.showMs, 0.5) <= 2, `showing a frame (byte order + putImageData), ${play.showMs.length} frames: median ${ms(quantile(play.showMs, 0.5))}, 95% ${ms(quantile(play.showMs, 0.95))}, max ${ms(Math.max(...play.showMs))} (bound: median 2 ms)`);
    check(Math.max(...play.gaps) <= 34, `steps of play, ${play.gaps.length}: mean ${ms(play.mean)}, median ${ms(quantile(play.gaps, 0.5))}, 95% ${ms(quantile(play.gaps, 0.95))}, 99% ${ms(quantile(play.gaps, 0.99))}, longest ${ms(Math.max(...play.gaps))} (bound 34 ms)`);
    check(play.longTasks.length === 0, `long tasks (> 50 ms) during those steps: ${play.longTasks.length} ${JSON.stringify(play.longTasks.map((t) => t.duration))}`);
    console.log(`     the game's work in a step: median ${ms(quantile(play.stepWork, 0.5))}, 95% ${ms(quantile(play.stepWork, 0.95))}; its turns on the page's thread: mean ${ms(play.turnMean)}, longest ${play.turns.map((t) => t.ms.toFixed(1)).join(', ')} ms`);

    const ways = await uploadWays(browser, url);
    console.log(`     putImageData of a 1024 x 768 frame: median ${ms(quantile(ways.putImageData, 0.5))}, 95% ${ms(quantile(ways.putImageData, 0.95))}`);
    if (ways.webgl) {
      console.log(`     WebGL texture upload + draw (${ways.renderer}): median ${ms(quantile(ways.webgl, 0.5))}, 95% ${ms(quantile(ways.webgl, 0.95))}`);
    } else {
      console.log('     WebGL: no context in this browser');
    }
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(userDir, {recursive: true, force: true});
  }
  process.exit(failed ? 1 : 0);
})().catch((error) => {
  console.error(error.stack || error);
  process.exit(1);
});
