// Plays the browser build in the installed Chromium, Firefox and WebKitGTK
// (MARCHFIRE_BROWSERS=chromium,firefox picks some) and checks what a player
// would see and do: the intro, play with keys, touch and a gamepad, the
// pause while the page is hidden, quitting, the sound coming back, the
// layout on a phone; and the app around it: its size, installing, offline
// play, a new build. A check that an engine cannot make says so ("# skipped
// in ..."). The rules of play are the core's to check, where the test owns
// the clock; here the player stays under the blue shield (x 162 to 324),
// which every missile of the grid's random fire stops, and what the page
// shows is looked at in every frame the program hands it.
//
// usage: node play_test.js <dist/web> <folder of the generator's pictures>
'use strict';
const assert = require('assert');
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const {readBmp} = require('./bmp.js');
const {sleep, waitFor, sizeBounds, downloadSize} = require('./browser.js');
const {launchEngine} = require('./engines.js');
const {serve} = require('./static_server.js');

const [site, pictures] = process.argv.slice(2);
if (!site || !pictures) throw new Error('usage: node play_test.js <dist/web> <pictures folder>');

const enemyColour = 0x126f06;
const formationStart = {x: 337, y: 100, dx: 20};
const columnPitch = 60, rowPitch = 66;
const playerY = 704;
const shield = {blueX: 150, yellowX: 650, y: 600, width: 240, height: 89};

const probe = (page, method, ...args) =>
  page.evaluate((m, a) => window.marchfireProbe[m](...a), method, args);

// The sprite's top-left corner of the enemy colour, and its middle row.
function spriteFacts() {
  const enemy = readBmp(path.join(pictures, 'spartan.bmp'));
  let offX = enemy.width, offY = enemy.height;
  for (let y = 0; y < enemy.height; y++) {
    for (let x = 0; x < enemy.width; x++) {
      if (enemy.pixel(x, y) !== enemyColour) continue;
      offX = Math.min(offX, x);
      offY = Math.min(offY, y);
    }
  }
  const player = readBmp(path.join(pictures, 'game_m_modified_small.bmp'));
  const playerRow = [];
  for (let x = 0; x < player.width; x++) playerRow.push(player.pixel(x, 32));
  // The missiles' yellow, which nothing else on the field shows.
  const missileColour = readBmp(path.join(pictures, 'missile.bmp')).pixel(3, 1);
  return {enemyOffX: offX, enemyOffY: offY, playerRow, missileColour};
}

// The same hash as the page's probe, of a whole picture.
function pictureHash(name) {
  const picture = readBmp(path.join(pictures, name));
  let h = 0x811c9dc5;
  for (let y = 0; y < picture.height; y++) {
    for (let x = 0; x < picture.width; x++) {
      const p = picture.pixel(x, y);
      for (const byte of [p >> 16 & 255, p >> 8 & 255, p & 255]) h = Math.imul(h ^ byte, 0x01000193) >>> 0;
    }
  }
  return h;
}

// The 32 cells of the grid, counted from the enemy colour's top-left corner,
// both read in one turn of the page: the grid cannot march between them.
async function gridCells(page, facts) {
  const {first, seen} = await page.evaluate((colour, columnPitch, rowPitch) => {
    const first = marchfireProbe.colour(colour, []);
    const boxes = [];
    for (let c = 0; c < 8; c++) {
      for (let r = 0; r < 4; r++) boxes.push([first.minX + columnPitch * c, first.minY + rowPitch * r, 48, 40]);
    }
    return {first, seen: marchfireProbe.colour(colour, boxes)};
  }, enemyColour, columnPitch, rowPitch);
  if (first.count === 0) return {count: 0, cells: 0, x: -1, y: -1};
  return {count: seen.count, cells: seen.inBoxes.filter((n) => n > 20).length,
          x: first.minX - facts.enemyOffX, y: first.minY - facts.enemyOffY,
          width: first.maxX - first.minX, height: first.maxY - first.minY};
}

const playerX = (page, facts) => probe(page, 'findRow', facts.playerRow, playerY + 32);
const frames = (page) => page.evaluate(() => marchfireHost.screen.stats.frames);
const introUp = (page) => waitFor('the intro', async () => (await frames(page)) > 0, 8000);
const noticeShown = (page, id) => page.$eval(id, (e) => !e.hidden);

