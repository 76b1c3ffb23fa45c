// Runs the checks of the Windows backend. With no arguments every group
// runs; otherwise only the named ones ("files", "messages", "keys",
// "display", "clock", "waits", "pause", "window", "pads",
// "resources PROGRAM.exe").
// "bring-back CLASS" restores another program's window, for the tests
// that play the game.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "check.h"
#include "platform/win32/win32_globals.h"

namespace {

// What a click on the program's button in the task bar does: the minimised
// window of that class is restored and made the foreground one.
int bring_back(const char* class_name) {
  HWND window = FindWindowA(class_name, nullptr);
  if (window == nullptr) {
    std::printf("no window of class %s\n", class_name);
    return 1;
  }
  ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "bring-back") == 0) return bring_back(argv[2]);
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
  if (wanted("window")) check_window_mode();
  if (wanted("pads")) check_pads();
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "resources") == 0) check_resources(argv[i + 1]);
  }
  print_summary();
  return failed_checks() == 0 ? 0 : 1;
}
