// The canvas, the score line's font, and the notices over the play field:
// paused, the end of the game, a start that failed.
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

marchfireHost.screen = (function () {
  var fontFamily = 'marchfire-score';
  // The desktop build renders the line at 13 pixels to the em, its top at
  // the given y: the baseline sits one ascent (13 px for this font) below.
  var fontPx = 13;
  var lineAscent = 13;
  var lineHeight = 17;

  var canvas = null;
  var context = null;
  var image = null;
  var textCanvas = null;
  var textContext = null;
  // Measured for the page's own figures (documented in docs/performance.md):
  // when each frame was shown, and what showing it cost.
  var stats = {firstFrameAt: null, frames: 0, shownAt: [], showMs: []};
  var statsKept = 4096;
  // Enter at a picture, until the frame it leads to is shown: the
  // performance measure "marchfire-enter-to-play" spans the two.
  var enterPending = false;

  function keep(list, value) {
    list.push(value);
    if (list.length > statsKept) list.shift();
  }

  function show(heap, rgba, width, height, convertMs) {
    var began = performance.now();
    if (image === null || image.data.buffer !== heap.buffer || image.data.byteOffset !== rgba) {
      // The program's memory never grows, so this view stays valid.
      image = new ImageData(new Uint8ClampedArray(heap.buffer, rgba, width * height * 4), width,
                            height);
    }
    context.putImageData(image, 0, 0);
    var now = performance.now();
    if (enterPending) performance.measure('marchfire-enter-to-play', 'marchfire-enter');
    enterPending = false;
    if (stats.firstFrameAt === null) stats.firstFrameAt = now;
    stats.frames += 1;
    keep(stats.shownAt, now);
    keep(stats.showMs, now - began + convertMs);
  }

  function renderText(text, colorref, maxWidth, maxHeight) {
    if (!document.fonts.check(fontPx + 'px ' + fontFamily)) return null;
    textContext.font = fontPx + 'px ' + fontFamily;
    var width = Math.min(Math.ceil(textContext.measureText(text).width) + 1, maxWidth);
    var height = Math.min(lineHeight, maxHeight);
    if (width <= 0) return null;
    textContext.clearRect(0, 0, textCanvas.width, textCanvas.height);
    var red = colorref & 255, green = colorref >> 8 & 255, blue = colorref >> 16 & 255;
    textContext.fillStyle = 'rgb(' + red + ',' + green + ',' + blue + ')';
    textContext.textBaseline = 'alphabetic';
    textContext.fillText(text, 0, lineAscent);
    var rgba = textContext.getImageData(0, 0, width, height).data;
    // A canvas keeps its pixels premultiplied, and some engines read a faint
    // one back a shade off (254 for 255): the line is of one colour, so only
    // its coverage is taken from the canvas, and every engine blends alike.
    for (var i = 0; i < rgba.length; i += 4) {
      rgba[i] = red;
      rgba[i + 1] = green;
      rgba[i + 2] = blue;
    }
    return {width: width, height: height, rgba: rgba};
  }

  function notice(id, visible) {
    document.getElementById(id).hidden = !visible;
  }

  function gameOver(exitCode) {
    document.body.classList.add('ended');
    document.body.dataset.exitCode = String(exitCode);
    notice('paused', false);
    // A start that failed keeps its own notice, which says why.
    if (exitCode !== 0) return;
    notice('ended', true);
    document.getElementById('play-again').focus();
  }

  function reportFatal(line) {
    console.error(line);
    document.getElementById('fatal-line').textContent = line;
    notice('fatal', true);
  }

  function loadFont(url) {
    return fetch(url)
        .then(function (response) {
          if (!response.ok) throw new Error(url + ': ' + response.status);
          return response.arrayBuffer();
        })
        .then(function (bytes) { return new FontFace(fontFamily, bytes).load(); })
        .then(function (face) { document.fonts.add(face); })
        .catch(function (why) {
          // The game plays on without its score line.
          console.warn('marchfire: the score font did not load: ' + why);
        });
  }

  function start() {
    canvas = document.getElementById('frame');
    context = canvas.getContext('2d', {alpha: false});
    textCanvas = document.createElement('canvas');
    textCanvas.width = 1024;
    textCanvas.height = 64;
    textContext = textCanvas.getContext('2d', {willReadFrequently: true});
    marchfireHost.pace.onPauseChange(function (paused) {
      if (!document.body.classList.contains('ended')) notice('paused', paused);
    });
    document.getElementById('play-again').addEventListener('click', function () {
      location.reload();
    });
  }

  return {
    start: start,
    show: show,
    renderText: renderText,
    gameOver: gameOver,
    reportFatal: reportFatal,
    loadFont: loadFont,
    markEnter: function () {
      performance.mark('marchfire-enter');
      enterPending = true;
    },
    stats: stats,
  };
})();
