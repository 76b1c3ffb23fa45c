#include "platform/win32/pause.h"

namespace win32 {

namespace {

bool paused_by_player = false;
bool paused_by_deactivation = false;
std::uint32_t pause_started_at = 0;
std::uint32_t paused_total = 0;
bool escape_latched = false;
bool redraw_pending = false;

void update(bool by_player, bool by_deactivation, std::uint32_t now) {
  const bool was_paused = paused();
  paused_by_player = by_player;
  paused_by_deactivation = by_deactivation;
  const bool is_paused = paused();
  if (!was_paused && is_paused) pause_started_at = now;
  if (was_paused && !is_paused) {
    paused_total += now - pause_started_at;
    redraw_pending = true;
  }
}

}  // namespace

void pause_toggle_by_player(std::uint32_t now) {
  update(!paused_by_player, paused_by_deactivation, now);
}

void pause_note_activation(bool active, std::uint32_t now) {
  update(paused_by_player, !active, now);
}

void pause_end_for_escape(std::uint32_t now) {
  if (!paused()) return;
  escape_latched = true;
  pause_end(now);
}

void pause_end(std::uint32_t now) {
  update(false, false, now);
}

bool paused() {
  return paused_by_player || paused_by_deactivation;
}

bool application_active() {
  return !paused_by_deactivation;
}

std::uint32_t game_clock(std::uint32_t now) {
  if (paused()) return pause_started_at - paused_total;
  return now - paused_total;
}

bool take_escape_latch() {
  const bool latched = escape_latched;
  escape_latched = false;
  return latched;
}

bool redraw_owed() {
  return redraw_pending;
}

void redraw_done() {
  redraw_pending = false;
}

void pause_reset() {
  paused_by_player = false;
  paused_by_deactivation = false;
  pause_started_at = 0;
  paused_total = 0;
  escape_latched = false;
  redraw_pending = false;
}

}  // namespace win32
