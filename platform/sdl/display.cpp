// The frame: composed by the game in memory of our own, uploaded to a
// streaming texture and shown scaled to the window with its aspect kept.
//
// The memory is ours, not the texture's, so the frame just shown stays
// readable after unlock and flip until the next lock: the game reads its
// previous frame to find what its missiles hit.
#include <cstring>

#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/pause_line.h"
#include "platform/shared/frame_memory.h"
#include "platform/shared/letterbox.h"

namespace {

SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;

// True when the renderer's OpenGL draws on the processor (Mesa's llvmpipe
// and its kin, as on a virtual machine or a virtual screen): scaling the
// frame through it costs about three times what SDL's own software path
// costs for the same copy.
bool draws_with_software_gl(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || SDL_strncmp(info.name, "opengl", 6) != 0) {
    return false;
  }
  using GetString = const unsigned char* (*)(unsigned int);
  constexpr unsigned int gl_renderer = 0x1F01;
  const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const char* name =
      get_string != nullptr ? reinterpret_cast<const char*>(get_string(gl_renderer)) : nullptr;
  if (name == nullptr) return false;
  return std::strstr(name, "llvmpipe") != nullptr || std::strstr(name, "softpipe") != nullptr ||
         std::strstr(name, "Software Rasterizer") != nullptr;
}

SDL_Renderer* create_renderer(SDL_Window* window) {
  // Vsync where the display offers it.
  SDL_Renderer* made =
      SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  // A renderer asked for by name (SDL_RENDER_DRIVER) is kept as it is.
  const bool chosen_by_user = SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr;
  if (made != nullptr && (chosen_by_user || !draws_with_software_gl(made))) return made;
  if (made != nullptr) SDL_DestroyRenderer(made);
  // Without real acceleration: SDL's software renderer, handing its pixels
  // straight to the display server rather than through OpenGL again. No
  // vsync here: SDL would imitate it with a sleep of its own, and the
  // game's steps would last a refresh rather than their 15 ms.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

bool upload(const SDL_Rect* area) {
  const SDL_Rect whole{0, 0, platform::frame_width, platform::frame_height};
  const SDL_Rect& rect = area != nullptr ? *area : whole;
  const std::uint32_t* source = frame_memory::pixels() + rect.y * platform::frame_width + rect.x;
  if (SDL_UpdateTexture(texture, &rect, source, frame_memory::pitch) != 0) {
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
  // The bars beside or above the frame need clearing; a frame that fills
  // the window covers everything anyway.
  const bool bars = fit.w != output_width || fit.h != output_height;
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  if ((bars && SDL_RenderClear(renderer) != 0) ||
      SDL_RenderCopy(renderer, texture, nullptr, &target) != 0) {
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
  if (renderer != nullptr && texture != nullptr && !frame_memory::locked()) present();
}

void release_display_device() {
  forget_pause_line();
  if (texture != nullptr) SDL_DestroyTexture(texture);
  texture = nullptr;
  if (renderer != nullptr) SDL_DestroyRenderer(renderer);
  renderer = nullptr;
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
  frame_memory::open();
  sdl_backend::text_open();  // without a font the game only loses its text
  upload(nullptr);
  present();
  return true;
}

bool lock_back_surface(LockedSurface& out) {
  return frame_memory::lock(out, sdl_backend::set_error);
}

bool unlock_back_surface() {
  if (!frame_memory::unlock(sdl_backend::set_error)) return false;
  if (!device_ready("cannot unlock the frame")) return false;
  return upload(nullptr);
}

bool flip() {
  if (!frame_memory::ready("cannot show the frame", sdl_backend::set_error)) return false;
  if (!device_ready("cannot show the frame")) return false;
  return present();
}

void display_close() {
  sdl_backend::text_close();
  sdl_backend::release_display_device();
  frame_memory::close();
}

}  // namespace platform
