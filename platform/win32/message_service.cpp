#include "platform/win32/message_service.h"

#include "platform/win32/display_surfaces.h"
#include "platform/win32/gamepads.h"
#include "platform/win32/key_taps.h"
#include "platform/win32/keyboard.h"
#include "platform/win32/pause.h"
#include "platform/win32/win32_globals.h"

namespace {

// More key-downs than a player can make between two looks at the queue; the
// bound keeps a flood of injected keys from holding the game.
constexpr int key_downs_per_look = 64;
constexpr DWORD pause_look_ms = 50;

// The screen came back while a pause the player made still holds: the
// surfaces must be restored and the frame and pause line drawn again.
bool screen_returned_during_pause = false;

bool is_repeat(LPARAM key_data) {
  return (key_data & (LPARAM{1} << 30)) != 0;
}

bool alt_held(LPARAM key_data) {
  return (key_data & (LPARAM{1} << 29)) != 0;
}

// The game's keys among the key-down messages; Enter on the number pad has
// Enter's virtual key.
bool game_key_of(WPARAM virtual_key, platform::Key& key) {
  switch (virtual_key) {
    case VK_LEFT:
      key = platform::Key::left;
      return true;
    case VK_RIGHT:
      key = platform::Key::right;
      return true;
    case VK_ESCAPE:
      key = platform::Key::escape;
      return true;
    case VK_RETURN:
      key = platform::Key::enter;
      return true;
    default:
      return false;
  }
}

// Painting and the mouse on the window's frame concern the window alone; the
// game makes nothing of them, so their order against its messages is free.
void handle_window_messages() {
  MSG message;
  for (int taken = 0; taken < key_downs_per_look; ++taken) {
    if (!PeekMessageA(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE) &&
        !PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
      return;
    }
    DispatchMessageA(&message);
  }
}

bool queued(UINT message) {
  MSG found;
  return PeekMessageA(&found, nullptr, message, message, PM_NOREMOVE) != FALSE;
}

// The desktop's "close" for the window (its task bar menu, for one).
bool close_command_queued() {
  MSG found;
  if (!PeekMessageA(&found, nullptr, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_NOREMOVE)) return false;
  return (found.wParam & 0xFFF0) == SC_CLOSE;
}

}  // namespace

namespace win32 {

bool close_is_due() {
  return queued(WM_CLOSE) || queued(WM_QUIT) || close_command_queued();
}

bool pause_must_give_way() {
  return main_window == nullptr || close_is_due();
}

void note_key_down(WPARAM virtual_key, LPARAM key_data, DWORD time) {
  if (is_repeat(key_data)) return;
  // A press made while paused is no tap for the game: it only holds the key
  // for as long as it lasts. An Escape that ends a pause is latched there.
  platform::Key key;
  if (!paused() && game_key_of(virtual_key, key)) note_key_press(key, time);
  if (virtual_key == 'P') pause_toggle_by_player(GetTickCount());
  if (virtual_key == VK_ESCAPE) pause_end_for_escape(GetTickCount());
  if (virtual_key == VK_F11) request_display_switch();
}

void note_system_key_down(WPARAM virtual_key, LPARAM key_data) {
  if (virtual_key != VK_RETURN || !alt_held(key_data)) return;
  note_enter_switched_display();
  if (!is_repeat(key_data)) request_display_switch();
}

void note_activation(bool active) {
  const bool was_active = application_active();
  pause_note_activation(active, GetTickCount());
  if (active && !was_active && paused()) screen_returned_during_pause = true;
}

void take_alt_enter() {
  MSG message;
  for (int taken = 0; taken < key_downs_per_look; ++taken) {
    if (!PeekMessageA(&message, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE)) return;
    if (message.wParam != VK_MENU && message.wParam != VK_RETURN) return;
    PeekMessageA(&message, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    note_system_key_down(message.wParam, message.lParam);
  }
}

void service_queue() {
  MSG message;
  // Any look at the queue delivers what other threads and the system sent,
  // and tells Windows that the program still answers.
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  for (int taken = 0; taken < key_downs_per_look; ++taken) {
    if (!PeekMessageA(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) break;
    note_key_down(message.wParam, message.lParam, message.time);
  }
  take_alt_enter();
  handle_window_messages();
}

void wait_for_input(std::uint32_t timeout_ms) {
  service_queue();
  if (paused()) return;
  if (redraw_owed()) settle_display();
  // Input that the look above has seen does not end this wait again; only
  // new input, a sent message or the timeout do.
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout_ms, QS_ALLINPUT, 0);
}

void hold_while_paused() {
  bool line_shown = false;
  while (paused()) {
    service_queue();
    // While paused, Start and Back only end the pause.
    poll_gamepads(GameActivity::play);
    if (apply_display_requests()) line_shown = false;
    if (!paused()) break;
    if (pause_must_give_way()) {
      pause_end(GetTickCount());
      break;
    }
    // The key may have gone down while another window had the keyboard.
    if ((GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0) {
      pause_end_for_escape(GetTickCount());
      break;
    }
    if (screen_returned_during_pause && redisplay_last_frame()) {
      screen_returned_during_pause = false;
      line_shown = false;
    }
    if (!line_shown && application_active()) line_shown = show_pause_line();
    MsgWaitForMultipleObjectsEx(0, nullptr, pause_look_ms, QS_ALLINPUT, 0);
  }
  screen_returned_during_pause = false;
  settle_display();
}

bool settle_display() {
  if (!redraw_owed()) return true;
  if (!redisplay_last_frame()) return false;
  redraw_done();
  return true;
}

}  // namespace win32