// Every frame the program hands the page, looked at as it comes, from the
// program's own bytes (nothing is read back from the canvas for it): where
// the player stands, and the top of a missile just above it. Below y 640
// over the shield only the player's own shots can show (the shield stops the
// grid's missiles higher up), and a shot lives there for a few frames only:
// a look between two frames could miss it, a look at each one cannot.
// The first frame of play also keeps the grid's top-left corner.
async function watchFrames(page, facts) {
  await page.evaluate((row, rowY, missile, band, enemy) => {
    const screen = marchfireHost.screen, show = screen.show;
    const seen = window.framesSeen = [];
    screen.show = function (heap, frame, rgba, width, height) {
      const words = new Uint32Array(heap.buffer, frame, width * height);
      const at = (x, y) => words[y * width + x] & 0xFFFFFF;
      let x = -1;
      for (let left = 0; x < 0 && left + row.length <= width; left++) {
        let k = 0;
        while (k < row.length && at(left + k, rowY) === row[k]) k++;
        if (k === row.length) x = left;
      }
      let top = -1;
      for (let y = band[0]; x >= 0 && top < 0 && y < band[1]; y++) {
        for (let dx = band[2]; dx < band[3] && top < 0; dx++) if (at(x + dx, y) === missile) top = y;
      }
      if (x >= 0 && window.firstPlayGrid === undefined) {
        const corner = {x: width, y: height};
        for (let y = 0; y < height; y++) {
          for (let cx = 0; cx < width; cx++) {
            if (at(cx, y) !== enemy) continue;
            corner.x = Math.min(corner.x, cx);
            corner.y = Math.min(corner.y, y);
          }
        }
        window.firstPlayGrid = corner;
      }
      seen.push([x, top]);
      return show.apply(this, arguments);
    };
  }, facts.playerRow, playerY + 32, facts.missileColour, [640, playerY, 24, 36], enemyColour);
}

const framesSeen = (page) => page.evaluate(() => window.framesSeen.length);
const framesSince = (page, from) => page.evaluate((f) => window.framesSeen.slice(f), from);

// The frames from the `from`th on, once `count` of them have come; bounded in
// frames by the caller, and in time only against a game that stalls.
async function framesFrom(page, from, count = 1) {
  return waitFor(`${count} frames from frame ${from}`, async () => {
    const frames = await framesSince(page, from);
    return frames.length >= count ? frames : null;
  }, 30000);
}

// The first frame from the `from`th on that passes `test` ([player x,
// missile top]), within `withinFrames` frames: its number and what it showed.
async function frameWhere(page, from, what, test, withinFrames = 300) {
  return waitFor(what, async () => {
    const frames = await framesSince(page, from);
    const found = frames.findIndex(test);
    if (found >= 0) return {at: from + found, frame: frames[found]};
    if (frames.length > withinFrames) throw new Error(`not within ${withinFrames} frames: ${what}`);
    return null;
  }, 30000);
}

// After a move is let go (the driver may say so before the page has seen
// it, and steps that each take longer than their 15 ms run on without
// giving the page a turn to see it): within 300 frames, ten in a row show
// the player where it stopped.
async function stoppedAt(page, what) {
  const from = await framesSeen(page);
  return waitFor(`the player to stop when ${what} is let go`, async () => {
    const xs = (await framesSince(page, from)).map((f) => f[0]);
    for (let k = 0; k + 10 <= xs.length; k++) {
      if (xs.slice(k, k + 10).every((x) => x === xs[k])) return {x: xs[k]};
    }
    assert.ok(xs.length < 300, `the player stops when ${what} is let go (${xs})`);
    return null;
  }, 30000).then((stop) => stop.x);
}

// Holding `hold` until a frame shows the player moved left of x, then letting
// go: moved, and stopped. A hold let go of late may take the player past the
// shield's left end; taps bring it back under (at the start of a wave the
// grid stands far to the right of there).
async function holdLeft(page, what, hold, letGo) {
  const from = await framesSeen(page);
  const x = (await framesFrom(page, from - 1))[0][0];
  await hold();
  await frameWhere(page, from, `${what} to move the player`, (f) => f[0] >= 0 && f[0] < x);
  await letGo();
  const stopped = await stoppedAt(page, what);
  assert.ok(stopped < x && (x - stopped) % 6 === 0, `${what} moved the player left by whole steps (${x} to ${stopped})`);
  return stopped;
}

async function underTheShield(page) {
  for (let x = await stoppedAt(page, 'a tap'); x < 162 || x > 324; x = await stoppedAt(page, 'a tap')) {
    await page.keyboard.press(x < 162 ? 'ArrowRight' : 'ArrowLeft');
  }
}

// A shot: from the `from`th frame on, a missile over the player that climbs
// in every frame until the shield takes it. A frame lost on its way to the
// page would show as a gap.
async function shotClimbs(page, from, what) {
  const first = await frameWhere(page, from, what, (f) => f[1] >= 0);
  const frames = await framesFrom(page, first.at, 12);
  const tops = frames.slice(0, 12).map((f) => f[1]);
  const flight = tops.slice(0, tops.indexOf(-1));
  assert.ok(flight.length === 10 && flight.every((top, k) => k === 0 || top === flight[k - 1] - 5),
            `${what}: a missile climbs 5 px a frame for ten frames, to the shield (tops ${tops})`);
}

const score = async (page, value) => (await probe(page, 'showsText', `SCORE:  ${value}`, 924, 0, 100, 17)) === 0;

// A check an engine cannot make is counted and named, never passed; a
// scenario skipped whole returns what this returns.
let skipped = 0;
const skippedWhole = Symbol('skipped');
function skip(engine, why) {
  skipped += 1;
  console.log(`# skipped in ${engine.name}: ${why}`);
  return skippedWhole;
}

