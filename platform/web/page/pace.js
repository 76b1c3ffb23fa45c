// The game's clock and its waits. The program runs in the page's own thread:
// every wait of the game comes here (host_rest) and gives the browser its
// turn until the game may go on. While the game is paused (hidden tab, lost
// focus, P, Start) its clock stands still and no wait ends.
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

// A rest with a deadline wakes the game once, when its clock has reached it,
// not before: each wake runs the game again. A wake less than a ms late costs
// the game nothing (its step starts at the whole ms it reads, so the next one
// ends that much sooner), but a timer takes whole ms and fires late by as
// much as this browser's timers have been firing late (nine times in ten, of
// the last 32, up to a ms: a clock that reads whole ms makes it one; later
// than that is a machine too busy for yields to help): it is
// asked for the first whole ms that brings it past the deadline when that
// leaves room for their unevenness, else for the last one before, and bare
// yields cover what is left. A picture waiting for a key sets no timer at
// all: an input event wakes it, a gamepad's through input.js.
//
// The flip waits for the display, as a desktop's does: a frame handed over
// is put on the canvas at the browser's next refresh (requestAnimationFrame)
// and the game goes on once it has been. So at 60 Hz a step lasts one
// refresh and each refresh shows one new step; the step's own 15 ms floor
// keeps a faster screen from speeding the game up. A step that is already
// late for the refresh it was meant for goes on at once: a slow phone loses
// the refresh it missed and no more, where a strict wait would halve its
// pace for missing by a ms.
marchfireHost.pace = (function () {
  var noDeadline = 0xFFFFFFFF;

  var pausedAt = null;     // performance.now() when the pause began
  var pausedTotal = 0;     // all the time spent paused, in ms
  var reasons = {};        // why the game is paused: hidden, focus, player
  var pendingWake = null;  // the program's resumption while it rests
  var timer = null;
  var deadline = null;     // performance.now() at which the rest ends
  // How far past the deadline a timer may be asked to fire.
  var timerAfterDeadlineMs = 0.6;
  // How late this browser's timers fire, in ms: the last 32 times, and the
  // lateness that nine in ten of them kept within.
  var timerLateness = [];
  var timerLateMs = 0.25;
  var timerDue = 0;
  var waitingForKey = false;
  var channel = new MessageChannel();
  var listeners = [];
  // How long the game kept the page's thread at each turn (figures and the
  // browser test read it): the longest turns, with what the game did next.
  var turnBegan = null;
  var turns = {count: 0, totalMs: 0, longest: [], recent: []};

  var frameUpload = null;        // puts the frame handed over on the canvas
  var refreshAsked = false;
  var waitingForRefresh = false;  // the program waits for its frame to be shown
  var lastRefreshAt = null;      // the last refresh's time, from the browser
  var refreshGaps = [];          // between refreshes asked for back to back
  var refreshMs = 1000 / 60;
  var wokeAt = null;             // where the program's latest turn began
  // When the step now running was let go: at the refresh that showed the
  // last one, else where its turn began.
  var letGoAt = null;
  var refreshLetGo = null;
  // A page that gets no refreshes though nothing pauses it (a window
  // behind another, which some engines stop refreshing while telling the
  // page it is visible) must not freeze the game nor slow it: once a
  // refresh is this late the frame is put there without one, and until a
  // refresh comes again the flips wait for none, the steps paced by their
  // 15 ms floor alone.
  var refreshOverdueMs = 100;
  var overdueTimer = null;
  var refreshesStopped = false;
  // A display slower than 48 Hz (a browser's battery saver holds its
  // refreshes to 30 a second; an engine drawing by the processor on a busy
  // machine, to 15) must not slow the game with it: the player's ship and
  // shots move by the step, the grid by the clock. There a step waits this
  // long at most from when it was let go (the browser's drawing after a
  // refresh can take most of it), and the refresh shows the newest frame
  // handed over; the step's own floor keeps the game from running ahead.
  var longestWaitMs = 1000 / 48;

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
  channel.port1.onmessage = function () { towardDeadline(false); };

  function paused() { return pausedAt !== null; }

  function tick() {
    var now = paused() ? pausedAt : performance.now();
    // The game's tick wraps modulo 2^32 like any 32-bit millisecond counter.
    return Math.floor(now - pausedTotal) >>> 0;
  }

  function stopTimer() {
    if (timer !== null) clearTimeout(timer);
    timer = null;
  }

  function wake() {
    if (paused() || pendingWake === null || waitingForRefresh) return;
    stopTimer();
    deadline = null;
    var resume = pendingWake;
    pendingWake = null;
    turnBegan = performance.now();
    wokeAt = turnBegan;
    letGoAt = refreshLetGo !== null ? refreshLetGo : turnBegan;
    refreshLetGo = null;
    resume();
  }

  // In a task of its own.
  function wakeSoon() {
    deadline = 0;
    channel.port2.postMessage(0);
  }

  // The refresh (or what stands in for one) shows the frame handed over.
  function refreshed(at) {
    refreshAsked = false;
    if (overdueTimer !== null) clearTimeout(overdueTimer);
    overdueTimer = null;
    if (lastRefreshAt !== null && at - lastRefreshAt > 3) {
      refreshGaps.push(at - lastRefreshAt);
      if (refreshGaps.length > 32) refreshGaps.shift();
      // Refreshes the page let pass without asking for them make longer
      // gaps: the short ones are the display's own.
      var sorted = refreshGaps.slice().sort(function (a, b) { return a - b; });
      refreshMs = sorted[Math.floor(sorted.length / 4)];
    }
    lastRefreshAt = at;
    var upload = frameUpload;
    frameUpload = null;
    if (upload !== null) upload();
    if (!waitingForRefresh) return;
    waitingForRefresh = false;
    refreshLetGo = at;
    // In a task of its own, once the browser has drawn what this refresh
    // shows: a step run inside the refresh's callback holds its drawing back
    // by as long as the step takes, and on a slow phone (Chromium slowed six
    // times) that made a refresh in six show no new step.
    wakeSoon();
  }

  // Without waiting for a refresh. In a pause no newer frame can come: the
  // one handed over is the one the next refresh would show, and goes up at
  // once, the game held until the pause ends, so the canvas shows where
  // play stopped from the moment it stopped, refreshes or none.
  function showNow() {
    var upload = frameUpload;
    frameUpload = null;
    waitingForRefresh = false;
    if (upload !== null) upload();
  }

  function askForRefresh() {
    if (refreshAsked) return;
    refreshAsked = true;
    requestAnimationFrame(function (at) {
      refreshesStopped = false;
      if (refreshAsked) refreshed(at);  // else the overdue timer came first
    });
    overdueTimer = setTimeout(function () {
      overdueTimer = null;
      if (paused()) return;
      refreshesStopped = true;
      refreshed(performance.now());
    }, refreshOverdueMs);
  }

  // A frame to put on the canvas at the next refresh, instead of any frame
  // handed over before that no refresh has shown: those are never uploaded.
  function handOver(upload) {
    frameUpload = upload;
    askForRefresh();
  }

  // Whether the frame just handed over comes after the refresh it was meant
  // for: the first one after the step began.
  function late(now) {
    if (lastRefreshAt === null || wokeAt === null) return false;
    var meantFor = lastRefreshAt + refreshMs * Math.max(1, Math.ceil((wokeAt - lastRefreshAt) / refreshMs));
    return now > meantFor;
  }

  // The flip: the program goes on once its frame has been shown.
  function awaitShown(wakeUp) {
    endTurn(-1);  // recorded as the rest of a turn that ended at a flip
    pendingWake = wakeUp;
    waitingForKey = false;
    deadline = null;
    marchfireHost.input.lookAtPads(false);
    if (paused()) {
      showNow();  // the end of the pause wakes it
    } else if (refreshesStopped) {
      showNow();
      wakeSoon();
    } else if (frameUpload === null || late(performance.now())) {
      wakeSoon();
    } else {
      waitingForRefresh = true;
      if (refreshMs > longestWaitMs) timer = setTimeout(waitNoLonger, letGoAt + longestWaitMs - performance.now());
    }
  }

  // Any wake, and any pause, stops this timer first.
  function waitNoLonger() {
    timer = null;
    waitingForRefresh = false;
    wakeSoon();
  }

  function timerFired() {
    timer = null;
    timerLateness.push(Math.max(performance.now() - timerDue, 0));
    if (timerLateness.length > 32) timerLateness.shift();
    var sorted = timerLateness.slice().sort(function (a, b) { return a - b; });
    timerLateMs = Math.min(sorted[Math.floor(sorted.length * 0.9)], 1);
    towardDeadline(true);
  }

  // The game is woken from a message's task, never a timer's: the timers it
  // then sets are not the nested kind that browsers hold to 4 ms at least.
  function towardDeadline(fromTimer) {
    if (deadline === null || paused()) return;
    var left = deadline - performance.now();
    if (left <= 0) {
      if (fromTimer) channel.port2.postMessage(0); else wake();
      return;
    }
    var before = left - timerLateMs;
    var ask = Math.ceil(before) - before < timerAfterDeadlineMs ? Math.ceil(before) : Math.floor(before);
    if (ask >= 1) {
      stopTimer();
      timerDue = performance.now() + ask;
      timer = setTimeout(timerFired, ask);
    } else {
      channel.port2.postMessage(0);
    }
  }

  function rest(msLeft, wakeUp) {
    endTurn(msLeft);
    pendingWake = wakeUp;
    waitingForKey = msLeft === noDeadline;
    marchfireHost.input.lookAtPads(waitingForKey);
    // The game's clock reads whole ms: it reaches tick + msLeft when the
    // time since load less the pauses does.
    deadline = waitingForKey ? null : tick() + msLeft + pausedTotal;
    if (paused()) return;  // the end of the pause wakes it
    if (waitingForKey) marchfireHost.input.watchPads();
    else towardDeadline(true);  // never a wake inside the rest itself
  }

  function setPaused(reason, on) {
    var before = paused();
    if (on) reasons[reason] = true; else delete reasons[reason];
    var now = Object.keys(reasons).length > 0;
    if (now === before) return;
    if (now) {
      pausedAt = performance.now();
      stopTimer();
      showNow();
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
    handOver: handOver,
    awaitShown: awaitShown,
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
    // Before an input event is handled: a step that a refresh let go on, its
    // task not yet run, runs first, as if that task had come first. A picture
    // just put up is then waiting for its key when the key comes.
    runDueTurn: function () { if (deadline === 0) wake(); },
    onPauseChange: function (listener) { listeners.push(listener); },
    turns: turns,
  };
})();
