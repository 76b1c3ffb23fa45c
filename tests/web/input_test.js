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
const keyWait = 0xFFFFFFFF;
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

// A fresh page: the clock, timers, microtasks and messages run only when a
// test says so.
function page() {
  let now = 5000, pads = [];
  const timers = [], microtasks = [], messages = [], elements = {};
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
    requestAnimationFrame() {},
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
    down: (code, repeat = false) => dispatch(window, 'keydown', {code, repeat}),
    up: (code) => dispatch(window, 'keyup', {code}),
    tap(code) { p.down(code); p.up(code); },
    // Pads as navigator.getGamepads gives them; each {buttons: [indices held], axes, ...}.
    pads(list) {
      pads = list.map((pad, index) => pad && {
        index, connected: true, axes: [0, 0], ...pad,
        buttons: Array.from({length: pad.count ?? 17}, (_, b) =>
          ({pressed: (pad.buttons || []).includes(b), value: (pad.values || {})[b] ?? 0})),
      });
      input.pollGamepads();
    },
    pad: (buttons, x = 0) => p.pads([{buttons, axes: [x, 0]}]),
    touch: (id, type, onButton = false) =>
      dispatch(element(id), type, {pointerId: 1, target: {closest: () => (onButton ? {} : null)}}),
    // What the game reads in one turn: its four keys, and its shots.
    keys: () => keyNames.filter((_, key) => input.keyDown(key)).join(' '),
    shots: () => input.takeSpaceReleases(),
    rest: (ms) => pace.rest(ms, () => calls.woken++),
    atPicture: () => p.rest(keyWait),
    inPlay: () => p.rest(15),
    // Lets the page's tasks run, the clock moved on by `ms` first; bounded.
    run(ms = 0) {
      now += ms;
      for (let turn = 0; turn < 100; turn++) {
        const due = timers.find((t) => t.f && t.at <= now);
        if (microtasks.length) microtasks.shift()();
        else if (messages.length) messages.shift().onmessage();
        else if (due) { const f = due.f; due.f = null; f(); }
        else return;
      }
      throw new Error('the page never settles');
    },
    wakesAt: (ms) => { const before = calls.woken; p.run(ms); return calls.woken - before; },
    // The pauses as boot.js sets them, and the player's own.
    pause(kind) {
      if (kind === 'hidden') pace.setPaused('hidden', true);
      if (kind === 'focus') { dispatch(window, 'blur'); pace.setPaused('focus', true); }
      if (kind === 'P') p.tap('KeyP');
      if (kind === 'Start') { p.pad([9]); p.pad([]); }
    },
    resume(kind) {
      if (kind === 'hidden' || kind === 'focus') pace.setPaused(kind, false);
      else p.pause(kind);
    },
  };
  return p;
}

test('every key that counts holds its key, a tap between reads counts once, others never', () => {
  for (const [code, key] of [['ArrowLeft', 'left'], ['ArrowRight', 'right'],
                             ['Escape', 'escape'], ['Enter', 'enter'], ['NumpadEnter', 'enter']]) {
    const p = page();
    p.atPicture();
    p.down(code);
    assert.deepEqual([p.keys(), p.keys()], [key, key], `${code} held`);
    p.up(code);
    assert.equal(p.keys(), '', `${code} let go`);
    p.tap(code);
    assert.deepEqual([p.keys(), p.keys()], [key, ''], `${code} tapped: read once`);
  }
  const p = page();
  p.inPlay();
  for (const code of ['KeyA', 'ArrowUp', 'ArrowDown', 'Numpad4', 'ShiftLeft', 'Tab']) {
    p.down(code);
    assert.equal(p.keys(), '', code);
    p.up(code);
  }
  assert.equal(p.shots(), 0);
  // The keys that would scroll the page do not.
  for (const code of ['Space', 'ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown']) {
    assert.ok(p.down(code).defaultPrevented, code);
  }
  assert.ok(!p.down('KeyA').defaultPrevented);
});

test('Enter counts only at a picture waiting for it, and wakes it at once', () => {
  const p = page();
  p.inPlay();
  p.tap('Enter');
  assert.equal(p.wakesAt(0), 0, 'a key in play does not cut the step short');
  p.atPicture();  // the death picture that follows
  assert.equal(p.keys(), '');
  p.tap('Enter');
  assert.equal(p.wakesAt(0), 1, 'woken before any timer');
  assert.equal(p.keys(), 'enter');
  assert.equal(p.calls.markEnter, 1);
});