// Another tab in front hides the page, as a player switching tabs would:
// the game stands still; shown again, it goes on.
async function hiddenStandsStill(engine, page, facts) {
  const otherTab = await engine.newTab();
  await waitFor('the page to be hidden', () => page.evaluate(() => document.visibilityState === 'hidden'), 10000);
  const hiddenGrid = await gridCells(page, facts);
  const hiddenFrames = await frames(page);
  const hiddenTick = await page.evaluate(() => marchfireHost.pace.tick());
  assert.ok(await noticeShown(page, '#paused'), 'the page says PAUSED');
  await sleep(1000);  // longer than a step of the grid
  const stillGrid = await gridCells(page, facts);
  assert.deepStrictEqual([stillGrid.x, stillGrid.y], [hiddenGrid.x, hiddenGrid.y], 'the grid stays put while hidden');
  assert.strictEqual(await frames(page), hiddenFrames, 'no frame while hidden');
  assert.strictEqual(await page.evaluate(() => marchfireHost.pace.tick()), hiddenTick, 'the clock stands still');
  await page.bringToFront();
  await otherTab.close();
  await waitFor('the page to be shown', () => page.evaluate(() => document.visibilityState === 'visible'), 10000);
  await waitFor('the pause notice to go', async () => !(await noticeShown(page, '#paused')), 10000);
  await waitFor('the grid to march on', async () => {
    const now = await gridCells(page, facts);
    return now.x !== hiddenGrid.x || now.y !== hiddenGrid.y;
  }, 10000);
}

async function keyboardGame(engine, url, facts) {
  const {page, errors} = await engine.open(url, {width: 1024, height: 800});
  const expectedIntro = pictureHash('intro.bmp');

  // The intro: the generator's picture, pixel for pixel (so the byte order is right).
  await waitFor('the intro on the canvas', async () => (await probe(page, 'hash')) === expectedIntro, 8000);

  // The cues are decoded while the intro waits: the first key never waits for them.
  await waitFor('the cues decoded before a key', async () => (await page.evaluate(() => marchfireHost.sound.state())).decoded === 7, 15000);

  // Enter starts play: the whole grid at its start (its first step taken
  // with the first frame), shields, player, score.
  await watchFrames(page, facts);
  await page.keyboard.press('Enter');
  await waitFor('the first frame of play', async () => (await probe(page, 'colour', enemyColour, [])).count > 0);
  const grid = await gridCells(page, facts);
  assert.strictEqual(grid.cells, 32, `all 32 enemies stand (found ${grid.cells})`);
  const corner = await page.evaluate(() => window.firstPlayGrid);
  assert.deepStrictEqual([corner.x - facts.enemyOffX, corner.y - facts.enemyOffY],
                         [formationStart.x + formationStart.dx, formationStart.y], 'the grid starts at its place');
  const blue = await probe(page, 'lit', [shield.blueX, shield.y, shield.width, shield.height]);
  const yellow = await probe(page, 'lit', [shield.yellowX, shield.y, shield.width, shield.height]);
  assert.ok(blue.count > 5000 && yellow.count > 5000, 'both shields stand in place');
  await page.screenshot({path: path.join(os.tmpdir(), `marchfire-web-${engine.name}-play.png`)});
  const startX = await playerX(page, facts);
  assert.strictEqual(startX, 288, 'the player stands at its start');
  assert.ok(await score(page, 0), 'the score line reads 0, white, top right');
  // The page's copy of the score line says what the frame shows, in the same read.
  const pageScore = () => page.evaluate(() => {
    const line = document.getElementById('score-line');
    return {text: line.textContent, seen: line.offsetHeight > 0, picture: marchfireHost.pace.waitingForKey(),
            wrong: marchfireProbe.showsText(line.textContent, 924, 0, 100, 17)};
  });
  assert.deepStrictEqual(await pageScore(), {text: 'SCORE:  0', seen: false, picture: false, wrong: 0},
                         "the page's score line waits, unseen at full size");

  // Holding Left moves the player; letting go stops it.
  const stoppedX = await holdLeft(page, 'Left', () => page.keyboard.down('ArrowLeft'), () => page.keyboard.up('ArrowLeft'));
  // A tap reaches the game too (that one shorter than a step counts once
  // is the page's rule, checked without a browser: here the driver decides
  // how long the key is down).
  const tapped = await framesSeen(page);
  await page.keyboard.press('ArrowRight');
  await frameWhere(page, tapped, 'a tap of Right to move the player', (f) => f[0] !== stoppedX);
  const tappedX = await stoppedAt(page, 'a tap');
  assert.ok(tappedX > stoppedX && (tappedX - stoppedX) % 6 === 0, `a tap of Right moves by whole steps (${stoppedX} to ${tappedX})`);
  await underTheShield(page);

  // A Space release fires. The first key let the audio play: the shot is
  // heard. A machine with no sound device may keep the audio suspended:
  // silent play.
  const audio = (await page.evaluate(() => marchfireHost.sound.state())).audio;
  const shotHeard = async () => (await page.evaluate(() => marchfireHost.sound.state())).started.includes(108);
  if (audio !== 'running') skip(engine, `the shot cue: the audio is ${audio} (no sound device?)`);
  else assert.ok(!(await shotHeard()), 'no shot heard before the first shot');
  const fired = await framesSeen(page);
  await page.keyboard.press(' ');
  await shotClimbs(page, fired, 'Space');
  if (audio === 'running') assert.ok(await shotHeard(), 'the shot is heard');

  // Hidden, the game stands still; shown again, it goes on.
  if (engine.lacks.hiddenTab) skip(engine, engine.lacks.hiddenTab);
  else await hiddenStandsStill(engine, page, facts);

  // P pauses and goes on too.
  await page.keyboard.press('KeyP');
  await waitFor('the pause notice', () => noticeShown(page, '#paused'), 10000);
  const pFrames = await frames(page);
  await sleep(300);
  assert.strictEqual(await frames(page), pFrames, 'P stops play');
  await page.keyboard.press('KeyP');
  await waitFor('play after the second P', async () => (await frames(page)) > pFrames, 10000);

  // Escape, even in a pause, ends the program with 0 and the page says so.
  await page.keyboard.press('KeyP');
  await waitFor('the pause notice', () => noticeShown(page, '#paused'), 10000);
  await page.keyboard.press('Escape');
  await waitFor('the end of the game', () => noticeShown(page, '#ended'), 10000);
  assert.strictEqual(await page.$eval('body', (b) => b.dataset.exitCode), '0', 'the program ends with 0');
  assert.ok(await page.$eval('#play-again', (b) => b.offsetWidth > 0), 'a way to play again');

  assert.deepStrictEqual(await errors(), [], 'no error on the page');
  await page.screenshot({path: path.join(os.tmpdir(), `marchfire-web-${engine.name}-end.png`)}).catch(() => {});
  await page.close();
}

