#include "game/enemy_fire.h"

#include <set>

#include "game/game_state.h"
#include "platform/headless/headless.h"
#include "tests/core/test_support.h"

namespace {

class EnemyFireTest : public test::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    fill_grid();
    headless::set_tick_step(0);
    std::remove((dir_ + "/dead.bmp").c_str());  // death screens return after their pause
  }
  // The tick at which a fresh draw gives this column.
  std::uint32_t tick_for_column(int column) {
    for (std::uint32_t t = 0; t < 1000; ++t) {
      seed_random(t);
      if (next_random() % 8 == column) return t;
    }
    ADD_FAILURE() << "no tick below 1000 draws column " << column;
    return 0;
  }
  bool death_screen_ran() { return headless::time() >= death_mark_ + 500; }
  std::uint32_t death_mark_ = 0;
};

TEST_F(EnemyFireTest, RandomSourceValues) {
  const std::pair<std::uint32_t, int> known[] = {{0, 38}, {1000, 3304}};
  for (auto [seed, value] : known) {
    seed_random(seed);
    EXPECT_EQ(next_random(), value) << seed;
  }
  seed_random(1);  // a whole sequence: every bit of the step shows by the third
  for (int value : {41, 18467, 6334, 26500}) EXPECT_EQ(next_random(), value);
  seed_random(0xFFFFFFFFu);
  for (int i = 0; i < 1000; ++i) {
    const int r = next_random();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
  }
}

TEST_F(EnemyFireTest, IntervalsAreMultiplesOf200BelowTheRange) {
  for (int range : {10, 5, 4}) {
    fire_range = range;
    std::set<std::uint32_t> seen;
    for (std::uint32_t t = 0; t < 3000; t += 7) {
      clear_enemy_missiles();
      headless::set_time(t);
      last_fire_time = 0;
      fire_interval = 0;
      enemy_fire_tick();
      seen.insert(fire_interval);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(range)) << range;
    EXPECT_EQ(*seen.begin(), 0u);
    EXPECT_EQ(*seen.rbegin(), static_cast<std::uint32_t>((range - 1) * 200));
  }
}

TEST_F(EnemyFireTest, FiresWhenTheIntervalHasRunOutAcrossTheWrap) {
  headless::set_time(0xFFFFFF00u);
  last_fire_time = 0xFFFFFF00u;
  fire_interval = 600;
  headless::set_time(0xFFFFFF00u + 599);
  enemy_fire_tick();
  EXPECT_EQ(test::in_flight(enemy_missiles), 0);
  headless::set_time(0xFFFFFF00u + 600);
  enemy_fire_tick();
  EXPECT_EQ(test::in_flight(enemy_missiles), 1);
  EXPECT_EQ(last_fire_time, 0xFFFFFF00u + 600);
}

TEST_F(EnemyFireTest, VolleyUsesTheFirstFreeSlotAndTheDrawnColumn) {
  const std::uint32_t t = tick_for_column(5);
  headless::set_time(t);
  enemy_missiles[0].active = 1;
  enemy_volley();
  EXPECT_EQ(test::in_flight(enemy_missiles), 2);
  EXPECT_EQ(enemy_missiles[1].x, 337 + 300 + 28);
  EXPECT_EQ(enemy_missiles[1].y, 100 + 66 * 3 + 56);
  enemy_flag(5, 3) = 0;
  enemy_flag(5, 2) = 0;
  enemy_volley();
  EXPECT_EQ(enemy_missiles[2].y, 100 + 66 + 56) << "from the lowest live enemy of the column";
}

