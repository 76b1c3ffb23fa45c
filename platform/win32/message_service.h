// Keeping the window answering while the game waits, without taking the
// messages the game's loop must still see in order.
#pragma once

#include <windows.h>

#include <cstdint>

namespace win32 {

// What the backend itself makes of a key going down (the P of the pause,
// Escape during a pause) and of the program's activation. The window
// procedure calls these before the game sees the message.
void note_key_down(WPARAM virtual_key, LPARAM key_data);
void note_activation(bool active);

// Lets the system deliver what is sent to the window, shows Windows that the
// queue is being looked at, and takes the key-down messages (which the game
// ignores) so that P and Escape are seen; every other message stays queued.
void service_queue();

// Services the queue, then waits up to timeout_ms for new input or a sent
// message.
void wait_for_input(std::uint32_t timeout_ms);

// A close request or the quit message is queued, or the window is gone: the
// game must handle that now, so the pause gives way.
bool pause_must_give_way();

// Blocks while the game is paused: the window answers, the pause line stands
// over the last frame, the game's messages stay queued. Returns once the
// pause has ended (P, activation, Escape, or a close request).
void hold_while_paused();

// After a pause: restores lost surfaces and shows the last frame again.
// False while that can't be done yet (another program holds the screen).
bool settle_display();

}  // namespace win32