// A phone held upright.
async function touchGame(engine, url, facts) {
  if (engine.lacks.touch) return skip(engine, `the touch game: ${engine.lacks.touch}`);
  const {page, errors} = await engine.open(url, {width: 360, height: 740, hasTouch: true, isMobile: true});
  // Where the browser does not say it has a touch screen, the first touch tells the page.
  if (engine.lacks.touchScreen) await page.touchscreen.tap(180, 735);
  assert.ok(await page.$eval('#touch-fire', (b) => b.offsetWidth > 0), 'a touch screen gets the buttons');
  const hint = (id) => page.$eval(id, (e) => [e.offsetHeight > 0, e.scrollWidth <= e.clientWidth]);
  assert.deepStrictEqual([await hint('#hint-touch'), (await hint('#hint-keys'))[0]], [[true, true], false],
                         'the touch hint shows, whole on one line, and the keyboard hint does not');
  await introUp(page);

  // The button gives the play field the whole screen and takes it back; it
  // does not start the game (a phone's refusal to turn is silent).
  const fullScreenIs = (id) => page.evaluate((want) => (document.fullscreenElement || {id: null}).id === want, id);
  await page.tap('#full-screen');
  await waitFor('full screen on the stage', () => fullScreenIs('stage'), 10000);
  await page.tap('#full-screen');
  await waitFor('full screen left', () => fullScreenIs(null), 10000);
  assert.ok(await page.evaluate(() => marchfireHost.pace.waitingForKey()), 'the intro still waits');

  // A tap on the picture starts play.
  await watchFrames(page, facts);
  const field = await (await page.$('#frame')).boundingBox();
  await page.touchscreen.tap(field.x + field.width / 2, field.y + field.height / 2);
  await frameWhere(page, 0, 'play after a tap', (f) => f[0] >= 0, Infinity);

  // Holding the Left button moves the player; lifting the finger stops it.
  const left = await (await page.$('#touch-left')).boundingBox();
  await holdLeft(page, 'the button', () => page.touchscreen.touchStart(left.x + left.width / 2, left.y + left.height / 2),
                 () => page.touchscreen.touchEnd());
  await underTheShield(page);

  // Fire: a missile leaves the player and climbs.
  const fire = await page.$('#touch-fire');
  const box = await fire.boundingBox();
  const fired = await framesSeen(page);
  await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  await shotClimbs(page, fired, 'the Fire button');

  // The page loses the focus: paused. Escape still ends the game.
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  await waitFor('the pause notice', () => noticeShown(page, '#paused'), 10000);
  await page.keyboard.press('Escape');
  await waitFor('the end of the game', () => noticeShown(page, '#ended'), 10000);
  assert.strictEqual(await page.$eval('body', (b) => b.dataset.exitCode), '0', 'the program ends with 0');
  assert.deepStrictEqual(await errors(), [], 'no error on the touch page');
  await page.close();
}

