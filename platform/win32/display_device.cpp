// The display: exclusive full screen with its flipping chain, or a window on
// the desktop; opening, release, and bringing lost surfaces back.
#include <cstdio>

#include "platform/platform.h"
#include "platform/win32/display_surfaces.h"
#include "platform/win32/failure_text.h"
#include "platform/win32/win32_globals.h"

namespace win32 {

IDirectDraw7* direct_draw = nullptr;
IDirectDrawSurface7* primary_surface = nullptr;
IDirectDrawSurface7* back_surface = nullptr;
IDirectDrawClipper* window_clipper = nullptr;
DisplayMode display_mode = DisplayMode::full_screen;

bool restore_lost_surfaces() {
  if (direct_draw == nullptr) return false;
  // While another program holds the screen this fails, and nothing can be
  // restored yet; the game keeps running and tries again later.
  const HRESULT cooperative = direct_draw->TestCooperativeLevel();
  if (FAILED(cooperative)) {
    record_display_failure("TestCooperativeLevel", cooperative);
    // A window's surfaces were made for the desktop's old mode: they are
    // made anew at the next moment no frame is under way.
    if (cooperative == DDERR_WRONGMODE && display_mode == DisplayMode::window) {
      request_display_rebuild();
    }
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

enum class Opened { yes, refused, failed };

bool in_use = false;

bool create_direct_draw() {
  const HRESULT result = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&direct_draw),
                                            IID_IDirectDraw7, nullptr);
  if (SUCCEEDED(result)) return true;
  direct_draw = nullptr;
  record_display_failure("DirectDrawCreateEx", result);
  return false;
}

// The screen that can't be had (a remote session, a virtual machine, a
// desktop that won't switch its mode) is "refused": the game can still run
// in a window.
Opened open_full_screen() {
  HRESULT result = direct_draw->SetCooperativeLevel(main_window, cooperative_flags);
  if (FAILED(result)) {
    record_display_failure("SetCooperativeLevel", result);
    return Opened::refused;
  }

  result = direct_draw->SetDisplayMode(platform::frame_width, platform::frame_height,
                                       display_bits_per_pixel, 0, 0);
  if (FAILED(result)) {
    record_display_failure("SetDisplayMode 1024 x 768 x 32", result);
    return Opened::refused;
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
    return Opened::failed;
  }

  DDSCAPS2 back_caps = {};
  back_caps.dwCaps = DDSCAPS_BACKBUFFER;
  result = primary_surface->GetAttachedSurface(&back_caps, &back_surface);
  if (FAILED(result)) {
    back_surface = nullptr;
    record_display_failure("GetAttachedSurface (back buffer)", result);
    return Opened::failed;
  }
  return Opened::yes;
}

bool open_window_surfaces() {
  HRESULT result = direct_draw->SetCooperativeLevel(main_window, DDSCL_NORMAL);
  if (FAILED(result)) {
    record_display_failure("SetCooperativeLevel (normal)", result);
    return false;
  }

  DDSURFACEDESC2 primary_desc = {};
  primary_desc.dwSize = sizeof(DDSURFACEDESC2);
  primary_desc.dwFlags = DDSD_CAPS;
  primary_desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  result = direct_draw->CreateSurface(&primary_desc, &primary_surface, nullptr);
  if (FAILED(result)) {
    primary_surface = nullptr;
    record_display_failure("CreateSurface (primary of the desktop)", result);
    return false;
  }

  // The primary surface is the whole desktop: the clipper keeps every copy
  // inside the game window's visible part.
  result = direct_draw->CreateClipper(0, &window_clipper, nullptr);
  if (FAILED(result)) {
    window_clipper = nullptr;
    record_display_failure("CreateClipper", result);
    return false;
  }
  result = window_clipper->SetHWnd(0, main_window);
  if (SUCCEEDED(result)) result = primary_surface->SetClipper(window_clipper);
  if (FAILED(result)) {
    record_display_failure("SetClipper", result);
    return false;
  }

  // The game composes 0x00RRGGBB whatever the desktop's depth: the back
  // surface has that format of its own, and the copy to the screen converts.
  DDSURFACEDESC2 back_desc = {};
  back_desc.dwSize = sizeof(DDSURFACEDESC2);
  back_desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  back_desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  back_desc.dwWidth = platform::frame_width;
  back_desc.dwHeight = platform::frame_height;
  back_desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  back_desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
  back_desc.ddpfPixelFormat.dwRGBBitCount = 32;
  back_desc.ddpfPixelFormat.dwRBitMask = 0x00FF0000;
  back_desc.ddpfPixelFormat.dwGBitMask = 0x0000FF00;
  back_desc.ddpfPixelFormat.dwBBitMask = 0x000000FF;
  result = direct_draw->CreateSurface(&back_desc, &back_surface, nullptr);
  if (FAILED(result)) {
    back_surface = nullptr;
    record_display_failure("CreateSurface (1024 x 768 back surface)", result);
    return false;
  }
  return true;
}

}  // namespace

bool display_in_use() {
  return in_use;
}

bool open_display_objects(DisplayMode wanted) {
  if (!create_direct_draw()) return false;
  if (wanted == DisplayMode::full_screen) {
    shape_window(DisplayMode::full_screen);
    const Opened opened = open_full_screen();
    if (opened == Opened::yes) {
      display_mode = DisplayMode::full_screen;
      return true;
    }
    if (opened == Opened::failed) return false;
    char line[320];
    std::snprintf(line, sizeof line, "marchfire: no full screen (%s); playing in a window\n",
                  platform::last_error());
    OutputDebugStringA(line);
    // A fresh object: nothing of the refused exclusive level stays behind.
    close_display_objects();
    if (!create_direct_draw()) return false;
  }
  shape_window(DisplayMode::window);
  if (!open_window_surfaces()) return false;
  display_mode = DisplayMode::window;
  return true;
}

void close_display_objects() {
  drop_back_surface_lock();
  release(back_surface);
  release(window_clipper);
  release(primary_surface);
  release(direct_draw);
  display_mode = DisplayMode::full_screen;
}

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
  in_use = open_display_objects(DisplayMode::full_screen);
  return in_use;
}

bool flip() {
  using namespace win32;
  if (primary_surface == nullptr) {
    record_failure("the display is not open");
    return false;
  }
  const HRESULT result = present_back_surface();
  if (SUCCEEDED(result)) return true;
  record_display_failure(display_mode == DisplayMode::window ? "Blt" : "Flip", result);
  // This frame is lost either way; the restore readies the surfaces for the
  // next one once the screen is ours again.
  if (result == DDERR_SURFACELOST) restore_lost_surfaces();
  return false;
}

void display_close() {
  using namespace win32;
  close_display_objects();
  in_use = false;
}

}  // namespace platform
