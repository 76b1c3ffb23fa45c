// Full screen for the play field (the button over it, or F), and on a phone
// sideways too. Where the browser refuses either, the game goes on as it was.
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

marchfireHost.fullScreen = (function () {
  var ignore = function () {};

  function enter() {
    document.getElementById('stage').requestFullscreen({navigationUI: 'hide'})
        .then(function () {
          // Only phones and tablets turn: elsewhere the lock is refused.
          if (screen.orientation && screen.orientation.lock) return screen.orientation.lock('landscape');
        })
        .catch(ignore);
  }

  function toggle() {
    if (!document.fullscreenEnabled) return;
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(ignore);
    } else {
      enter();
    }
  }

  function start() {
    var button = document.getElementById('full-screen');
    // A browser without it (a phone's own browser, often) shows no button.
    button.hidden = !document.fullscreenEnabled;
    button.addEventListener('click', toggle);
    document.addEventListener('fullscreenchange', function () {
      button.setAttribute('aria-pressed', String(document.fullscreenElement !== null));
    });
  }

  return {start: start, toggle: toggle};
})();
