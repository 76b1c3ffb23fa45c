// The browser program: the game's own body, then the page's end state.
#include "platform/web/backend.h"
#include "shell/app_main.h"

int main() {
  web_backend::hand_over_cues();
  const int exit_code = app_main();
  // The page shows that the game has ended instead of a frozen last frame.
  host_game_over(exit_code);
  return exit_code;
}
