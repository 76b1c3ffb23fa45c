// Plays the browser build in the installed Chromium (headless) and checks
// what a player would see and do: the intro, play with keys and touch, the
// pause while the page is hidden, quitting, and that the page never stalls;
// and the app around it: its size, installing, offline play, a new build.
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
const {sleep, waitFor, launch, sizeBounds, downloadSize} = require('./browser.js');
const {serve} = require('./static_server.js');

const [site, pictures] = process.argv.slice(2);
if (!site || !pictures) throw new Error('usage: node play_test.js <dist/web> <pictures folder>');

const enemyColour = 0x126f06;
const formationStart = {x: 337, y: 100, dx: 20};
const columnPitch = 60, rowPitch = 66;
const playerY = 704;
const shield = {blueX: 150, yellowX: 650, y: 600, width: 240, height: 89};

// A page that records every error and every long task from its first line.
async function openPage(browser, url, viewport, prepare) {
  const page = await browser.newPage();
  if (prepare) await prepare(page);
  const errors = [];
  page.on('pageerror', (error) => errors.push(`uncaught: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(`console: ${message.text()}`);
  });
  page.on('requestfailed', (request) => errors.push(`request failed: ${request.url()}`));
  await page.setViewport(viewport);
  await page.evaluateOnNewDocument(fs.readFileSync(path.join(__dirname, 'page_probe.js'), 'utf8'));
  await page.evaluateOnNewDocument(() => {
    window.longTasks = [];
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) {
        window.longTasks.push({start: entry.startTime, duration: entry.duration});
      }
    }).observe({type: 'longtask', buffered: true});
  });
  await page.goto(url, {waitUntil: 'load', timeout: 15000});
  return {page, errors};
}

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
  return {enemyOffX: offX, enemyOffY: offY, playerRow};
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

// The 32 cells of the grid, counted from the enemy colour's top-left corner.
async function gridCells(page, facts) {
  const first = await probe(page, 'colour', enemyColour, []);
  if (first.count === 0) return {count: 0, cells: 0, x: -1, y: -1};
  const boxes = [];
  for (let c = 0; c < 8; c++) {
    for (let r = 0; r < 4; r++) boxes.push([first.minX + columnPitch * c, first.minY + rowPitch * r, 48, 40]);
  }
  const seen = await probe(page, 'colour', enemyColour, boxes);
  return {count: seen.count, cells: seen.inBoxes.filter((n) => n > 20).length,
          x: first.minX - facts.enemyOffX, y: first.minY - facts.enemyOffY,
          width: first.maxX - first.minX, height: first.maxY - first.minY};
}

const playerX = (page, facts) => probe(page, 'findRow', facts.playerRow, playerY + 32);
const frames = (page) => page.evaluate(() => marchfireHost.screen.stats.frames);
const introUp = (page) => waitFor('the intro', async () => (await frames(page)) > 0, 8000);
const noticeShown = (page, id) => page.$eval(id, (e) => !e.hidden);

// Once a move is let go: where the player stands, the same a few steps later.
async function stoppedAt(page, facts, what) {
  await sleep(100);
  const x = await playerX(page, facts);
  await sleep(200);
  assert.strictEqual(await playerX(page, facts), x, `the player stops when ${what} is let go`);
  return x;
}

// The strip a missile climbs above the player at x, below the grid's lowest row.
const columnAbove = (x) => [x + 20, 400, 24, playerY - 400 - 2];
const score = async (page, value) => (await probe(page, 'showsText', `SCORE:  ${value}`, 924, 0, 100, 17)) === 0;

// The enemies fire at random: a player who dies meanwhile sees the death
// picture, which waits for a key (the page knows), and Enter plays again.
const deathPictureUp = (page) => page.evaluate(() => marchfireHost.pace.waitingForKey());

async function playAgainIfDead(page) {
  if (!(await deathPictureUp(page))) return false;
  await page.keyboard.press('Enter');
  await waitFor('play again after a death', async () => !(await deathPictureUp(page)) && (await score(page, 0)));
  return true;
}

// One shot at a time, so that the first hit is seen alone: a shot may pass
// between two enemies, and climbs the whole field in about two seconds.
// True once the score has changed.
async function scoreAHit(page) {
  for (let shot = 0; shot < 10; shot++) {
    await playAgainIfDead(page);
    await page.keyboard.press('Space');
    const outcome = await waitFor('a hit or a death', async () => {
      if (await deathPictureUp(page)) return 'dead';
      if (await score(page, 0)) return null;
      // The death picture drawn over the score since the look above also
      // hides the 0.
      return (await deathPictureUp(page)) ? 'dead' : 'hit';
    }, 2500).catch(() => 'missed');
    if (outcome === 'hit') return true;
  }
  return false;
}

function playWindowLongTasks(tasks, from, to) {
  return tasks.filter((t) => t.start + t.duration > from && t.start < to && t.duration > 50);
}

async function keyboardGame(browser, url, facts) {
  const {page, errors} = await openPage(browser, url, {width: 1024, height: 800});
  const expectedIntro = pictureHash('intro.bmp');

  // The intro: the generator's picture, pixel for pixel (so the byte order is right).
  await waitFor('the intro on the canvas', async () => (await probe(page, 'hash')) === expectedIntro, 8000);

  // The cues are decoded while the intro waits: the first key never waits for them.
  await waitFor('the cues decoded before a key', async () => (await page.evaluate(() => marchfireHost.sound.state())).decoded === 7, 3000);

  // Enter starts play: the whole grid near its start, shields, player, score.
  await page.keyboard.press('Enter');
  await waitFor('the first frame of play', async () => (await probe(page, 'colour', enemyColour, [])).count > 0);
  const grid = await gridCells(page, facts);
  assert.strictEqual(grid.cells, 32, `all 32 enemies stand at the start (found ${grid.cells})`);
  assert.strictEqual(grid.y, formationStart.y, 'the grid starts at its top row');
  assert.ok(grid.x >= formationStart.x && grid.x <= formationStart.x + 3 * formationStart.dx &&
            (grid.x - formationStart.x) % formationStart.dx === 0, `grid at its start column (x ${grid.x})`);
  const blue = await probe(page, 'lit', [shield.blueX, shield.y, shield.width, shield.height]);
  const yellow = await probe(page, 'lit', [shield.yellowX, shield.y, shield.width, shield.height]);
  assert.ok(blue.count > 5000 && yellow.count > 5000, 'both shields stand in place');
  const startX = await playerX(page, facts);
  assert.strictEqual(startX, 288, 'the player stands at its start');
  assert.ok(await score(page, 0), 'the score line reads 0, white, top right');

  // Holding Right moves the player; letting go stops it.
  await page.keyboard.down('ArrowRight');
  await waitFor('the player to move right', async () => (await playerX(page, facts)) >= 480, 5000);
  await page.keyboard.up('ArrowRight');
  const stoppedX = await stoppedAt(page, facts, 'Right');
  // Pressed and let go within one step, a key still counts, once.
  await page.keyboard.press('ArrowRight');
  await waitFor('a tap of Right to move the player', async () => (await playerX(page, facts)) !== stoppedX, 2000);
  await sleep(200);
  assert.strictEqual(await playerX(page, facts), stoppedX + 6, 'a tap of Right moves one step');

  // A Space release fires; the hit scores 25. The first key let the audio
  // play: the shot is heard (one shot at a time: a second in flight could
  // score too). A machine with no sound device may keep the audio
  // suspended: silent play.
  const audio = (await page.evaluate(() => marchfireHost.sound.state())).audio;
  const shotHeard = async () => (await page.evaluate(() => marchfireHost.sound.state())).started.includes(108);
  if (audio !== 'running') console.log(`# audio is ${audio}: the shot cue is not checked`);
  else assert.ok(!(await shotHeard()), 'no shot heard before the first shot');
  assert.ok(await scoreAHit(page), 'a shot under the grid hits within ten');
  if (!(await score(page, 25))) {
    await page.screenshot({path: path.join(os.tmpdir(), 'marchfire-web-score.png')});
    const shown = [];
    for (const v of [0, 25, 50]) shown.push(`${v}: ${await probe(page, 'showsText', `SCORE:  ${v}`, 924, 0, 100, 17)}`);
    assert.fail(`the first hit raises the score from 0 to 25 (wrong pixels for ${shown.join(', ')})`);
  }
  if (audio === 'running') assert.ok(await shotHeard(), 'the shot is heard');

  // Hidden, the game stands still; shown again, it goes on.
  await playAgainIfDead(page);
  // Another tab in front hides this one, as a player switching tabs would.
  const otherTab = await browser.newPage();
  await otherTab.bringToFront();
  await waitFor('the page to be hidden', () => page.evaluate(() => document.visibilityState === 'hidden'), 3000);
  const hiddenGrid = await gridCells(page, facts);
  const hiddenFrames = await frames(page);
  const hiddenTick = await page.evaluate(() => marchfireHost.pace.tick());
  assert.ok(await noticeShown(page, '#paused'), 'the page says PAUSED');
  await sleep(1700);  // two steps of the grid at least
  const stillGrid = await gridCells(page, facts);
  assert.deepStrictEqual([stillGrid.x, stillGrid.y], [hiddenGrid.x, hiddenGrid.y], 'the grid stays put while hidden');
  assert.strictEqual(await frames(page), hiddenFrames, 'no frame while hidden');
  assert.strictEqual(await page.evaluate(() => marchfireHost.pace.tick()), hiddenTick, 'the clock stands still');
  await page.bringToFront();
  await otherTab.close();
  await waitFor('the page to be shown', () => page.evaluate(() => document.visibilityState === 'visible'), 3000);
  await waitFor('the pause notice to go', async () => !(await noticeShown(page, '#paused')), 2000);
  await waitFor('the grid to march on', async () => {
    const now = await gridCells(page, facts);
    return now.x !== hiddenGrid.x || now.y !== hiddenGrid.y;
  }, 3000);

  // P pauses and goes on too.
  await playAgainIfDead(page);
  await page.keyboard.press('KeyP');
  const pFrames = await frames(page);
  await sleep(300);
  assert.strictEqual(await frames(page), pFrames, 'P stops play');
  await page.keyboard.press('KeyP');
  await waitFor('play after the second P', async () => (await frames(page)) > pFrames, 2000);

  // Four seconds of play with nothing read from the page (reading the
  // canvas is itself work on the page's thread): no task over 50 ms. This
  // machine may be shared, and a busy neighbour can hold the page's thread
  // back too: three windows are tried, and one must be clean. A game that
  // blocks the page itself fails every one.
  const windows = [];
  for (let tried = 0; tried < 3; tried++) {
    await playAgainIfDead(page);
    const from = await page.evaluate(() => performance.now());
    for (let turn = 0; turn < 8; turn++) {
      const key = turn % 2 === 0 ? 'ArrowLeft' : 'ArrowRight';
      await page.keyboard.down(key);
      await sleep(400);
      await page.keyboard.up(key);
      await page.keyboard.press('Space');
      await sleep(100);
    }
    const to = await page.evaluate(() => performance.now());
    const longTasks = playWindowLongTasks(await page.evaluate(() => window.longTasks), from, to);
    windows.push(longTasks.map((t) => Math.round(t.duration)));
    if (longTasks.length === 0) break;
  }
  assert.ok(windows[windows.length - 1].length === 0,
            `no task over 50 ms in four seconds of play (tasks in ms per window: ${JSON.stringify(windows)}; ` +
            `the game's longest turns: ${JSON.stringify(await page.evaluate(() => marchfireHost.pace.turns.longest))})`);

  // Escape, even in a pause, ends the program with 0 and the page says so.
  await page.keyboard.press('KeyP');
  await waitFor('the pause notice', () => noticeShown(page, '#paused'), 2000);
  await page.keyboard.press('Escape');
  await waitFor('the end of the game', () => noticeShown(page, '#ended'), 3000);
  assert.strictEqual(await page.$eval('body', (b) => b.dataset.exitCode), '0', 'the program ends with 0');
  assert.ok(await page.$eval('#play-again', (b) => b.offsetWidth > 0), 'a way to play again');

  assert.deepStrictEqual(errors, [], 'no error on the page');
  await page.screenshot({path: path.join(os.tmpdir(), 'marchfire-web-end.png')}).catch(() => {});
  await page.close();
}

// A phone held upright.
async function touchGame(browser, url, facts) {
  const {page, errors} = await openPage(browser, url, {width: 360, height: 740, hasTouch: true, isMobile: true});
  assert.ok(await page.$eval('#touch-fire', (b) => b.offsetWidth > 0), 'a touch screen gets the buttons');
  const hint = (id) => page.$eval(id, (e) => [e.offsetHeight > 0, e.scrollWidth <= e.clientWidth]);
  assert.deepStrictEqual([await hint('#hint-touch'), (await hint('#hint-keys'))[0]], [[true, true], false],
                         'the touch hint shows, whole on one line, and the keyboard hint does not');
  await introUp(page);

  // The button gives the play field the whole screen and takes it back; it
  // does not start the game (a phone's refusal to turn is silent).
  const fullScreenIs = (id) => page.evaluate((want) => (document.fullscreenElement || {id: null}).id === want, id);
  await page.tap('#full-screen');
  await waitFor('full screen on the stage', () => fullScreenIs('stage'), 2000);
  await page.tap('#full-screen');
  await waitFor('full screen left', () => fullScreenIs(null), 2000);
  assert.ok(await page.evaluate(() => marchfireHost.pace.waitingForKey()), 'the intro still waits');

  // A tap on the picture starts play.
  const field = await (await page.$('#frame')).boundingBox();
  await page.touchscreen.tap(field.x + field.width / 2, field.y + field.height / 2);
  await waitFor('play after a tap', async () => (await playerX(page, facts)) >= 0);

  // Holding the Right button moves the player out from behind the shield.
  const right = await (await page.$('#touch-right')).boundingBox();
  await page.touchscreen.touchStart(right.x + right.width / 2, right.y + right.height / 2);
  await waitFor('the player to move right', async () => (await playerX(page, facts)) >= 440, 5000);
  await page.touchscreen.touchEnd();
  const x = await stoppedAt(page, facts, 'the button');

  // Fire: a missile leaves the player and climbs.
  const column = columnAbove(x);
  const before = await probe(page, 'lit', column);
  const fire = await page.$('#touch-fire');
  const box = await fire.boundingBox();
  await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  const first = await waitFor('a missile above the player', async () => {
    const now = await probe(page, 'lit', column);
    return now.count > before.count && now.top > 0 ? now : null;
  }, 2000, 10);
  const later = await waitFor('the missile to climb', async () => {
    const now = await probe(page, 'lit', column);
    return now.top >= 0 && now.top < first.top ? now : null;
  }, 2000, 10);
  assert.ok(later.top < first.top, 'the missile climbs');

  // The page loses the focus: paused. Escape still ends the game.
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  await waitFor('the pause notice', () => noticeShown(page, '#paused'), 2000);
  await page.keyboard.press('Escape');
  await waitFor('the end of the game', () => noticeShown(page, '#ended'), 3000);
  assert.strictEqual(await page.$eval('body', (b) => b.dataset.exitCode), '0', 'the program ends with 0');
  assert.deepStrictEqual(errors, [], 'no error on the touch page');
  await page.close();
}

// A gamepad of the standard mapping, played by the test through the
// browser's own Gamepad API entry point.
async function gamepadGame(browser, url, facts) {
  const {page, errors} = await openPage(browser, url, {width: 1024, height: 800}, async (p) => {
    await p.evaluateOnNewDocument(() => {
      const button = () => ({pressed: false, touched: false, value: 0});
      window.testPad = {index: 0, id: 'test pad', connected: true, mapping: 'standard', timestamp: 0,
                        axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, button)};
      window.setPadButton = (index, down) => {
        window.testPad.buttons[index] = {pressed: down, touched: down, value: down ? 1 : 0};
      };
      Object.defineProperty(Navigator.prototype, 'getGamepads', {value: () => [window.testPad, null, null, null]});
    });
  });
  const pad = (index, down) => page.evaluate((i, d) => window.setPadButton(i, d), index, down);
  const padTap = async (index, heldMs) => {
    await pad(index, true);
    await sleep(heldMs);
    await pad(index, false);
  };
  await introUp(page);

  // Start at a picture is Enter.
  await padTap(9, 100);
  await waitFor('play after Start', async () => (await playerX(page, facts)) >= 0);

  // The stick moves the player past its dead zone, not inside it.
  const x0 = await playerX(page, facts);
  await page.evaluate(() => { window.testPad.axes[0] = 0.4; });
  await sleep(300);
  assert.strictEqual(await playerX(page, facts), x0, 'the stick inside its dead zone moves nothing');
  await page.evaluate(() => { window.testPad.axes[0] = 0.9; });
  await waitFor('the stick to move the player', async () => (await playerX(page, facts)) >= 440, 5000)
      .catch(async (e) => {
        const state = await page.evaluate(() => JSON.stringify({
          paused: marchfireHost.pace.paused(), waitingForKey: marchfireHost.pace.waitingForKey(),
          axes: window.testPad.axes, frames: marchfireHost.screen.stats.frames}));
        throw new Error(`${e.message} ${state}`);
      });
  await page.evaluate(() => { window.testPad.axes[0] = 0; });

  // South fires on release.
  await playAgainIfDead(page);
  const x = await playerX(page, facts);
  const column = columnAbove(x);
  const before = await probe(page, 'lit', column);
  await pad(0, true);
  await sleep(150);
  assert.ok((await probe(page, 'lit', column)).count <= before.count, 'holding south does not fire yet');
  await pad(0, false);
  await waitFor('a missile after south is let go', async () => (await probe(page, 'lit', column)).count > before.count, 2000, 10);

  // Start in play pauses; again, goes on (held until seen: a busy machine skips polls).
  await pad(9, true);
  await waitFor('the pause notice', () => noticeShown(page, '#paused'), 2000);
  await pad(9, false);
  await sleep(300);
  await pad(9, true);
  await waitFor('play again', async () => !(await noticeShown(page, '#paused')), 2000);
  await pad(9, false);

  // Back is Escape.
  await pad(8, true);
  await waitFor('the end of the game', () => noticeShown(page, '#ended'), 3000);
  assert.deepStrictEqual(errors, [], 'no error on the gamepad page');
  await page.close();
}

// A whole wave: standing between the shields and firing as the grid marches
// over, every column passes overhead. The level picture follows, then the
// next wave stands whole at its start.
async function waveGame(browser, url, facts) {
  const {page, errors} = await openPage(browser, url, {width: 1024, height: 800});
  await introUp(page);
  await page.keyboard.press('Enter');
  await waitFor('play', async () => (await playerX(page, facts)) >= 0);
  await page.keyboard.down('ArrowRight');
  await waitFor('the player between the shields', async () => (await playerX(page, facts)) >= 440, 5000);
  await page.keyboard.up('ArrowRight');

  const levelBox = [215, 144, 640, 480];
  const levelPicture = pictureHash('sophomore.bmp');
  const end = Date.now() + 150000;
  let deaths = 0;
  for (;;) {
    if (Date.now() > end) assert.fail(`no wave cleared in 150 s (${deaths} deaths)`);
    if (await playAgainIfDead(page)) deaths += 1;
    if ((await probe(page, 'hash', levelBox)) === levelPicture) break;
    await page.keyboard.press('Space');
    await sleep(150);
  }
  const cleared = await gridCells(page, facts);
  assert.strictEqual(cleared.count, 0, 'no enemy left on the level picture');
  // After the level's pause, the next wave stands whole at its start.
  const next = await waitFor('the next wave', async () => {
    const grid = await gridCells(page, facts);
    return grid.cells === 32 ? grid : null;
  }, 9000, 50);
  assert.strictEqual(next.y, formationStart.y, 'the next wave starts at the top');
  assert.deepStrictEqual(errors, [], 'no error while a wave is played');
  await page.close();
  return deaths;
}

// The intro pixel for pixel on each path, named by the page: on the 2D
// canvas where WebGL is software (SwiftShader here) or refused; through
// WebGL where it is not (this page is told no renderer's name), and after
// its context was lost (the 2D canvas meanwhile) and given back.
async function framePaths(browser, url) {
  const intro = pictureHash('intro.bmp');
  const shows = async (page, path) => waitFor(`the intro on the ${path} path`, async () =>
    (await page.evaluate(() => marchfireHost.screen.path())) === path && (await probe(page, 'hash')) === intro, 8000);
  const pageWith = (override) => openPage(browser, url, {width: 1024, height: 800}, (p) => p.evaluateOnNewDocument(override));
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
  assert.deepStrictEqual(opened.flatMap((o) => o.errors), [], 'no error on any of the pages');
  await Promise.all(opened.map((o) => o.page.close()));
}

// A copy of the site whose enemy picture claims 8 bits per pixel: the start
// fails, and the page says why instead of thanking the player.
async function failedStart(browser) {
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
      const {page, errors} = await openPage(browser, url, {width: 1024, height: 800});
      await waitFor('the notice of a failed start', () => noticeShown(page, '#fatal'), 8000);
      const line = await page.$eval('#fatal-line', (e) => e.textContent);
      assert.match(line, /spartan\.bmp/, `the notice names the picture (${line})`);
      assert.strictEqual(await page.$eval('body', (b) => b.dataset.exitCode), '1', 'the program ends with 1');
      assert.ok(!(await noticeShown(page, '#ended')), 'no thanks for a game that never started');
      assert.deepStrictEqual(errors, [`console: ${line}`], 'the one error is the failed start itself');
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
async function appGame(browser, facts) {
  const nextBuild = fs.mkdtempSync(path.join(os.tmpdir(), 'marchfire-next-'));
  fs.cpSync(site, nextBuild, {recursive: true});
  fs.appendFileSync(path.join(nextBuild, 'style.css'), '#controls { --build: next; }\n');
  execFileSync('bash', [path.join(__dirname, '../../scripts/stamp-web-build.sh'), nextBuild]);
  const {server, url, requests, serveFolder} = await serve(site);
  try {
    const {page, errors} = await openPage(browser, url, {width: 1024, height: 800});
    await waitFor('the service worker to take the page', () => page.evaluate(() => navigator.serviceWorker.controller !== null), 8000);
    const cdp = await page.target().createCDPSession();
    assert.deepStrictEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, [], 'installable');

    await page.setOfflineMode(true);
    const asked = requests.length;
    await page.reload({waitUntil: 'load'});
    await introUp(page);
    await page.keyboard.press('Enter');
    await waitFor('the whole grid, offline', async () => (await gridCells(page, facts)).cells === 32, 3000);
    assert.deepStrictEqual(requests.slice(asked), [], 'nothing asked of the host while offline');
    await page.setOfflineMode(false);

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
    assert.deepStrictEqual(errors, [], 'no error in the app');
    await page.close();
  } finally {
    server.close();
    fs.rmSync(nextBuild, {recursive: true, force: true});
  }
}

(async () => {
  const userDir = fs.mkdtempSync(path.join(os.tmpdir(), 'marchfire-chromium-'));
  const {server, url} = await serve(site);
  let browser = null;
  const deadline = setTimeout(() => {
    console.error('browser test: gave up after 300 s');
    process.exit(1);
  }, 300000);
  try {
    const size = downloadSize(site);
    assert.ok(size.raw <= sizeBounds.raw && size.gz <= sizeBounds.gz, `the build: ${size.raw} B, ${size.gz} B gzipped`);
    console.log('ok - the build is at most 1 MB, 600 kB gzipped');
    browser = await launch(userDir);
    const facts = spriteFacts();
    await appGame(browser, facts);
    console.log('ok - app: installable, plays offline, a new build replaces the old whole');
    await keyboardGame(browser, url, facts);
    console.log('ok - keyboard: intro, cues ready, grid, move, hit, pause while hidden, P, no long task, Escape in a pause');
    await touchGame(browser, url, facts);
    console.log('ok - phone: buttons and touch hint, full screen and back, a tap starts, Right moves, Fire fires, Escape in a focus pause');
    await gamepadGame(browser, url, facts);
    console.log('ok - gamepad: Start starts, stick with dead zone, south fires on release, Start pauses, Back quits');
    await framePaths(browser, url);
    console.log('ok - the intro pixel for pixel on the 2D canvas (WebGL in software, or refused), through WebGL, and after a lost context');
    await failedStart(browser);
    console.log('ok - a start that fails: the page says why, the program ends with 1');
    const deaths = await waveGame(browser, url, facts);
    console.log(`ok - a whole wave cleared (${deaths} deaths on the way), the level picture, the next wave`);
  } finally {
    clearTimeout(deadline);
    if (browser) await browser.close();
    server.close();
    fs.rmSync(userDir, {recursive: true, force: true});
  }
})().catch((error) => {
  console.error(`not ok - ${error.stack || error}`);
  process.exit(1);
});
