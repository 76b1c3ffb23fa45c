// The millisecond clock and the sound call's promise not to hold the game.
#include <windows.h>

#include <string>

#include "check.h"
#include "platform/platform.h"

void check_clock_and_sound() {
  begin_group("clock and sound");
  const std::uint32_t before = platform::tick_ms();
  platform::sleep_ms(120);
  const std::uint32_t slept = platform::tick_ms() - before;
  check(slept >= 100 && slept < 1000,
        "a sleep of 120 ms lasts about that: " + std::to_string(slept) + " ms");

  // This program carries no sounds: every cue is one that can't be played.
  const std::uint32_t start = platform::tick_ms();
  for (int cue : {105, 111, 0, -1, 70000}) platform::play_cue(cue);
  check(platform::tick_ms() - start < 500, "cues that can't be played return at once");
}
