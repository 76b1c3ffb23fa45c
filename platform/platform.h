// The one seam between the game and an operating system.
//
// Everything the game needs of a platform, and nothing more. Each backend
// (headless, sdl, win32) is a set of files that implements these functions;
// the backend is chosen at link time. No platform type appears here: where a
// backend must carry its own data through the game (a native message for the
// default window handling), it travels as opaque integers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// ---- time -----------------------------------------------------------------

// Milliseconds since some start, unsigned 32-bit, wrapping modulo 2^32.
std::uint32_t tick_ms();
void sleep_ms(std::uint32_t ms);

// The game waits by spinning: on the tick (the pacing at the end of a step)
// or on the held keys (the intro and death pictures). On every turn of such a
// loop it calls `rest`, so that the platform can hand the time back: sleep,
// take its events, give a browser its turn. `ms_left` is how long the caller
// may still wait without missing its deadline; a backend rests for less,
// never longer, and may return at once. A key wait has no deadline.
constexpr std::uint32_t no_deadline = 0xFFFFFFFFu;
void rest(std::uint32_t ms_left);

// ---- keyboard -------------------------------------------------------------

enum class Key { left, right, escape, enter };

// True while the key is held down at this moment.
bool key_down(Key key);

// ---- window and messages --------------------------------------------------

enum class MessageKind : std::uint32_t {
  create,   // the window is being created
  destroy,  // the window has been destroyed
  paint,    // the window wants painting
  close,    // a close request (posted by the game, or from the desktop)
  key_up,   // a key was released; key_code says which
  quit,     // the loop should end; exit_code is the program's result
  other,    // anything else; left to default handling
};

// Virtual key code of the Space bar, as carried in key_code.
constexpr std::uint32_t key_code_space = 32;

struct WindowMessage {
  MessageKind kind = MessageKind::other;
  std::uint32_t key_code = 0;     // key_up only
  std::int32_t exit_code = 0;     // quit only
  std::uintptr_t native[4] = {};  // the backend's own message, for default handling
};

using WindowProc = std::intptr_t (*)(const WindowMessage& message);

// Registers the game's window class with its procedure.
bool register_window_class(const char* class_name, WindowProc proc);
// Creates the visible, borderless game window of that class at (0, 0).
bool create_window(const char* class_name, const char* title, int width, int height);
// Takes one pending message off the queue without waiting; false when none.
bool fetch_message(WindowMessage& out);
// Hands a fetched message to the window procedure (translating it first).
void dispatch_message(const WindowMessage& message);
// Default handling: a close request destroys the window, which delivers
// `destroy` to the window procedure.
std::intptr_t default_window_proc(const WindowMessage& message);
// Marks the window as painted without drawing anything.
void validate_window(const WindowMessage& message);
// Queues a close request for the game window.
void post_close_request();
// Queues the quit message carrying exit_code.
void post_quit(int exit_code);
void hide_cursor();

// ---- display --------------------------------------------------------------

constexpr int frame_width = 1024;
constexpr int frame_height = 768;

// A locked back surface: 1024 x 768 pixels of 0x00RRGGBB, rows `pitch` bytes
// apart (at least 4096, a multiple of 4).
struct LockedSurface {
  std::uint32_t* pixels = nullptr;
  std::int32_t pitch = 0;
};

// Opens the full-screen display on the game window with a back surface.
bool display_open();
// Locks the back surface. The pixels of the last locked surface stay readable
// after unlock and flip, until the next lock.
bool lock_back_surface(LockedSurface& out);
bool unlock_back_surface();
// Draws one line of text on the (unlocked) back surface: transparent
// background, colour as 0x00BBGGRR. False when the surface can't take text.
bool draw_text(const char* text, int x, int y, std::uint32_t colorref);
// One attempt to show the back surface; false when the display refused it.
bool flip();
// Releases the display in the reverse order of its creation; safe to repeat.
void display_close();

// ---- sound ----------------------------------------------------------------

// Starts the sound cue with this number without waiting, cutting off any cue
// still playing. A cue that can't be played is simply not heard.
void play_cue(int cue_id);

// ---- files ----------------------------------------------------------------

using FileHandle = std::int32_t;
constexpr FileHandle invalid_file = -1;
enum class SeekFrom { begin, current, end };

// Opens a file by bare name for reading: beside the program first, then in
// the working directory.
FileHandle file_open(const char* bare_name);
// Reads up to count bytes; the number read, or -1 on error.
std::int32_t file_read(FileHandle file, void* buffer, std::uint32_t count);
// Moves the read position; the new position, or -1 on error.
std::int32_t file_seek(FileHandle file, std::int32_t offset, SeekFrom from);
void file_close(FileHandle file);

// ---- failures -------------------------------------------------------------

// Why the last failing platform call failed, in a few words.
const char* last_error();
// Tells the user why the program could not start: one line on standard
// error, and wherever else the platform shows such news.
void report_fatal(const char* line);

}  // namespace platform
