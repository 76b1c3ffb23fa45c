#include "game/screens.h"

#include <cstdio>

#include "assets/sound_cues.h"
#include "display/display_device.h"
#include "game/game_state.h"
#include "platform/headless/headless.h"
#include "tests/core/test_support.h"

namespace {

using platform::Key;

class ScreensTest : public test::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    open_display_and_sprites();
    fill_grid();
  }
  // A game in the middle of a wave, with things in flight.
  void mid_wave() {
    formation_x = 97, formation_y = 250, formation_dx = -20;
    enemy_flag(2, 3) = 0, enemies_left = 31;
    player_x = 600;
    score = 475;
    march_phase = 2;
    next_step_time = 1234, last_fire_time = 2345, fire_interval = 400;
    player_missiles[3].active = 1;
    enemy_missiles[7].active = 1;
  }
  void expect_new_wave_position() {
    for (std::uint8_t flag : enemy_alive) ASSERT_EQ(flag, 1);
    EXPECT_EQ(enemies_left, 32);
    EXPECT_EQ(formation_x, 337);
    EXPECT_EQ(formation_y, 100);
    EXPECT_EQ(formation_dx, 20);
    for (const Missile& m : player_missiles) EXPECT_EQ(m.active, 0);
  }
  void expect_untouched_by_screens() {
    EXPECT_EQ(player_x, 600);
    EXPECT_EQ(march_phase, 2);
    EXPECT_EQ(next_step_time, 1234u);
    EXPECT_EQ(last_fire_time, 2345u);
    EXPECT_EQ(fire_interval, 400u);
  }
  // Where the picture's colour starts and ends in the frame shown last.
  void expect_picture_at(int x, int y, int w, int h) {
    const auto frame = headless::shown_frame();
    auto at = [&](int px, int py) { return frame[py * 1024 + px]; };
    EXPECT_EQ(at(x, y), test::picture_color);
    EXPECT_EQ(at(x + w - 1, y + h - 1), test::at(test::picture_color, w - 1, h - 1));
    if (x > 0) {
      EXPECT_EQ(at(x - 1, y), 0u);
    }
    if (x + w < 1024) {
      EXPECT_EQ(at(x + w, y + h - 1), 0u);
    }
    if (y + h < 768) {
      EXPECT_EQ(at(x, y + h), 0u);
    }
  }
};

TEST_F(ScreensTest, FourWavesFollowTheLevelTable) {
  const char* pictures[] = {"sophomore.bmp", "junior.bmp", "senior.bmp", "finished.bmp"};
  const int intervals[] = {5, 2, 1, 8};
  const int ranges[] = {10, 5, 4, 4};
  headless::set_key(Key::enter, true);  // the intro after the last wave waits for it
  for (int wave = 0; wave < 4; ++wave) {
    EXPECT_STREQ(level_picture(level_index), pictures[wave]);
    mid_wave();
    const std::uint32_t before = headless::time();
    EXPECT_EQ(advance_level(), 1);
    EXPECT_GE(headless::time() - before, 5500u);
    EXPECT_EQ(step_interval, intervals[wave]) << "after wave " << wave + 1;
    EXPECT_EQ(fire_range, ranges[wave]) << "after wave " << wave + 1;
    expect_new_wave_position();
    expect_untouched_by_screens();
    EXPECT_EQ(enemy_missiles[7].active, 1) << "enemy missiles fall on into the next wave";
    EXPECT_EQ(score, wave < 3 ? 475 : 0);
    EXPECT_EQ(level_index, wave < 3 ? wave + 1 : 0);
    if (wave < 3) expect_picture_at(215, 144, 640, 480);
  }
  EXPECT_EQ(test::cue_count(cue_level_complete), 4);
  EXPECT_EQ(test::cue_count(cue_intro), 1) << "the intro follows the last wave";
  expect_picture_at(0, 0, 1024, 768);
}

TEST_F(ScreensTest, AMissingLevelPictureKeepsTheNewWaveAndSkipsTheRest) {
  std::remove((dir_ + "/finished.bmp").c_str());
  level_index = 3;
  step_interval = 1;
  mid_wave();
  const std::uint64_t unlocks = headless::unlock_count();
  const std::uint32_t before = headless::time();
  EXPECT_EQ(advance_level(), 0);
  EXPECT_EQ(headless::time() - before, 500u) << "no 5 s pause";
  EXPECT_EQ(level_index, 4);
  EXPECT_EQ(step_interval, -2);
  EXPECT_EQ(score, 475) << "no game reset";
  EXPECT_EQ(test::cue_count(cue_level_complete), 0);
  EXPECT_EQ(headless::unlock_count(), unlocks + 1) << "the surface is not left locked";
  EXPECT_NE(begin_frame().pixels, nullptr);
}

