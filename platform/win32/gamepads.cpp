#include "platform/win32/gamepads.h"

#include <iterator>

#include "platform/win32/pause.h"
#include "platform/win32/win32_globals.h"

namespace {

constexpr DWORD pad_look_ms = 10;
constexpr DWORD empty_slot_look_ms = 1000;
// A Space release as the keyboard makes it: scan code 0x39, once, up.
constexpr LPARAM space_release = 0xC0390001;

struct Slot {
  bool plugged = false;
  bool asked = false;
  DWORD asked_at = 0;
  PadReading reading;
};

Slot slots[XUSER_MAX_COUNT];
// For each game key (left, right, enter, escape: PadKey's bit order), the
// slots whose pad holds it, as bits.
std::uint8_t holders[4] = {};
bool polled = false;
DWORD polled_at = 0;

win32::PadStateReader reader = nullptr;
bool xinput_looked_for = false;

win32::PadStateReader pad_reader() {
  if (reader != nullptr || xinput_looked_for) return reader;
  xinput_looked_for = true;
  for (const char* name : {"xinput1_4.dll", "xinput9_1_0.dll"}) {
    HMODULE library = LoadLibraryA(name);
    if (library == nullptr) continue;
    reader = reinterpret_cast<win32::PadStateReader>(
        reinterpret_cast<void*>(GetProcAddress(library, "XInputGetState")));
    if (reader != nullptr) break;
    FreeLibrary(library);
  }
  return reader;
}

PadReading reading_of(const XINPUT_GAMEPAD& pad) {
  constexpr struct {
    WORD xinput;
    PadButton ours;
  } buttons[] = {{XINPUT_GAMEPAD_DPAD_LEFT, pad_dpad_left},
                 {XINPUT_GAMEPAD_DPAD_RIGHT, pad_dpad_right},
                 {XINPUT_GAMEPAD_A, pad_a},
                 {XINPUT_GAMEPAD_X, pad_x},
                 {XINPUT_GAMEPAD_START, pad_start},
                 {XINPUT_GAMEPAD_BACK, pad_back}};
  PadReading reading;
  for (const auto& button : buttons) {
    if ((pad.wButtons & button.xinput) != 0) reading.buttons |= button.ours;
  }
  reading.stick_x = pad.sThumbLX;
  return reading;
}

// A pad unplugged, or a game that lost the focus: what the pad held is let
// go of without firing, and its next reading counts from nothing held.
void let_go(DWORD slot) {
  for (std::uint8_t& keys : holders) keys &= static_cast<std::uint8_t>(~(1u << slot));
  slots[slot].reading = PadReading{};
}

void take_reading(DWORD slot, const PadReading& now, GameActivity activity) {
  const PadActions actions = pad_actions(slots[slot].reading, now, activity, win32::paused());
  slots[slot].reading = now;
  if (actions.end_pause) win32::pause_end_for_escape(GetTickCount());
  if (actions.toggle_pause) win32::pause_toggle_by_player(GetTickCount());
  for (std::size_t key = 0; key < std::size(holders); ++key) {
    const auto bit = static_cast<std::uint8_t>(1u << key);
    if ((actions.released & bit) != 0) holders[key] &= static_cast<std::uint8_t>(~(1u << slot));
    if ((actions.pressed & bit) != 0) holders[key] |= static_cast<std::uint8_t>(1u << slot);
  }
  for (int shot = 0; shot < actions.shots && win32::main_window != nullptr; ++shot) {
    PostMessageA(win32::main_window, WM_KEYUP, VK_SPACE, space_release);
  }
}

}  // namespace

namespace win32 {

void poll_gamepads(GameActivity activity) {
  poll_gamepads_at(activity, GetTickCount());
}

void poll_gamepads_at(GameActivity activity, DWORD now) {
  // A game in the background takes no pad: its Start would end the pause
  // that losing the focus began.
  if (!application_active()) {
    for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) let_go(slot);
    return;
  }
  if (polled && now - polled_at < pad_look_ms) return;
  const PadStateReader read = pad_reader();
  if (read == nullptr) return;
  polled = true;
  polled_at = now;
  for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) {
    Slot& pad = slots[slot];
    if (!pad.plugged && pad.asked && now - pad.asked_at < empty_slot_look_ms) continue;
    pad.asked = true;
    pad.asked_at = now;
    XINPUT_STATE state = {};
    if (read(slot, &state) != ERROR_SUCCESS) {
      if (pad.plugged) let_go(slot);
      pad.plugged = false;
      continue;
    }
    pad.plugged = true;
    take_reading(slot, reading_of(state.Gamepad), activity);
  }
}

bool pad_holds(platform::Key key) {
  switch (key) {
    case platform::Key::left:
      return holders[0] != 0;
    case platform::Key::right:
      return holders[1] != 0;
    case platform::Key::enter:
      return holders[2] != 0;
    case platform::Key::escape:
      return holders[3] != 0;
  }
  return false;
}

void use_pad_reader(PadStateReader replacement) {
  reader = replacement;
  xinput_looked_for = false;
}

void forget_gamepads() {
  for (Slot& slot : slots) slot = Slot{};
  for (std::uint8_t& keys : holders) keys = 0;
  polled = false;
}

}  // namespace win32
