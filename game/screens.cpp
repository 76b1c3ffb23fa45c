#include "game/screens.h"

#include "assets/sound_cues.h"
#include "display/display_device.h"
#include "display/primitives.h"
#include "game/game_state.h"
#include "platform/platform.h"

BitmapImage screen_image{};

namespace {

enum class WaitFor { intro, death };

void put_formation_at_start() {
  formation_x = formation_start_x;
  formation_y = formation_start_y;
  formation_dx = formation_start_dx;
}

// What a new game sets, after the last wave and after a death alike. The
// player's place, the fire range, the march beat and the timers carry over.
void start_new_game() {
  put_formation_at_start();
  step_interval = step_interval_start;
  enemies_left = grid_cells;
  level_index = 0;
  clear_player_missiles();
  score = 0;
}

void restart_game() {
  fill_grid();
  start_new_game();
  clear_enemy_missiles();
}

// Spins on the held keys, Escape first, until Enter or Escape is down.
void key_wait(WaitFor screen) {
  for (;;) {
    bool done = false;
    if (platform::key_down(platform::Key::escape)) {
      platform::post_close_request();
      quit_requested = 1;
      done = true;
    }
    if (platform::key_down(platform::Key::enter)) {
      if (screen == WaitFor::death) restart_game();
      done = true;
    }
    if (done) return;
    platform::rest(platform::no_deadline);
  }
}

// The first half of putting a picture up: a cleared, locked frame with the
// picture in it. On failure nothing stays locked.
bool compose_picture(const char* file_name, std::int32_t x, std::int32_t y, std::int32_t width,
                     std::int32_t height) {
  const FrameView frame = begin_frame();
  if (frame.pixels == nullptr) return false;
  if (!bmp_load(screen_image, file_name)) {
    unlock_frame();
    return false;
  }
  // A picture of another size or depth would be read past its pixels; it is
  // let go at once rather than held until the next picture.
  if (!bmp_fits(screen_image, width, height)) {
    bmp_unload(screen_image);
    unlock_frame();
    return false;
  }
  blit_rgb24(frame, screen_image, width, height, x, y);
  return true;
}

// The second half: show the frame and let the picture's pixels go.
bool present_picture() {
  if (!end_frame()) return false;
  bmp_unload(screen_image);
  return true;
}

}  // namespace

const char* level_picture(std::int32_t index) {
  switch (index) {
    case 0:
      return "sophomore.bmp";
    case 1:
      return "junior.bmp";
    case 2:
      return "senior.bmp";
    default:
      return "finished.bmp";
  }
}

int show_picture(const char* file_name, std::int32_t x, std::int32_t y, std::int32_t width,
                 std::int32_t height) {
  if (!compose_picture(file_name, x, y, width, height)) return 0;
  return present_picture() ? 1 : 0;
}

int show_intro() {
  if (!compose_picture("intro.bmp", 0, 0, screen_width, screen_height)) return 0;
  start_cue(cue_intro);
  if (!present_picture()) return 0;
  key_wait(WaitFor::intro);
  return 1;
}

int advance_level() {
  platform::sleep_ms(screen_pause_ms);
  const char* picture = level_picture(level_index);
  if (level_index == 2) step_interval += 2;
  if (level_index == 1) fire_range = 5;
  if (level_index == 2) fire_range = 4;
  level_index += 1;
  fill_grid();
  put_formation_at_start();
  step_interval -= 3;
  enemies_left = grid_cells;
  clear_player_missiles();
  if (!show_picture(picture, level_picture_x, level_picture_y, picture_width, picture_height)) {
    return 0;
  }
  start_cue(cue_level_complete);
  platform::sleep_ms(level_pause_ms);
  if (level_index >= waves_per_game) {
    start_new_game();
    show_intro();
  }
  return 1;
}

int show_death() {
  // Once Escape has been seen the program is on its way out: a second death
  // screen would only ask for Escape again.
  if (quit_requested) return 1;
  platform::sleep_ms(screen_pause_ms);
  if (!show_picture("dead.bmp", death_picture_x, death_picture_y, picture_width, picture_height)) {
    return 0;
  }
  start_cue(cue_death);
  key_wait(WaitFor::death);
  return 1;
}
