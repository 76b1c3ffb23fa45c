#include "game/frame_step.h"

#include <cstdio>

#include "display/display_device.h"
#include "display/primitives.h"
#include "game/enemy_fire.h"
#include "game/formation.h"
#include "game/game_state.h"
#include "game/player.h"
#include "game/screens.h"
#include "platform/platform.h"

void format_score(char (&text)[50], std::int32_t value) {
  std::snprintf(text, sizeof text, "SCORE:  %d", value);
}

void compose_play_field(const FrameView& frame, std::int32_t origin_x, std::int32_t origin_y) {
  blit_rgb24(frame, player_image, player_size, player_size, player_x, player_y);
  blit_rgb24(frame, shield_blue_image, shield_width, shield_height, shield_blue_x, shield_y);
  blit_rgb24(frame, shield_yellow_image, shield_width, shield_height, shield_yellow_x, shield_y);
  draw_formation(frame, origin_x, origin_y);
  draw_missiles(frame, player_missile_count, player_missiles);
  draw_missiles(frame, enemy_missile_count, enemy_missiles);
}

namespace {

int show_play_field(std::int32_t origin_x, std::int32_t origin_y) {
  const FrameView frame = begin_frame();
  if (frame.pixels == nullptr) return 0;
  compose_play_field(frame, origin_x, origin_y);
  if (!unlock_frame()) return 0;

  char text[50];
  format_score(text, score);
  draw_text(text, score_text_x, score_text_y, score_color);
  present_frame();
  return 1;
}

// Unsigned differences, so that the tick's wrap changes nothing.
void wait_out_step(std::uint32_t start) {
  for (;;) {
    const std::uint32_t elapsed = platform::tick_ms() - start;
    if (elapsed >= frame_step_ms) return;
    platform::rest(frame_step_ms - elapsed);
  }
}

}  // namespace

int run_frame() {
  check_invasion();
  if (quit_requested) return 0;
  const std::uint32_t start = platform::tick_ms();

  enemy_fire_tick();
  formation_tick();
  // The grid is drawn from where it stood after its own step, even when a
  // level change or a restart below refills it.
  const std::int32_t origin_x = formation_x;
  const std::int32_t origin_y = formation_y;

  if (platform::key_down(platform::Key::escape)) {
    platform::post_close_request();
    quit_requested = 1;
  }
  move_player();
  update_player_missiles(last_frame());
  update_enemy_missiles();
  if (enemies_left < 1) advance_level();

  const int shown = show_play_field(origin_x, origin_y);
  // A step whose frame could not be shown still takes its time: otherwise a
  // lost display would let play race on unseen.
  wait_out_step(start);
  return shown;
}
