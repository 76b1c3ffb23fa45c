#include "shown_frame.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <ddraw.h>

#include "platform/win32/display_surfaces.h"

namespace {

bool in_score_text_box(int x, int y) {
  return x >= 920 && y < 24;
}

}  // namespace

std::uint32_t pattern(int x, int y) {
  return static_cast<std::uint32_t>(((x & 0xFF) << 16) | ((y & 0xFF) << 8) | ((x ^ y) & 0xFF));
}

bool compose_and_show(FrameColours colours, bool with_score_text,
                      platform::LockedSurface& surface) {
  if (!platform::lock_back_surface(surface)) return false;
  for (int y = 0; y < platform::frame_height; ++y) {
    for (int x = 0; x < platform::frame_width; ++x) {
      surface.pixels[x + y * (surface.pitch / 4)] = colours(x, y);
    }
  }
  if (!platform::unlock_back_surface()) return false;
  if (with_score_text && !platform::draw_text("SCORE:  25", 924, 0, white)) return false;
  return platform::flip();
}

bool frame_memory_matches(const platform::LockedSurface& surface, FrameColours colours) {
  if (surface.pixels == nullptr) return false;
  for (int y = 0; y < platform::frame_height; ++y) {
    for (int x = 0; x < platform::frame_width; ++x) {
      if (surface.pixels[x + y * (surface.pitch / 4)] != colours(x, y)) return false;
    }
  }
  return true;
}

ShownFrame read_shown_frame(FrameColours expected) {
  ShownFrame shown;
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  if (win32::primary_surface == nullptr ||
      FAILED(
          win32::primary_surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
    return shown;
  }
  shown.read = true;
  const auto* bytes = static_cast<const unsigned char*>(desc.lpSurface);
  for (int y = 0; y < platform::frame_height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(bytes + y * desc.lPitch);
    for (int x = 0; x < platform::frame_width; ++x) {
      const std::uint32_t pixel = row[x] & 0x00FFFFFF;
      if (in_score_text_box(x, y)) {
        if (pixel == white) ++shown.text_pixels;
        continue;
      }
      if (pixel != expected(x, y)) ++shown.mismatches;
      if (y >= 356 && y < 412 && pixel == white) ++shown.band_white_pixels;
    }
  }
  win32::primary_surface->Unlock(nullptr);
  return shown;
}
