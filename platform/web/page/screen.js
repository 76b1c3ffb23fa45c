// The canvas, the score line's font, and the notices over the play field:
// paused, the end of the game, a start that failed.
//
// Frames go through WebGL (gl_frame.js). Where the browser refuses it or
// has no GPU for it, and while a lost context is not back, a 2D canvas takes
// the place of the WebGL one (a canvas that gave one kind of context gives
// no other) and the program hands it RGBA bytes.
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

marchfireHost.screen = (function () {
  var fontFamily = 'marchfire-score';
  // The desktop build renders the line at 13 pixels to the em, its top at
  // the given y: the baseline sits one ascent (13 px for this font) below.
  var fontPx = 13;
  var lineAscent = 13;
  var lineHeight = 17;

  var glCanvas = null;
  var glView = null;      // null where WebGL was refused
  var flatCanvas = null;  // the 2D canvas, made when first needed
  var context = null;
  var image = null;
  var onGl = false;       // whether frames go through WebGL now
  // The 2D canvas has not had the program's bytes yet: its first flip
  // puts the whole frame, whatever changed.
  var flatWhole = true;
  // The game's words of the last frame shown, kept readable by the program
  // until its next flip: what a context that is back shows again.
  var last = null;
  var textCanvas = null;
  var textContext = null;
  // Measured for the page's own figures (documented in docs/performance.md):
  // when each frame was shown, and what showing it cost; the frames handed
  // over, shown or not.
  var stats = {firstFrameAt: null, frames: 0, handed: 0, shownAt: [], showMs: []};
  var statsKept = 4096;
  // Enter at a picture, until the frame it leads to is shown: the
  // performance measure "marchfire-enter-to-play" spans the two.
  var enterPending = false;

  function keep(list, value) {
    list.push(value);
    if (list.length > statsKept) list.shift();
  }

  // Rows changed since the 2D canvas last took the program's bytes: a
  // frame that no refresh showed leaves its rows to the next one.
  var flatBand = null;

  // The flip: the frame goes on the canvas at the refresh that shows it.
  function show(heap, frame, rgba, width, height, convertMs, firstChanged, lastChanged) {
    if (last === null || last.bytes.buffer !== heap.buffer || last.bytes.byteOffset !== frame) {
      // The program's memory never grows, so these views stay valid.
      last = {bytes: new Uint8Array(heap.buffer, frame, width * height * 4), width: width,
              height: height};
    }
    if (!onGl) {
      if (image === null || image.data.buffer !== heap.buffer || image.data.byteOffset !== rgba) {
        image = new ImageData(new Uint8ClampedArray(heap.buffer, rgba, width * height * 4), width,
                              height);
      }
      if (firstChanged <= lastChanged) {
        flatBand = flatBand === null ? {first: firstChanged, last: lastChanged}
                                     : {first: Math.min(flatBand.first, firstChanged),
                                        last: Math.max(flatBand.last, lastChanged)};
      }
    }
    stats.handed += 1;
    marchfireHost.pace.handOver(function () { upload(convertMs); });
  }

  function upload(convertMs) {
    if (last === null) return;  // the display closed meanwhile
    var began = performance.now();
    if (onGl) {
      glView.show(last.bytes);
    } else if (image !== null) {
      // An unchanged frame leaves the canvas alone, and the browser with
      // nothing to draw again.
      if (flatWhole) {
        context.putImageData(image, 0, 0);
        flatWhole = false;
      } else if (flatBand !== null) {
        context.putImageData(image, 0, 0, 0, flatBand.first, image.width,
                             flatBand.last - flatBand.first + 1);
      }
      flatBand = null;
    }
    var now = performance.now();
    if (enterPending) performance.measure('marchfire-enter-to-play', 'marchfire-enter');
    enterPending = false;
    if (stats.firstFrameAt === null) stats.firstFrameAt = now;
    stats.frames += 1;
    keep(stats.shownAt, now);
    keep(stats.showMs, now - began + convertMs);
  }

  // The canvas in the page is this one now, under the id the style knows.
  function putInPage(canvas) {
    var shown = document.getElementById('frame');
    if (shown === canvas) return;
    shown.removeAttribute('id');
    canvas.id = 'frame';
    canvas.setAttribute('aria-label', shown.getAttribute('aria-label'));
    // Where the page's layout put the field, it stays.
    canvas.style.cssText = shown.style.cssText;
    shown.replaceWith(canvas);
  }

  // Desynchronized: the canvas hands its frames to the compositor itself,
  // which takes the page's thread out of drawing each one (half its busy
  // time in play, docs/performance.md).
  var flatAttributes = {alpha: false, desynchronized: true};

  function useFlatCanvas() {
    onGl = false;
    flatWhole = true;
    if (flatCanvas === null) {
      var plain = glCanvas.getContext('2d', flatAttributes);
      if (plain) {
        flatCanvas = glCanvas;
        context = plain;
      } else {
        flatCanvas = document.createElement('canvas');
        flatCanvas.width = glCanvas.width;
        flatCanvas.height = glCanvas.height;
        context = flatCanvas.getContext('2d', flatAttributes);
      }
    }
    putInPage(flatCanvas);
    if (last === null) return;
    // Once, when the switch comes: the next flips bring RGBA bytes.
    var words = new Uint32Array(last.bytes.buffer, last.bytes.byteOffset, last.width * last.height);
    var again = new ImageData(last.width, last.height);
    var rgba = new Uint32Array(again.data.buffer);
    for (var i = 0; i < words.length; i++) {
      var p = words[i];
      rgba[i] = (0xFF000000 | (p & 0xFF00) | (p >>> 16 & 0xFF) | (p & 0xFF) << 16) >>> 0;
    }
    context.putImageData(again, 0, 0);
  }

  function useGl() {
    onGl = true;
    putInPage(glCanvas);
    if (last !== null) glView.show(last.bytes);
  }

  // What the player sees, as RGBA bytes, top row first (the browser test
  // reads the frame here, whichever way it is shown).
  function readShown() {
    if (onGl) return glView.readShown();
    return context.getImageData(0, 0, flatCanvas.width, flatCanvas.height).data;
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
    glCanvas = document.getElementById('frame');
    glView = marchfireHost.glFrame.open(glCanvas);
    if (glView === null) {
      useFlatCanvas();
    } else {
      onGl = true;
      glCanvas.addEventListener('webglcontextlost', function (event) {
        event.preventDefault();  // asks for the context back
        useFlatCanvas();
      });
      glCanvas.addEventListener('webglcontextrestored', function () {
        if (glView.rebuild()) useGl();
      });
    }
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
    wantsRgba: function () { return !onGl; },
    forgetFrame: function () {
      last = null;
      image = null;
    },
    readShown: readShown,
    // 'webgl' or '2d': how frames are shown now.
    path: function () { return onGl ? 'webgl' : '2d'; },
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
