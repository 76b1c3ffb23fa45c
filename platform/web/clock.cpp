// Time: the page's clock, and every wait handed back to the browser.
#include "platform/platform.h"
#include "platform/web/backend.h"

namespace platform {

std::uint32_t tick_ms() {
  return host_tick_ms();
}

// The screens' pauses wait on the game's clock, so a pause of the game
// (hidden tab, lost focus) lengthens them rather than letting them run out
// unseen.
void sleep_ms(std::uint32_t ms) {
  const std::uint32_t start = host_tick_ms();
  for (;;) {
    const std::uint32_t elapsed = host_tick_ms() - start;
    if (elapsed >= ms) return;
    host_rest(ms - elapsed);
  }
}

void rest(std::uint32_t ms_left) {
  host_rest(ms_left);
}

bool key_down(Key key) {
  if (host_key_down(static_cast<int>(key)) != 0) return true;
  // With the window gone no key can reach the game: a key wait then reads
  // Escape, or it would never end.
  return key == Key::escape && web_backend::game_window_destroyed();
}

}  // namespace platform
