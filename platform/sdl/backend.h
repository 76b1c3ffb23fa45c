// What the files of the SDL backend share among themselves. Nothing here
// belongs to the seam: the game never sees these.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"

struct InputState;

namespace sdl_backend {

// ---- set-up
// Starts SDL's video, events and (when there is a device) sound; false with
// last_error set when there is no display.
bool start();
// Releases everything the backend holds; safe after a failed start.
void stop();

// ---- failures
void set_error(const std::string& what);
// `what` followed by SDL's own explanation.
void set_sdl_error(const std::string& what);

// ---- window
SDL_Window* game_window();
platform::WindowProc game_window_proc();
// True once the game window has been destroyed.
bool game_window_destroyed();
// Between full screen at the desktop's resolution and a 1024 x 768 window.
void toggle_fullscreen();
// Destroys the game window and delivers `destroy` to the window procedure.
void destroy_game_window();
// Destroys any window quietly and forgets every window class.
void forget_windows();

// ---- events and messages
// Takes every pending SDL event: Space releases and close requests join the
// message queue in order, held keys and the pause are brought up to date,
// the rest is handled here or dropped.
void pump_events();
InputState& input_state();
// True while a close request from the desktop waits in the message queue.
bool desktop_close_pending();
// Empties the queue and lets go of every key.
void forget_messages();

// ---- pause
// The game clock stops or runs on, the sound holds or goes on, and the pause
// line goes up over the frame shown or comes down.
void pause_changed(bool paused);
bool paused();
// A new start: the clock is SDL's again.
void forget_pause();
// The game's milliseconds: SDL's, less the time spent paused.
std::uint32_t game_clock_ms();

// ---- gamepads
void open_gamepad(int device_index);
void close_gamepad(SDL_JoystickID instance);
void close_gamepads();
int open_gamepad_count();

// ---- display
// Shows the frame last uploaded again (after the desktop exposed or resized
// the window); does nothing without a display or while the frame is locked.
void redraw_display();
// Lets go of the renderer and texture before the window goes; the frame
// memory stays readable.
void release_display_device();
// Sends part of the frame memory to the texture again.
bool upload_frame_area(const SDL_Rect& area);

// ---- text
bool text_open();
void text_close();
// One line of text, UTF-8, rendered for the renderer to lay over the frame
// (never into the frame itself); null without a font. The caller frees it.
SDL_Surface* render_overlay_line(const char* utf8, SDL_Color color);

// ---- sound
// Opens the one audio device and decodes every cue; a missing device only
// means a silent game.
void audio_open();
void audio_close();
// Holds the sound where it is during a pause, and lets it go on after.
void audio_hold(bool hold);

// ---- files
// Where bare names are looked for first: the program's own directory, with a
// trailing separator ("" when unknown).
const std::string& program_directory();
// Where they are looked for last, a fallback only: the data folder of the
// installed game, with a trailing separator ("" when unknown).
const std::string& data_directory();
// Puts the data folder elsewhere ("" for none): the tests' own folders.
void set_data_directory(const std::string& folder);
void close_all_files();

}  // namespace sdl_backend
