// Key presses seen as messages, so that a tap shorter than the gap between
// two polls of the held keys still counts once, as on the other desktops.
//
// The decision part alone: which wait the game is in, which keys went down
// and when, are handed in, so that it can be checked without a window.
// Times are the system's tick in milliseconds, as messages carry it.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace win32 {

// The game begins one of its waits (a picture's key wait, or any other):
// its polls that follow belong to a new turn.
void begin_wait(bool key_wait);
// One of the game's keys went down at `time` (a first press, not a repeat,
// outside a pause). Enter counts only while a picture waits for it: an
// Enter pressed in play must not start the next game the moment a death
// picture shows.
void note_key_press(platform::Key key, std::uint32_t time);
// The game's poll at `now`, told whether the key is held: true once for a
// press noted since the game last asked for this key. A press that a poll
// already saw held is no tap when its message comes later (the game takes
// one message per step); a press that one whole turn of polls passed by
// without asking is forgotten rather than surfacing in some later screen
// (Left tapped at the intro).
bool take_key_press(platform::Key key, bool held, std::uint32_t now);
// Back to no presses and no wait. For checks.
void forget_key_presses();

}  // namespace win32