// A gamepad of the standard mapping, played by the test through the
// browser's own Gamepad API entry point.
async function gamepadGame(engine, url, facts) {
  const {page, errors} = await engine.open(url, {width: 1024, height: 800});
  // The stub stands in for the browser's pads; the browser says when one
  // appears, as it does for a pad plugged in.
  await page.evaluate(() => {
    const button = () => ({pressed: false, touched: false, value: 0});
    window.testPad = {index: 0, id: 'test pad', connected: true, mapping: 'standard', timestamp: 0,
                      axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, button)};
    window.setPadButton = (index, down) => {
      window.testPad.buttons[index] = {pressed: down, touched: down, value: down ? 1 : 0};
    };
    Object.defineProperty(Navigator.prototype, 'getGamepads', {value: () => [window.testPad, null, null, null],
                                                                configurable: true});
    window.dispatchEvent(new Event('gamepadconnected'));
  });
  const pad = (index, down) => page.evaluate((i, d) => window.setPadButton(i, d), index, down);
  await introUp(page);

  // Start at a picture is Enter (held until play shows: the pads are read
  // once a frame of the browser's, which a busy machine may leave late).
  await watchFrames(page, facts);
  await pad(9, true);
  await frameWhere(page, 0, 'play after Start', (f) => f[0] >= 0, Infinity);
  await pad(9, false);

  // The stick moves the player past its dead zone, not inside it. The pad
  // is read at every step: the stick goes back to the middle at the first
  // frame that shows the player moved.
  const still = await framesSeen(page);
  await page.evaluate(() => { window.testPad.axes[0] = -0.4; });
  const x0 = await stoppedAt(page, 'the stick');
  assert.strictEqual(x0, (await framesFrom(page, still - 1))[0][0], 'the stick inside its dead zone moves nothing');
  await page.evaluate((from) => {
    const screen = marchfireHost.screen, show = screen.show;
    screen.show = function () {
      const shown = show.apply(this, arguments);
      if (window.framesSeen[window.framesSeen.length - 1][0] < from) window.testPad.axes[0] = 0;
      return shown;
    };
  }, x0);
  await holdLeft(page, 'the stick', () => page.evaluate(() => { window.testPad.axes[0] = -0.9; }),
                 () => waitFor('the stick back in the middle', () => page.evaluate(() => window.testPad.axes[0] === 0)));
  await underTheShield(page);

  // South fires on release, not while held.
  const held = await framesSeen(page);
  await pad(0, true);
  const holding = await framesFrom(page, held, 10);
  assert.ok(holding.every((f) => f[1] < 0), 'holding south does not fire yet');
  const fired = await framesSeen(page);
  await pad(0, false);
  await shotClimbs(page, fired, 'south');

  // Start in play pauses; again, goes on (held until seen: a busy machine
  // skips polls).
  await pad(9, true);
  try {
    await waitFor('the pause notice', () => noticeShown(page, '#paused'), 5000);
  } finally {
    await pad(9, false);
  }
  // Two of the browser's frames: the pads' loop has seen the release.
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(() => done(true)))));
  await pad(9, true);
  await waitFor('play again', async () => !(await noticeShown(page, '#paused')), 10000);
  await pad(9, false);

  // Back is Escape.
  await pad(8, true);
  await waitFor('the end of the game', () => noticeShown(page, '#ended'), 10000);
  assert.deepStrictEqual(await errors(), [], 'no error on the gamepad page');
  await page.close();
}

// The intro pixel for pixel on each path, named by the page: on the 2D
// canvas where WebGL is software (SwiftShader here) or refused; through
// WebGL where it is not (this page is told no renderer's name), and after
// its context was lost (the 2D canvas meanwhile) and given back.
async function framePaths(engine, url) {
  if (engine.name !== 'chromium') return skip(engine, 'the frame\'s two paths: only Chromium gives WebGL here without a GPU');
  const intro = pictureHash('intro.bmp');
  const shows = async (page, path) => waitFor(`the intro on the ${path} path`, async () =>
    (await page.evaluate(() => marchfireHost.screen.path())) === path && (await probe(page, 'hash')) === intro, 8000);
  const pageWith = (override) => engine.open(url, {width: 1024, height: 800}, (p) => p.evaluateOnNewDocument(override));
  const opened = [await pageWith(() => {}), await pageWith(() => {
    const given = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
      return /^webgl/.test(kind) ? null : given.call(this, kind, ...rest);
    };
  }), await pageWith(() => {
    const given = WebGLRenderingContext.prototype.getExtension;
    WebGLRenderingContext.prototype.getExtension = function (name) {
      return name === 'WEBGL_debug_renderer_info' ? null : given.call(this, name);
    };
  })];
  await shows(opened[0].page, '2d');
  await shows(opened[1].page, '2d');
  const page = opened[2].page;
  await shows(page, 'webgl');
  await page.evaluate(() => { window.loseGl = document.getElementById('frame').getContext('webgl').getExtension('WEBGL_lose_context'); window.loseGl.loseContext(); });
  await shows(page, '2d');
  await page.evaluate(() => window.loseGl.restoreContext());
  await shows(page, 'webgl');
  assert.deepStrictEqual((await Promise.all(opened.map((o) => o.errors()))).flat(), [], 'no error on any of the pages');
  await Promise.all(opened.map((o) => o.page.close()));
}

