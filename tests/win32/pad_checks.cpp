// XInput pads through a reader of our own in place of the system's: how
// often slots are asked, a pad that comes late, fire releases in order with
// the keyboard's, and a game in the background that takes no pad.
#include <windows.h>
// After windows.h, whose types it uses.
#include <xinput.h>

#include <string>
#include <vector>

#include "check.h"
#include "check_window.h"
#include "platform/platform.h"
#include "platform/win32/gamepads.h"
#include "platform/win32/pause.h"

namespace {

struct FakeSlot {
  bool plugged = false;
  WORD buttons = 0;
  SHORT stick_x = 0;
  int asked = 0;
};
FakeSlot fake[XUSER_MAX_COUNT];

DWORD WINAPI read_fake(DWORD slot, XINPUT_STATE* state) {
  ++fake[slot].asked;
  if (!fake[slot].plugged) return ERROR_DEVICE_NOT_CONNECTED;
  *state = {};
  state->Gamepad.wButtons = fake[slot].buttons;
  // The other sticks' axes the other way: only the left stick's x moves.
  state->Gamepad.sThumbLX = fake[slot].stick_x;
  state->Gamepad.sThumbLY = static_cast<SHORT>(-fake[slot].stick_x);
  state->Gamepad.sThumbRX = static_cast<SHORT>(-fake[slot].stick_x);
  return ERROR_SUCCESS;
}

// Polls as play does, once per 15 ms step, from `from` up to `to`.
void play_steps(DWORD from, DWORD to) {
  for (DWORD now = from; now <= to; now += 15) win32::poll_gamepads_at(GameActivity::play, now);
}

void check_asking() {
  fake[0].plugged = true;
  play_steps(0, 3000);
  check(fake[0].asked == 201,
        "a pad is read at every step (" + std::to_string(fake[0].asked) + " of 201)");
  check(fake[1].asked == 3 && fake[3].asked == 3,
        "an empty slot is asked once a second (" + std::to_string(fake[1].asked) + " in 3 s)");
  fake[2].plugged = true;
  fake[2].buttons = XINPUT_GAMEPAD_DPAD_LEFT;
  play_steps(3015, 3990);
  check(win32::pad_holds(platform::Key::left), "a pad plugged in later is seen within a second");
  fake[2].plugged = false;
  play_steps(4005, 4005 + 15 * 70);
  check(!win32::pad_holds(platform::Key::left), "unplugged, it lets go of what it held");
}

void check_fire_order(HWND window) {
  dispatch_pending();
  post_space_release(window, 5);
  fake[0].buttons = XINPUT_GAMEPAD_A;
  win32::poll_gamepads_at(GameActivity::play, 10000);
  fake[0].buttons = 0;
  win32::poll_gamepads_at(GameActivity::play, 10015);
  post_space_release(window, 6);
  check(take_release_counts(3) == std::vector<std::uintptr_t>{5, 1, 6},
        "A fires once, on its release, as a Space release between the keyboard's");
}

void check_start_and_back() {
  fake[0].buttons = XINPUT_GAMEPAD_START;
  win32::poll_gamepads_at(GameActivity::play, 11000);
  check(win32::paused() && !win32::pad_holds(platform::Key::enter), "Start in play pauses");
  fake[0].buttons = XINPUT_GAMEPAD_BACK;
  win32::poll_gamepads_at(GameActivity::play, 11015);
  check(!win32::paused() && platform::key_down(platform::Key::escape),
        "Back ends the pause and is Escape");
  fake[0].buttons = XINPUT_GAMEPAD_START;
  win32::poll_gamepads_at(GameActivity::picture, 11030);
  check(!win32::paused() && platform::key_down(platform::Key::enter),
        "Start on a picture is Enter");

  win32::pause_note_activation(false, GetTickCount());
  const int asked = fake[0].asked;
  win32::poll_gamepads_at(GameActivity::picture, 12000);
  check(fake[0].asked == asked && !win32::pad_holds(platform::Key::enter),
        "a game in the background reads no pad and lets go of what pads held");
  win32::pause_reset();
}

// The pads are read at most every 10 ms of the system's tick, which Wine
// brings up to date only now and then: a change of a pad is made visible
// once the tick has moved past that interval, however long the machine
// takes to move it.
void let_pad_interval_pass() {
  const DWORD from = GetTickCount();
  for (int nap = 0; nap < 400 && GetTickCount() - from < 20; ++nap) Sleep(5);
}

// Steps that run past their 15 ms leave no rest to read the pads in; the
// loop's fetch between two steps reads them all the same.
void check_read_between_steps() {
  platform::WindowMessage message;
  // What the system still had to say to the window (its activation among
  // it, on a loaded machine) is said before the pad is pressed. That read
  // the pads too: the press is read only after the interval.
  dispatch_pending();
  win32::pause_reset();
  fake[0].buttons = XINPUT_GAMEPAD_A;
  let_pad_interval_pass();
  const int asked = fake[0].asked;
  for (int i = 0; i < 200 && platform::fetch_message(message); ++i) {
    platform::dispatch_message(message);
  }
  const bool press_read = fake[0].asked > asked;
  let_pad_interval_pass();
  fake[0].buttons = 0;
  const bool active = win32::application_active();
  check(take(platform::MessageKind::key_up, message) && message.key_code == VK_SPACE,
        std::string("with no rest between steps, A's release still fires") +
            (active ? "" : " (the program was not the active one)") +
            (press_read ? "" : " (the press was never read)"));
}

// Left, then right, then back to the middle, on the left stick of each slot
// alone.
void check_stick() {
  win32::pause_reset();
  std::string wrong;
  for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) {
    win32::forget_gamepads();
    for (FakeSlot& one : fake) one = FakeSlot{};
    fake[slot].plugged = true;
    DWORD now = 20000;
    for (const SHORT x : {SHORT{-32767}, SHORT{32767}, SHORT{0}}) {
      fake[slot].stick_x = x;
      win32::poll_gamepads_at(GameActivity::play, now += 15);
      if (win32::pad_holds(platform::Key::left) != (x < 0) ||
          win32::pad_holds(platform::Key::right) != (x > 0)) {
        wrong += " slot " + std::to_string(slot) + " at " + std::to_string(x);
      }
    }
  }
  check(wrong.empty(), "the stick moves the way it is pushed, in every slot" + wrong);
}

}  // namespace

void check_pads() {
  begin_group("pads");
  win32::pause_reset();
  win32::forget_gamepads();
  win32::use_pad_reader(read_fake);
  check_asking();
  HWND window = open_check_window("MARCHFIRE_PAD_CHECKS", "pad checks", 64, 48);
  if (window != nullptr) check_fire_order(window);
  check_start_and_back();
  if (window != nullptr) check_read_between_steps();
  check_stick();
  close_check_window();
  win32::use_pad_reader(nullptr);
  win32::forget_gamepads();
}
