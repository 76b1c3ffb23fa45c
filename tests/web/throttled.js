// Builds measured side by side: the same play in each, taken in turn round
// after round, so that the shared machine's load falls on all of them alike.
// In headless Chromium, for each build and round: the intro waiting for a
// key, then play and the pause at full speed, then play with the page's
// processor slowed 4 and 6 times (DevTools' CPU throttling, the usual
// stand-ins for a mid-range and a low-end phone), the last also beside two
// busy processes. Then Firefox, where puppeteer drives it, and WebKitGTK's
// MiniBrowser under Xvfb through its WebDriver (no throttling there: play at
// full speed and the two waits; WebKit with and without compositing).
//
// In play, every refresh of the display (requestAnimationFrame) counts the
// frames the program handed to the page since the refresh before: 1 is a
// step shown at each refresh; 2 or more, a step never shown; 0, the last
// frame shown again.
//
// Play is 8 s behind the left shield, where no enemy shot reaches. Each
// figure comes from the page's own records (when each frame was shown, what
// showing it cost) and DevTools' `Performance.getMetrics` (the time the
// page's main thread spent in tasks, and in script); and the processor time
// (/proc) of the renderer's main thread, of the page's processes and of all
// the browser's processes.
//
// usage: node throttled.js [--rounds N] [--no-firefox] [--no-webkit] [--full-speed-only] LABEL=SITE...
//        (scripts/bench-web.sh runs it with the build before and this one)
'use strict';
const {spawn} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const {sleep, waitFor, launch} = require('./browser.js');
const {launchEngine} = require('./engines.js');
const {serve} = require('./static_server.js');

const args = process.argv.slice(2);
let rounds = 3, firefox = true, webkit = true, slowed = true;
const sites = [];
for (let i = 0; i < args.length; i++) {
  if (args[i] === '--rounds') rounds = Number(args[++i]);
  else if (args[i] === '--no-firefox') firefox = false;
  else if (args[i] === '--no-webkit') webkit = false;
  else if (args[i] === '--full-speed-only') slowed = false;
  else {
    const [label, folder] = args[i].split('=');
    if (!folder) throw new Error('usage: node throttled.js [--rounds N] [--no-firefox] [--full-speed-only] LABEL=SITE...');
    sites.push({label, folder});
  }
}
if (sites.length === 0) throw new Error('usage: node throttled.js [--rounds N] [--no-firefox] [--full-speed-only] LABEL=SITE...');

const playMs = 8000, waitMs = 5000;
const quantile = (values, q) => {
  const sorted = values.slice().sort((a, b) => a - b);
  return sorted.length ? sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))] : NaN;
};
const mean = (values) => values.reduce((a, b) => a + b, 0) / values.length;

// User + system time, in seconds, of a process and all its descendants, and
// of those among them that are Chromium's renderers (the page's processes):
// processor time, which a busy machine does not stretch as it does the
// main thread's task times.
function treeCpu(rootPid) {
  const parent = {}, ticks = {};
  for (const name of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${name}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      parent[name] = fields[1];
      ticks[name] = Number(fields[11]) + Number(fields[12]);
    } catch (e) { /* gone meanwhile */ }
  }
  const total = {all: 0, renderer: 0, pids: {}};
  for (const pid of Object.keys(ticks)) {
    for (let p = pid; p && p !== '0' && p !== '1'; p = parent[p]) {
      if (p !== String(rootPid)) continue;
      let renderer = false, mainThread = 0;
      try {
        renderer = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes('--type=renderer');
        // The renderer's main thread is the task with the process's own id.
        const stat = fs.readFileSync(`/proc/${pid}/task/${pid}/stat`, 'utf8');
        const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
        mainThread = Number(fields[11]) + Number(fields[12]);
      } catch (e) { /* gone */ }
      total.pids[pid] = {ticks: ticks[pid], renderer, mainThread};
      break;
    }
  }
  return total;
}

