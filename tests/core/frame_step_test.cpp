#include "game/frame_step.h"

#include <utility>
#include <vector>

#include "display/display_device.h"
#include "game/enemy_fire.h"
#include "game/formation.h"
#include "game/game_state.h"
#include "game/player.h"
#include "platform/headless/headless.h"
#include "tests/core/test_support.h"

namespace {

using platform::Key;
using test::pixel;

class FrameStepTest : public test::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    open_display_and_sprites();
    fill_grid();
  }
};

TEST_F(FrameStepTest, TheFirstStepStepsFiresAndComposesEverything) {
  player_missiles[0].x = 437, player_missiles[0].y = 125, player_missiles[0].active = 1;
  EXPECT_EQ(run_frame(), 1);
  EXPECT_EQ(formation_x, 357);
  ASSERT_EQ(test::in_flight(enemy_missiles), 1);
  const Missile& shot = enemy_missiles[0];
  // Launched from where the grid stood before its step, then fallen once.
  EXPECT_EQ(shot.y, 100 + 66 * 3 + 56 + 4);
  EXPECT_EQ((shot.x - 337 - 28) % 60, 0);

  const FrameView frame = last_frame();
  EXPECT_EQ(pixel(frame, 288, 704), test::player_color);
  EXPECT_EQ(pixel(frame, 351, 767), test::at(test::player_color, 63, 63));
  EXPECT_EQ(pixel(frame, 150, 600), test::shield_blue_color);
  EXPECT_EQ(pixel(frame, 389, 688), test::at(test::shield_blue_color, 239, 88));
  EXPECT_EQ(pixel(frame, 650, 600), test::shield_yellow_color);
  EXPECT_EQ(pixel(frame, 889, 688), test::at(test::shield_yellow_color, 239, 88));
  EXPECT_EQ(pixel(frame, 357, 100), test::enemy_pixel(0, 0)) << "grid drawn after its step";
  EXPECT_EQ(pixel(frame, 356, 100), 0u);
  EXPECT_EQ(pixel(frame, 357 + 7 * 60 + 63, 100 + 3 * 66 + 55), test::enemy_pixel(63, 55));
  EXPECT_EQ(pixel(frame, shot.x, shot.y), test::missile_color);
  EXPECT_EQ(pixel(frame, shot.x + 7, shot.y + 7), test::at(test::missile_color, 7, 7));
  EXPECT_EQ(pixel(frame, 437, 120), test::missile_color) << "the player's missile over the grid";
  EXPECT_EQ(pixel(frame, 0, 0), 0u);

  ASSERT_EQ(headless::text_draws().size(), 1u);
  const auto& text = headless::text_draws()[0];
  EXPECT_EQ(text.text, "SCORE:  0");
  EXPECT_EQ(text.x, 924);
  EXPECT_EQ(text.y, 0);
  EXPECT_EQ(text.colorref, 0xFFFFFFu);
  EXPECT_EQ(text.frame, 0u) << "drawn before the flip";
  EXPECT_EQ(headless::flip_count(), 1u);
}

TEST_F(FrameStepTest, AStepRestsUntilExactly15MsAlsoAcrossTheWrapAndWhenItsFrameFails) {
  // A backend that rests one millisecond a turn: the step must offer it the
  // time still owed, 15 down to 1, and end on the 15th millisecond itself.
  headless::set_tick_step(0);
  headless::set_key_poll_step(0);
  headless::on_rest([](std::uint32_t) { headless::set_time(headless::time() + 1); });
  enum Fault { none, lock, unlock };
  for (const auto& [start, fault] : {std::pair{1000u, none}, std::pair{0xFFFFFFF8u, none},
                                     std::pair{5000u, lock}, std::pair{9000u, unlock}}) {
    if (fault == lock) headless::fail_lock(1);
    if (fault == unlock) headless::fail_unlock(1);
    headless::set_time(start);
    const std::uint64_t rests_before = headless::rest_count();
    EXPECT_EQ(run_frame(), fault == none ? 1 : 0) << start;
    EXPECT_EQ(headless::time() - start, 15u) << start;
    EXPECT_EQ(headless::rest_count() - rests_before, 15u) << start;
    EXPECT_EQ(headless::last_rest_ms_left(), 1u) << start;
  }
}

TEST_F(FrameStepTest, AFreshProcessForgetsEveryVariableOfPlay) {
  for (std::int32_t* v :
       {&player_x, &formation_x, &formation_y, &formation_dx, &step_interval, &fire_range,
        &enemies_left, &score, &level_index, &march_phase, &quit_requested}) {
    *v = 3;
  }
  next_step_time = last_fire_time = fire_interval = 3;
  for (Missile* m : {&player_missiles[9], &enemy_missiles[14]}) m->x = m->y = m->active = 1;
  test::fresh_process(dir_);
  EXPECT_EQ(std::vector<std::int32_t>({player_x, formation_x, formation_y, formation_dx,
                                       step_interval, fire_range, enemies_left, score, level_index,
                                       march_phase, quit_requested}),
            std::vector<std::int32_t>({288, 337, 100, 20, 8, 10, 0, 0, 0, 0, 0}));
  EXPECT_EQ(next_step_time + last_fire_time + fire_interval, 0u);
  for (const Missile& m : {player_missiles[9], enemy_missiles[14]}) {
    EXPECT_EQ(m.x + m.y + m.active, 0);
  }
  for (std::uint8_t flag : enemy_alive) EXPECT_EQ(flag, 0);
}

