// The desktop program: SDL set up around the game's own body.
#define SDL_MAIN_HANDLED
#include <string>

#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "shell/app_main.h"

int main() {
  if (!sdl_backend::start()) {
    const std::string line = std::string("marchfire: ") + platform::last_error();
    platform::report_fatal(line.c_str());
    return 1;
  }
  const int exit_code = app_main();
  sdl_backend::stop();
  return exit_code;
}