// The processor time of those processes between two looks, in seconds:
// processes that ended meanwhile are left out rather than counted as less.
function cpuBetween(before, after) {
  const spent = {all: 0, renderer: 0, main: 0};
  for (const [pid, now] of Object.entries(after.pids)) {
    const was = before.pids[pid] || {ticks: 0, mainThread: 0};
    spent.all += (now.ticks - was.ticks) / 100;  // USER_HZ
    if (!now.renderer) continue;
    spent.renderer += (now.ticks - was.ticks) / 100;
    spent.main += (now.mainThread - was.mainThread) / 100;
  }
  return spent;
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

// Counts, at each refresh, the frames handed over since the one before
// (both builds hand each step's frame to screen.show).
function countRefreshes() {
  const counts = window.refreshCounts = {byNew: [0, 0, 0], handed: 0, seen: 0, on: true};
  const show = marchfireHost.screen.show;
  marchfireHost.screen.show = function (...args) {
    counts.handed += 1;
    return show.apply(this, args);
  };
  const look = () => {
    if (!counts.on) return;
    counts.byNew[Math.min(counts.handed - counts.seen, 2)] += 1;
    counts.seen = counts.handed;
    requestAnimationFrame(look);
  };
  requestAnimationFrame(() => {
    counts.seen = counts.handed;
    requestAnimationFrame(look);
  });
}

// What one window of `ms` costs: the main thread's busy share (Chromium),
// all the browser's processes' CPU, and the frames shown in it.
async function measure(page, browserPid, cdp, ms, refreshes = false) {
  const metrics = async () => {
    if (!cdp) return null;
    const m = {};
    for (const {name, value} of (await cdp.send('Performance.getMetrics')).metrics) m[name] = value;
    return m;
  };
  if (refreshes) await page.evaluate(`(${countRefreshes})()`);
  const before = await metrics();
  const cpuBefore = browserPid ? treeCpu(browserPid) : null;
  // Steps are frames handed over: a build that shows each one at a
  // refresh counts only those it shows.
  const from = await page.evaluate(() => ({frames: marchfireHost.screen.stats.handed ?? marchfireHost.screen.stats.frames,
                                          shown: marchfireHost.screen.stats.frames, at: performance.now()}));
  await sleep(ms);
  const after = await metrics();
  const cpuAfter = browserPid ? treeCpu(browserPid) : null;
  const seen = await page.evaluate((f) => {
    const s = marchfireHost.screen.stats;
    const shown = s.frames - f.shown;
    const counts = window.refreshCounts;
    if (counts) counts.on = false;
    return {frames: (s.handed ?? s.frames) - f.frames, at: performance.now() - f.at, shownAt: s.shownAt.slice(-shown),
            showMs: s.showMs.slice(-shown), path: marchfireHost.screen.path ? marchfireHost.screen.path() : '2d',
            byNew: counts ? counts.byNew.slice() : null};
  }, from);
  const gaps = [];
  for (let i = 1; i < seen.shownAt.length; i++) gaps.push(seen.shownAt[i] - seen.shownAt[i - 1]);
  const cpu = cpuBefore ? cpuBetween(cpuBefore, cpuAfter) : {all: NaN, renderer: NaN, main: NaN};
  const result = {stepsPerS: seen.frames / (seen.at / 1000), gaps, showMs: seen.showMs, path: seen.path,
                  cpu: cpu.all / (seen.at / 1000), rendererCpu: cpu.renderer / (seen.at / 1000),
                  mainCpu: cpu.main / (seen.at / 1000)};
  if (seen.byNew) {
    const refreshCount = seen.byNew[0] + seen.byNew[1] + seen.byNew[2];
    result.refreshShares = seen.byNew.map((n) => n / refreshCount);
  }
  if (before) {
    const wall = after.Timestamp - before.Timestamp;
    result.busy = (after.TaskDuration - before.TaskDuration) / wall;
    result.script = (after.ScriptDuration - before.ScriptDuration) / wall;
  }
  return result;
}

async function openGame(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({width: 1024, height: 800});
  await page.goto(url, {waitUntil: 'load'});
  await waitFor('the intro', () => page.evaluate(() => marchfireHost.screen.stats.frames > 0), 20000);
  return page;
}

async function play(page) {
  await page.keyboard.press('Enter');
  await waitFor('play', () => page.evaluate(() => !marchfireHost.pace.waitingForKey() && marchfireHost.screen.stats.frames > 2), 10000);
  await sleep(500);
}

// One build in Chromium: the intro, play and the pause at full speed; play
// at 4x and 6x; 6x beside two busy processes.
async function chromiumRound(browser, url) {
  const out = {};
  const pid = browser.process().pid;
  let page = await openGame(browser, url);
  let cdp = await page.target().createCDPSession();
  await cdp.send('Performance.enable');
  await sleep(1000);
  out.waiting = await measure(page, pid, cdp, waitMs);
  await play(page);
  out.x1 = await measure(page, pid, cdp, playMs, true);
  await page.keyboard.press('KeyP');
  await sleep(500);
  out.paused = await measure(page, pid, cdp, waitMs);
  await page.close();
  for (const [name, rate, busy] of slowed ? [['x4', 4, false], ['x6', 6, false], ['x6busy', 6, true]] : []) {
    page = await openGame(browser, url);
    cdp = await page.target().createCDPSession();
    await cdp.send('Performance.enable');
    await cdp.send('Emulation.setCPUThrottlingRate', {rate});
    await play(page);
    out[name] = busy ? await besideBusyProcesses(() => measure(page, pid, cdp, playMs, true))
                     : await measure(page, pid, cdp, playMs, true);
    await page.close();
  }
  return out;
}

async function firefoxRound(browser, url) {
  const out = {};
  const pid = browser.process().pid;
  const page = await openGame(browser, url);
  await sleep(1000);
  out.waiting = await measure(page, pid, null, waitMs);
  await play(page);
  out.x1 = await measure(page, pid, null, playMs, true);
  await page.keyboard.press('KeyP');
  await sleep(500);
  out.paused = await measure(page, pid, null, waitMs);
  await page.close();
  return out;
}

// WebKitGTK through its WebDriver, which gives no process to measure.
async function webkitRound(engine, url) {
  const out = {};
  const {page} = await engine.open(url, {width: 1024, height: 800});
  await waitFor('the intro', () => page.evaluate(() => marchfireHost.screen.stats.frames > 0), 20000);
  await sleep(1000);
  out.waiting = await measure(page, null, null, waitMs);
  await play(page);
  out.x1 = await measure(page, null, null, playMs, true);
  await page.keyboard.press('KeyP');
  await sleep(500);
  out.paused = await measure(page, null, null, waitMs);
  await page.close();
  return out;
}

const fmt = (v, digits = 1) => (Number.isFinite(v) ? v.toFixed(digits) : '—');
const pct = (v) => (v === undefined ? '—' : `${(v * 100).toFixed(2)} %`);
const range = (values, digits = 1, f = (v) => v) => {
  const vs = values.filter((v) => v !== undefined && Number.isFinite(v)).map(f);
  if (vs.length === 0) return '—';
  const lo = Math.min(...vs), hi = Math.max(...vs);
  return lo.toFixed(digits) === hi.toFixed(digits) ? lo.toFixed(digits) : `${lo.toFixed(digits)}–${hi.toFixed(digits)}`;
};

// The round with the fewest refreshes showing one new step, in full.
function worstShares(rs) {
  const measured = rs.filter((r) => r.refreshShares);
  if (measured.length === 0) return '—';
  const worst = measured.reduce((a, b) => (b.refreshShares[1] < a.refreshShares[1] ? b : a));
  const [none, one, more] = worst.refreshShares;
  return `${pct(one)} / ${pct(more)} / ${pct(none)}`;
}

function report(engine, results) {
  console.log(`\n## ${engine}: ${rounds} rounds, the builds in turn`);
  for (const site of sites) {
    const runs = results[site.label];
    console.log(`\n### ${site.label} (${site.folder}; frames shown by ${[...new Set(runs.map((r) => r.x1.path))].join(', ')})`);
    console.log('| condition | steps/s | refreshes with 1 / 2+ / 0 new steps, worst round | frame gap median / p95 (ms) | mean step (ms) | showing a frame median / p95 (ms) | main thread busy (script) | its processor time | page\'s processes CPU | all processes CPU |');
    console.log('|---|---|---|---|---|---|---|---|---|---|');
    for (const condition of ['x1', 'x4', 'x6', 'x6busy', 'paused', 'waiting']) {
      const rs = runs.map((r) => r[condition]).filter(Boolean);
      if (rs.length === 0) continue;
      const playing = condition !== 'paused' && condition !== 'waiting';
      const row = [condition,
        playing ? range(rs.map((r) => r.stepsPerS)) : '',
        playing ? worstShares(rs) : '',
        playing ? `${range(rs.map((r) => quantile(r.gaps, 0.5)))} / ${range(rs.map((r) => quantile(r.gaps, 0.95)))}` : '',
        playing ? range(rs.map((r) => mean(r.gaps)), 2) : '',
        playing ? `${range(rs.map((r) => quantile(r.showMs, 0.5)), 2)} / ${range(rs.map((r) => quantile(r.showMs, 0.95)), 2)}` : '',
        rs[0].busy === undefined ? '—' : `${range(rs.map((r) => r.busy), 2, (v) => v * 100)} % (${range(rs.map((r) => r.script), 2, (v) => v * 100)} %)`,
        rs[0].busy === undefined ? '—' : `${range(rs.map((r) => r.mainCpu), 1, (v) => v * 100)} %`,
        rs[0].busy === undefined ? '—' : `${range(rs.map((r) => r.rendererCpu), 1, (v) => v * 100)} %`,
        Number.isFinite(rs[0].cpu) ? `${range(rs.map((r) => r.cpu), 1, (v) => v * 100)} %` : '—'];
      console.log(`| ${row.join(' | ')} |`);
    }
  }
}

const load = () => os.loadavg().map((v) => v.toFixed(2)).join(' ');

(async () => {
  const served = [];
  for (const site of sites) served.push({...site, ...(await serve(site.folder))});
  const deadline = setTimeout(() => {
    console.error('throttled figures: gave up after 60 minutes');
    process.exit(1);
  }, 3600000);
  try {
    console.log(`load averages at the start: ${load()}`);
    // Every build in one browser, `rounds` times, turn about: each build
    // goes first in every other round.
    const inTurns = async (engine, launchIt, round, close) => {
      const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'marchfire-bench-'));
      const results = {};
      sites.forEach((s) => { results[s.label] = []; });
      let browser = null;
      try {
        browser = await launchIt(profile);
        for (let r = 0; r < rounds; r++) {
          for (const site of r % 2 === 0 ? served : served.slice().reverse()) {
            results[site.label].push(await round(browser, site.url));
            console.log(`# ${engine} round ${r + 1}, ${site.label} done, load ${load()}`);
          }
        }
        return {results, version: browser.version ? await browser.version() : engine};
      } finally {
        if (browser) await close(browser);
        fs.rmSync(profile, {recursive: true, force: true});
      }
    };
    const chromium = await inTurns('Chromium', launch, chromiumRound, (b) => b.close());
    report(chromium.version, chromium.results);
    if (firefox && fs.existsSync('/usr/bin/firefox-esr')) {
      const fox = await inTurns('Firefox', (profile) => puppeteer.launch({
        browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true, userDataDir: profile,
        protocolTimeout: 30000}), firefoxRound, (b) => b.close());
      report(`${fox.version} (no throttling, no DevTools metrics)`, fox.results);
    }
    // WebKit as it comes, then as some GPUs and distributions run it.
    for (const compositing of webkit ? [true, false] : []) {
      const kit = await inTurns('WebKitGTK', (profile) => launchEngine('webkit', profile,
        compositing ? {} : {WEBKIT_DISABLE_COMPOSITING_MODE: '1'}), webkitRound, (e) => e.close());
      report(`WebKitGTK MiniBrowser under Xvfb, ${compositing ? 'compositing' : 'WEBKIT_DISABLE_COMPOSITING_MODE=1'} (no throttling, no metrics)`, kit.results);
    }
    console.log(`\nload averages at the end: ${load()}`);
  } finally {
    clearTimeout(deadline);
    served.forEach((s) => s.server.close());
  }
  process.exit(0);
})().catch((error) => {
  console.error(error.stack || error);
  process.exit(1);
});
