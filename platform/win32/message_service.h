// Keeping the window answering while the game waits, without taking the
// messages the game's loop must still see in order.
#pragma once

#include <windows.h>

#include <cstdint>

namespace win32 {

// What the backend itself makes of a key going down (the P of the pause,
// Escape during a pause) and of the program's activation. The window
// procedure calls these before the game sees the message.
// F11 and Alt+Enter (a system key: Enter with the Alt bit) ask for the other
// display mode. `time` is the message's own.
void note_key_down(WPARAM virtual_key, LPARAM key_data, DWORD time);
void note_system_key_down(WPARAM virtual_key, LPARAM key_data);
void note_activation(bool active);

// Lets the system deliver what is sent to the window, shows Windows that the
// queue is being looked at, and takes the key-down messages (which the game
// ignores) so that P, Escape, F11 and Alt+Enter are seen. What only the
// window needs (painting, the mouse on its frame: moving, sizing, closing)
// is handled too; every other message stays queued.
void service_queue();

// Takes Alt, and Enter pressed with it, from the queue; any other system key
// (Alt+F4) ends the look, and it and what follows it wait for the loop.
void take_alt_enter();

// Services the queue, then waits up to timeout_ms for new input or a sent
// message.
void wait_for_input(std::uint32_t timeout_ms);

// A close request or the quit message is queued, or the window is gone: the
// game must handle that now, so the pause gives way.
bool pause_must_give_way();
// The same for a key wait, which knows no way out but Escape: a close
// request or the quit message (the window is gone) waits in the queue.
bool close_is_due();

// Blocks while the game is paused: the window answers, the pause line stands
// over the last frame, the game's messages stay queued, the display can be
// switched and the pads are read. Returns once the pause has ended (P,
// Start, activation, Escape, Back, or a close request).
void hold_while_paused();

// After a pause: restores lost surfaces and shows the last frame again.
// False while that can't be done yet (another program holds the screen).
bool settle_display();

}  // namespace win32
