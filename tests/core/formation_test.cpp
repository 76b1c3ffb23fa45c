#include "game/formation.h"

#include <cstdio>
#include <vector>

#include "assets/sound_cues.h"
#include "display/display_device.h"
#include "game/game_state.h"
#include "platform/headless/headless.h"
#include "tests/core/test_support.h"

namespace {

class FormationTest : public test::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    fill_grid();
  }
};

TEST_F(FormationTest, FullGridMarchesBetweenItsMargins) {
  for (int i = 0; i < 10; ++i) formation_step();
  EXPECT_EQ(formation_x, 537);  // column 7's cell ends at 1017
  formation_step();
  EXPECT_EQ(formation_dx, -20);
  EXPECT_EQ(formation_y, 125);
  EXPECT_EQ(formation_x, 537);
  for (int i = 0; i < 26; ++i) formation_step();
  EXPECT_EQ(formation_x, 17);
  formation_step();
  EXPECT_EQ(formation_dx, 20);
  EXPECT_EQ(formation_y, 150);
  EXPECT_EQ(formation_x, 17);
}

// Steps until the march turns; 100 steps cross the whole screen and more.
int steps_until_turn() {
  const std::int32_t dx = formation_dx;
  for (int steps = 1; steps <= 100; ++steps) {
    formation_step();
    if (formation_dx != dx) return steps;
  }
  ADD_FAILURE() << "no turn in 100 steps";
  return -1;
}

TEST_F(FormationTest, TheOutermostLiveColumnDecidesTheTurn) {
  // One enemy in the lowest row of the column: every row counts.
  for (auto& flag : enemy_alive) flag = 0;
  enemy_flag(0, 3) = 1;
  steps_until_turn();
  EXPECT_EQ(formation_x, 957);
  enemy_flag(0, 3) = 0;
  enemy_flag(7, 3) = 1;
  steps_until_turn();
  EXPECT_EQ(formation_x, -403);
}

TEST_F(FormationTest, EdgeTestsAreStrict) {
  formation_x = 944;  // column 0 only: a step of 20 ends its cell at 1024
  test::only_column(0);
  formation_step();
  EXPECT_EQ(formation_x, 944) << "an end at 1024 is refused";
  formation_x = 943;
  formation_dx = 20;
  formation_step();
  EXPECT_EQ(formation_x, 963) << "an end at 1023 is taken";
  formation_x = 20;
  formation_dx = -20;
  formation_step();
  EXPECT_EQ(formation_x, 20) << "a left edge at 0 is refused";
  formation_x = 21;
  formation_dx = -20;
  formation_step();
  EXPECT_EQ(formation_x, 1) << "a left edge at 1 is taken";
  formation_x = 0;
  formation_dx = 0;  // zero marches left: at the left edge it turns
  formation_step();
  EXPECT_EQ(formation_dx, 0);
  EXPECT_EQ(formation_y, 175);
}

// Counts the reversals until the invasion test sends the game to the death
// screen (whose picture we remove, so it returns at once after its pause).
int reversals_until_invasion() {
  int reversals = 0;
  std::uint32_t sleeps_before = headless::time();
  for (int steps = 0; steps < 2000; ++steps) {
    check_invasion();
    if (headless::time() != sleeps_before) return reversals;  // the death pause ran
    const std::int32_t y = formation_y;
    formation_step();
    if (formation_y != y) ++reversals;
  }
  ADD_FAILURE() << "no invasion in 2000 steps";
  return -1;
}

TEST_F(FormationTest, TheLowestLiveRowDecidesWhenTheGameEnds) {
  std::remove((dir_ + "/dead.bmp").c_str());
  const int expected[] = {18, 16, 13, 10};
  for (int row = 0; row < grid_rows; ++row) {
    headless::reset();
    headless::set_file_directory(dir_);
    formation_x = 337, formation_y = 100, formation_dx = 20;
    test::only_row(row);
    EXPECT_EQ(reversals_until_invasion(), expected[row]) << "lowest row " << row;
  }
  EXPECT_EQ(formation_y, 350);
}

