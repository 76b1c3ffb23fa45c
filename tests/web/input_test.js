// The page's input rules, tried on input.js and pace.js themselves in a
// stand-in page: keys, touches and gamepads as a browser hands them over,
// the game's reads as the program makes them, and the pauses as the page's
// boot script sets them. Runs with `node --test`, no browser needed.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

const pageFolder = path.join(__dirname, '..', '..', 'platform', 'web', 'page');
const sources = ['pace.js', 'input.js'].map((name) =>
  [name, fs.readFileSync(path.join(pageFolder, name), 'utf8')]);
const keyNames = ['left', 'right', 'escape', 'enter'];  // the order of platform::Key
const pauseKinds = ['hidden', 'focus', 'P', 'Start'];

function eventTarget(extra) {
  const listeners = {};
  return Object.assign({listeners, addEventListener(type, f) { (listeners[type] ||= []).push(f); }},
                       extra);
}

function dispatch(target, type, fields) {
  const event = {type, defaultPrevented: false, target: {closest: () => null}, ...fields,
                 preventDefault() { this.defaultPrevented = true; }};
  (target.listeners[type] || []).forEach((listener) => listener(event));
  return event;
}

// A fresh page. Its clock, timers, microtasks and messages move only when a
// test runs them; every action returns the page, to be chained.
function page() {
  let now = 5000, pads = [];
  const timers = [], microtasks = [], messages = [], refreshes = [], elements = {};
  const calls = {markEnter: 0, fullScreen: 0, woken: 0};
  const element = (id) => elements[id] ||= eventTarget({classList: {add() {}, remove() {}},
                                                       setPointerCapture() {}});
  const window = eventTarget({
    performance: {now: () => now},
    setTimeout: (f, ms) => timers.push({f, at: now + ms}),
    clearTimeout: (id) => { if (timers[id - 1]) timers[id - 1].f = null; },
    queueMicrotask: (f) => microtasks.push(f),
    MessageChannel: function () {
      this.port1 = {};
      this.port2 = {postMessage: () => messages.push(this.port1)};
    },
    requestAnimationFrame: (f) => refreshes.push(f),
    navigator: {getGamepads: () => pads},
    document: {getElementById: element},
    marchfireHost: {screen: {markEnter: () => calls.markEnter++},
                    fullScreen: {toggle: () => calls.fullScreen++}},
  });
  window.window = window;
  vm.createContext(window);
  for (const [name, text] of sources) vm.runInContext(text, window, {filename: name});
  const {input, pace} = window.marchfireHost;
  input.start();

  const p = {
    pace, calls,
    act(f) { f(); return p; },
    down: (code, repeat = false) => p.act(() => dispatch(window, 'keydown', {code, repeat})),
    up: (code) => p.act(() => dispatch(window, 'keyup', {code})),
    tap: (code) => p.down(code).up(code),
    scrolls: (code) => !dispatch(window, 'keydown', {code}).defaultPrevented,
    // Pads as navigator.getGamepads gives them: {buttons: [indices held], axes, values, ...}.
    pads: (list) => p.act(() => {
      pads = list.map((pad, index) => pad && {
        index, connected: true, axes: [0, 0], ...pad,
        buttons: Array.from({length: pad.count ?? 17}, (_, b) =>
          ({pressed: (pad.buttons || []).includes(b), value: (pad.values || {})[b] ?? 0})),
      });
      input.lookAtPads(true);
    }),
    pad: (buttons, x = 0) => p.pads([{buttons, axes: [x, 0]}]),
    touch: (id, type, onButton = false) => p.act(() => dispatch(element(id), type,
      {pointerId: 1, target: {closest: () => (onButton ? {} : null)}})),
    // What the game reads in one turn: its four keys, and its shots.
    keys: () => keyNames.filter((_, key) => input.keyDown(key)).join(' '),
    shots: () => input.takeSpaceReleases(),
    rest: (ms) => p.act(() => pace.rest(ms, () => calls.woken++)),
    atPicture: () => p.rest(0xFFFFFFFF),
    inPlay: () => p.rest(15),
    // Lets the page's tasks run, the clock moved on by `ms` first; bounded.
    run: (ms = 0) => p.act(() => {
      now += ms;
      for (let turn = 0; turn < 100; turn++) {
        const due = timers.find((t) => t.f && t.at <= now);
        if (microtasks.length) microtasks.shift()();
        else if (messages.length) messages.shift().onmessage();
        else if (due) { const f = due.f; due.f = null; f(); }
        else return;
      }
      throw new Error('the page never settles');
    }),
    wakesAt(ms) { const before = calls.woken; p.run(ms); return calls.woken - before; },
    // The display's refresh `ms` from now, and the tasks after it.
    refresh: (ms) => p.act(() => { now += ms; refreshes.splice(0).forEach((f) => f(now)); }),
    wakesAtRefresh(ms) {
      const before = calls.woken;
      p.refresh(ms);
      assert.equal(calls.woken, before, 'no step inside the refresh: the browser draws first');
      p.run();
      return calls.woken - before;
    },
    // A step's flip: its frame named, the program woken once it may go on.
    flip: (name, uploads) => p.act(() => {
      pace.handOver(() => uploads.push(name));
      pace.awaitShown(() => calls.woken++);
    }),
    // The pauses as boot.js sets them, and the player's own.
    pause: (kind) => p.act(() => {
      if (kind === 'hidden') pace.setPaused('hidden', true);
      if (kind === 'focus') { dispatch(window, 'blur'); pace.setPaused('focus', true); }
      if (kind === 'P') p.tap('KeyP');
      if (kind === 'Start') p.pad([9]).pad([]);
    }),
    resume: (kind) => (kind === 'hidden' || kind === 'focus')
      ? p.act(() => pace.setPaused(kind, false)) : p.pause(kind),
  };
  return p;
}

