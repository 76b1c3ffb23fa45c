#include "game/player.h"

#include "display/display_device.h"
#include "game/formation.h"
#include "game/game_state.h"
#include "platform/headless/headless.h"
#include "tests/core/test_support.h"

namespace {

using platform::Key;

class PlayerTest : public test::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    fill_grid();
  }
  // A frame that holds the enemy colour wherever the grid's sprites are.
  void compose_grid() {
    open_display_and_sprites();
    const FrameView frame = begin_frame();
    draw_formation(frame, formation_x, formation_y);
    end_frame();
  }
  Missile& fire_at(std::int32_t x, std::int32_t y) {
    fire_player_missile();
    for (Missile& m : player_missiles) {
      if (m.active && m.x == player_x + 26 && m.y == 704) {
        m.x = x, m.y = y;
        return m;
      }
    }
    ADD_FAILURE() << "no missile armed";
    return player_missiles[0];
  }
  // Flies missile 0 until it leaves; where it was drawn last (a flight from
  // the muzzle takes at most 141 steps).
  std::int32_t last_drawn_y() {
    std::int32_t last_drawn = 0;
    for (int steps = 0; player_missiles[0].active; ++steps) {
      if (steps > 150) {
        ADD_FAILURE() << "the missile never left";
        break;
      }
      update_player_missiles(last_frame());
      if (player_missiles[0].active) last_drawn = player_missiles[0].y;
    }
    return last_drawn;
  }
};

TEST_F(PlayerTest, MovesSixPixelsPerKeyRightFirstAndStopsAtTheEdges) {
  headless::set_key(Key::right, true);
  move_player();
  EXPECT_EQ(player_x, 294);
  player_x = 960;
  move_player();
  EXPECT_EQ(player_x, 960);
  headless::set_key(Key::left, true);
  move_player();
  EXPECT_EQ(player_x, 954) << "at 960 with both keys the left move is taken";
  move_player();
  EXPECT_EQ(player_x, 954) << "both keys cancel elsewhere";
  headless::set_key(Key::right, false);
  player_x = 0;
  move_player();
  EXPECT_EQ(player_x, 0);
}

TEST_F(PlayerTest, FiresFromTheFirstFreeSlotAndNeverMoreThanTen) {
  player_x = 300;
  for (int i = 0; i < 10; ++i) fire_player_missile();
  for (const Missile& m : player_missiles) {
    EXPECT_EQ(m.active, 1);
    EXPECT_EQ(m.x, 326);
    EXPECT_EQ(m.y, 704);
  }
  player_missiles[4].active = 0;
  player_x = 600;
  fire_player_missile();
  fire_player_missile();
  EXPECT_EQ(player_missiles[4].x, 626);
  EXPECT_EQ(player_missiles[3].x, 326);
}

TEST_F(PlayerTest, MissesLeaveAtTheTopAndShieldsStopThemAt649) {
  player_x = 0;  // muzzle at x 26: no shield above
  fire_player_missile();
  EXPECT_EQ(last_drawn_y(), 4);
  EXPECT_EQ(player_missiles[0].y, -1);
  fire_player_missile();
  player_missiles[0].y = 5;  // reaches 0 itself
  EXPECT_EQ(last_drawn_y(), 0);
  EXPECT_EQ(player_missiles[0].y, 0);

  for (std::int32_t px : {126, 360, 630, 858}) {
    player_x = px;
    fire_player_missile();
    EXPECT_EQ(last_drawn_y(), 654) << px;
    EXPECT_EQ(player_missiles[0].y, 649) << px;
    fire_player_missile();
    player_missiles[0].y = 655;  // reaches 650 itself: not yet stopped
    update_player_missiles(last_frame());
    EXPECT_EQ(player_missiles[0].active, 1) << px;
    player_missiles[0].active = 0;
  }
  player_x = 364;  // muzzle at 390: the zone's bound is excluded
  fire_player_missile();
  for (int i = 0; i < 20; ++i) update_player_missiles(last_frame());
  EXPECT_EQ(player_missiles[0].active, 1);
}