test('Space fires once on its release, after a press the page saw; repeats are no presses', () => {
  const p = page();
  p.inPlay();
  p.up('Space');  // held as the page came up
  p.down('Space');
  for (let i = 0; i < 3; i++) p.down('Space', true);
  assert.equal(p.shots(), 0);
  p.up('Space');
  p.up('Space');
  assert.equal(p.shots(), 1);
  // Held on through a trip to another window: neither its repeats nor the
  // arrow's bring back what the blur let go of.
  p.down('Space');
  p.down('ArrowLeft');
  assert.equal(p.keys(), 'left');
  p.pause('focus');
  p.resume('focus');
  p.down('Space', true);
  p.down('ArrowLeft', true);
  p.up('Space');
  assert.deepEqual([p.keys(), p.shots()], ['', 0]);
  // P and F act once per press however long they are held.
  p.down('KeyP');
  p.down('KeyP', true);
  assert.ok(p.pace.paused());
  p.up('KeyP');
  p.tap('KeyP');
  assert.ok(!p.pace.paused());
  p.down('KeyF');
  p.down('KeyF', true);
  assert.equal(p.calls.fullScreen, 1);
});

test('the pad: D-pad, Back and the stick past its dead zone hold keys; others do nothing', () => {
  const p = page();
  p.inPlay();
  for (const [button, key] of [[14, 'left'], [15, 'right'], [8, 'escape']]) {
    p.pad([button]);
    assert.equal(p.keys(), key, `button ${button}`);
    p.pad([button]);
    assert.equal(p.keys(), key, `button ${button} held`);
    p.pad([button]);  // polled again after the game's last read
    p.pad([]);
    assert.equal(p.keys(), '', `button ${button} let go`);
  }
  for (const [x, key] of [[0.5, ''], [0.5000001, 'right'], [-0.5, ''], [-0.5000001, 'left'],
                          [1, 'right'], [-1, 'left'], [0, '']]) {
    p.pad([], x);
    assert.equal(p.keys(), key, `stick at ${x}`);
  }
  p.pads([{axes: [0, -1, -1, 1]}]);  // up, and the right stick
  assert.equal(p.keys(), '');
  // An analog button counts past half way.
  p.pads([{values: {14: 0.5}}]);
  assert.equal(p.keys(), '');
  p.pads([{values: {14: 0.5000001}}]);
  assert.equal(p.keys(), 'left');
  for (const button of [1, 3, 4, 5, 6, 7, 10, 11, 12, 13, 16]) {
    p.pad([button]);
    p.pad([]);
    assert.equal(p.keys(), '', `button ${button}`);
  }
  p.pads([{buttons: [0, 1, 2, 3], count: 4}]);  // a pad with few buttons
  assert.equal(p.keys(), '');
  assert.ok(!p.pace.paused());
  assert.equal(p.shots(), 0);
});

test('south and west fire on their release, once; a pad beside others lets go only of its own', () => {
  const p = page();
  p.inPlay();
  for (const button of [0, 2]) {
    p.pad([button]);
    p.pad([button]);
    assert.equal(p.shots(), 0, `button ${button} held`);
    p.pad([]);
    p.pad([]);
    assert.equal(p.shots(), 1, `button ${button} let go`);
  }
  p.down('ArrowLeft');
  p.pad([]);
  assert.equal(p.keys(), 'left', 'an idle pad keeps the keyboard\'s hold');
  p.up('ArrowLeft');
  for (const two of [[{buttons: [15]}, {}], [{}, {buttons: [15]}], [null, {buttons: [15]}]]) {
    p.pads(two);
    assert.equal(p.keys(), 'right');
  }
  p.pads([{buttons: [15], connected: false}]);
  assert.equal(p.keys(), '', 'a pad gone holds nothing');
});

test('Start is Enter at a picture, and the pause key in play and during a pause', () => {
  const p = page();
  p.atPicture();
  p.pad([9]);
  p.pad([9]);
  assert.deepEqual([p.keys(), p.keys()], ['enter', ''], 'held Start is one Enter');
  assert.equal(p.calls.markEnter, 1);
  p.pad([]);
  p.inPlay();
  p.pad([9]);
  assert.ok(p.pace.isPausedBy('player'));
  p.pad([]);
  p.pad([9]);
  assert.ok(!p.pace.paused());
  p.atPicture();
  p.tap('KeyP');
  p.pad([]);
  p.pad([9]);
  assert.ok(!p.pace.paused(), 'Start ends the pause at a picture too');
  assert.equal(p.keys(), '', 'and is no Enter there');
});