// A copy of the site whose enemy picture claims 8 bits per pixel: the start
// fails, and the page says why instead of thanking the player.
async function failedStart(engine) {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'marchfire-site-'));
  try {
    for (const name of fs.readdirSync(site)) fs.copyFileSync(path.join(site, name), path.join(copy, name));
    const pictures = path.join(copy, 'pictures.tar.gz');
    const archive = zlib.gunzipSync(fs.readFileSync(pictures));
    const header = archive.indexOf('spartan.bmp\0');
    assert.ok(header >= 0 && header % 512 === 0, 'the pictures hold spartan.bmp');
    archive.writeUInt16LE(8, header + 512 + 28);  // biBitCount
    fs.writeFileSync(pictures, zlib.gzipSync(archive));
    const {server, url} = await serve(copy);
    try {
      const {page, errors} = await engine.open(url, {width: 1024, height: 800});
      await waitFor('the notice of a failed start', () => noticeShown(page, '#fatal'), 8000);
      const line = await page.$eval('#fatal-line', (e) => e.textContent);
      assert.match(line, /spartan\.bmp/, `the notice names the picture (${line})`);
      assert.strictEqual(await page.$eval('body', (b) => b.dataset.exitCode), '1', 'the program ends with 1');
      assert.ok(!(await noticeShown(page, '#ended')), 'no thanks for a game that never started');
      const others = (await errors()).filter((e) => e !== `console: ${line}`);
      assert.deepStrictEqual(others, [], 'no other error than the failed start itself');
      await page.close();
    } finally {
      server.close();
    }
  } finally {
    fs.rmSync(copy, {recursive: true, force: true});
  }
}

// The app: installable; once visited, it plays with no network; a new build
// replaces the old one whole at the next visit.
async function appGame(engine, facts) {
  const nextBuild = fs.mkdtempSync(path.join(os.tmpdir(), 'marchfire-next-'));
  fs.cpSync(site, nextBuild, {recursive: true});
  fs.appendFileSync(path.join(nextBuild, 'style.css'), '#controls { --build: next; }\n');
  execFileSync('bash', [path.join(__dirname, '../../scripts/stamp-web-build.sh'), nextBuild]);
  const {server, url, requests, serveFolder} = await serve(site);
  try {
    const {page, errors} = await engine.open(url, {width: 1024, height: 800});
    await waitFor('the service worker to take the page', () => page.evaluate(() => navigator.serviceWorker.controller !== null), 8000);
    if (engine.lacks.installability) {
      skip(engine, engine.lacks.installability);
    } else {
      const cdp = await page.target().createCDPSession();
      assert.deepStrictEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, [], 'installable');
    }

    if (engine.lacks.offline) {
      skip(engine, `offline play: ${engine.lacks.offline}`);
    } else {
      await page.setOfflineMode(true);
      const asked = requests.length;
      await page.reload({waitUntil: 'load'});
      await introUp(page);
      await page.keyboard.press('Enter');
      await waitFor('the whole grid, offline', async () => (await gridCells(page, facts)).cells === 32, 10000);
      let offlineAsked = requests.slice(asked);
      if (engine.lacks.offlineWorker) {
        skip(engine, engine.lacks.offlineWorker);
        offlineAsked = offlineAsked.filter((name) => name !== '/sw.js');
      }
      assert.deepStrictEqual(offlineAsked, [], 'nothing asked of the host while offline');
      await page.setOfflineMode(false);
    }

    serveFolder(nextBuild);
    await page.reload({waitUntil: 'load'});
    // The page reloads itself once the next build's worker has taken over.
    await waitFor('the next build on the page', () => page.evaluate(() =>
      getComputedStyle(document.getElementById('controls')).getPropertyValue('--build').trim() === 'next').catch(() => false), 10000);
    const cached = await page.evaluate(async () => {
      const names = await caches.keys();
      return {names, files: (await (await caches.open(names[0])).keys()).length};
    });
    const build = /var build = '(\w+)'/.exec(fs.readFileSync(path.join(nextBuild, 'sw.js'), 'utf8'))[1];
    assert.ok(cached.names.length === 1 && cached.names[0].endsWith(build), `one cache, the next build's: ${cached.names}`);
    // Every file but the worker, and the page under its folder's address.
    assert.strictEqual(cached.files, fs.readdirSync(nextBuild).length, 'the whole build cached');
    assert.deepStrictEqual(await errors(), [], 'no error in the app');
    await page.close();
  } finally {
    server.close();
    fs.rmSync(nextBuild, {recursive: true, force: true});
  }
}

