// What reaches the screen, not only what the canvas holds: a screenshot of
// the window (the driver's in Chromium and Firefox; the X screen for
// WebKitGTK, with compositing and without) beside the generator's pictures,
// in cells of 16 px, at the intro (a still picture: the whole field) and in
// play, untouched (the shields' lowest rows and the player at its start: an
// enemy missile is stopped over a shield before it gets that low). Nothing
// is read from the canvas: a read through WebGL draws it again, which
// would put on the screen what the check is to find there.
'use strict';
const assert = require('assert');
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {readBmp} = require('./bmp.js');
const {waitFor} = require('./browser.js');
const {launchEngine} = require('./engines.js');

const wholeField = [[0, 0, 1024, 768]];
const shieldsAndPlayer = [[160, 624, 384, 768], [664, 624, 888, 688]];
const tolerance = 32;  // per channel of a cell's mean: scaling, colour management

// The frame the pictures make, as RGB bytes: each [name, x, y] drawn whole.
function frameOf(folder, placed) {
  const rgb = Buffer.alloc(1024 * 768 * 3);
  for (const [name, left, top] of placed) {
    const picture = readBmp(path.join(folder, name));
    for (let y = 0; y < picture.height; y++) {
      for (let x = 0; x < picture.width; x++) {
        const p = picture.pixel(x, y), at = ((top + y) * 1024 + left + x) * 3;
        [rgb[at], rgb[at + 1], rgb[at + 2]] = [p >> 16 & 255, p >> 8 & 255, p & 255];
      }
    }
  }
  return rgb;
}

// Mean colours of the areas' cells, `depth` bytes a pixel.
function cellMeans(bytes, depth, areas) {
  const cells = [];
  for (const [left, top, right, bottom] of areas) {
    for (let y = top; y < bottom; y += 16) {
      for (let x = left; x < right; x += 16) {
        const sum = [0, 0, 0];
        for (let i = 0; i < 256; i++) {
          for (let c = 0; c < 3; c++) sum[c] += bytes[((y + (i >> 4)) * 1024 + x + (i & 15)) * depth + c];
        }
        cells.push(sum.map((v) => v / 256));
      }
    }
  }
  return cells;
}

async function screenCells(engine, page, areas) {
  const png = engine.name === 'webkit'
    ? execFileSync('import', ['-display', engine.display, '-window', 'root', 'png:-'], {maxBuffer: 64 << 20})
    : Buffer.from(await page.screenshot({type: 'png'}));
  // The canvas's box in the screenshot; the X screen has the window at its
  // top left, the toolbar above the page.
  const box = await page.evaluate((x) => {
    const r = document.getElementById('frame').getBoundingClientRect();
    const at = x ? [outerWidth - innerWidth, outerHeight - innerHeight] : [0, 0];
    return [r.width, r.height, at[0] + r.left, at[1] + r.top].map((v) => Math.round(v * devicePixelRatio));
  }, engine.name === 'webkit');
  const rgb = execFileSync('convert', ['png:-', '-crop', `${box[0]}x${box[1]}+${box[2]}+${box[3]}`, '+repage',
                                       '-filter', 'box', '-resize', '1024x768!', '-depth', '8', 'rgb:-'],
                           {input: png, maxBuffer: 16 << 20});
  return cellMeans(rgb, 3, areas);
}

// The areas stand still: once the screen has caught up, it matches.
async function screenShows(engine, page, what, frame, areas) {
  const want = cellMeans(frame, 3, areas);
  let worst = 0;
  await waitFor(`${what} on the screen`, async () => {
    const seen = await screenCells(engine, page, areas);
    worst = Math.max(...want.flatMap((cell, i) => cell.map((v, c) => Math.abs(v - seen[i][c]))));
    return worst <= tolerance;
  }, 10000, 500).catch((error) => { throw new Error(`${error.message}: a cell off by ${worst.toFixed(0)}`); });
}

async function introAndPlay(engine, url, pictures) {
  const {page, errors} = await engine.open(url, {width: 1024, height: 800});
  await waitFor('the intro', () => page.evaluate(() => marchfireHost.pace.waitingForKey()), 10000);
  await screenShows(engine, page, 'the intro', frameOf(pictures, [['intro.bmp', 0, 0]]), wholeField);
  await page.keyboard.press('Enter');
  await waitFor('play', () => page.evaluate(() => !marchfireHost.pace.waitingForKey() && marchfireHost.screen.stats.frames > 5));
  const play = frameOf(pictures, [['shield_blue.bmp', 150, 600], ['shield_yellow.bmp', 650, 600],
                                  ['game_m_modified_small.bmp', 288, 704]]);
  await screenShows(engine, page, 'the shields and the player', play, shieldsAndPlayer);
  assert.deepStrictEqual(await errors(), [], 'no error on the page');
  await page.close();
}

async function screenCheck(engine, url, pictures) {
  await introAndPlay(engine, url, pictures);
  if (engine.name !== 'webkit') return undefined;
  // As some GPUs and distributions run it, in a browser of its own.
  const userDir = fs.mkdtempSync(path.join(os.tmpdir(), 'marchfire-webkit-flat-'));
  const flat = await launchEngine('webkit', userDir, {WEBKIT_DISABLE_COMPOSITING_MODE: '1'});
  try {
    await introAndPlay(flat, url, pictures).catch((e) => { throw new Error(`without compositing: ${e.message}`); });
  } finally {
    await flat.close();
    fs.rmSync(userDir, {recursive: true, force: true});
  }
  return 'with compositing and without';
}

module.exports = {screenCheck};
