// Runs the checks of the Windows backend. With no arguments every group
// runs; otherwise only the named ones ("files", "messages", "keys",
// "display", "clock", "waits", "pause", "resources PROGRAM.exe").
#include <windows.h>

#include <cstring>

#include "check.h"
#include "platform/win32/win32_globals.h"

int main(int argc, char** argv) {
  win32::app_instance = GetModuleHandleA(nullptr);
  const bool all = argc < 2;
  auto wanted = [&](const char* group) {
    for (int i = 1; i < argc; ++i) {
      if (std::strcmp(argv[i], group) == 0) return true;
    }
    return all;
  };
  if (wanted("files")) check_files();
  if (wanted("messages")) check_messages();
  if (wanted("keys")) check_keys();
  if (wanted("display")) check_display();
  if (wanted("clock")) check_clock_and_sound();
  if (wanted("waits")) check_waits();
  if (wanted("pause")) check_pause();
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "resources") == 0) check_resources(argv[i + 1]);
  }
  print_summary();
  return failed_checks() == 0 ? 0 : 1;
}