TEST_F(PlayerTest, CellTestCountsOnlyTheTwoCornersStrictly) {
  // Cell of row 0, column 0 at the start: L 337, R 397, T 100, B 156.
  EXPECT_EQ(enemy_box_hit(338, 101, 0, 0), 1);
  EXPECT_EQ(enemy_box_hit(337, 101, 0, 0), 1) << "left edge on L: bottom-right corner inside";
  EXPECT_EQ(enemy_box_hit(337, 148, 0, 0), 0) << "bottom-right corner on B";
  EXPECT_EQ(enemy_box_hit(389, 95, 0, 0), 0) << "bottom-right corner on R";
  EXPECT_EQ(enemy_box_hit(396, 101, 0, 0), 1);
  EXPECT_EQ(enemy_box_hit(397, 101, 0, 0), 0);
  EXPECT_EQ(enemy_box_hit(390, 95, 0, 0), 0) << "only the top-right corner inside";
  EXPECT_EQ(enemy_box_hit(330, 150, 0, 0), 0) << "only the bottom-left corner inside";
  formation_x = -403;
  EXPECT_EQ(enemy_box_hit(18, 101, 0, 7), 1) << "reads the live formation position";
}

TEST_F(PlayerTest, AHitNeedsTheColourInTheLastFrameAnywhereInTheNineByNineProbe) {
  Missile& m = fire_at(480, 200);        // will be at y 195, inside row 1, column 2
  update_player_missiles(last_frame());  // no frame composed: no colour
  EXPECT_EQ(m.active, 1);
  EXPECT_EQ(enemies_left, 32);
  open_display_and_sprites();
  // One pixel of the colour, just outside the probe (480..488, 195..203),
  // then on its far corner: a graze.
  for (auto [px, py] : {std::pair{489, 203}, {488, 204}, {479, 195}, {480, 194}, {488, 203}}) {
    const FrameView frame = begin_frame();
    frame_row(frame, py)[px] = probe_color;
    end_frame();
    m.y = 200;
    update_player_missiles(last_frame());
    EXPECT_EQ(m.active, px == 488 && py == 203 ? 0 : 1) << px << ", " << py;
  }
  EXPECT_EQ(enemy_flag(2, 1), 0);
  EXPECT_EQ(enemies_left, 31);
  EXPECT_EQ(score, 25);
}

TEST_F(PlayerTest, SearchPrefersTheLowerRowThenTheRightColumn) {
  compose_grid();
  // Straddles columns 2 and 3 of row 3: the top-left corner lies in column
  // 2's cell, the bottom-right one in column 3's.
  Missile& a = fire_at(512, 315);
  update_player_missiles(last_frame());
  EXPECT_EQ(a.active, 0);
  EXPECT_EQ(enemy_flag(3, 3), 0);
  EXPECT_EQ(enemy_flag(2, 3), 1);
  EXPECT_EQ(enemies_left, 31);
  // The same place one row up hits row 2 once row 3 is gone there.
  Missile& b = fire_at(512, 315 - 66);
  update_player_missiles(last_frame());
  EXPECT_EQ(b.active, 0);
  EXPECT_EQ(enemy_flag(3, 2), 0);
}

TEST_F(PlayerTest, AFullWaveIsWorth800) {
  compose_grid();
  for (int row = 0; row < grid_rows; ++row) {
    for (int column = 0; column < grid_columns; ++column) {
      Missile& m = fire_at(formation_x + 60 * column + 10, formation_y + 66 * row + 20);
      update_player_missiles(last_frame());
      EXPECT_EQ(m.active, 0);
    }
  }
  EXPECT_EQ(enemies_left, 0);
  EXPECT_EQ(score, 800);
}

}  // namespace