test('every key that counts holds its key, a tap between reads counts once, others never', () => {
  for (const [code, key] of [['ArrowLeft', 'left'], ['ArrowRight', 'right'],
                             ['Escape', 'escape'], ['Enter', 'enter'], ['NumpadEnter', 'enter']]) {
    const p = page().atPicture().down(code);
    assert.deepEqual([p.keys(), p.keys(), p.up(code).keys()], [key, key, ''], `${code} held`);
    assert.deepEqual([p.tap(code).keys(), p.keys()], [key, ''], `${code} tapped: read once`);
  }
  const p = page().inPlay();
  for (const code of ['KeyA', 'ArrowUp', 'ArrowDown', 'Numpad4', 'ShiftLeft', 'Tab']) {
    assert.deepEqual([p.down(code).keys(), p.up(code).shots()], ['', 0], code);
  }
  for (const code of ['Space', 'ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown']) {
    assert.ok(!p.scrolls(code), `${code} does not scroll the page`);
  }
  assert.ok(p.scrolls('KeyA'));
});

test('Enter counts only at a picture waiting for it, and wakes it at once', () => {
  const p = page().inPlay().tap('Enter');
  assert.equal(p.wakesAt(0), 0, 'a key in play does not cut the step short');
  assert.equal(p.atPicture().keys(), '', 'nor starts the death picture that follows');
  assert.equal(p.tap('Enter').wakesAt(0), 1, 'at a picture it wakes it before any timer');
  assert.deepEqual([p.keys(), p.calls.markEnter], ['enter', 1]);
});

test('Space fires once on its release, after a press the page saw; repeats are no presses', () => {
  const p = page().inPlay().up('Space').down('Space');  // first a release of a press before the page
  for (let i = 0; i < 3; i++) p.down('Space', true);
  assert.equal(p.shots(), 0);
  assert.equal(p.up('Space').up('Space').shots(), 1);
  // Held on through a trip to another window: neither Space's repeats nor
  // the arrow's bring back what the blur let go of.
  assert.equal(p.down('Space').down('ArrowLeft').keys(), 'left');
  p.pause('focus').resume('focus').down('Space', true).down('ArrowLeft', true).up('Space');
  assert.deepEqual([p.keys(), p.shots()], ['', 0]);
  // P and F act once per press however long they are held.
  assert.ok(p.down('KeyP').down('KeyP', true).pace.paused());
  assert.ok(!p.up('KeyP').tap('KeyP').pace.paused());
  assert.equal(p.down('KeyF').down('KeyF', true).calls.fullScreen, 1);
});

