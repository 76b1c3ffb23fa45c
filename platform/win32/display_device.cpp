// The full-screen display: exclusive mode, the flipping chain, its release,
// and bringing lost surfaces back.
#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/failure_text.h"
#include "platform/win32/win32_globals.h"

namespace win32 {

IDirectDraw7* direct_draw = nullptr;
IDirectDrawSurface7* primary_surface = nullptr;
IDirectDrawSurface7* back_surface = nullptr;

bool restore_lost_surfaces() {
  if (direct_draw == nullptr) return false;
  // While another program holds the screen this fails, and nothing can be
  // restored yet; the game keeps running and tries again later.
  const HRESULT cooperative = direct_draw->TestCooperativeLevel();
  if (FAILED(cooperative)) {
    record_display_failure("TestCooperativeLevel", cooperative);
    return false;
  }
  const HRESULT restored = direct_draw->RestoreAllSurfaces();
  if (FAILED(restored)) {
    record_display_failure("RestoreAllSurfaces", restored);
    return false;
  }
  return true;
}

namespace {

constexpr DWORD cooperative_flags =
    DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX;  // 0x53
constexpr DWORD display_bits_per_pixel = 32;

template <typename Object>
void release(Object*& object) {
  if (object == nullptr) return;
  object->Release();
  object = nullptr;
}

}  // namespace

}  // namespace win32

namespace platform {

bool display_open() {
  using namespace win32;
  if (direct_draw != nullptr) {
    record_failure("the display is already open");
    return false;
  }
  if (main_window == nullptr) {
    record_failure("no game window for the display");
    return false;
  }

  HRESULT result = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&direct_draw),
                                      IID_IDirectDraw7, nullptr);
  if (FAILED(result)) {
    direct_draw = nullptr;
    record_display_failure("DirectDrawCreateEx", result);
    return false;
  }

  result = direct_draw->SetCooperativeLevel(main_window, cooperative_flags);
  if (FAILED(result)) {
    record_display_failure("SetCooperativeLevel", result);
    return false;
  }

  result = direct_draw->SetDisplayMode(frame_width, frame_height, display_bits_per_pixel, 0, 0);
  if (FAILED(result)) {
    record_display_failure("SetDisplayMode 1024 x 768 x 32", result);
    return false;
  }

  DDSURFACEDESC2 surface_desc = {};
  // The record's size as this target lays it out (124 bytes on 32-bit
  // Windows, 136 on 64-bit); DirectDraw rejects any other value.
  surface_desc.dwSize = sizeof(DDSURFACEDESC2);
  surface_desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;  // 0x21
  surface_desc.dwBackBufferCount = 1;
  surface_desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;  // 0x218
  result = direct_draw->CreateSurface(&surface_desc, &primary_surface, nullptr);
  if (FAILED(result)) {
    primary_surface = nullptr;
    record_display_failure("CreateSurface (primary with one back buffer)", result);
    return false;
  }

  DDSCAPS2 back_caps = {};
  back_caps.dwCaps = DDSCAPS_BACKBUFFER;
  result = primary_surface->GetAttachedSurface(&back_caps, &back_surface);
  if (FAILED(result)) {
    back_surface = nullptr;
    record_display_failure("GetAttachedSurface (back buffer)", result);
    return false;
  }
  return true;
}

bool flip() {
  using namespace win32;
  if (primary_surface == nullptr) {
    record_failure("the display is not open");
    return false;
  }
  const HRESULT result = primary_surface->Flip(nullptr, DDFLIP_WAIT);
  if (SUCCEEDED(result)) return true;
  record_display_failure("Flip", result);
  // This frame is lost either way; the restore readies the surfaces for the
  // next one once the screen is ours again.
  if (result == DDERR_SURFACELOST) restore_lost_surfaces();
  return false;
}

void display_close() {
  using namespace win32;
  drop_back_surface_lock();
  release(back_surface);
  release(primary_surface);
  release(direct_draw);
}

}  // namespace platform
