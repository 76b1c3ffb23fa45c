// The desktop program: SDL set up around the game's own body.
#define SDL_MAIN_HANDLED
#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "shell/app_main.h"

int main() {
  if (!sdl_backend::start()) {
    platform::report_fatal(platform::last_error());
    return 1;
  }
  const int exit_code = app_main();
  sdl_backend::stop();
  return exit_code;
}
