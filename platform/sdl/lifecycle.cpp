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
  // Events the game has no use for never enter SDL's queue.
  for (Uint32 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEWHEEL,
                      SDL_TEXTINPUT, SDL_TEXTEDITING, SDL_FINGERDOWN, SDL_FINGERUP,
                      SDL_FINGERMOTION, SDL_DROPFILE, SDL_DROPTEXT}) {
    SDL_EventState(type, SDL_IGNORE);
  }
  SDL_StopTextInput();
  audio_open();
  return true;
}

void stop() {
  platform::display_close();
  forget_windows();
  forget_messages();
  audio_close();
  close_all_files();
  SDL_Quit();
}

}  // namespace sdl_backend
