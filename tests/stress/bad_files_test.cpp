// Unfit files beside the program, through the whole program: a sprite that
// can't be used ends the start with one clear line and a non-zero code; a
// picture that can't be used during play leaves play going on as the
// screens' failure rules give it. Never a crash, a hang or a wrong exit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "assets/sound_cues.h"
#include "display/display_device.h"
#include "game/game_state.h"
#include "game/screens.h"
#include "platform/headless/headless.h"
#include "shell/app_main.h"
#include "tests/core/test_support.h"
#include "tests/stress/bitmap_cases.h"
#include "tests/stress/play_script.h"
#include "tests/watchdog/watchdog.h"

namespace {

using platform::Key;

struct Unfit {
  std::string name;
  bool missing;
  bitmap_cases::Bytes bytes;
};

// Every way a w x h 24-bit image can be unfit, the missing file included.
std::vector<Unfit> unfit_versions(std::int32_t width, std::int32_t height) {
  std::vector<Unfit> versions{{"missing", true, {}}};
  for (auto& c : bitmap_cases::unfit_files(width, height)) {
    versions.push_back({c.name, false, std::move(c.bytes)});
  }
  return versions;
}

class BadFilesTest : public test::GameTest {
 protected:
  // Replaces one of the game's files (or takes it away) until restore().
  void spoil(const std::string& file, const Unfit& version) {
    const std::string path = dir_ + "/" + file;
    saved_.resize(std::filesystem::file_size(path));
    std::ifstream original(path, std::ios::binary);
    original.read(reinterpret_cast<char*>(saved_.data()),
                  static_cast<std::streamsize>(saved_.size()));
    saved_file_ = file;
    std::filesystem::remove(path);
    if (!version.missing) test::write_file(path, version.bytes);
  }
  void restore() { test::write_file(dir_ + "/" + saved_file_, saved_); }

  void expect_released_and_closed(const std::string& what) {
    EXPECT_FALSE(headless::display_is_open()) << what;
    EXPECT_EQ(headless::open_file_count(), 0u) << what;
    // The picture record may keep a refused picture until its next load;
    // the sprites must all be gone.
    for (const BitmapImage* image :
         {&player_image, &shield_blue_image, &shield_yellow_image, &enemy_image, &missile_image}) {
      EXPECT_EQ(image->pixels, nullptr) << what;
    }
  }

