// The program body: window, start-up, message loop, shutdown.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Runs the whole program; the result is its exit code.
int app_main();
// The window procedure of the game's window class.
std::intptr_t window_proc(const platform::WindowMessage& message);
