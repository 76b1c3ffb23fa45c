// The reasons behind failing calls, and platform::last_error.
#include "platform/win32/failure_text.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/ddraw_error_names.h"

namespace win32 {

namespace {

char failure[256] = "no failure";

void drop_trailing_space(char* text) {
  std::size_t length = std::strlen(text);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                        text[length - 1] == ' ' || text[length - 1] == '.')) {
    text[--length] = '\0';
  }
}

}  // namespace

void record_failure(const char* text) {
  std::snprintf(failure, sizeof failure, "%s", text);
}

void record_system_failure(const char* call) {
  const DWORD code = GetLastError();
  char reason[160] = "";
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reason, sizeof reason, nullptr);
  if (length == 0) std::snprintf(reason, sizeof reason, "error %lu", code);
  drop_trailing_space(reason);
  std::snprintf(failure, sizeof failure, "%s failed: %s", call, reason);
}

void record_display_failure(const char* call, HRESULT result) {
  const char* name = ddraw_error_name(result);
  if (name != nullptr) {
    std::snprintf(failure, sizeof failure, "%s failed: %s", call, name);
  } else {
    std::snprintf(failure, sizeof failure, "%s failed: result 0x%08lX", call,
                  static_cast<unsigned long>(result));
  }
}

}  // namespace win32

namespace platform {

const char* last_error() {
  return win32::failure;
}

}  // namespace platform
