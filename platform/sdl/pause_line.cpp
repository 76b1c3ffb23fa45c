#include "platform/sdl/pause_line.h"

#include "platform/platform.h"
#include "platform/sdl/backend.h"

namespace {

SDL_Texture* line = nullptr;
SDL_Renderer* line_renderer = nullptr;
int line_width = 0;
int line_height = 0;

bool make_line(SDL_Renderer* renderer) {
  if (line != nullptr && line_renderer == renderer) return true;
  forget_pause_line();
  SDL_Surface* surface =
      sdl_backend::render_overlay_line(pause_text, SDL_Color{255, 255, 255, 255});
  if (surface == nullptr) return false;
  line = SDL_CreateTextureFromSurface(renderer, surface);
  line_width = surface->w;
  line_height = surface->h;
  SDL_FreeSurface(surface);
  if (line == nullptr) return false;
  line_renderer = renderer;
  return true;
}

// A rectangle of the frame, scaled into the window area the frame fills.
SDL_Rect scaled(const SDL_Rect& in_frame, const SDL_Rect& target) {
  const auto x = [&](int v) { return target.x + v * target.w / platform::frame_width; };
  const auto y = [&](int v) { return target.y + v * target.h / platform::frame_height; };
  const int left = x(in_frame.x);
  const int top = y(in_frame.y);
  return SDL_Rect{left, top, x(in_frame.x + in_frame.w) - left, y(in_frame.y + in_frame.h) - top};
}

}  // namespace

bool draw_pause_line(SDL_Renderer* renderer, const SDL_Rect& frame_target) {
  // The band dims what lies under it, so the line reads over any picture.
  const SDL_Rect band = scaled(pause_band, frame_target);
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 200);
  const bool band_drawn = SDL_RenderFillRect(renderer, &band) == 0;
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
  if (!make_line(renderer)) return false;
  const SDL_Rect text{(platform::frame_width - line_width) / 2,
                      pause_band.y + (pause_band.h - line_height) / 2, line_width, line_height};
  const SDL_Rect where = scaled(text, frame_target);
  return SDL_RenderCopy(renderer, line, nullptr, &where) == 0 && band_drawn;
}

void forget_pause_line() {
  if (line != nullptr) SDL_DestroyTexture(line);
  line = nullptr;
  line_renderer = nullptr;
}
