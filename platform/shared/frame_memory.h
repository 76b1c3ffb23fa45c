// The frame of a backend that composes in memory of its own (the Linux and
// browser programs): 1024 x 768 packed pixels that stay readable after the
// unlock and the flip, until the next lock, since the game reads its
// previous frame to find what its missiles hit.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/shared/error_sink.h"

namespace frame_memory {

constexpr int pitch = platform::frame_width * 4;

// Black on first opening; opening again keeps the pixels.
void open();
void close();
// Null while closed.
std::uint32_t* pixels();
bool locked();

// The seam's lock and unlock, with the reason reported when refused.
bool lock(platform::LockedSurface& out, ErrorSink report);
bool unlock(ErrorSink report);
// Whether the frame can be shown or drawn on now: open and not locked.
bool ready(const char* what, ErrorSink report);

}  // namespace frame_memory
