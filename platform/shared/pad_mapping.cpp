#include "platform/shared/pad_mapping.h"

namespace {

std::uint8_t movement(const PadReading& reading) {
  std::uint8_t keys = 0;
  if ((reading.buttons & pad_dpad_left) != 0 || reading.stick_x < -stick_dead_zone) {
    keys |= pad_key_left;
  }
  if ((reading.buttons & pad_dpad_right) != 0 || reading.stick_x > stick_dead_zone) {
    keys |= pad_key_right;
  }
  return keys;
}

bool went_down(const PadReading& before, const PadReading& now, PadButton button) {
  return (before.buttons & button) == 0 && (now.buttons & button) != 0;
}

bool went_up(const PadReading& before, const PadReading& now, PadButton button) {
  return (before.buttons & button) != 0 && (now.buttons & button) == 0;
}

}  // namespace

PadActions pad_actions(const PadReading& before, const PadReading& now, GameActivity activity,
                       bool paused) {
  PadActions actions;
  const std::uint8_t moved_before = movement(before);
  const std::uint8_t moved_now = movement(now);
  actions.pressed = static_cast<std::uint8_t>(moved_now & ~moved_before);
  actions.released = static_cast<std::uint8_t>(moved_before & ~moved_now);

  // Only a release of a press seen here fires: a button held as the pad
  // came in does not.
  if (went_up(before, now, pad_a)) ++actions.shots;
  if (went_up(before, now, pad_x)) ++actions.shots;

  if (went_down(before, now, pad_back)) {
    actions.pressed |= pad_key_escape;
    actions.end_pause = true;
  }
  if (went_up(before, now, pad_back)) actions.released |= pad_key_escape;

  // Start's meaning is decided when it goes down: a Start that paused play
  // is no Enter on the picture that may follow while it is still held.
  if (went_down(before, now, pad_start)) {
    if (paused || activity == GameActivity::play) {
      actions.toggle_pause = true;
    } else {
      actions.pressed |= pad_key_enter;
    }
  }
  if (went_up(before, now, pad_start)) actions.released |= pad_key_enter;
  return actions;
}
