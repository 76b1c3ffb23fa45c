// The plain window the checks that need one open, and the pumping of its
// messages between them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/platform.h"

// Registers class_name with a procedure that quits on destroy and leaves key
// releases to the queue, then creates the window; each step is a check.
// Returns the window, or nullptr when it could not be made.
HWND open_check_window(const char* class_name, const char* title, int width, int height);
// Dispatches what is queued, at most 200 messages, up to the quit message.
void dispatch_pending();
// Asks the window to close and lets it go.
void close_check_window();
// Takes messages until one of this kind comes, dispatching the others; false
// when the queue runs dry first.
bool take(platform::MessageKind kind, platform::WindowMessage& out);
// Posts a release of Space told apart from the others by its repeat count.
void post_space_release(HWND window, std::uintptr_t count);
// The repeat counts of the next key releases in the queue, up to how_many.
std::vector<std::uintptr_t> take_release_counts(std::size_t how_many);
// Presses or lets go of a key as the keyboard does, then waits for the key
// state to show it.
void send_key(WORD virtual_key, bool down);
// Runs action on the window's thread, at its next look at the queue: never
// while that thread draws or flips.
void on_window_thread(HWND window, const std::function<void()>& action);
