// Keys, touch and gamepad, turned into what the game asks for: the held
// state of Left, Right, Escape and Enter, and Space releases in order.
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

marchfireHost.input = (function () {
  var pace = marchfireHost.pace;
  // The order of platform::Key.
  var LEFT = 0, RIGHT = 1, ESCAPE = 2, ENTER = 3;
  var keyOfCode = {ArrowLeft: LEFT, ArrowRight: RIGHT, Escape: ESCAPE, Enter: ENTER,
                   NumpadEnter: ENTER};
  var stickDeadZone = 0.5;

  // Held per source, so that letting go on one never cancels the other.
  var held = {keyboard: [false, false, false, false], touch: [false, false, false, false],
              pad: [false, false, false, false]};
  // A press seen since the game last asked: a tap shorter than one step
  // still counts once.
  var latched = [false, false, false, false];
  var spaceHeld = {keyboard: false, touch: false, pad: false};
  var spaceReleases = 0;
  var padButtonsBefore = {};
  // A pad seen at the last look; while one is, and the game is paused or
  // waits for a key (no rest of the game looks at the pads then), they are
  // looked at once a frame. Without a pad nothing runs.
  var padConnected = false;
  var padLoopRunning = false;
  // Asking the browser for its pads takes a tenth of a ms: with none
  // connected, play asks at every 16th step (four times a second).
  var stepsSincePadLook = 0;
  var gestureListeners = [];

  function press(source, key) {
    if (held[source][key]) return;
    held[source][key] = true;
    // A press made while paused only holds the key for as long as it lasts:
    // no tap for the game, no Enter for a picture.
    if (pace.paused()) return;
    // Enter only means something to a picture waiting for it; a press in
    // play must not start the next game the moment a death picture shows.
    if (key !== ENTER || pace.waitingForKey()) latched[key] = true;
    if (key === ENTER && pace.waitingForKey()) marchfireHost.screen.markEnter();
    pace.inputArrived();
  }

  function release(source, key) { held[source][key] = false; }

  function releaseSpace(source) {
    // Only a press this page saw fires, and none while the game stands still.
    if (spaceHeld[source] && !pace.paused()) spaceReleases += 1;
    spaceHeld[source] = false;
  }

  function letGoOfEverything() {
    Object.keys(held).forEach(function (source) {
      held[source] = [false, false, false, false];
      spaceHeld[source] = false;
    });
  }

  function userGesture() {
    gestureListeners.forEach(function (listener) { listener(); });
  }

  function togglePlayerPause() {
    pace.setPaused('player', !pace.isPausedBy('player'));
  }

  function onKeyDown(event) {
    pace.runDueTurn();
    userGesture();
    if (event.code === 'Space' || event.code === 'ArrowLeft' || event.code === 'ArrowRight' ||
        event.code === 'ArrowUp' || event.code === 'ArrowDown') {
      event.preventDefault();  // the page must not scroll
    }
    // A held key's repeats are no presses: after a pause or a trip to another
    // window they would arm a shot, or take a key, that was never pressed here.
    if (event.repeat) return;
    if (event.code === 'KeyP' || event.code === 'KeyF') {
      if (event.code === 'KeyP') togglePlayerPause(); else marchfireHost.fullScreen.toggle();
      return;
    }
    // Escape quits whatever paused the game: the game must see it to end.
    if (event.code === 'Escape') pace.endEveryPause();
    if (event.code === 'Space') {
      // No shot from a press made while the game stands still.
      if (!pace.paused()) spaceHeld.keyboard = true;
      return;
    }
    var key = keyOfCode[event.code];
    if (key !== undefined) press('keyboard', key);
  }

  function onKeyUp(event) {
    if (event.code === 'Space') {
      event.preventDefault();
      releaseSpace('keyboard');
      return;
    }
    var key = keyOfCode[event.code];
    if (key !== undefined) release('keyboard', key);
  }

  // A tap or click on a picture that waits for a key acts as Enter; on the
  // pause notice it ends a pause the player asked for. The buttons over the
  // field do only their own work.
  function onStagePointerDown(event) {
    pace.runDueTurn();
    userGesture();
    if (event.target.closest && event.target.closest('button')) return;
    if (pace.isPausedBy('player')) {
      pace.setPaused('player', false);
      return;
    }
    if (!pace.paused() && pace.waitingForKey()) {
      press('touch', ENTER);
      release('touch', ENTER);
    }
  }

  function bindTouchButton(element, onDown, onUp) {
    element.addEventListener('pointerdown', function (event) {
      event.preventDefault();
      userGesture();
      if (element.setPointerCapture) element.setPointerCapture(event.pointerId);
      element.classList.add('held');
      if (!pace.paused()) onDown();
    });
    var up = function (event) {
      event.preventDefault();
      element.classList.remove('held');
      onUp(event.type === 'pointerup');
    };
    element.addEventListener('pointerup', up);
    element.addEventListener('pointercancel', up);
    element.addEventListener('lostpointercapture', up);
  }

  function pressedOf(pad, index) {
    var button = pad.buttons[index];
    return button !== undefined && (button.pressed || button.value > 0.5);
  }

  // The standard mapping: D-pad and left stick move, south and west fire on
  // release, Start is Enter at a picture and pause in play, Back is Escape.
  function pollGamepads() {
    if (!navigator.getGamepads) return;
    var pads = navigator.getGamepads();
    var left = false, right = false, escape = false;
    padConnected = false;
    for (var p = 0; p < pads.length; p++) {
      var pad = pads[p];
      if (!pad || !pad.connected) continue;
      padConnected = true;
      var axis = pad.axes.length > 0 ? pad.axes[0] : 0;
      left = left || pressedOf(pad, 14) || axis < -stickDeadZone;
      right = right || pressedOf(pad, 15) || axis > stickDeadZone;
      escape = escape || pressedOf(pad, 8);
      var before = padButtonsBefore[pad.index] || {};
      var now = {fire: pressedOf(pad, 0) || pressedOf(pad, 2), start: pressedOf(pad, 9)};
      if (now.fire || now.start) userGesture();
      if (now.fire && !before.fire && !pace.paused()) spaceHeld.pad = true;
      if (!now.fire && before.fire) releaseSpace('pad');
      if (now.start && !before.start) {
        if (!pace.paused() && pace.waitingForKey()) {
          press('pad', ENTER);
          release('pad', ENTER);
        } else {
          togglePlayerPause();
        }
      }
      padButtonsBefore[pad.index] = now;
    }
    if (escape) pace.endEveryPause();
    var wanted = [left, right, escape];
    for (var key = 0; key < wanted.length; key++) {
      if (wanted[key] && !pace.paused()) press('pad', key);
      if (!wanted[key]) release('pad', key);
    }
  }

  // At each rest of the game; `always` at a picture waiting for a key.
  function lookAtPads(always) {
    if (!padConnected && !always && ++stepsSincePadLook < 16) return;
    stepsSincePadLook = 0;
    pollGamepads();
  }

  function padsWanted() { return padConnected && (pace.paused() || pace.waitingForKey()); }

  function gamepadLoop() {
    pollGamepads();
    padLoopRunning = padsWanted();
    if (padLoopRunning) requestAnimationFrame(gamepadLoop);
  }

  function watchPads() {
    if (padLoopRunning || !padsWanted()) return;
    padLoopRunning = true;
    requestAnimationFrame(gamepadLoop);
  }

  function start() {
    window.addEventListener('keydown', onKeyDown);
    window.addEventListener('keyup', onKeyUp);
    window.addEventListener('pointerup', userGesture);
    window.addEventListener('touchend', userGesture);
    // Releases made in another window never arrive.
    window.addEventListener('blur', letGoOfEverything);
    document.getElementById('stage').addEventListener('pointerdown', onStagePointerDown);
    bindTouchButton(document.getElementById('touch-left'),
                    function () { press('touch', LEFT); },
                    function () { release('touch', LEFT); });
    bindTouchButton(document.getElementById('touch-right'),
                    function () { press('touch', RIGHT); },
                    function () { release('touch', RIGHT); });
    bindTouchButton(document.getElementById('touch-fire'),
                    function () { spaceHeld.touch = true; },
                    function (lifted) {
                      if (lifted) releaseSpace('touch'); else spaceHeld.touch = false;
                    });
    window.addEventListener('gamepadconnected', function () {
      pollGamepads();
      watchPads();
    });
    pace.onPauseChange(watchPads);
  }

  return {
    start: start,
    keyDown: function (key) {
      var down = held.keyboard[key] || held.touch[key] || held.pad[key] || latched[key];
      latched[key] = false;
      return down;
    },
    takeSpaceReleases: function () {
      var count = spaceReleases;
      spaceReleases = 0;
      return count;
    },
    lookAtPads: lookAtPads,
    watchPads: watchPads,
    letGoOfEverything: letGoOfEverything,
    onUserGesture: function (listener) { gestureListeners.push(listener); },
  };
})();