TEST_F(FrameStepTest, OnceQuittingAStepOnlyTestsForInvasion) {
  quit_requested = 1;
  EXPECT_EQ(run_frame(), 0);
  EXPECT_EQ(headless::time(), 0u) << "no tick was read";
  EXPECT_EQ(headless::lock_count(), 0u);
  EXPECT_EQ(formation_x, 337);
  std::remove((dir_ + "/dead.bmp").c_str());
  formation_y = 400;  // the grid at the shields: the death screen's pause runs
  EXPECT_EQ(run_frame(), 0);
  EXPECT_EQ(headless::time(), 0u) << "a quitting game shows no death screen";
}

TEST_F(FrameStepTest, TheStepThatSeesEscapeStillPlaysAndPresents) {
  headless::set_key(Key::escape, true);
  headless::set_key(Key::right, true);
  EXPECT_EQ(run_frame(), 1);
  EXPECT_EQ(quit_requested, 1);
  EXPECT_EQ(headless::close_requests_posted(), 1u);
  EXPECT_EQ(player_x, 294);
  EXPECT_EQ(headless::flip_count(), 1u);
  EXPECT_EQ(run_frame(), 0);
}

TEST_F(FrameStepTest, FailedLockOrUnlockSkipsTheFrame) {
  headless::fail_lock(1);
  EXPECT_EQ(run_frame(), 0);
  EXPECT_EQ(headless::unlock_count(), 0u) << "nothing composed, nothing to unlock";
  EXPECT_EQ(headless::flip_attempts(), 0u);
  headless::fail_unlock(1);
  EXPECT_EQ(run_frame(), 0);
  EXPECT_TRUE(headless::text_draws().empty());
  EXPECT_EQ(headless::flip_attempts(), 0u);
  EXPECT_EQ(run_frame(), 1);
}

TEST_F(FrameStepTest, MissilesHitWhatThePreviousFrameShowed) {
  run_frame();
  player_x = 474;  // muzzle at x 500, under column 2 (457..517)
  fire_player_missile();
  int frames = 0;
  while (player_missiles[0].active && frames < 200) {
    run_frame();
    ++frames;
  }
  EXPECT_EQ(enemies_left, 31);
  EXPECT_EQ(score, 25);
  EXPECT_EQ(headless::text_draws().back().text, "SCORE:  25");
  int dead_row = -1;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 8; ++column) {
      if (!enemy_flag(column, row)) dead_row = row;
    }
  }
  EXPECT_EQ(dead_row, 3) << "the lowest enemy in the missile's path";
}

TEST_F(FrameStepTest, ClearingAWaveShowsTheLevelAndDrawsTheNewGridAtTheOldOrigin) {
  run_frame();
  for (auto& flag : enemy_alive) flag = 0;
  enemy_flag(2, 3) = 1;
  enemies_left = 1;
  formation_x = 317;
  formation_y = 150;
  formation_dx = -20;
  next_step_time = headless::time() + 700;  // no march step in the next frames
  run_frame();                              // the frame that shows the lone enemy
  player_missiles[0].active = 1;
  player_missiles[0].x = 317 + 120 + 20;
  player_missiles[0].y = 150 + 66 * 3 + 30;
  const std::uint64_t flips = headless::flip_count();
  run_frame();
  EXPECT_EQ(level_index, 1);
  EXPECT_EQ(step_interval, 5);
  EXPECT_EQ(score, 25);
  EXPECT_EQ(headless::flip_count(), flips + 2) << "the level picture, then the play frame";
  const FrameView frame = last_frame();
  EXPECT_EQ(pixel(frame, 317, 150), test::enemy_pixel(0, 0)) << "full grid at the captured origin";
  EXPECT_EQ(pixel(frame, 317 + 7 * 60 + 10, 150 + 3 * 66 + 10), test::enemy_color);
  EXPECT_EQ(formation_x, 337);
  EXPECT_EQ(headless::text_draws().back().text, "SCORE:  25");
  // The next step marches and fires at once: the screen outlasted both timers.
  const int enemy_shots = test::in_flight(enemy_missiles);
  run_frame();
  EXPECT_EQ(formation_x, 357);
  EXPECT_EQ(test::in_flight(enemy_missiles), enemy_shots + 1);
}

TEST_F(FrameStepTest, AHitOnThePlayerShowsTheDeathScreenAndEnterRestarts) {
  run_frame();
  score = 100;
  player_x = 480;  // between the shields
  enemy_missiles[14].active = 1;
  enemy_missiles[14].x = player_x + 20;
  enemy_missiles[14].y = 700;
  last_fire_time = headless::time();
  fire_interval = 100000;
  headless::on_key_poll([] {
    if (headless::time() > 1000) headless::set_key(Key::enter, true);
  });
  run_frame();
  EXPECT_EQ(score, 0);
  EXPECT_EQ(test::in_flight(enemy_missiles), 0);
  EXPECT_EQ(headless::text_draws().back().text, "SCORE:  0");

  // Escape this time. The player's missiles move before the enemy's, so a
  // kill in the step of the death counts, judged on the frame of play.
  headless::on_key_poll(nullptr);
  headless::set_key(Key::enter, false);
  next_step_time = headless::time() + 700;
  run_frame();  // the grid shown at 337, 100
  player_missiles[0].active = 1, player_missiles[0].x = 337 + 20, player_missiles[0].y = 100 + 40;
  enemy_missiles[14].active = 1, enemy_missiles[14].y = 700;
  const std::uint64_t flips = headless::flip_count();
  headless::on_key_poll([flips] {
    if (headless::flip_count() > flips) headless::set_key(Key::escape, true);
  });
  run_frame();
  EXPECT_EQ(score, 25);
  EXPECT_EQ(quit_requested, 1);
}

}  // namespace
