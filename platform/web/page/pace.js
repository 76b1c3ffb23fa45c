// The game's clock and its waits. The program runs in the page's own thread:
// every wait of the game comes here (host_rest) and gives the browser its
// turn until the game may go on. While the game is paused (hidden tab, lost
// focus, P, Start) its clock stands still and no wait ends.
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

marchfireHost.pace = (function () {
  var noDeadline = 0xFFFFFFFF;
  // A picture waiting for a key still looks at the keys this often, for
  // the gamepad's sake; a key press wakes it at once.
  var keyWaitSliceMs = 50;

  var pausedAt = null;     // performance.now() when the pause began
  var pausedTotal = 0;     // all the time spent paused, in ms
  var reasons = {};        // why the game is paused: hidden, focus, player
  var pendingWake = null;  // the program's resumption while it rests
  var timer = null;
  var waitingForKey = false;
  var channel = new MessageChannel();
  var listeners = [];
  // How long the game kept the page's thread at each turn (figures and the
  // browser test read it): the longest turns, with what the game did next.
  var turnBegan = null;
  var turns = {count: 0, totalMs: 0, longest: [], recent: []};

  function endTurn(msLeft) {
    if (turnBegan === null) return;
    var took = performance.now() - turnBegan;
    turnBegan = null;
    turns.count += 1;
    turns.totalMs += took;
    turns.recent.push([took, msLeft]);
    if (turns.recent.length > 4096) turns.recent.shift();
    turns.longest.push({ms: took, at: performance.now(), nextRest: msLeft});
    turns.longest.sort(function (a, b) { return b.ms - a.ms; });
    if (turns.longest.length > 8) turns.longest.length = 8;
  }

  // A task of its own without the delay that chained timers get.
  channel.port1.onmessage = function () { wake(); };

  function paused() { return pausedAt !== null; }

  function tick() {
    var now = paused() ? pausedAt : performance.now();
    // The game's tick wraps modulo 2^32 like any 32-bit millisecond counter.
    return Math.floor(now - pausedTotal) >>> 0;
  }

  function wake() {
    if (paused() || pendingWake === null) return;
    if (timer !== null) clearTimeout(timer);
    timer = null;
    var resume = pendingWake;
    pendingWake = null;
    turnBegan = performance.now();
    resume();
  }

  function rest(msLeft, wakeUp) {
    endTurn(msLeft);
    pendingWake = wakeUp;
    waitingForKey = msLeft === noDeadline;
    marchfireHost.input.pollGamepads();
    if (paused()) return;  // the end of the pause wakes it
    if (waitingForKey) {
      timer = setTimeout(wake, keyWaitSliceMs);
    } else if (msLeft >= 2) {
      // A timer may fire a little late: ask for one ms less than allowed.
      timer = setTimeout(wake, msLeft - 1);
    } else {
      channel.port2.postMessage(0);
    }
  }

  function setPaused(reason, on) {
    var before = paused();
    if (on) reasons[reason] = true; else delete reasons[reason];
    var now = Object.keys(reasons).length > 0;
    if (now === before) return;
    if (now) {
      pausedAt = performance.now();
      if (timer !== null) clearTimeout(timer);
      timer = null;
    } else {
      pausedTotal += performance.now() - pausedAt;
      pausedAt = null;
    }
    listeners.forEach(function (listener) { listener(now); });
    if (!now) setTimeout(wake, 0);
  }

  // Every cause at once: a game asked to quit must see it, paused or not.
  function endEveryPause() {
    Object.keys(reasons).forEach(function (reason) { setPaused(reason, false); });
  }

  return {
    tick: tick,
    rest: rest,
    paused: paused,
    setPaused: setPaused,
    endEveryPause: endEveryPause,
    isPausedBy: function (reason) { return reasons[reason] === true; },
    // True while a picture (intro, death) waits for Enter or Escape.
    waitingForKey: function () { return waitingForKey; },
    // An input event: a waiting picture looks at the keys as soon as the
    // event's handler is done (never inside it: the game would run in the
    // middle of the handler that is telling it about the key), before any
    // other task: a message to the page itself may wait behind a frame of
    // the browser's rendering, 10 ms and more.
    inputArrived: function () { if (waitingForKey) queueMicrotask(wake); },
    onPauseChange: function (listener) { listeners.push(listener); },
    turns: turns,
  };
})();