TEST_F(EnemyFireTest, AnEmptyColumnHandsTheShotLeftwardsWrappingToSeven) {
  // Live columns on both sides of the drawn one: only the left one may fire.
  for (auto& flag : enemy_alive) flag = 0;
  for (int column : {1, 5, 7}) enemy_flag(column, 0) = 1;
  headless::set_time(tick_for_column(0));
  enemy_volley();
  EXPECT_EQ(enemy_missiles[0].x, 337 + 420 + 28) << "from 0 round to 7";
  headless::set_time(tick_for_column(6));
  enemy_volley();
  EXPECT_EQ(enemy_missiles[1].x, 337 + 300 + 28) << "from 6 to 5";
  test::only_column(1);  // seven empty columns to pass, the whole way round
  headless::set_time(tick_for_column(0));
  enemy_volley();
  EXPECT_EQ(enemy_missiles[2].x, 337 + 60 + 28);
  EXPECT_EQ(enemy_missiles[2].active, 1);
  for (auto& flag : enemy_alive) flag = 0;
  enemy_volley();  // nothing alive: no missile, and no endless search
  EXPECT_EQ(enemy_missiles[3].active, 0);
}

TEST_F(EnemyFireTest, TheFifteenthSlotFiresAndFullSlotsLaunchNothingButTheTimerRuns) {
  for (Missile& m : enemy_missiles) m.active = 1, m.y = 0;
  enemy_missiles[14].active = 0;
  headless::set_time(5000);
  enemy_fire_tick();
  EXPECT_EQ(enemy_missiles[14].active, 1);
  EXPECT_EQ(enemy_missiles[14].y, 100 + 66 * 3 + 56);
  enemy_missiles[14].y = 0;
  const std::uint32_t next = 5000 + fire_interval;
  headless::set_time(next);
  enemy_fire_tick();
  EXPECT_EQ(last_fire_time, next);
  for (const Missile& m : enemy_missiles) EXPECT_EQ(m.y, 0);
}

TEST_F(EnemyFireTest, ShieldsStopMissilesBelow610ButNotOnTheirBounds) {
  for (std::int32_t x : {151, 389, 651, 889}) {
    clear_enemy_missiles();
    enemy_missiles[0] = Missile{};
    enemy_missiles[0].active = 1, enemy_missiles[0].x = x, enemy_missiles[0].y = 606;
    update_enemy_missiles();
    EXPECT_EQ(enemy_missiles[0].active, 1) << x << " at 610";
    enemy_missiles[0].y = 607;
    update_enemy_missiles();
    EXPECT_EQ(enemy_missiles[0].active, 0) << x << " at 611";
  }
  for (std::int32_t x : {150, 390, 650, 890}) {
    enemy_missiles[0].active = 1, enemy_missiles[0].x = x, enemy_missiles[0].y = 640;
    update_enemy_missiles();
    EXPECT_EQ(enemy_missiles[0].active, 1) << x;
  }
}

TEST_F(EnemyFireTest, TheBottomEdgeRemovesAMissileBeforeItIsDrawnAt759) {
  player_x = 900;
  enemy_missiles[0].active = 1, enemy_missiles[0].x = 10, enemy_missiles[0].y = 754;
  update_enemy_missiles();
  EXPECT_EQ(enemy_missiles[0].active, 1);
  EXPECT_EQ(enemy_missiles[0].y, 758);
  enemy_missiles[0].y = 755;
  update_enemy_missiles();
  EXPECT_EQ(enemy_missiles[0].active, 0) << "at 759 itself";
}

TEST_F(EnemyFireTest, PlayerHitZoneEdges) {
  player_x = 480;
  const std::pair<std::int32_t, bool> cases[] = {
      {480 - 6, true}, {480 + 62, true}, {480 - 7, false}, {480 + 63, false}};
  for (auto [x, hits] : cases) {
    clear_enemy_missiles();
    death_mark_ = headless::time();
    enemy_missiles[0].active = 1, enemy_missiles[0].x = x, enemy_missiles[0].y = 693;
    update_enemy_missiles();  // at 697 its bottom is 705: in the zone
    EXPECT_EQ(death_screen_ran(), hits) << "x " << x;
    EXPECT_EQ(enemy_missiles[0].active, 1) << "a hit does not retire the missile";
  }
  clear_enemy_missiles();
  death_mark_ = headless::time();
  enemy_missiles[0].active = 1, enemy_missiles[0].x = 480, enemy_missiles[0].y = 692;
  update_enemy_missiles();  // at 696 its bottom is 704: not yet
  EXPECT_FALSE(death_screen_ran());
}

}  // namespace
