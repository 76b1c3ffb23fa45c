// The program's entry point: keep the module handle, then run the game.
#include <windows.h>

#include "platform/win32/win32_globals.h"
#include "shell/app_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  win32::app_instance = instance;
  return app_main();
}
