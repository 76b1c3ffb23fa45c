// XInput gamepads, read by polling: the system's XInput DLL is loaded at
// run time, and without one the game simply takes the keyboard alone.
#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <xinput.h>

#include "platform/platform.h"
#include "platform/shared/pad_mapping.h"

namespace win32 {

// Reads the pads when it is their time: a pad that answers at most every
// 10 ms, an empty slot about once a second (asking one is slow on Windows).
// A pause ended or begun, keys held, and fire buttons released as Space
// releases posted to the game window, in order with the keyboard's.
void poll_gamepads(GameActivity activity);
// True while some pad holds the key.
bool pad_holds(platform::Key key);

// For the checks: a reader of slots in place of XInput's (null: XInput's
// again, loaded at the next need), polling at a given system tick, and a
// fresh start with no pad known.
using PadStateReader = DWORD(WINAPI*)(DWORD slot, XINPUT_STATE* state);
void use_pad_reader(PadStateReader reader);
void poll_gamepads_at(GameActivity activity, DWORD now);
void forget_gamepads();

}  // namespace win32