TEST_F(FormationTest, InvasionLineIsTheShieldTop) {
  std::remove((dir_ + "/dead.bmp").c_str());
  for (auto& flag : enemy_alive) flag = 0;
  enemy_flag(0, 0) = enemy_flag(7, 3) = 1;  // the last column holds the lowest
  formation_y = 600 - 56 - 3 * 66 - 1;      // row 3 ends at 599
  check_invasion();
  EXPECT_EQ(headless::time(), 0u);
  formation_y += 1;
  check_invasion();
  EXPECT_EQ(headless::time(), 500u) << "the death screen's pause ran once";
  for (auto& flag : enemy_alive) flag = 0;
  check_invasion();
  EXPECT_EQ(headless::time(), 500u) << "an empty grid does nothing";
}

TEST_F(FormationTest, StepsFollowTheTimerAndSoundEachStep) {
  march_phase = 2;  // left by a game played earlier in this process
  test::fresh_process(dir_);
  fill_grid();
  headless::set_tick_step(0);
  formation_tick();  // the timer starts at 0: due at once
  formation_tick();  // and then a whole period ahead
  EXPECT_EQ(formation_x, 357);
  EXPECT_EQ(next_step_time, 800u);
  headless::set_time(799);
  formation_tick();
  EXPECT_EQ(formation_x, 357);
  headless::set_time(900);  // late: the period counts from this step
  formation_tick();
  EXPECT_EQ(next_step_time, 1700u);
  for (std::uint32_t t : {1700u, 2500u}) {
    headless::set_time(t);
    formation_tick();
  }
  ASSERT_EQ(headless::cues().size(), 4u);
  const int expected[] = {cue_march_first, cue_march_second, cue_march_third, cue_march_first};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(headless::cues()[i].cue_id, expected[i]);
  EXPECT_EQ(march_phase, 1);
}

TEST_F(FormationTest, TheStepPeriodHoldsAcrossTheTickWrap) {
  headless::set_tick_step(0);
  const std::uint32_t start = 0xFFFFFFFFu - 1000;
  headless::set_time(start);
  formation_tick();
  EXPECT_EQ(next_step_time, start + 800u);
  std::vector<std::uint32_t> step_times;
  for (std::uint32_t t = start; t != start + 3000; t += 10) {
    headless::set_time(t);
    const std::int32_t x = formation_x;
    formation_tick();
    if (formation_x != x) step_times.push_back(t - start);
  }
  EXPECT_EQ(step_times, (std::vector<std::uint32_t>{800, 1600, 2400}));
}

TEST_F(FormationTest, AStepIntervalBelowOneStepsEveryFrame) {
  headless::set_tick_step(0);
  step_interval = -2;
  for (int i = 0; i < 3; ++i) formation_tick();
  EXPECT_EQ(formation_x, 397);
}

TEST_F(FormationTest, DrawsLiveEnemiesFromTheGivenOriginRightNeighbourOnTop) {
  open_display_and_sprites();
  const FrameView frame = begin_frame();
  enemy_flag(3, 2) = 0;
  draw_formation(frame, 17, 40);
  EXPECT_EQ(test::pixel(frame, 17, 40), test::enemy_pixel(0, 0));
  EXPECT_EQ(test::pixel(frame, 17 + 60 * 7 + 63, 40 + 66 * 3 + 55), test::enemy_pixel(63, 55))
      << "the last column's own corner";
  EXPECT_EQ(test::pixel(frame, 17 + 63, 40), test::enemy_pixel(3, 0)) << "covered by the neighbour";
  EXPECT_EQ(test::pixel(frame, 17 + 60 * 3 + 10, 40 + 66 * 2 + 10), 0u) << "dead cell stays black";
  EXPECT_EQ(test::pixel(frame, 17 + 10, 40 + 56 + 5), 0u) << "the gap between rows";
  end_frame();
}

}  // namespace
