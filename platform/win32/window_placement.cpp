#include "platform/win32/window_placement.h"

#include <algorithm>

#include "platform/platform.h"
#include "platform/shared/letterbox.h"

namespace win32 {

RECT window_placement(const RECT& work_area, const RECT& frame) {
  const int frame_w = frame.right - frame.left;
  const int frame_h = frame.bottom - frame.top;
  const int work_w = work_area.right - work_area.left;
  const int work_h = work_area.bottom - work_area.top;
  int client_w = platform::frame_width;
  int client_h = platform::frame_height;
  if (work_w - frame_w < client_w || work_h - frame_h < client_h) {
    const auto fit = fit_frame(std::max(work_w - frame_w, 1), std::max(work_h - frame_h, 1),
                               platform::frame_width, platform::frame_height);
    client_w = fit.w;
    client_h = fit.h;
  }
  const int outer_w = client_w + frame_w;
  const int outer_h = client_h + frame_h;
  const int left = work_area.left + (work_w - outer_w) / 2;
  const int top = work_area.top + (work_h - outer_h) / 2;
  return RECT{left, top, left + outer_w, top + outer_h};
}

}  // namespace win32
