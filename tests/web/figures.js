// The browser build's figures, measured in headless Chromium: what the page
// downloads (plain and gzip-compressed), page load to the intro on a first
// visit and offline from the service worker's cache, Enter to the first
// frame of play (the first press and later ones), the cost of showing a
// frame, the length of 1,000 steps of play on a quiet machine and beside two
// busy processes, long tasks, and the two ways of putting a frame on a
// canvas (2D putImageData or a WebGL texture). tests/web/throttled.js
// measures builds side by side on a slowed processor.
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
            path: marchfireHost.screen.path(), turns: marchfireHost.pace.turns.longest, turnMean: marchfireHost.pace.turns.totalMs / marchfireHost.pace.turns.count,
            // A turn that ends at a flip (-1) did a step's work; before the
            // flip waited for the display, one that ends in a rest of 10 ms or more.
            stepWork: marchfireHost.pace.turns.recent.filter((t) => t[1] === -1 || (t[1] >= 10 && t[1] <= 15)).map((t) => t[0])};
  }, from);
  await page.close();
  const gaps = [];
  for (let i = 1; i < seen.shownAt.length; i++) gaps.push(seen.shownAt[i] - seen.shownAt[i - 1]);
  const kept = gaps.slice(0, steps);
  return {gaps: kept, mean: kept.reduce((a, b) => a + b, 0) / kept.length, showMs: seen.showMs.slice(0, steps), path: seen.path, longTasks: seen.longTasks, turns: seen.turns, turnMean: seen.turnMean, stepWork: seen.stepWork};
}

// The same frame put on a canvas each way, 400 times at the game's pace (a
// timer every 15 ms), a new frame each time: the call's own time, and the
// page's main thread busy over the run (DevTools' Performance.getMetrics),
// which also holds what the browser does with the canvas after the call.
async function uploadWays(browser, url) {
  const result = {};
  for (const way of ['putImageData', 'webgl']) {
    const page = await browser.newPage();
    await page.goto(url + 'favicon.png');
    const cdp = await page.target().createCDPSession();
    await cdp.send('Performance.enable');
    const metrics = async () => Object.fromEntries((await cdp.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value]));
    const started = await page.evaluate((way) => {
      const width = 1024, height = 768, rounds = 400;
      const frames = [0, 1].map((k) => {
        const words = new Uint32Array(width * height);
        for (let i = 0; i < words.length; i++) words[i] = ((i * 2654435761) >>> (k + 8)) & 0xFFFFFF;
        return words;
      });
      const canvas = document.createElement('canvas');
      canvas.width = width; canvas.height = height;
      canvas.style.cssText = 'display:block;width:100vw;height:100vh;object-fit:contain;image-rendering:pixelated';
      document.body.appendChild(canvas);
      let show;
      if (way === 'putImageData') {
        const ctx = canvas.getContext('2d', {alpha: false});
        const images = frames.map((f) => new ImageData(new Uint8ClampedArray(f.buffer), width, height));
        show = (i) => ctx.putImageData(images[i & 1], 0, 0);
      } else {
        const gl = canvas.getContext('webgl', {alpha: false, antialias: false, depth: false, stencil: false});
        if (!gl) return false;
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
            'precision highp float; varying vec2 uv; uniform sampler2D t; void main() { gl_FragColor = vec4(texture2D(t, uv).bgr, 1.0); }'));
        gl.linkProgram(program);
        gl.useProgram(program);
        gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
        gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
        gl.enableVertexAttribArray(0);
        gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
        gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
        const bytes = frames.map((f) => new Uint8Array(f.buffer));
        const info = gl.getExtension('WEBGL_debug_renderer_info');
        window.renderer = gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER);
        show = (i) => {
          gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, bytes[i & 1]);
          gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
        };
      }
      window.run = {times: [], at: []};
      let i = 0;
      const tick = () => {
        const t = performance.now();
        show(i++);
        window.run.times.push(performance.now() - t);
        window.run.at.push(t);
        if (i < rounds) setTimeout(tick, 15);
      };
      setTimeout(tick, 15);
      return true;
    }, way);
    if (started) {
      const before = await metrics();
      await waitFor(`400 frames by ${way}`, () => page.evaluate(() => window.run.times.length >= 400), 120000, 200);
      const after = await metrics();
      const run = await page.evaluate(() => window.run);
      result[way] = {times: run.times, perS: (run.at.length - 1) / ((run.at[run.at.length - 1] - run.at[0]) / 1000),
                     busy: (after.TaskDuration - before.TaskDuration) / (after.Timestamp - before.Timestamp),
                     renderer: await page.evaluate(() => window.renderer)};
    }
    await page.close();
  }
  return result;
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
    check(quantile(play.showMs, 0.5) <= 2, `showing a frame (${play.path}), ${play.showMs.length} frames: median ${ms(quantile(play.showMs, 0.5))}, 95% ${ms(quantile(play.showMs, 0.95))}, max ${ms(Math.max(...play.showMs))} (bound: median 2 ms)`);
    check(Math.max(...play.gaps) <= 34, `steps of play, ${play.gaps.length}: mean ${ms(play.mean)}, median ${ms(quantile(play.gaps, 0.5))}, 95% ${ms(quantile(play.gaps, 0.95))}, 99% ${ms(quantile(play.gaps, 0.99))}, longest ${ms(Math.max(...play.gaps))} (bound 34 ms)`);
    check(play.longTasks.length === 0, `long tasks (> 50 ms) during those steps: ${play.longTasks.length} ${JSON.stringify(play.longTasks.map((t) => t.duration))}`);
    console.log(`     the game's work in a step: median ${ms(quantile(play.stepWork, 0.5))}, 95% ${ms(quantile(play.stepWork, 0.95))}; its turns on the page's thread: mean ${ms(play.turnMean)}, longest ${play.turns.map((t) => t.ms.toFixed(1)).join(', ')} ms`);

    const ways = await uploadWays(browser, url);
    for (const [way, r] of Object.entries(ways)) {
      console.log(`     ${way === 'webgl' ? `WebGL texture + draw (${r.renderer})` : 'putImageData'}, 1024 x 768 every 15 ms: ${r.perS.toFixed(1)} frames/s, the call median ${ms(quantile(r.times, 0.5))}, 95% ${ms(quantile(r.times, 0.95))}; main thread busy ${(r.busy * 100).toFixed(1)} %`);
    }
    if (!ways.webgl) console.log('     WebGL: no context in this browser');
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
