#include "display/display_device.h"

#include <cstdio>

#include "display/primitives.h"
#include "game/game_state.h"
#include "game/screens.h"
#include "platform/platform.h"

BitmapImage player_image{};
BitmapImage shield_blue_image{};
BitmapImage shield_yellow_image{};
BitmapImage enemy_image{};
BitmapImage missile_image{};

std::uint32_t* frame_pixels = nullptr;
std::int32_t frame_pitch = 0;

namespace {

char failure[256] = "";

struct Sprite {
  BitmapImage* image;
  const char* file;
  std::int32_t width;
  std::int32_t height;
};

const Sprite sprites[] = {
    {&player_image, "game_m_modified_small.bmp", player_size, player_size},
    {&shield_blue_image, "shield_blue.bmp", shield_width, shield_height},
    {&shield_yellow_image, "shield_yellow.bmp", shield_width, shield_height},
    {&enemy_image, "spartan.bmp", enemy_width, enemy_height},
    {&missile_image, "missile.bmp", missile_size, missile_size},
};

// A sprite is drawn at its fixed size from 3 bytes per pixel; one of another
// size or depth would be read past its pixels, so it counts as a failed load.
bool load_sprite(const Sprite& sprite) {
  if (!bmp_load(*sprite.image, sprite.file)) {
    std::snprintf(failure, sizeof failure, "cannot load \"%s\": %s", sprite.file,
                  bmp_failure_reason());
    return false;
  }
  if (!bmp_fits(*sprite.image, sprite.width, sprite.height)) {
    const BitmapInfoHeader& info = sprite.image->info_header;
    std::snprintf(failure, sizeof failure,
                  "cannot use \"%s\": it is %d x %d at %u bits per pixel, the game needs "
                  "%d x %d at 24",
                  sprite.file, info.biWidth, info.biHeight, unsigned{info.biBitCount}, sprite.width,
                  sprite.height);
    return false;
  }
  return true;
}

}  // namespace

int startup() {
  failure[0] = '\0';
  fill_grid();
  if (!platform::display_open()) {
    std::snprintf(failure, sizeof failure, "cannot open the display: %s", platform::last_error());
    return 0;
  }
  for (const Sprite& sprite : sprites) {
    if (!load_sprite(sprite)) return 0;
  }
  platform::hide_cursor();
  show_intro();
  return 1;
}

const char* startup_failure() {
  return failure;
}

FrameView begin_frame() {
  platform::LockedSurface surface;
  if (!platform::lock_back_surface(surface) || surface.pixels == nullptr ||
      surface.pitch < screen_width * 4) {
    frame_pixels = nullptr;
    frame_pitch = 0;
    return {};
  }
  frame_pixels = surface.pixels;
  frame_pitch = surface.pitch;
  const FrameView frame{frame_pixels, frame_pitch};
  clear_frame(frame);
  return frame;
}

int unlock_frame() {
  return platform::unlock_back_surface() ? 1 : 0;
}

int present_frame() {
  for (int attempt = 0; attempt < flip_attempts_per_frame; ++attempt) {
    if (platform::flip()) return 1;
  }
  return 0;
}

int end_frame() {
  if (!unlock_frame()) return 0;
  present_frame();
  return 1;
}

FrameView last_frame() {
  return {frame_pixels, frame_pitch};
}

int shutdown() {
  platform::display_close();
  for (const Sprite& sprite : sprites) bmp_unload(*sprite.image);
  return 1;
}
