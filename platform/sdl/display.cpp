// The frame: composed by the game in memory of our own, uploaded to a
// streaming texture and shown scaled to the window with its aspect kept.
//
// The memory is ours, not the texture's, so the frame just shown stays
// readable after unlock and flip until the next lock: the game reads its
// previous frame to find what its missiles hit.
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/letterbox.h"
#include "platform/sdl/pause_line.h"

namespace {

constexpr int frame_pitch = platform::frame_width * 4;

std::vector<std::uint32_t> frame;  // empty while the display is closed
bool locked = false;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;

SDL_Renderer* create_renderer(SDL_Window* window) {
  // Vsync where the display offers it; a plain software renderer where
  // there is no acceleration at all.
  SDL_Renderer* made =
      SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (made == nullptr) made = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  return made;
}

bool upload(const SDL_Rect* area) {
  const SDL_Rect whole{0, 0, platform::frame_width, platform::frame_height};
  const SDL_Rect& rect = area != nullptr ? *area : whole;
  const std::uint32_t* source = frame.data() + rect.y * platform::frame_width + rect.x;
  if (SDL_UpdateTexture(texture, &rect, source, frame_pitch) != 0) {
    sdl_backend::set_sdl_error("cannot upload the frame");
    return false;
  }
  return true;
}

bool present() {
  int output_width = 0;
  int output_height = 0;
  if (SDL_GetRendererOutputSize(renderer, &output_width, &output_height) != 0) {
    sdl_backend::set_sdl_error("cannot measure the window");
    return false;
  }
  const FrameRect fit =
      fit_frame(output_width, output_height, platform::frame_width, platform::frame_height);
  const SDL_Rect target{fit.x, fit.y, fit.w, fit.h};
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  if (SDL_RenderClear(renderer) != 0 || SDL_RenderCopy(renderer, texture, nullptr, &target) != 0) {
    sdl_backend::set_sdl_error("cannot show the frame");
    return false;
  }
  // Without its line the pause would still hold; the frame shows regardless.
  if (sdl_backend::paused()) draw_pause_line(renderer, target);
  SDL_RenderPresent(renderer);
  return true;
}

bool device_ready(const char* doing) {
  if (renderer != nullptr && texture != nullptr) return true;
  sdl_backend::set_error(std::string(doing) + ": the display is not open");
  return false;
}

}  // namespace

namespace sdl_backend {

void redraw_display() {
  if (renderer != nullptr && texture != nullptr && !locked) present();
}

void release_display_device() {
  forget_pause_line();
  if (texture != nullptr) SDL_DestroyTexture(texture);
  texture = nullptr;
  if (renderer != nullptr) SDL_DestroyRenderer(renderer);
  renderer = nullptr;
}

std::uint32_t* frame_pixels() {
  return frame.empty() ? nullptr : frame.data();
}

bool frame_locked() {
  return locked;
}

bool upload_frame_area(const SDL_Rect& area) {
  if (!device_ready("cannot draw text")) return false;
  return upload(&area);
}

}  // namespace sdl_backend

namespace platform {

bool display_open() {
  SDL_Window* window = sdl_backend::game_window();
  if (window == nullptr) {
    sdl_backend::set_error("cannot open the display: there is no game window");
    return false;
  }
  if (renderer != nullptr) return true;
  renderer = create_renderer(window);
  if (renderer == nullptr) {
    sdl_backend::set_sdl_error("cannot create a renderer");
    return false;
  }
  // 0x00RRGGBB in a 32-bit word, the game's own pixel format.
  texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                              frame_width, frame_height);
  if (texture == nullptr) {
    sdl_backend::set_sdl_error("cannot create the frame texture");
    sdl_backend::release_display_device();
    return false;
  }
  // Crisp pixels at any scale.
  SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
  frame.assign(static_cast<std::size_t>(frame_width) * frame_height, 0);
  locked = false;
  sdl_backend::text_open();  // without a font the game only loses its text
  upload(nullptr);
  present();
  return true;
}

bool lock_back_surface(LockedSurface& out) {
  if (frame.empty()) {
    sdl_backend::set_error("cannot lock the frame: the display is not open");
    return false;
  }
  locked = true;
  out.pixels = frame.data();
  out.pitch = frame_pitch;
  return true;
}

bool unlock_back_surface() {
  if (!locked) {
    sdl_backend::set_error("cannot unlock the frame: it is not locked");
    return false;
  }
  locked = false;
  if (!device_ready("cannot unlock the frame")) return false;
  return upload(nullptr);
}

bool flip() {
  if (locked) {
    sdl_backend::set_error("cannot show the frame while it is locked");
    return false;
  }
  if (!device_ready("cannot show the frame")) return false;
  return present();
}

void display_close() {
  sdl_backend::text_close();
  sdl_backend::release_display_device();
  frame.clear();
  frame.shrink_to_fit();
  locked = false;
}

}  // namespace platform
