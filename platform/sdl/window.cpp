// The game window: its class, creation, full-screen toggle and destruction.
#include <algorithm>

#include "assets/embedded_assets.h"
#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "platform/shared/window_classes.h"

namespace {

// As in the desktop entry.
constexpr const char* shown_title = "Marchfire";

SDL_Window* window = nullptr;
platform::WindowProc window_proc = nullptr;
int windowed_width = platform::frame_width;
int windowed_height = platform::frame_height;

void set_icon(SDL_Window* target) {
  const EmbeddedBlob icon = embedded_icon_bmp();
  if (icon.data == nullptr || icon.size == 0) return;
  SDL_Surface* surface =
      SDL_LoadBMP_RW(SDL_RWFromConstMem(icon.data, static_cast<int>(icon.size)), 1);
  if (surface == nullptr) return;  // the game runs without an icon
  SDL_SetWindowIcon(target, surface);
  SDL_FreeSurface(surface);
}

// Full screen at the desktop's own resolution, no mode switch. The window is
// first made as large as its display itself: without a window manager to
// honour the full-screen request it would otherwise keep its old size while
// SDL draws for the whole display.
void enter_fullscreen(SDL_Window* target) {
  SDL_Rect bounds;
  const int display = std::max(SDL_GetWindowDisplayIndex(target), 0);
  if (SDL_GetDisplayBounds(display, &bounds) == 0) {
    SDL_SetWindowPosition(target, bounds.x, bounds.y);
    SDL_SetWindowSize(target, bounds.w, bounds.h);
  }
  SDL_SetWindowBordered(target, SDL_FALSE);
  SDL_SetWindowResizable(target, SDL_FALSE);
  SDL_SetWindowFullscreen(target, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

}  // namespace

namespace platform {

bool register_window_class(const char* class_name, WindowProc proc) {
  return window_classes::add(class_name, proc, sdl_backend::set_error);
}

bool create_window(const char* class_name, const char* title, int width, int height) {
  const WindowProc proc = window_classes::proc_for_new_window(class_name, window != nullptr, width,
                                                              height, sdl_backend::set_error);
  if (proc == nullptr) return false;
  // The frame is scaled into a borderless window over the whole display; the
  // given size is the one it takes as a window of its own (F11). The game's
  // own title names a graphics interface this program does not use; the
  // task bar and the window switcher show the game's name, as the menu does.
  static_cast<void>(title);
  window =
      SDL_CreateWindow(shown_title, 0, 0, width, height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
  if (window == nullptr) {
    sdl_backend::set_sdl_error("cannot create the game window");
    return false;
  }
  enter_fullscreen(window);
  SDL_ShowWindow(window);
  windowed_width = width;
  windowed_height = height;
  window_proc = proc;
  set_icon(window);
  SDL_StopTextInput();
  window_proc(window_classes::message_of(MessageKind::create));
  return true;
}

void hide_cursor() {
  SDL_ShowCursor(SDL_DISABLE);
}

}  // namespace platform

namespace sdl_backend {

SDL_Window* game_window() {
  return window;
}

platform::WindowProc game_window_proc() {
  return window_proc;
}

void toggle_fullscreen() {
  if (window == nullptr) return;
  const bool fullscreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  if (fullscreen) {
    SDL_SetWindowFullscreen(window, 0);
    // A window of its own on the desktop can be moved, resized and closed.
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowResizable(window, SDL_TRUE);
    SDL_SetWindowSize(window, windowed_width, windowed_height);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  } else {
    enter_fullscreen(window);
  }
  redraw_display();
}

void destroy_game_window() {
  if (window == nullptr) return;
  release_display_device();
  SDL_DestroyWindow(window);
  window = nullptr;
  if (window_proc != nullptr)
    window_proc(window_classes::message_of(platform::MessageKind::destroy));
}

bool game_window_destroyed() {
  return window == nullptr && window_proc != nullptr;
}

void forget_windows() {
  if (window != nullptr) {
    release_display_device();
    SDL_DestroyWindow(window);
    window = nullptr;
  }
  window_proc = nullptr;
  window_classes::forget_all();
}

}  // namespace sdl_backend