// A phone takes the audio away (a call, another app) and gives it back
// suspended or "interrupted", where a resume may fail, or closes it: the
// next gestures bring the sound back. The page's context is reached
// through its prototype, which also counts the cues played.
async function soundComesBack(engine, url) {
  const {page, errors} = await engine.open(url, {width: 1024, height: 800});
  const state = () => page.evaluate(() => marchfireHost.sound.state());
  await introUp(page);
  await waitFor('the cues decoded', async () => (await state()).decoded === 7, 3000);
  await page.keyboard.press('Enter');
  const running = await waitFor('the audio to run', async () => (await state()).audio === 'running', 2000).catch(() => false);
  if (!running) {
    const why = `the sound coming back: the audio is ${(await state()).audio} (no sound device?)`;
    await page.close();
    return skip(engine, why);
  }
  await page.evaluate(() => {
    const base = BaseAudioContext.prototype;
    const realState = Object.getOwnPropertyDescriptor(base, 'state').get;
    const realResume = AudioContext.prototype.resume;
    const realSource = base.createBufferSource;
    const trick = window.audioTrick = {context: null, interrupted: false, refusals: 0, resumes: 0, played: 0};
    Object.defineProperty(base, 'state', {configurable: true, get() {
      trick.context = this;
      return trick.interrupted ? 'interrupted' : realState.call(this);
    }});
    AudioContext.prototype.resume = function () {
      trick.resumes += 1;
      if (trick.refusals > 0) return Promise.reject(new Error(`refused (${trick.refusals--} more)`));
      trick.interrupted = false;
      return realResume.call(this);
    };
    base.createBufferSource = function () {
      trick.played += 1;
      return realSource.call(this);
    };
  });
  const trick = () => page.evaluate(() => {
    const t = window.audioTrick;
    return {played: t.played, resumes: t.resumes, same: t.context === t.before};
  });
  // Heard again: a cue played after the gesture (the grid's march sounds
  // at each of its steps; the taps of Left keep the player under the shield).
  const heardAgain = async (what) => {
    const before = (await trick()).played;
    await waitFor(what, async () => (await trick()).played > before, 10000);
  };
  await waitFor('the page to look at its audio', () => page.evaluate(() => window.audioTrick.context !== null));

  await page.evaluate(() => window.audioTrick.context.suspend());
  await page.keyboard.press('ArrowLeft');
  await heardAgain('the sound back after a suspension and a key');

  await page.evaluate(() => { Object.assign(window.audioTrick, {interrupted: true, refusals: 1, resumes: 0}); });
  await page.keyboard.press('ArrowLeft');
  await waitFor('a resume at the first key', async () => (await trick()).resumes === 1, 10000);
  await page.keyboard.press('ArrowLeft');
  await heardAgain('the sound back at the key after a failed resume');

  await page.evaluate(() => {
    window.audioTrick.before = window.audioTrick.context;
    return window.audioTrick.context.close();
  });
  await page.keyboard.press('ArrowLeft');
  await heardAgain('the sound back in a new audio context after the old one was closed');
  assert.ok(!(await trick()).same, 'a closed context is replaced');
  assert.strictEqual((await state()).decoded, 7, 'the cues decoded again');
  assert.deepStrictEqual(await errors(), [], 'no error while the sound comes back');
  await page.close();
}

// A phone upright, sideways, and a small one: the touch buttons stand clear
// of the field, and where the field is shown at less than 60 % of its size
// the page's own score line, readable, stands beside or above it. Each size
// is a frame of its own in one page, so that every engine takes it whatever
// its windows may be.
async function phoneLayout(engine, url) {
  const {page, errors} = await engine.open(url, {width: 1024, height: 900});
  for (const [width, height] of [[390, 844], [844, 390], [360, 640]]) {
    await page.evaluate((src, w, h) => new Promise((loaded) => {
      document.querySelectorAll('iframe').forEach((old) => old.remove());
      document.body.style.visibility = 'hidden';
      const phone = document.createElement('iframe');
      phone.style.cssText = `position: fixed; left: 0; top: 0; width: ${w}px; height: ${h}px; border: 0; z-index: 9; visibility: visible`;
      phone.addEventListener('load', () => loaded(true));
      phone.src = src;
      document.body.append(phone);
    }), url, width, height);
    const inPhone = (fn) => page.evaluate(`(${fn})(document.querySelector('iframe').contentWindow)`);
    await waitFor('the intro in the phone', () => inPhone((w) => w.marchfireHost.screen.stats.frames > 0), 8000);
    // A first touch, then a tap on the picture starts play: the score line.
    await inPhone((w) => {
      w.dispatchEvent(new w.Event('touchstart'));
      w.document.getElementById('stage').dispatchEvent(new w.PointerEvent('pointerdown', {bubbles: true}));
    });
    await waitFor('the score in the phone', () => inPhone((w) => w.document.getElementById('score-line').textContent === 'SCORE:  0'), 5000);
    const seen = await inPhone((w) => {
      const box = (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; };
      const canvas = w.document.getElementById('frame').getBoundingClientRect();
      const scale = Math.min(canvas.width / 1024, canvas.height / 768);
      const fx = canvas.left + (canvas.width - 1024 * scale) / 2, fy = canvas.top + (canvas.height - 768 * scale) / 2;
      const line = w.document.getElementById('score-line');
      return {field: [fx, fy, fx + 1024 * scale, fy + 768 * scale], fieldWidth: 1024 * scale,
              buttons: [...w.document.querySelectorAll('.touch-button')].map(box),
              score: box(line), scoreShown: line.offsetHeight > 0,
              fontPx: parseFloat(w.getComputedStyle(line).fontSize),
              // What stands on top at the corners of the frame's own score.
              // (a pixel inward at its right and bottom edges).
              overFrameScore: [[924, 0, 0, 0], [1024, 0, -1, 0], [924, 17, 0, -1], [1024, 17, -1, -1]].map(([x, y, dx, dy]) =>
                w.document.elementFromPoint(fx + x * scale + dx, fy + y * scale + dy)).map((e) => e && (e.id || e.tagName))};
    });
    await page.screenshot({path: path.join(os.tmpdir(), `marchfire-web-${engine.name}-${width}x${height}.png`)});
    const size = `${width} x ${height}`;
    const overlap = (a, b) => a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
    const inside = (a) => a[0] >= 0 && a[1] >= 0 && a[2] <= width && a[3] <= height;
    assert.strictEqual(seen.buttons.length, 3, `${size}: three buttons`);
    for (const button of seen.buttons) {
      assert.ok(!overlap(button, seen.field) && inside(button), `${size}: a button at ${button} clear of the field at ${seen.field}`);
    }
    if (seen.fieldWidth < 0.6 * 1024) {
      assert.ok(seen.scoreShown && seen.fontPx >= 12 && seen.score[3] - seen.score[1] >= 12,
                `${size}: the field ${Math.round(seen.fieldWidth)} px wide, a score line of ${seen.fontPx} px`);
      assert.ok(!overlap(seen.score, seen.field) && inside(seen.score), `${size}: the score line at ${seen.score}, beside the field`);
      assert.ok(seen.buttons.every((b) => !overlap(b, seen.score)), `${size}: no button over the score line`);
      assert.deepStrictEqual(seen.overFrameScore, Array(4).fill('score-cover'), `${size}: the frame's own score covered`);
    }
  }
  assert.deepStrictEqual(await errors(), [], 'no error in the phones');
  await page.close();
}