test('a pause holds back presses, taps and shots, keeps earlier holds, and the game stands still', () => {
  for (const kind of pauseKinds) {
    const p = page();
    p.rest(1);  // the shortest rest of play: a message, no timer
    p.down('ArrowLeft');
    p.down('Space');
    assert.equal(p.keys(), 'left');
    p.pause(kind);
    assert.ok(p.pace.paused(), kind);
    p.tap('ArrowRight');
    p.up('Space');
    p.tap('Space');
    p.pad([0]);
    p.pad([]);
    assert.equal(p.wakesAt(1000), 0, `${kind}: the game waits`);
    // Held on through the end of the pause.
    p.down('ArrowRight');
    p.down('Space');
    p.pad([0]);
    p.resume(kind);
    assert.equal(p.wakesAt(0), 1, `${kind}: and goes on at its end`);
    assert.equal(p.keys(), kind === 'focus' ? 'right' : 'left right', kind);
    p.up('Space');
    p.pad([]);
    assert.equal(p.shots(), 0, kind);
  }
  const p = page();
  p.atPicture();
  p.pause('P');
  p.tap('Enter');
  p.resume('P');
  assert.equal(p.keys(), '', 'Enter tapped in a pause is none');
  assert.equal(p.calls.markEnter, 0);
});

test('Escape and Back end every kind of pause, and reach the game', () => {
  for (const kinds of [...pauseKinds.map((kind) => [kind]), pauseKinds.slice(0, 3)]) {
    for (const way of ['Escape', 'Back']) {
      const p = page();
      p.inPlay();
      kinds.forEach(p.pause);
      if (way === 'Escape') p.down('Escape'); else p.pad([8]);
      const what = `${way} in a pause of ${kinds}`;
      assert.ok(!p.pace.paused(), what);
      assert.equal(p.keys(), 'escape', what);
      assert.equal(p.wakesAt(0), 1, what);
    }
  }
});

test('touch: the buttons hold and fire on lifting; a tap on a waiting picture is Enter', () => {
  const p = page();
  p.inPlay();
  p.touch('touch-left', 'pointerdown');
  assert.equal(p.keys(), 'left');
  p.touch('touch-left', 'pointerup');
  p.touch('touch-right', 'pointerdown');
  assert.equal(p.keys(), 'right');
  p.touch('touch-right', 'lostpointercapture');
  assert.equal(p.keys(), '');
  for (const end of ['pointercancel', 'lostpointercapture']) {  // the finger slid off
    p.touch('touch-fire', 'pointerdown');
    p.touch('touch-fire', end);
    p.touch('touch-fire', 'pointerup');
  }
  assert.equal(p.shots(), 0);
  p.touch('touch-fire', 'pointerdown');
  p.touch('touch-fire', 'pointerup');
  p.touch('touch-fire', 'lostpointercapture');
  assert.equal(p.shots(), 1);
  p.atPicture();
  p.touch('stage', 'pointerdown', true);  // on a button over the field
  assert.equal(p.keys(), '');
  p.touch('stage', 'pointerdown');
  assert.equal(p.keys(), 'enter');
  p.pause('focus');
  p.touch('stage', 'pointerdown');
  assert.ok(p.pace.paused(), 'a tap does not end a pause of the window');
  p.resume('focus');
  p.pause('P');
  p.touch('stage', 'pointerdown');
  assert.ok(!p.pace.paused(), 'but ends the player\'s');
  assert.equal(p.keys(), '');
});

test('the game\'s clock leaves out every pause and wraps at 32 bits', () => {
  const p = page();
  const start = p.pace.tick();
  p.pace.setPaused('focus', false);  // focus back without a pause
  p.pause('hidden');
  p.run(700);
  assert.equal(p.pace.tick(), start);
  p.pause('P');
  p.resume('hidden');
  p.run(300);
  p.resume('P');
  p.run(10);
  p.pause('focus');
  p.run(2 ** 32);
  p.resume('focus');
  p.run(2 ** 32 - start - 10);
  assert.equal(p.pace.tick(), 0);
});
