// What reaches the screen, not only what the canvas holds: a screenshot of
// the browser's window (the driver's, which shows the composited page, in
// Chromium and Firefox; the X screen itself for WebKitGTK, with compositing
// and without) is set beside the canvas's own pixels, cell by cell, at the
// intro and in play.
'use strict';
const assert = require('assert');
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {waitFor} = require('./browser.js');
const {launchEngine} = require('./engines.js');

const cell = 16;
// Areas of the frame, [left, top, right, bottom]: the intro is a still
// picture, whole. In play, untouched, the lowest rows of the shields and the
// player at its start are the same in every frame: an enemy missile is
// stopped over a shield before it gets that low, and nobody fires.
const wholeField = [[0, 0, 1024, 768]];
const shieldsAndPlayer = [[160, 624, 384, 768], [664, 624, 888, 688]];
// A cell's mean colour may differ this much per channel (scaling, colour
// management); a field that stays black misses by far more.
const tolerance = 32;

// Runs in the page: the mean colour of each cell of the areas, on the canvas.
function canvasCells(areas, size) {
  const rgba = marchfireHost.screen.readShown();
  const cells = [];
  for (const [left, top, right, bottom] of areas) {
    for (let y = top; y < bottom; y += size) {
      for (let x = left; x < right; x += size) {
        const sum = [0, 0, 0];
        for (let j = y; j < y + size; j++) {
          for (let i = x; i < x + size; i++) {
            for (let c = 0; c < 3; c++) sum[c] += rgba[(j * 1024 + i) * 4 + c];
          }
        }
        cells.push(sum.map((v) => v / (size * size)));
      }
    }
  }
  return cells;
}

// The same cells on the screen: the canvas's box cut out of the screenshot
// and brought to the frame's size.
function screenCells(png, box, areas) {
  const rgb = execFileSync('convert', ['png:-', '-crop', `${box.width}x${box.height}+${box.left}+${box.top}`, '+repage',
                                       '-filter', 'box', '-resize', '1024x768!', '-depth', '8', 'rgb:-'],
                           {input: png, maxBuffer: 16 << 20});
  const cells = [];
  for (const [left, top, right, bottom] of areas) {
    for (let y = top; y < bottom; y += cell) {
      for (let x = left; x < right; x += cell) {
        const sum = [0, 0, 0];
        for (let j = y; j < y + cell; j++) {
          for (let i = x; i < x + cell; i++) {
            for (let c = 0; c < 3; c++) sum[c] += rgb[(j * 1024 + i) * 3 + c];
          }
        }
        cells.push(sum.map((v) => v / (cell * cell)));
      }
    }
  }
  return cells;
}

async function screenshot(engine, page) {
  if (engine.name === 'webkit') return execFileSync('import', ['-display', engine.display, '-window', 'root', 'png:-'], {maxBuffer: 64 << 20});
  return Buffer.from(await page.screenshot({type: 'png'}));
}

// Where the canvas stands in the screenshot, in its pixels. The X screen
// holds the whole window at its top left corner, its toolbar above the page.
async function canvasBox(engine, page) {
  const [left, top, width, height, scale, chromeWidth, chromeHeight] = await page.evaluate(() => {
    const r = document.getElementById('frame').getBoundingClientRect();
    return [r.left, r.top, r.width, r.height, devicePixelRatio, outerWidth - innerWidth, outerHeight - innerHeight];
  });
  const at = engine.name === 'webkit' ? {x: chromeWidth, y: chromeHeight} : {x: 0, y: 0};
  return {left: Math.round(at.x + left * scale), top: Math.round(at.y + top * scale),
          width: Math.round(width * scale), height: Math.round(height * scale)};
}

// Waits until the screen shows what the canvas holds in the areas (both
// stand still there, so any look will do once the screen has caught up).
async function screenShows(engine, page, what, areas) {
  let worst = null;
  const shows = async () => {
    const expected = await page.evaluate(`(${canvasCells})(${JSON.stringify(areas)}, ${cell})`);
    const seen = screenCells(await screenshot(engine, page), await canvasBox(engine, page), areas);
    worst = {miss: 0};
    expected.forEach((want, i) => want.forEach((v, c) => {
      const miss = Math.abs(v - seen[i][c]);
      if (miss > worst.miss) worst = {miss, want: want.map(Math.round), seen: seen[i].map(Math.round), cell: i};
    }));
    return worst.miss <= tolerance;
  };
  await waitFor(`${what} on the screen`, shows, 10000, 500).catch((error) => {
    throw new Error(`${error.message}: worst cell ${JSON.stringify(worst)}`);
  });
}

async function introAndPlay(engine, url) {
  const {page, errors} = await engine.open(url, {width: 1024, height: 800});
  await waitFor('the intro', () => page.evaluate(() => marchfireHost.pace.waitingForKey() && marchfireHost.screen.stats.frames > 0), 10000);
  await screenShows(engine, page, 'the intro', wholeField);
  await page.keyboard.press('Enter');
  await waitFor('play', () => page.evaluate(() => !marchfireHost.pace.waitingForKey() && marchfireHost.screen.stats.frames > 5), 5000);
  await screenShows(engine, page, 'the shields and the player', shieldsAndPlayer);
  assert.deepStrictEqual(await errors(), [], 'no error on the page');
  await page.close();
}

// WebKitGTK is checked again as some GPUs and distributions run it: without
// compositing, in a browser of its own.
async function screenCheck(engine, url) {
  await introAndPlay(engine, url);
  if (engine.name !== 'webkit') return undefined;
  const userDir = fs.mkdtempSync(path.join(os.tmpdir(), 'marchfire-webkit-flat-'));
  const given = process.env.WEBKIT_DISABLE_COMPOSITING_MODE;
  process.env.WEBKIT_DISABLE_COMPOSITING_MODE = '1';
  let flat = null;
  try {
    flat = await launchEngine('webkit', userDir);
    await introAndPlay(flat, url);
  } finally {
    if (given === undefined) delete process.env.WEBKIT_DISABLE_COMPOSITING_MODE;
    else process.env.WEBKIT_DISABLE_COMPOSITING_MODE = given;
    if (flat) await flat.close().catch(() => {});
    fs.rmSync(userDir, {recursive: true, force: true});
  }
  return 'with compositing and without';
}

module.exports = {screenCheck};
