// Starting SDL for the game, and letting everything go at the end.
#include "platform/platform.h"
#include "platform/sdl/backend.h"

namespace sdl_backend {

bool start() {
  SDL_SetMainReady();
  // Switching to another window must not minimise the game.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_APP_NAME, "marchfire");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    set_sdl_error("cannot start the display");
    return false;
  }
  // With no desktop to show it on, SDL falls back to drawing nowhere; a game
  // there would wait for ever for keys nobody can press. Only someone who
  // asks for such a driver by name gets it.
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool invisible = driver != nullptr &&
                         (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
  if (invisible && SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
    SDL_Quit();
    set_error("cannot start the display: no X11 or Wayland display to play on");
    return false;
  }
  // Events the game has no use for never enter SDL's queue.
  for (Uint32 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEWHEEL,
                      SDL_TEXTINPUT, SDL_TEXTEDITING, SDL_FINGERDOWN, SDL_FINGERUP,
                      SDL_FINGERMOTION, SDL_DROPFILE, SDL_DROPTEXT}) {
    SDL_EventState(type, SDL_IGNORE);
  }
  SDL_StopTextInput();
  // Without the controller layer the game only loses its gamepads. Pads
  // already plugged in are announced as added by the first events.
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  audio_open();
  return true;
}

void stop() {
  platform::display_close();
  forget_windows();
  forget_messages();
  forget_pause();
  close_gamepads();
  audio_close();
  close_all_files();
  SDL_Quit();
}

}  // namespace sdl_backend
