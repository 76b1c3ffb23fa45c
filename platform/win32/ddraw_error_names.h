// Readable names of the DirectDraw results a player may meet.
#pragma once

#include <windows.h>

namespace win32 {

// The name of a DirectDraw result, or null for one without a known name.
const char* ddraw_error_name(HRESULT result);

}  // namespace win32
