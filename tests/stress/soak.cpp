#include "tests/stress/soak.h"

#include <cstdio>
#include <random>
#include <sstream>

#include "assets/sound_cues.h"
#include "display/display_device.h"
#include "game/game_state.h"
#include "game/screens.h"
#include "platform/headless/headless.h"
#include "shell/app_main.h"
#include "tests/core/test_support.h"

namespace soak {

namespace {

using platform::Key;

constexpr std::size_t violations_kept = 20;
// More key polls than a step of play makes (Escape, right, left) without a
// frame between them: the program is waiting on a screen for a key.
constexpr int polls_of_a_step = 3;

struct Player {
  std::mt19937 engine;
  Report& report;
  std::uint64_t target_steps;
  std::int32_t pitch = 4096;
  int polls_since_frame = 0;
  std::size_t texts_seen = 0;
  std::int32_t last_score = 0;
  std::int32_t last_play_level = 0;
  std::size_t cues_seen = 0;
  bool last_wave_picture_lost = false;
  bool stopping = false;

  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(engine) < p; }
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); }

  void violation(const std::string& what) {
    ++report.violation_count;
    if (report.violations.size() < violations_kept) {
      std::ostringstream where;
      where << "run " << report.runs << ", step " << report.steps << ", frame "
            << headless::flip_count() << ": " << what;
      report.violations.push_back(where.str());
    }
  }

  void check_invariants(bool play_frame) {
    int live = 0;
    for (std::uint8_t flag : enemy_alive) {
      if (flag > 1) violation("an enemy flag is neither 0 nor 1");
      live += flag;
    }
    if (enemies_left != live) {
      violation("enemies_left " + std::to_string(enemies_left) + " but " + std::to_string(live) +
                " flags set");
    }
    if (player_x < 0 || player_x > 960 || player_x % 6 != 0) {
      violation("player_x " + std::to_string(player_x));
    }
    for (const Missile& m : player_missiles) {
      if (m.active > 1) violation("a player missile's flag is neither 0 nor 1");
      if (m.active == 1 &&
          (m.y <= 0 || m.y > player_y || m.x < 26 || m.x > 986 || (m.x - 26) % 6 != 0)) {
        violation("player missile at " + std::to_string(m.x) + ", " + std::to_string(m.y));
      }
    }
    for (const Missile& m : enemy_missiles) {
      if (m.active > 1) violation("an enemy missile's flag is neither 0 nor 1");
      if (m.active == 1 && (m.x < 0 || m.x + 8 > 1024 || m.y <= 0 || m.y + 8 > 768)) {
        violation("enemy missile at " + std::to_string(m.x) + ", " + std::to_string(m.y));
      }
    }
    check_level(play_frame);
    if (score < 0 || score % 25 != 0) violation("score " + std::to_string(score));
    if (frame_pixels != nullptr) {
      const auto& memory = headless::surface(headless::last_locked_surface());
      const std::uint32_t* begin = memory.data();
      const std::uint32_t* end = begin + memory.size();
      const std::uint32_t* last_row = frame_pixels + std::ptrdiff_t{767} * (frame_pitch / 4);
      if (frame_pitch != pitch || frame_pixels < begin || last_row + 1024 > end) {
        violation("the frame lies outside its surface");
      }
    }
  }

  // Between steps level_index stays in 0..3, with one exception that the
  // screens' failure rules give: when the picture after the last wave can't
  // be shown (here: a display refusal injected just then), the game reset
  // that follows the picture is skipped and the index runs past 3 until the
  // next wave or a restart. A level screen's own frame shows the index
  // already counting the fifth wave, just before the game starts over.
  void check_level(bool play_frame) {
    int level_sounds = 0;
    const auto& cues = headless::cues();
    for (; cues_seen < cues.size(); ++cues_seen) {
      level_sounds += cues[cues_seen].cue_id == cue_level_complete;
    }
    if (!play_frame) {
      if (level_index < 0 || level_index > 4)
        violation("level_index " + std::to_string(level_index));
      return;
    }
    if (level_index > 3 && level_index > last_play_level && level_sounds == 0 &&
        !last_wave_picture_lost) {
      last_wave_picture_lost = true;
      ++report.last_wave_pictures_lost;
    }
    if (level_index <= 3) last_wave_picture_lost = false;
    if (level_index < 0 || (level_index > 3 && !last_wave_picture_lost)) {
      violation("level_index " + std::to_string(level_index));
    }
    last_play_level = level_index;
  }

  void count_score(bool play_frame) {
    if (!play_frame) return;
    if (score > last_score)
      report.enemies_shot += static_cast<std::uint64_t>(score - last_score) / 25;
    last_score = score;
  }

  // The forcing touches the game's state only between steps of play: on a
  // screen's frame the game is in the middle of its own change of state.
  void choose_next_step(bool play_frame) {
    if (chance(0.1)) headless::set_key(Key::right, chance(0.5));
    if (chance(0.1)) headless::set_key(Key::left, chance(0.3));
    if (headless::key_is_set(Key::enter) && chance(0.5)) headless::set_key(Key::enter, false);
    if (chance(0.3)) {
      const int releases = pick(1, 3);
      for (int i = 0; i < releases; ++i) headless::queue_space_release();
      report.shots += static_cast<std::uint64_t>(releases);
    }
    if (!play_frame) return;
    if (chance(0.05) && enemies_left > 1) {
      // A hit elsewhere on the grid, so that waves end sooner.
      int cell = pick(0, grid_cells - 1);
      while (!enemy_alive[cell]) cell = (cell + 1) % grid_cells;
      enemy_alive[cell] = 0;
      enemies_left -= 1;
    }
    if (chance(1.0 / 150)) {
      for (auto& flag : enemy_alive) flag = 0;
      enemies_left = 0;
      ++report.forced_clears;
    }
    if (chance(1.0 / 700)) {
      Missile& m = enemy_missiles[pick(0, enemy_missile_count - 1)];
      m.x = player_x + 10, m.y = player_y - 4, m.active = 1;
      ++report.forced_deaths;
    } else if (chance(1.0 / 1500)) {
      formation_y = invasion_depth();
      ++report.forced_deaths;
    }
    if (chance(1.0 / 400)) inject_device_failure();
    if (chance(1.0 / 2000)) headless::set_key(Key::escape, true);
    if (chance(1.0 / 3000)) headless::queue_close_request();
  }

  // Low enough that the lowest live row has reached the shields.
  static std::int32_t invasion_depth() {
    for (int row = grid_rows - 1; row >= 0; --row) {
      for (int column = 0; column < grid_columns; ++column) {
        if (enemy_flag(column, row)) return 600 - 66 * row - 56;
      }
    }
    return formation_y;
  }

  void inject_device_failure() {
    ++report.device_failures;
    switch (pick(0, 3)) {
      case 0:
        headless::fail_lock(pick(1, 3));
        break;
      case 1:
        headless::fail_unlock(1);
        break;
      case 2:
        // Beyond the tries of one frame now and then: a dropped frame.
        headless::fail_flip(pick(1, 150));
        break;
      default:
        headless::fail_text(pick(1, 5));
        break;
    }
  }

  void on_frame() {
    polls_since_frame = 0;
    ++report.frames;
    const auto& texts = headless::text_draws();
    const bool play_frame =
        texts.size() > texts_seen && texts.back().frame + 1 == headless::flip_count();
    texts_seen = texts.size();
    check_invariants(play_frame);
    count_score(play_frame);
    if (play_frame) ++report.steps;
    if (report.steps >= target_steps) {
      stopping = true;
      headless::set_key(Key::escape, true);
    } else {
      choose_next_step(play_frame);
    }
    headless::at_frame(headless::flip_count() + 1, [this] { on_frame(); });
  }

  // The intro and death screens wait for Enter or Escape.
  void on_key_poll() {
    if (++polls_since_frame != polls_of_a_step + 1) return;
    const auto& cues = headless::cues();
    const bool death_screen = !cues.empty() && cues.back().cue_id == cue_death;
    if (stopping || chance(0.03)) {
      headless::set_key(Key::escape, true);
    } else {
      headless::set_key(Key::enter, true);
      if (death_screen) ++report.restarts;
    }
  }

  void start_process(const std::string& image_dir) {
    test::fresh_process(image_dir);
    pitch = chance(0.6) ? 4096 : chance(0.5) ? 4096 + 4 * pick(1, 64) : 8192;
    headless::set_pitch(pitch);
    if (chance(0.3)) {
      headless::set_time(0u - static_cast<std::uint32_t>(pick(1, 20000)));
      ++report.tick_wraps;
    } else {
      headless::set_time(static_cast<std::uint32_t>(engine()));
    }
    polls_since_frame = 0;
    texts_seen = 0;
    last_score = 0;
    last_play_level = 0;
    cues_seen = 0;
    last_wave_picture_lost = false;
    headless::on_key_poll([this] { on_key_poll(); });
    headless::at_frame(1, [this] { on_frame(); });
  }

  void finish_process(int exit_code) {
    if (exit_code != 0) violation("exit code " + std::to_string(exit_code));
    for (const std::string& line : headless::fatal_reports()) violation("reported: " + line);
    if (headless::display_is_open()) violation("the display was left open");
    if (headless::open_file_count() != 0) violation("a file was left open");
    if (player_image.pixels || shield_blue_image.pixels || shield_yellow_image.pixels ||
        enemy_image.pixels || missile_image.pixels || screen_image.pixels) {
      violation("pixels were kept after the end");
    }
    std::uint64_t intros = 0;
    for (const auto& cue : headless::cues()) {
      if (cue.cue_id == cue_death) ++report.deaths;
      if (cue.cue_id == cue_level_complete) ++report.waves_cleared;
      if (cue.cue_id == cue_intro) ++intros;
    }
    // Every intro after the first follows a cleared fourth wave.
    if (intros > 1) report.games_finished += intros - 1;
    report.quits += 1;
  }
};

}  // namespace

Report run(std::uint64_t steps, std::uint32_t seed, const std::string& image_dir) {
  Report report;
  Player player{std::mt19937(seed), report, steps};
  while (report.steps < steps) {
    player.start_process(image_dir);
    ++report.runs;
    const int exit_code = app_main();
    player.finish_process(exit_code);
  }
  headless::reset();
  return report;
}

std::string describe(const Report& r) {
  std::ostringstream out;
  out << r.steps << " steps of play in " << r.frames << " frames over " << r.runs
      << " runs of the program (" << r.tick_wraps << " starting just before the tick wraps); "
      << r.shots << " shots, " << r.enemies_shot << " enemies shot, " << r.waves_cleared
      << " waves cleared (" << r.forced_clears << " forced), " << r.games_finished << " games won, "
      << r.deaths << " deaths (" << r.forced_deaths << " forced or tried), " << r.restarts
      << " restarts, " << r.device_failures << " device failures injected ("
      << r.last_wave_pictures_lost << " kept a last wave's picture off the screen); "
      << r.violation_count << " invariant violations";
  for (const auto& v : r.violations) out << "\n  " << v;
  return out.str();
}

}  // namespace soak
