// The text behind platform::last_error, kept by whichever call failed last.
#pragma once

#include <windows.h>

namespace win32 {

// The failure in the caller's own words.
void record_failure(const char* text);
// A Windows call that failed; the reason comes from GetLastError.
void record_system_failure(const char* call);
// A DirectDraw call that returned a failing result.
void record_display_failure(const char* call, HRESULT result);

}  // namespace win32