test('the pad: D-pad, Back and the stick past its dead zone hold keys; others do nothing', () => {
  const p = page().inPlay();
  for (const [button, key] of [[14, 'left'], [15, 'right'], [8, 'escape']]) {
    const reads = [p.pad([button]).keys(), p.pad([button]).keys()];
    // Polled once more after the game's last read, then let go of.
    reads.push(p.pad([button]).pad([]).keys());
    assert.deepEqual(reads, [key, key, ''], `button ${button}`);
  }
  for (const [x, key] of [[0.5, ''], [0.5000001, 'right'], [-0.5, ''], [-0.5000001, 'left'],
                          [1, 'right'], [-1, 'left'], [0, '']]) {
    assert.equal(p.pad([], x).keys(), key, `stick at ${x}`);
  }
  assert.equal(p.pads([{axes: [0, -1, -1, 1]}]).keys(), '', 'up, and the right stick');
  assert.equal(p.pads([{values: {14: 0.5}}]).keys(), '', 'a button half way');
  assert.equal(p.pads([{values: {14: 0.5000001}}]).keys(), 'left', 'and past it');
  for (const button of [1, 3, 4, 5, 6, 7, 10, 11, 12, 13, 16]) {
    assert.equal(p.pad([button]).pad([]).keys(), '', `button ${button}`);
  }
  assert.equal(p.pads([{buttons: [0, 1, 2, 3], count: 4}]).keys(), '', 'a pad with few buttons');
  assert.deepEqual([p.pace.paused(), p.shots()], [false, 0]);
});

test('south and west fire on their release, once; a pad beside others lets go only of its own', () => {
  const p = page().inPlay();
  for (const button of [0, 2]) {
    assert.equal(p.pad([button]).pad([button]).shots(), 0, `button ${button} held`);
    assert.equal(p.pad([]).pad([]).shots(), 1, `button ${button} let go`);
  }
  assert.equal(p.down('ArrowLeft').pad([]).keys(), 'left', 'an idle pad keeps the keyboard\'s hold');
  p.up('ArrowLeft');
  for (const two of [[{buttons: [15]}, {}], [{}, {buttons: [15]}], [null, {buttons: [15]}]]) {
    assert.equal(p.pads(two).keys(), 'right');
  }
  assert.equal(p.pads([{buttons: [15], connected: false}]).keys(), '', 'a pad gone holds nothing');
});

test('Start is Enter at a picture, and the pause key in play and during a pause', () => {
  const p = page().atPicture().pad([9]).pad([9]);
  assert.deepEqual([p.keys(), p.keys(), p.calls.markEnter], ['enter', '', 1], 'held, one Enter');
  assert.ok(p.pad([]).inPlay().pad([9]).pace.isPausedBy('player'));
  assert.ok(!p.pad([]).pad([9]).pace.paused());
  assert.ok(!p.atPicture().tap('KeyP').pad([]).pad([9]).pace.paused(), 'at a picture too');
  assert.equal(p.keys(), '', 'where that Start is no Enter');
});

test('a pause holds back presses, taps and shots, keeps earlier holds, and the game stands still', () => {
  for (const kind of pauseKinds) {
    const p = page().rest(1);  // the shortest rest of play: a message, no timer
    assert.equal(p.down('ArrowLeft').down('Space').keys(), 'left');
    assert.ok(p.pause(kind).pace.paused(), kind);
    p.tap('ArrowRight').up('Space').tap('Space').pad([0]).pad([]);
    assert.equal(p.wakesAt(1000), 0, `${kind}: the game waits`);
    p.down('ArrowRight').down('Space').pad([0]).resume(kind);  // held on through its end
    assert.equal(p.wakesAt(0), 1, `${kind}: and goes on at its end`);
    assert.equal(p.keys(), kind === 'focus' ? 'right' : 'left right', kind);
    assert.equal(p.up('Space').pad([]).shots(), 0, kind);
  }
  const again = page().rest(15).pause('P').resume('P').pause('hidden');
  assert.equal(again.wakesAt(1000), 0, 'a pause begun again before the end of the last one woke the game');
  const p = page().atPicture().pause('P').tap('Enter').resume('P');
  assert.deepEqual([p.keys(), p.calls.markEnter], ['', 0], 'Enter tapped in a pause is none');
});

test('Escape and Back end every kind of pause, and reach the game', () => {
  for (const kinds of [...pauseKinds.map((kind) => [kind]), pauseKinds.slice(0, 3)]) {
    for (const way of ['Escape', 'Back']) {
      const p = page().inPlay();
      kinds.forEach(p.pause);
      if (way === 'Escape') p.down('Escape'); else p.pad([8]);
      const what = `${way} in a pause of ${kinds}`;
      assert.deepEqual([p.pace.paused(), p.keys(), p.wakesAt(0)], [false, 'escape', 1], what);
    }
  }
});

