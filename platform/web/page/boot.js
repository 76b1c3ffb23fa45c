// Starts the page: the host's parts, the pauses the browser asks for, the
// hints for the way the player plays, the service worker that keeps the game
// for offline play, the pictures and the score font, then the program
// (marchfire.js, loaded after this script).
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

(function () {
  var pace = marchfireHost.pace;
  marchfireHost.screen.start();
  marchfireHost.input.start();
  marchfireHost.sound.start();
  marchfireHost.fullScreen.start();
  marchfireHost.layout.start();

  // The font downloads while the program does, as the pictures already are.
  var font = marchfireHost.screen.loadFont('score-font.ttf');

  // A game nobody can see or reach stands still until the player is back.
  var followVisibility = function () {
    pace.setPaused('hidden', document.visibilityState === 'hidden');
  };
  document.addEventListener('visibilitychange', followVisibility);
  followVisibility();  // a page opened in a background tab starts hidden
  window.addEventListener('blur', function () { pace.setPaused('focus', true); });
  window.addEventListener('focus', function () { pace.setPaused('focus', false); });

  // Buttons on screen for a touch screen; the line under the field speaks
  // of what the player last used: touch, keys or a gamepad.
  var touchScreen = (navigator.maxTouchPoints || 0) > 0 ||
                    (window.matchMedia && window.matchMedia('(pointer: coarse)').matches);
  var hint = function (kind) { document.body.dataset.hint = kind; };
  var touchSeen = function () {
    if (document.body.classList.contains('touch')) return;
    document.body.classList.add('touch');
    marchfireHost.layout.arrange();  // the buttons take their room
  };
  if (touchScreen) touchSeen();
  hint(touchScreen ? 'touch' : 'keys');
  window.addEventListener('touchstart', function () {
    touchSeen();
    hint('touch');
  }, {passive: true});
  window.addEventListener('keydown', function () { hint('keys'); });
  window.addEventListener('gamepadconnected', function () { hint('pad'); });

  // Installable, and playable offline after the first visit. The worker
  // is registered once the program has started (postRun), so that its
  // downloads never hold up the game's own.
  var keepForOffline = function () {};
  if (navigator.serviceWorker) {
    var controlledAtLoad = navigator.serviceWorker.controller !== null;
    keepForOffline = function () {
      navigator.serviceWorker.register('sw.js').catch(function (why) {
        console.warn('marchfire: no offline play: ' + why);
      });
    };
    // A new build has taken over: a page that has not begun play becomes it
    // at once; a game in play goes on, and the next visit is the new build.
    navigator.serviceWorker.addEventListener('controllerchange', function () {
      if (controlledAtLoad && marchfireHost.screen.stats.frames <= 1) location.reload();
    });
  }

  window.Module = {
    noExitRuntime: true,
    preRun: [function () {
      // The program reads its pictures as it starts, and its first score
      // line must find the font ready.
      addRunDependency('pictures');
      marchfireHost.pictures.ready.then(function (files) {
        Module.FS_createPath('/', 'game', true, true);
        // The folder takes the inflated bytes as they are, uncopied.
        files.forEach(function (file) {
          Module.FS_createDataFile('/game', file.name, file.bytes, true, false, true);
        });
        removeRunDependency('pictures');
      }, function (why) {
        marchfireHost.screen.reportFatal('marchfire: the pictures did not load: ' + why);
      });
      addRunDependency('score-font');
      font.then(function () { removeRunDependency('score-font'); });
    }],
    postRun: [keepForOffline],
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    onAbort: function (what) {
      marchfireHost.screen.reportFatal('marchfire: the program stopped: ' + what);
    },
  };
})();
