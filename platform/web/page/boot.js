// Starts the page: the host's parts, the pauses the browser asks for, the
// score font, then the program (marchfire.js, loaded after this script).
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

(function () {
  var pace = marchfireHost.pace;
  marchfireHost.screen.start();
  marchfireHost.input.start();
  marchfireHost.sound.start();

  // A game nobody can see or reach stands still until the player is back.
  var followVisibility = function () {
    pace.setPaused('hidden', document.visibilityState === 'hidden');
  };
  document.addEventListener('visibilitychange', followVisibility);
  followVisibility();  // a page opened in a background tab starts hidden
  window.addEventListener('blur', function () { pace.setPaused('focus', true); });
  window.addEventListener('focus', function () { pace.setPaused('focus', false); });

  // Buttons on screen for a touch screen.
  var touchScreen = (navigator.maxTouchPoints || 0) > 0 ||
                    (window.matchMedia && window.matchMedia('(pointer: coarse)').matches);
  if (touchScreen) document.body.classList.add('touch');
  window.addEventListener('touchstart', function () {
    document.body.classList.add('touch');
  }, {passive: true});

  window.Module = {
    noExitRuntime: true,
    preRun: [function () {
      // The first score line must find its font ready.
      addRunDependency('score-font');
      marchfireHost.screen.loadFont('DejaVuSans-Bold.ttf').then(function () {
        removeRunDependency('score-font');
      });
    }],
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    onAbort: function (what) {
      marchfireHost.screen.reportFatal('marchfire: the program stopped: ' + what);
    },
  };
})();
