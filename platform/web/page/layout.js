// Where the play field stands on the page, and what stands around it. On a
// touch screen the buttons get room of their own beside the field (a wide
// screen) or below it (a tall one): whichever leaves the field larger. A
// field shown at less than 60 % of its size has a score line too small to
// read: the page repeats the score beside or above it, in its own letters,
// and covers the frame's own, which would stand tiny beside it.
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

marchfireHost.layout = (function () {
  var frameWidth = 1024, frameHeight = 768;
  var readableScale = 0.6;
  // Room for the buttons (style.css sizes them to fit): Left and Right side
  // by side in a column of their own, or a strip under the field.
  var buttonColumn = {left: 172, right: 120};
  var buttonStrip = 108;
  // The page's score line: its height above the field, its width beside it.
  var scoreStrip = 24;
  var scoreColumn = 120;
  var margin = 6;
  // Where the frame draws its score (the game's score_text_x, y): a line
  // 17 px tall from x 924 to the right edge, nothing else in that corner.
  var frameScore = {left: 924, top: 0, height: 17};

  var stage = null;
  var scoreLine = null;
  var scoreCover = null;
  var shownScore = null;

  // The largest 4:3 box within the space left by the room taken on each side.
  function fit(width, height, room) {
    var w = width - room.left - room.right, h = height - room.top - room.bottom;
    var scale = Math.max(0, Math.min(w / frameWidth, h / frameHeight));
    var fw = Math.floor(frameWidth * scale), fh = Math.floor(frameHeight * scale);
    return {scale: scale, width: fw, height: fh, left: room.left + Math.floor((w - fw) / 2),
            top: room.top + Math.floor((h - fh) / 2)};
  }

  function arrange() {
    var width = stage.clientWidth, height = stage.clientHeight;
    if (width === 0 || height === 0) return;
    var touch = document.body.classList.contains('touch');
    var none = {left: 0, right: 0, top: 0, bottom: 0};
    var beside = {left: buttonColumn.left, right: buttonColumn.right, top: 0, bottom: 0};
    var below = {left: 0, right: 0, top: 0, bottom: buttonStrip};
    var room = none;
    if (touch) room = fit(width, height, beside).scale >= fit(width, height, below).scale ? beside : below;
    var box = fit(width, height, room);
    var small = box.scale < readableScale;
    var scoreAt = null;
    if (small) {
      var rightBar = width - box.left - box.width;
      // A column for the buttons holds the score above them; a bar wide
      // enough takes it; else the field moves down to make room above.
      if (room === beside || rightBar >= scoreColumn) {
        scoreAt = {left: box.left + box.width + margin, top: box.top, align: 'left'};
      } else {
        if (box.top < scoreStrip) {
          box = fit(width, height, {left: room.left, right: room.right, top: room.top + scoreStrip,
                                    bottom: room.bottom});
        }
        scoreAt = {right: width - box.left - box.width, top: box.top - scoreStrip, align: 'right'};
      }
    }
    document.body.dataset.buttons = room === beside ? 'beside' : 'below';
    // Looked up each time: the canvas may be another one by now.
    var style = document.getElementById('frame').style;
    style.left = box.left + 'px';
    style.top = box.top + 'px';
    style.width = box.width + 'px';
    style.height = box.height + 'px';
    document.body.classList.toggle('small-field', small);
    if (scoreAt === null) return;
    // Whole pixels outward: no sliver of the small score shows at an edge.
    var coverLeft = Math.floor(box.left + frameScore.left * box.scale);
    scoreCover.style.left = coverLeft + 'px';
    scoreCover.style.top = box.top + 'px';
    scoreCover.style.width = box.left + box.width - coverLeft + 'px';
    scoreCover.style.height = Math.ceil(frameScore.height * box.scale) + 'px';
    scoreLine.style.top = scoreAt.top + 'px';
    scoreLine.style.left = scoreAt.align === 'left' ? scoreAt.left + 'px' : '';
    scoreLine.style.right = scoreAt.align === 'right' ? scoreAt.right + 'px' : '';
  }

  // The program renders its score line only when the text changes: so does
  // the page's copy.
  function showScore(text) {
    if (text === shownScore) return;
    shownScore = text;
    scoreLine.textContent = text;
    scoreLine.hidden = text === '';
  }

  function start() {
    stage = document.getElementById('stage');
    scoreLine = document.getElementById('score-line');
    scoreCover = document.getElementById('score-cover');
    if (window.ResizeObserver) new ResizeObserver(arrange).observe(stage);
    window.addEventListener('resize', arrange);
    arrange();
  }

  return {start: start, arrange: arrange, showScore: showScore};
})();