// Each scenario once in each engine; a failure is reported and the rest go on.
const scenarios = [
  ['app', 'installable, plays offline, a new build replaces the old whole', (e, url, facts) => appGame(e, facts)],
  ['keyboard', 'intro, cues ready, grid, move, shot heard, the page\'s score, pause while hidden, P, Escape in a pause', keyboardGame],
  ['touch', 'buttons and touch hint, full screen and back, a tap starts, Left moves, Fire fires, Escape in a focus pause', touchGame],
  ['phones', 'at 390 x 844, 844 x 390 and 360 x 640 the buttons clear the field, the score readable and shown once', (e, url) => phoneLayout(e, url)],
  ['sound', 'back after a suspension, an interruption with a failed resume, a closed context', (e, url) => soundComesBack(e, url)],
  ['gamepad', 'Start starts, stick with dead zone, south fires on release, Start pauses, Back quits', gamepadGame],
  ['screen', 'the screen shows the intro, then the shields and the player in play (WebKit with and without compositing)', (e, url) => require('./screen_check.js').screenCheck(e, url, pictures)],
  ['frame paths', 'the intro pixel for pixel on the 2D canvas (WebGL in software, or refused), through WebGL, and after a lost context', framePaths],
  ['failed start', 'the page says why, the program ends with 1', (e) => failedStart(e)],
];

(async () => {
  const {server, url} = await serve(site);
  const names = (process.env.MARCHFIRE_BROWSERS || 'chromium,firefox,webkit').split(',');
  const deadline = setTimeout(() => {
    console.error('browser test: gave up after 1800 s');
    process.exit(1);
  }, 1800000);
  let passed = 0, failed = 0;
  try {
    const size = downloadSize(site);
    assert.ok(size.raw <= sizeBounds.raw && size.gz <= sizeBounds.gz, `the build: ${size.raw} B, ${size.gz} B gzipped`);
    console.log('ok - the build is at most 1 MB, 600 kB gzipped');
    passed += 1;
    const facts = spriteFacts();
    for (const name of names) {
      const began = Date.now();
      const userDir = fs.mkdtempSync(path.join(os.tmpdir(), `marchfire-${name}-`));
      let engine = null;
      try {
        engine = await launchEngine(name, userDir);
        for (const [what, checks, run] of scenarios) {
          if (process.env.MARCHFIRE_SCENARIOS && !process.env.MARCHFIRE_SCENARIOS.split(',').includes(what)) continue;
          try {
            const note = await run(engine, url, facts);
            if (note === skippedWhole) continue;
            console.log(`ok - ${name}: ${what}: ${checks}${note ? ` (${note})` : ''}`);
            passed += 1;
          } catch (error) {
            console.log(`not ok - ${name}: ${what}: ${error.stack || error}`);
            failed += 1;
          }
        }
      } catch (error) {
        console.log(`not ok - ${name}: the browser: ${error.stack || error}`);
        failed += 1;
      } finally {
        if (engine) await engine.close().catch(() => {});
        fs.rmSync(userDir, {recursive: true, force: true});
      }
      console.log(`# ${name}: ${Math.round((Date.now() - began) / 1000)} s`);
    }
  } finally {
    clearTimeout(deadline);
    server.close();
  }
  console.log(`browser: ${passed} passed, ${failed} failed, ${skipped} skipped`);
  process.exit(failed === 0 ? 0 : 1);
})().catch((error) => {
  console.error(`not ok - ${error.stack || error}`);
  process.exit(1);
});