test('touch: the buttons hold and fire on lifting; a tap on a waiting picture is Enter', () => {
  const p = page().inPlay();
  assert.equal(p.touch('touch-left', 'pointerdown').keys(), 'left');
  assert.equal(p.touch('touch-left', 'pointerup').touch('touch-right', 'pointerdown').keys(), 'right');
  assert.equal(p.touch('touch-right', 'lostpointercapture').keys(), '');
  for (const end of ['pointercancel', 'lostpointercapture']) {  // the finger slid off
    p.touch('touch-fire', 'pointerdown').touch('touch-fire', end).touch('touch-fire', 'pointerup');
  }
  assert.equal(p.shots(), 0);
  p.touch('touch-fire', 'pointerdown').touch('touch-fire', 'pointerup');
  assert.equal(p.touch('touch-fire', 'lostpointercapture').shots(), 1);
  p.atPicture();
  assert.equal(p.touch('stage', 'pointerdown', true).keys(), '', 'on a button over the field');
  assert.equal(p.touch('stage', 'pointerdown').keys(), 'enter');
  assert.ok(p.pause('focus').touch('stage', 'pointerdown').pace.paused(), 'a window\'s pause stays');
  p.resume('focus').pause('P').touch('stage', 'pointerdown');
  assert.deepEqual([p.pace.paused(), p.keys()], [false, ''], 'the player\'s ends, and no Enter');
});

test('the game\'s clock leaves out every pause and wraps at 32 bits', () => {
  const p = page();
  const start = p.pace.tick();
  p.pace.setPaused('focus', false);  // focus back without a pause
  assert.equal(p.pause('hidden').run(700).pace.tick(), start);
  p.pause('P').resume('hidden').run(300).resume('P').run(10);
  p.pause('focus').run(2 ** 32).resume('focus').run(2 ** 32 - start - 10);
  assert.equal(p.pace.tick(), 0);
});

test('the flip waits for the refresh, a late step does not, and no frame goes up twice', () => {
  const uploads = [];
  const p = page().flip('a', uploads);
  assert.equal(p.wakesAt(15), 0, 'no step before the display shows its frame');
  assert.deepEqual([p.wakesAtRefresh(1), uploads], [1, ['a']]);
  p.run(15).flip('b', uploads);
  assert.equal(p.wakesAtRefresh(1), 1);  // refreshes 16 ms apart from here on
  // 17 ms of work misses the refresh 16 ms after the step began.
  assert.equal(p.run(17).flip('c', uploads).wakesAt(0), 1, 'late: on at once');
  p.flip('d', uploads);
  assert.equal(p.wakesAt(14), 0, 'the next step waits for the refresh after');
  assert.deepEqual([p.wakesAtRefresh(1), uploads], [1, ['a', 'b', 'd']], 'c replaced unseen');
  // Done on the dot of its refresh is in time; with no refresh for 100 ms
  // the frame goes up without one, once, and flips wait for none until a
  // refresh comes again.
  p.run(16).flip('e', uploads);
  assert.deepEqual([p.wakesAt(99), p.wakesAt(1), uploads.at(-1)], [0, 1, 'e']);
  assert.deepEqual([p.flip('e2', uploads).wakesAt(0), uploads.at(-1)], [1, 'e2']);
  assert.deepEqual([p.wakesAtRefresh(1), uploads], [0, ['a', 'b', 'd', 'e', 'e2']]);
  // A pause lets no newer frame come: the last goes up at once, the game
  // held until the pause ends.
  p.flip('f', uploads).pause('P');
  assert.deepEqual([uploads.at(-1), p.wakesAtRefresh(16), p.wakesAt(100)], ['f', 0, 0]);
  assert.equal(p.resume('P').wakesAtRefresh(16), 1);
  assert.deepEqual(uploads.slice(-2), ['e2', 'f']);
});

test('below 48 Hz a step waits 1000/48 ms at most from its refresh, and the refresh shows only the newest frame', () => {
  const uploads = [];
  const p = page().flip('a', uploads);
  p.wakesAtRefresh(1);
  p.flip('b', uploads).wakesAtRefresh(33);  // the display learned: 30 Hz
  assert.deepEqual([p.flip('c', uploads).wakesAt(20.8), p.wakesAt(0.1)], [0, 1]);
  assert.deepEqual([p.flip('d', uploads).refresh(12.1).wakesAt(3), uploads], [1, ['a', 'b', 'd']]);
  assert.deepEqual([p.flip('e', uploads).wakesAt(17.8), p.wakesAt(0.1)], [0, 1],
                   'from the refresh, not the task 3 ms after it; no earlier step\'s wait cuts it short');
});

test('a tap of Enter between a picture\'s refresh and the task that goes on from it reaches the picture', () => {
  const p = page();
  p.pace.handOver(() => {});
  p.pace.awaitShown(() => p.atPicture());
  assert.deepEqual([p.refresh(16).tap('Enter').wakesAt(0), p.keys()], [1, 'enter']);
});
