// The frame the game composes: memory of our own, copied into the locked
// back surface just before the unlock. The game reads its last frame back
// after the flip, when the surface's memory is no longer ours to read.
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/failure_text.h"

namespace {

constexpr std::int32_t composed_pitch = platform::frame_width * 4;

std::uint32_t composed_frame[platform::frame_width * platform::frame_height];

// The back surface's memory while it is locked, else null.
unsigned char* locked_pixels = nullptr;
std::int32_t locked_pitch = 0;

// The copy writes 1024 x 768 pixels of 0x00RRGGBB: a surface of another
// format or a smaller size would be overrun or shown in wrong colours.
bool surface_takes_frame(const DDSURFACEDESC2& desc) {
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  return desc.lpSurface != nullptr && desc.dwWidth >= static_cast<DWORD>(platform::frame_width) &&
         desc.dwHeight >= static_cast<DWORD>(platform::frame_height) &&
         desc.lPitch >= composed_pitch && (format.dwFlags & DDPF_RGB) != 0 &&
         format.dwRGBBitCount == 32 && format.dwRBitMask == 0x00FF0000 &&
         format.dwGBitMask == 0x0000FF00 && format.dwBBitMask == 0x000000FF;
}

HRESULT lock_surface(DDSURFACEDESC2& desc) {
  desc = {};
  desc.dwSize = sizeof(DDSURFACEDESC2);
  return win32::back_surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
}

void copy_frame_into_surface() {
  if (locked_pitch == composed_pitch) {
    std::memcpy(locked_pixels, composed_frame, sizeof composed_frame);
    return;
  }
  for (int row = 0; row < platform::frame_height; ++row) {
    std::memcpy(locked_pixels + static_cast<std::size_t>(row) * locked_pitch,
                composed_frame + static_cast<std::size_t>(row) * platform::frame_width,
                composed_pitch);
  }
}

}  // namespace

namespace win32 {

bool back_surface_locked() {
  return locked_pixels != nullptr;
}

void drop_back_surface_lock() {
  if (locked_pixels == nullptr) return;
  locked_pixels = nullptr;
  if (back_surface != nullptr) back_surface->Unlock(nullptr);
}

bool redisplay_last_frame() {
  if (back_surface == nullptr || primary_surface == nullptr) return true;
  // Called only between the game's frames; a frame under way is shown by the
  // game itself.
  if (locked_pixels != nullptr) return false;
  if (primary_surface->IsLost() == DDERR_SURFACELOST && !restore_lost_surfaces()) return false;
  DDSURFACEDESC2 desc;
  if (FAILED(lock_surface(desc))) return false;
  if (!surface_takes_frame(desc)) {
    back_surface->Unlock(nullptr);
    return false;
  }
  locked_pixels = static_cast<unsigned char*>(desc.lpSurface);
  locked_pitch = desc.lPitch;
  copy_frame_into_surface();
  locked_pixels = nullptr;
  if (FAILED(back_surface->Unlock(nullptr))) return false;
  redraw_remembered_texts();
  return SUCCEEDED(present_back_surface());
}

}  // namespace win32

namespace platform {

bool lock_back_surface(LockedSurface& out) {
  using namespace win32;
  if (back_surface == nullptr) {
    record_failure("the display is not open");
    return false;
  }
  if (locked_pixels == nullptr) {
    DDSURFACEDESC2 desc;
    HRESULT result = lock_surface(desc);
    if (result == DDERR_SURFACELOST && restore_lost_surfaces()) result = lock_surface(desc);
    if (FAILED(result)) {
      record_display_failure("Lock", result);
      return false;
    }
    if (!surface_takes_frame(desc)) {
      back_surface->Unlock(nullptr);
      record_failure("the back surface is not 1024 x 768 at 32 bits per pixel");
      return false;
    }
    locked_pixels = static_cast<unsigned char*>(desc.lpSurface);
    locked_pitch = desc.lPitch;
  }
  out.pixels = composed_frame;
  out.pitch = composed_pitch;
  return true;
}

bool unlock_back_surface() {
  using namespace win32;
  if (back_surface == nullptr || locked_pixels == nullptr) {
    record_failure("the back surface is not locked");
    return false;
  }
  copy_frame_into_surface();
  locked_pixels = nullptr;
  forget_drawn_texts();
  const HRESULT result = back_surface->Unlock(nullptr);
  if (FAILED(result)) {
    record_display_failure("Unlock", result);
    if (result == DDERR_SURFACELOST) restore_lost_surfaces();
    return false;
  }
  return true;
}

}  // namespace platform
