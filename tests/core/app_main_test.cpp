#include "shell/app_main.h"

#include <cstdio>
#include <stdexcept>

#include "assets/sound_cues.h"
#include "display/display_device.h"
#include "game/game_state.h"
#include "platform/headless/headless.h"
#include "tests/core/test_support.h"

namespace {

using platform::Key;

class AppMainTest : public test::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    // No test here needs more frames: a game that never ends is taken out
    // of its loop, and the test fails.
    headless::at_frame(20000, [] { throw std::runtime_error("still running after 20000 frames"); });
  }
  // Holds Enter at `when`, releases it a little later.
  void press_enter_at(std::uint32_t when) {
    headless::at_time(when, [] { headless::set_key(Key::enter, true); });
    headless::at_time(when + 100, [] { headless::set_key(Key::enter, false); });
  }
  void press_escape_after_frames(std::uint64_t frames) {
    headless::at_frame(frames, [] { headless::set_key(Key::escape, true); });
  }
  std::vector<int> cue_ids() {
    std::vector<int> ids;
    for (const auto& c : headless::cues()) ids.push_back(c.cue_id);
    return ids;
  }
};

TEST_F(AppMainTest, EnterStartsPlayAndEscapeEndsWithZero) {
  press_enter_at(2000);
  press_escape_after_frames(30);
  EXPECT_EQ(app_main(), 0);
  EXPECT_TRUE(headless::cursor_hidden());
  EXPECT_FALSE(headless::window_exists()) << "the close request destroyed the window";
  EXPECT_FALSE(headless::display_is_open());
  EXPECT_EQ(player_image.pixels, nullptr);
  EXPECT_EQ(headless::posted_quit_code(), 0);
  EXPECT_EQ(headless::flip_count(), 31u) << "the intro and 30 frames of play";
  EXPECT_TRUE(headless::fatal_reports().empty());
  const auto ids = cue_ids();
  ASSERT_GE(ids.size(), 2u);
  EXPECT_EQ(ids[0], cue_intro);
  EXPECT_EQ(ids[1], cue_march_first) << "the first step cuts the intro music off";
}

TEST_F(AppMainTest, EscapeOnTheIntroEndsWithoutAWave) {
  headless::at_time(500, [] { headless::set_key(Key::escape, true); });
  EXPECT_EQ(app_main(), 0);
  EXPECT_EQ(formation_x, 337) << "no step of play ran";
  EXPECT_EQ(headless::flip_count(), 1u);
}

TEST_F(AppMainTest, TheDesktopsCloseRequestEndsWithZero) {
  press_enter_at(10);
  headless::at_frame(5, [] { headless::queue_close_request(); });
  EXPECT_EQ(app_main(), 0);
  EXPECT_EQ(quit_requested, 0);
}

TEST_F(AppMainTest, SpaceReleasesFireOnePerPassAndAlwaysSound) {
  press_enter_at(10);
  headless::at_frame(1, [] {
    for (int i = 0; i < 12; ++i) headless::queue_space_release();
    headless::queue_key_release(13);  // other keys do nothing
    headless::queue_paint_request();  // marked painted, nothing drawn
  });
  headless::at_frame(2, [] {
    int in_flight = 0;
    for (const Missile& m : player_missiles) in_flight += m.active;
    EXPECT_EQ(in_flight, 1) << "one message per pass";
  });
  press_escape_after_frames(20);
  EXPECT_EQ(app_main(), 0);
  int shots = 0;
  for (int id : cue_ids()) shots += id == cue_shot;
  EXPECT_EQ(shots, 12) << "also when all ten missiles fly";
  EXPECT_EQ(headless::paint_count(), 1u);
}

TEST_F(AppMainTest, MarchCuesContinueAcrossARestart) {
  press_enter_at(10);
  // Bring the grid down to the shields after a few steps; Enter restarts.
  headless::at_time(2500, [] {
    formation_y = 400;
    headless::set_key(Key::enter, true);
    headless::at_frame(headless::flip_count() + 3, [] { headless::set_key(Key::enter, false); });
  });
  headless::at_time(4500, [] { headless::set_key(Key::escape, true); });
  EXPECT_EQ(app_main(), 0);
  std::vector<int> march;
  bool restarted = false;
  std::size_t march_before_death = 0;
  for (int id : cue_ids()) {
    if (id == cue_death) restarted = true, march_before_death = march.size();
    if (id >= cue_march_first && id <= cue_march_third) march.push_back(id);
  }
  ASSERT_TRUE(restarted);
  ASSERT_GT(march.size(), march_before_death + 1);
  for (std::size_t i = 0; i < march.size(); ++i) {
    EXPECT_EQ(march[i], cue_march_first + static_cast<int>(i % 3)) << i;
  }
}

TEST_F(AppMainTest, AMissingSpriteFailsTheStartAndSaysWhich) {
  std::remove((dir_ + "/spartan.bmp").c_str());
  EXPECT_NE(app_main(), 0);
  ASSERT_EQ(headless::fatal_reports().size(), 1u);
  const std::string& line = headless::fatal_reports()[0];
  EXPECT_NE(line.find("spartan.bmp"), std::string::npos) << line;
  EXPECT_NE(line.find("not found"), std::string::npos) << line;
  EXPECT_FALSE(headless::cursor_hidden());
  EXPECT_EQ(headless::flip_count(), 0u) << "no intro";
  EXPECT_FALSE(headless::display_open_at_last_report()) << "released before the report";
  EXPECT_EQ(player_image.pixels, nullptr);
  EXPECT_EQ(missile_image.pixels, nullptr) << "the sprites after it were not loaded";
}

TEST_F(AppMainTest, ASpriteOfTheWrongSizeFailsTheStart) {
  test::BmpRecipe recipe;
  recipe.width = 32;
  recipe.height = 32;
  test::write_file(dir_ + "/missile.bmp", test::bmp_bytes(recipe));
  EXPECT_NE(app_main(), 0);
  ASSERT_EQ(headless::fatal_reports().size(), 1u);
  EXPECT_NE(headless::fatal_reports()[0].find("missile.bmp"), std::string::npos);
  EXPECT_NE(headless::fatal_reports()[0].find("32 x 32"), std::string::npos);
}

TEST_F(AppMainTest, PlatformFailuresAtStartAreReportedNotHidden) {
  const std::pair<void (*)(int), const char*> failures[] = {
      {headless::fail_window_class, "window class"},
      {headless::fail_window, "window"},
      {headless::fail_open, "display"},
  };
  for (auto [inject, what] : failures) {
    headless::reset();
    headless::set_file_directory(dir_);
    inject(1);
    EXPECT_NE(app_main(), 0) << what;
    ASSERT_EQ(headless::fatal_reports().size(), 1u) << what;
    EXPECT_NE(headless::fatal_reports()[0].find(what), std::string::npos)
        << headless::fatal_reports()[0];
    EXPECT_FALSE(headless::display_is_open());
  }
}

}  // namespace
