// The score line: rendered with SDL2_ttf from the font inside the program and
// blended into the frame, so the pixels the game reads stay 0x00RRGGBB.
#include <SDL_ttf.h>

#include <string>

#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/embedded_font.h"
#include "platform/shared/frame_memory.h"
#include "platform/shared/text_blend.h"

namespace {

// Close to the 16-pixel line of a classic system font.
constexpr int font_point_size = 13;
// The backend's own notices (the pause line) stand out over the picture.
constexpr int notice_point_size = 28;

TTF_Font* font = nullptr;
TTF_Font* notice_font = nullptr;
bool ttf_started = false;

// The score changes seldom: render a line once and reuse it.
SDL_Surface* cached_line = nullptr;
std::string cached_text;
std::uint32_t cached_colorref = 0;

void forget_cached_line() {
  if (cached_line != nullptr) SDL_FreeSurface(cached_line);
  cached_line = nullptr;
  cached_text.clear();
}

SDL_Surface* render_line(const char* text, std::uint32_t colorref) {
  if (cached_line != nullptr && cached_text == text && cached_colorref == colorref) {
    return cached_line;
  }
  forget_cached_line();
  const SDL_Color color{static_cast<Uint8>(colorref & 0xFF),
                        static_cast<Uint8>(colorref >> 8 & 0xFF),
                        static_cast<Uint8>(colorref >> 16 & 0xFF), 255};
  // The game's text is 8-bit characters: Latin-1 is the natural reading.
  SDL_Surface* rendered = TTF_RenderText_Blended(font, text, color);
  if (rendered == nullptr) {
    sdl_backend::set_sdl_error("cannot render text");
    return nullptr;
  }
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(rendered);
  if (argb == nullptr) {
    sdl_backend::set_sdl_error("cannot convert rendered text");
    return nullptr;
  }
  cached_line = argb;
  cached_text = text;
  cached_colorref = colorref;
  return cached_line;
}

}  // namespace

namespace sdl_backend {

bool text_open() {
  if (font != nullptr) return true;
  if (!ttf_started) {
    if (TTF_Init() != 0) {
      set_sdl_error("cannot start the font renderer");
      return false;
    }
    ttf_started = true;
  }
  const FontBytes bytes = embedded_font();
  SDL_RWops* source = SDL_RWFromConstMem(bytes.data, static_cast<int>(bytes.size));
  font = source != nullptr ? TTF_OpenFontRW(source, 1, font_point_size) : nullptr;
  SDL_RWops* notice_source = SDL_RWFromConstMem(bytes.data, static_cast<int>(bytes.size));
  notice_font =
      notice_source != nullptr ? TTF_OpenFontRW(notice_source, 1, notice_point_size) : nullptr;
  if (font == nullptr) {
    set_sdl_error("cannot open the embedded font");
    return false;
  }
  return true;
}

void text_close() {
  forget_cached_line();
  if (font != nullptr) TTF_CloseFont(font);
  font = nullptr;
  if (notice_font != nullptr) TTF_CloseFont(notice_font);
  notice_font = nullptr;
  if (ttf_started) TTF_Quit();
  ttf_started = false;
}

SDL_Surface* render_overlay_line(const char* utf8, SDL_Color color) {
  if (notice_font == nullptr) return nullptr;
  return TTF_RenderUTF8_Blended(notice_font, utf8, color);
}

}  // namespace sdl_backend

namespace platform {

bool draw_text(const char* text, int x, int y, std::uint32_t colorref) {
  if (!frame_memory::ready("cannot draw text", sdl_backend::set_error)) return false;
  std::uint32_t* pixels = frame_memory::pixels();
  if (font == nullptr) {
    sdl_backend::set_error("cannot draw text: no font");
    return false;
  }
  if (text == nullptr || *text == '\0') return true;  // nothing to show
  SDL_Surface* line = render_line(text, colorref);
  if (line == nullptr) return false;

  const PixelPlane frame{pixels, frame_width, frame_height, frame_width * 4};
  const PixelPlane glyphs{static_cast<std::uint32_t*>(line->pixels), line->w, line->h, line->pitch};
  const FrameRect changed = blend_text(frame, glyphs, x, y);
  if (changed.w == 0) return true;  // wholly outside the frame
  return sdl_backend::upload_frame_area({changed.x, changed.y, changed.w, changed.h});
}

}  // namespace platform
