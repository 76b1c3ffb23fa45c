#include "platform/win32/message_translation.h"

namespace win32 {

namespace {

platform::MessageKind kind_of(UINT message) {
  switch (message) {
    case WM_CREATE:
      return platform::MessageKind::create;
    case WM_DESTROY:
      return platform::MessageKind::destroy;
    case WM_PAINT:
      return platform::MessageKind::paint;
    case WM_CLOSE:
      return platform::MessageKind::close;
    case WM_KEYUP:
      return platform::MessageKind::key_up;
    case WM_QUIT:
      return platform::MessageKind::quit;
    default:
      return platform::MessageKind::other;
  }
}

}  // namespace

platform::WindowMessage translate_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  platform::WindowMessage translated;
  translated.kind = kind_of(message);
  if (translated.kind == platform::MessageKind::key_up) {
    translated.key_code = static_cast<std::uint32_t>(wparam);
  }
  if (translated.kind == platform::MessageKind::quit) {
    translated.exit_code = static_cast<std::int32_t>(wparam);
  }
  translated.native[0] = reinterpret_cast<std::uintptr_t>(window);
  translated.native[1] = static_cast<std::uintptr_t>(message);
  translated.native[2] = static_cast<std::uintptr_t>(wparam);
  translated.native[3] = static_cast<std::uintptr_t>(lparam);
  return translated;
}

}  // namespace win32