TEST_F(ScreensTest, EnterOnTheDeathScreenRestartsTheGame) {
  mid_wave();
  fire_range = 4;
  level_index = 2;
  step_interval = 2;
  headless::at_time(headless::time() + 1000, [] { headless::set_key(Key::enter, true); });
  int polls = 0;
  headless::on_key_poll([&] { ++polls; });
  EXPECT_EQ(show_death(), 1);
  // Every turn that saw no key hands the time back, with no deadline.
  EXPECT_GT(headless::rest_count(), 0u);
  EXPECT_EQ(static_cast<std::uint64_t>(polls), 2 * (headless::rest_count() + 1));
  EXPECT_EQ(headless::last_rest_ms_left(), platform::no_deadline);
  expect_new_wave_position();
  expect_untouched_by_screens();
  EXPECT_EQ(step_interval, 8);
  EXPECT_EQ(level_index, 0);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(fire_range, 4) << "a new game keeps the last fire range";
  for (const Missile& m : enemy_missiles) EXPECT_EQ(m.active, 0);
  EXPECT_EQ(quit_requested, 0);
  expect_picture_at(192, 144, 640, 480);
  ASSERT_FALSE(headless::cues().empty());
  EXPECT_EQ(headless::cues().back().cue_id, cue_death);
  EXPECT_EQ(headless::cues().back().time, 500u) << "after the pause, before the wait";
}

TEST_F(ScreensTest, EnterAlreadyHeldRestartsAtOnce) {
  mid_wave();
  headless::set_key(Key::enter, true);
  int polls = 0;
  headless::on_key_poll([&] { ++polls; });
  show_death();
  EXPECT_EQ(polls, 2) << "one pass: Escape, then Enter";
  EXPECT_EQ(headless::rest_count(), 0u) << "no rest once a key is seen";
  EXPECT_EQ(score, 0);
}

TEST_F(ScreensTest, EscapeWithEnterBothRestartsAndAsksToQuit) {
  mid_wave();
  headless::set_key(Key::enter, true);
  headless::set_key(Key::escape, true);
  show_death();
  EXPECT_EQ(score, 0);
  EXPECT_EQ(quit_requested, 1);
  EXPECT_EQ(headless::close_requests_posted(), 1u);
}

TEST_F(ScreensTest, AfterEscapeTheDeathScreenDoesNothingAtAll) {
  mid_wave();
  quit_requested = 1;
  const std::uint64_t flips = headless::flip_count();
  EXPECT_EQ(show_death(), 1);
  EXPECT_EQ(headless::time(), 0u) << "no pause";
  EXPECT_EQ(headless::flip_count(), flips);
  EXPECT_TRUE(headless::cues().empty());
  EXPECT_EQ(score, 475);
}

TEST_F(ScreensTest, AMissingDeathPictureLetsPlayGoOn) {
  std::remove((dir_ + "/dead.bmp").c_str());
  mid_wave();
  headless::set_key(Key::enter, true);
  EXPECT_EQ(show_death(), 0);
  EXPECT_EQ(score, 475) << "no restart";
  EXPECT_TRUE(headless::cues().empty());
}

TEST_F(ScreensTest, EscapeOnTheIntroAsksToQuit) {
  headless::at_time(300, [] { headless::set_key(Key::escape, true); });
  EXPECT_EQ(show_intro(), 1);
  EXPECT_EQ(quit_requested, 1);
  EXPECT_EQ(headless::close_requests_posted(), 1u);
  ASSERT_EQ(headless::cues().size(), 1u);
  EXPECT_EQ(headless::cues()[0].cue_id, cue_intro);
  EXPECT_EQ(headless::cues()[0].frame, 0u) << "the music starts before the picture is shown";
  EXPECT_EQ(screen_image.pixels, nullptr) << "the picture is freed once shown";
}

TEST_F(ScreensTest, PicturesOfTheWrongSizeOrDepthAreNotDrawn) {
  test::BmpRecipe small;
  small.width = 320;
  small.height = 240;
  test::write_file(dir_ + "/dead.bmp", test::bmp_bytes(small));
  EXPECT_EQ(show_picture("dead.bmp", 192, 144, 640, 480), 0);
  test::BmpRecipe deep;
  deep.width = 640;
  deep.height = 480;
  deep.bit_count = 16;
  test::write_file(dir_ + "/dead.bmp", test::bmp_bytes(deep));
  EXPECT_EQ(show_picture("dead.bmp", 192, 144, 640, 480), 0);
  EXPECT_EQ(headless::flip_count(), 0u);
  EXPECT_EQ(headless::lock_count(), headless::unlock_count());
  EXPECT_EQ(screen_image.pixels, nullptr) << "an unfit picture is not kept";
}

TEST_F(ScreensTest, AFailedUnlockKeepsThePictureUntilTheNextLoad) {
  headless::fail_unlock(1);
  EXPECT_EQ(show_picture("dead.bmp", 192, 144, 640, 480), 0);
  EXPECT_NE(screen_image.pixels, nullptr);
  EXPECT_EQ(show_picture("dead.bmp", 192, 144, 640, 480), 1);
  EXPECT_EQ(screen_image.pixels, nullptr);
}

}  // namespace
