// Telling the player why the game could not start: a line on standard error
// for whoever started it from a console or a script, and a message box for
// whoever started it from the desktop.
#include <windows.h>

#include <cstring>

#include "platform/platform.h"

namespace {

bool write_line(HANDLE stream, const char* line) {
  if (stream == nullptr || stream == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  if (!WriteFile(stream, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr)) {
    return false;
  }
  return WriteFile(stream, "\n", 1, &written, nullptr) != 0;
}

// A desktop program has no console of its own: standard error exists only
// when the starter redirected it, or through the console of the starter.
void write_to_standard_error(const char* line) {
  if (write_line(GetStdHandle(STD_ERROR_HANDLE), line)) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (console != INVALID_HANDLE_VALUE) {
    write_line(console, line);
    CloseHandle(console);
  }
  FreeConsole();
}

}  // namespace

namespace platform {

void report_fatal(const char* line) {
  if (line == nullptr) line = "the game could not start";
  write_to_standard_error(line);
  MessageBoxA(nullptr, line, "marchfire", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace platform
