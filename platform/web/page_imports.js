// The program's imports, answered by the page's host (page/*.js). Kept thin:
// each one hands its arguments to the host and its answer back.
mergeInto(LibraryManager.library, {
  host_tick_ms: function () {
    return marchfireHost.pace.tick();
  },

  // The game's waits return to the browser here.
  host_rest__deps: ['$Asyncify'],
  host_rest: function (msLeft) {
    return Asyncify.handleSleep(function (wakeUp) {
      marchfireHost.pace.rest(msLeft >>> 0, wakeUp);
    });
  },

  // The flip's wait for the display: unwinds too.
  host_await_shown__deps: ['$Asyncify'],
  host_await_shown: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      marchfireHost.pace.awaitShown(wakeUp);
    });
  },

  host_key_down: function (key) {
    return marchfireHost.input.keyDown(key) ? 1 : 0;
  },

  host_take_space_releases: function () {
    return marchfireHost.input.takeSpaceReleases();
  },

  host_screen_wants_rgba: function () {
    return marchfireHost.screen.wantsRgba() ? 1 : 0;
  },

  host_show_frame: function (frame, rgba, width, height, convertMs, firstChanged, lastChanged) {
    marchfireHost.screen.show(HEAPU8, frame, rgba, width, height, convertMs, firstChanged,
                              lastChanged);
  },

  host_forget_frame: function () {
    marchfireHost.screen.forgetFrame();
  },

  host_render_text: function (text, colorref, argb, maxWidth, maxHeight, heightOut) {
    var shown = UTF8ToString(text);
    marchfireHost.layout.showScore(shown);
    var line = marchfireHost.screen.renderText(shown, colorref >>> 0, maxWidth, maxHeight);
    if (!line) return 0;
    var words = HEAPU32.subarray(argb >> 2, (argb >> 2) + maxWidth * maxHeight);
    for (var y = 0; y < line.height; y++) {
      for (var x = 0; x < line.width; x++) {
        var i = (y * line.width + x) * 4;
        var d = line.rgba;
        words[y * maxWidth + x] = ((d[i + 3] << 24) | (d[i] << 16) | (d[i + 1] << 8) | d[i + 2]) >>> 0;
      }
    }
    HEAP32[heightOut >> 2] = line.height;
    return line.width;
  },

  host_keep_cue: function (cueId, bytes, size) {
    marchfireHost.sound.keep(cueId, HEAPU8.slice(bytes, bytes + size));
  },

  host_play_cue: function (cueId) {
    marchfireHost.sound.play(cueId);
  },

  host_report_fatal: function (line) {
    marchfireHost.screen.reportFatal(UTF8ToString(line));
  },

  host_game_over: function (exitCode) {
    marchfireHost.screen.gameOver(exitCode);
  },
});