  std::vector<std::uint8_t> saved_;
  std::string saved_file_;
};

TEST_F(BadFilesTest, EveryUnfitSpriteEndsTheStartWithOneLineNamingIt) {
  const struct {
    const char* file;
    std::int32_t width, height;
  } sprites[] = {{"game_m_modified_small.bmp", 64, 64},
                 {"shield_blue.bmp", 240, 89},
                 {"shield_yellow.bmp", 240, 89},
                 {"spartan.bmp", 64, 56},
                 {"missile.bmp", 8, 8}};
  int starts = 0;
  for (const auto& sprite : sprites) {
    for (const Unfit& version : unfit_versions(sprite.width, sprite.height)) {
      const std::string what = std::string(sprite.file) + ", " + version.name;
      play_script::fresh_process(dir_);
      spoil(sprite.file, version);
      const int exit_code = app_main();
      restore();
      ++starts;
      EXPECT_NE(exit_code, 0) << what;
      ASSERT_EQ(headless::fatal_reports().size(), 1u) << what;
      const std::string& line = headless::fatal_reports()[0];
      EXPECT_EQ(line.find('\n'), std::string::npos) << line;
      EXPECT_EQ(line.rfind("marchfire: ", 0), 0u) << line;
      EXPECT_NE(line.find(std::string("\"") + sprite.file + "\""), std::string::npos) << line;
      EXPECT_TRUE(line.find("cannot load") != std::string::npos ||
                  line.find("cannot use") != std::string::npos)
          << line;
      EXPECT_EQ(headless::flip_count(), 0u) << what << ": no intro";
      EXPECT_FALSE(headless::cursor_hidden()) << what;
      expect_released_and_closed(what);
    }
  }
  EXPECT_GE(starts, 5 * 20);
}

// Without a usable intro picture play begins at once: nothing to wait on.
TEST_F(BadFilesTest, AnUnfitIntroStartsPlayAtOnce) {
  test::time_limit_seconds(60);  // several seconds under the sanitizers
  for (const Unfit& version : unfit_versions(1024, 768)) {
    play_script::fresh_process(dir_);
    spoil("intro.bmp", version);
    std::uint64_t play_frames = 0;
    play_script::watch_frames([&](const play_script::Frame& frame) {
      play_frames += frame.play;
      if (play_frames == 20) headless::set_key(Key::escape, true);
    });
    const int exit_code = app_main();
    restore();
    EXPECT_EQ(exit_code, 0) << version.name;
    EXPECT_TRUE(headless::fatal_reports().empty()) << version.name;
    EXPECT_EQ(play_script::key_waits_answered(), 0) << version.name;
    EXPECT_EQ(test::cue_count(cue_intro), 0) << version.name;
    // The step that sees Escape still presents its frame.
    EXPECT_EQ(play_frames, 21u) << version.name;
    EXPECT_EQ(headless::flip_count(), 21u) << version.name << ": no intro frame";
    expect_released_and_closed(version.name);
  }
}

// A level picture that can't be shown: the new wave comes all the same, at
// its new speed, without the level's sound and pause; after the fourth wave
// there is then no game reset and no intro, so the level count runs on.
TEST_F(BadFilesTest, AnUnfitLevelPictureKeepsTheNewWaveComing) {
  test::time_limit_seconds(60);  // several seconds under the sanitizers
  const char* pictures[] = {"sophomore.bmp", "junior.bmp", "senior.bmp", "finished.bmp"};
  const std::int32_t step_after[] = {5, 2, 1, -2};
  for (int wave = 0; wave < 4; ++wave) {
    for (const Unfit& version : unfit_versions(640, 480)) {
      const std::string what = std::string(pictures[wave]) + ", " + version.name;
      play_script::fresh_process(dir_);
      spoil(pictures[wave], version);
      bool cleared = false;
      int frames_after = 0;
      std::int32_t level_after = -1, enemies_after = -1, step_interval_after = 0;
      play_script::watch_frames([&](const play_script::Frame& frame) {
        if (!frame.play || frame.number < 3) return;
        if (!cleared) {
          if (level_index == wave) cleared = true;
          // Every enemy gone: the next step clears the wave.
          for (auto& flag : enemy_alive) flag = 0;
          enemies_left = 0;
          score += 25;
          return;
        }
        if (++frames_after == 1) {
          level_after = level_index;
          enemies_after = enemies_left;
          step_interval_after = step_interval;
        }
        if (frames_after == 10) headless::set_key(Key::escape, true);
      });
      const int exit_code = app_main();
      restore();
      EXPECT_EQ(exit_code, 0) << what;
      EXPECT_TRUE(headless::fatal_reports().empty()) << what;
      EXPECT_EQ(frames_after, 11) << what << ": play went on after the failed picture";
      EXPECT_EQ(level_after, wave + 1) << what;
      EXPECT_EQ(enemies_after, 32) << what;
      EXPECT_EQ(step_interval_after, step_after[wave]) << what;
      EXPECT_EQ(test::cue_count(cue_level_complete), wave)
          << what << ": only the good pictures sound";
      EXPECT_EQ(test::cue_count(cue_intro), 1) << what << ": no second intro";
      expect_released_and_closed(what);
    }
  }
}

// A death picture that can't be shown: no death screen, no restart, play
// goes on; a player still being hit, or a grid at the shields, keeps
// calling for the screen, and Escape still ends the program.
TEST_F(BadFilesTest, AnUnfitDeathPictureLetsPlayGoOn) {
  test::time_limit_seconds(60);  // several seconds under the sanitizers
  for (const bool invasion : {false, true}) {
    for (const Unfit& version : unfit_versions(640, 480)) {
      const std::string what = (invasion ? "invasion, " : "hit, ") + version.name;
      play_script::fresh_process(dir_);
      spoil("dead.bmp", version);
      int play_frames = 0;
      std::int32_t score_before = 0;
      play_script::watch_frames([&](const play_script::Frame& frame) {
        if (!frame.play) return;
        ++play_frames;
        if (play_frames == 5) {
          score = score_before = 150;
          if (invasion) {
            formation_y = 400;
          } else {
            player_x = 0;  // clear of the shields
            enemy_missiles[0].x = 10, enemy_missiles[0].y = 700, enemy_missiles[0].active = 1;
          }
        }
        if (play_frames == 30) headless::set_key(Key::escape, true);
      });
      const std::uint32_t started = headless::time();
      const int exit_code = app_main();
      restore();
      EXPECT_EQ(exit_code, 0) << what;
      EXPECT_TRUE(headless::fatal_reports().empty()) << what;
      EXPECT_EQ(play_frames, 31) << what;
      EXPECT_EQ(test::cue_count(cue_death), 0) << what;
      EXPECT_EQ(play_script::key_waits_answered(), 1) << what << ": only the intro waited";
      EXPECT_EQ(score, score_before) << what << ": no restart";
      // Each call for the screen still pauses half a second first.
      EXPECT_GE(headless::time() - started, 10 * screen_pause_ms) << what;
      expect_released_and_closed(what);
    }
  }
}

}  // namespace
