// Access to the pixels of one 1024 x 768 frame of 32-bit pixels 0x00RRGGBB.
#pragma once

#include <cstdint>

constexpr std::int32_t screen_width = 1024;
constexpr std::int32_t screen_height = 768;

struct FrameView {
  std::uint32_t* pixels = nullptr;  // column 0 of row 0
  std::int32_t pitch = 0;           // bytes from one row to the next
};

inline std::uint32_t* frame_row(const FrameView& frame, std::int32_t y) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(frame.pixels) +
                                          static_cast<std::intptr_t>(y) * frame.pitch);
}
