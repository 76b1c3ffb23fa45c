// What the files of the web backend share among themselves. The game never
// sees these; the page's script (page/*.js) answers the host_* imports.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// ---- the page's side, implemented in page_imports.js
extern "C" {
// The clock: milliseconds of play, frozen while the game is paused.
std::uint32_t host_tick_ms();
// Hands the browser its turn for at most ms_left (0xFFFFFFFF: a picture
// waits for a key). Asynchronous: the program unwinds and resumes here.
void host_rest(std::uint32_t ms_left);
// Returns once the frame last handed to host_show_frame has been shown at a
// refresh of the display, or at once when the step is already late for the
// refresh it was meant for. Asynchronous, like host_rest.
void host_await_shown();
// Held (or pressed and released since the last question) for key 0..3 in
// the order of platform::Key.
int host_key_down(int key);
// Space releases waiting to become messages, taken all at once.
int host_take_space_releases();
// Whether the page shows frames on a 2D canvas now (WebGL refused or lost),
// which takes RGBA bytes; otherwise it takes the game's own words.
int host_screen_wants_rgba();
// Hands the frame over, to be shown at the display's next refresh.
// `frame`: the game's words, which the page may read again until the next
// flip (to show the frame anew once a lost WebGL context is back). `rgba`:
// the same frame as RGBA bytes when the page wants them, else null;
// convert_ms: what turning it into that order took; rows first..last are
// those that changed since the flip before (none when first > last).
void host_show_frame(const std::uint32_t* frame, const std::uint8_t* rgba, int width, int height,
                     double convert_ms, int first_changed, int last_changed);
// The frame's memory is gone: nothing to show again.
void host_forget_frame();
// Renders one line of text into `argb` (at most max_width x max_height,
// ARGB8888, the text's colour with its coverage in alpha); its width and
// height, or 0 for either when nothing could be rendered.
int host_render_text(const char* text, std::uint32_t colorref, std::uint32_t* argb, int max_width,
                     int max_height, int* height);
void host_keep_cue(int cue_id, const std::uint8_t* bytes, int size);
void host_play_cue(int cue_id);
void host_report_fatal(const char* line);
void host_game_over(int exit_code);
}

namespace web_backend {

void set_error(const std::string& what);

// ---- window
platform::WindowProc game_window_proc();
bool game_window_exists();
bool game_window_destroyed();
void destroy_game_window();

// ---- sound
// Hands every cue's recording to the page once, to be decoded there.
void hand_over_cues();

}  // namespace web_backend
