// Handles that several parts of the Windows backend share.
#pragma once

#include <windows.h>

namespace win32 {

// The program's module: owner of the window class, the window and the
// sound resources. WinMain stores it before the game starts.
extern HINSTANCE app_instance;
// The game window; the display binds to it and close requests go to it.
// Null before creation and again once the window is gone.
extern HWND main_window;

}  // namespace win32
