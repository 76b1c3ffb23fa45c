// The millisecond tick wraps to 0 after 49.7 days of uptime. A game started
// ten seconds before that plays through it with its formation period, its
// fire intervals and its frame pacing unchanged.
#include <gtest/gtest.h>

#include <vector>

#include "assets/sound_cues.h"
#include "game/frame_step.h"
#include "game/game_state.h"
#include "platform/headless/headless.h"
#include "shell/app_main.h"
#include "tests/core/test_support.h"
#include "tests/stress/play_script.h"

namespace {

using platform::Key;

constexpr std::uint32_t start_time = 0u - 10000u;  // ten seconds before the wrap
constexpr std::uint32_t play_ms = 20000;
// The longest a step can take beyond its 15 ms here: the clock moves 1 ms
// per tick read and per key poll.
constexpr std::uint32_t step_slack_ms = 5;
static_assert(frame_step_ms == 15);

struct Volley {
  std::uint32_t at;
  std::uint32_t next_interval;
};

class TickWrapTest : public test::GameTest {};

// Each step lasts from its start tick until a tick read shows 15 ms more,
// computed modulo 2^32: across the wrap the wait neither ends at once nor
// waits for the tick to come round again.
TEST_F(TickWrapTest, EveryStepLasts15MsThroughTheWrap) {
  open_display_and_sprites();
  fill_grid();
  player_x = 660;
  headless::set_time(start_time);
  bool crossed = false;
  for (std::uint32_t played = 0; played < play_ms;) {
    const std::uint32_t before = headless::time();
    ASSERT_EQ(run_frame(), 1);
    const std::uint32_t took = headless::time() - before;
    crossed |= headless::time() < before;
    // The reading that ends the wait moves the clock on by one more tick.
    EXPECT_EQ(took, frame_step_ms + 1) << "step starting at " << before;
    played += took;
  }
  EXPECT_TRUE(crossed);
}

TEST_F(TickWrapTest, PlayKeepsItsTimingAcrossTheWrap) {
  play_script::fresh_process(dir_);
  headless::set_time(start_time);
  std::vector<std::uint32_t> play_frame_times;
  std::vector<Volley> volleys;
  play_script::watch_frames([&](const play_script::Frame& frame) {
    if (!frame.play) return;
    // Behind the yellow shield no enemy missile can reach the player, so
    // nothing interrupts the timing with a death screen.
    if (play_frame_times.empty()) player_x = 660;
    play_frame_times.push_back(frame.time);
    if (volleys.empty() || volleys.back().at != last_fire_time) {
      volleys.push_back({last_fire_time, fire_interval});
    }
    if (frame.time - play_frame_times.front() >= play_ms) headless::set_key(Key::escape, true);
  });
  ASSERT_EQ(app_main(), 0);
  ASSERT_GT(play_frame_times.size(), 1000u);
  ASSERT_EQ(headless::cues().front().cue_id, cue_intro);

  // The wrap happened in the middle of play.
  bool before = false, after = false;
  for (std::uint32_t t : play_frame_times) before |= t > 0xFFFF0000u, after |= t < 0x10000u;
  ASSERT_TRUE(before && after);

  // The formation: one step every 800 ms, each in the first frame it is due.
  std::vector<std::uint32_t> march;
  for (const auto& cue : headless::cues()) {
    if (cue.cue_id >= cue_march_first && cue.cue_id <= cue_march_third) march.push_back(cue.time);
  }
  ASSERT_GE(march.size(), play_ms / 800);
  EXPECT_LE(march.size(), play_ms / 800 + 2);
  for (std::size_t i = 1; i < march.size(); ++i) {
    const std::uint32_t gap = march[i] - march[i - 1];
    EXPECT_GE(gap, 800u) << "march step " << i << " at " << march[i];
    EXPECT_LE(gap, 800u + frame_step_ms + step_slack_ms)
        << "march step " << i << " at " << march[i];
  }

  // Enemy fire: each volley as soon as the interval drawn at the one before
  // it has run out.
  ASSERT_GE(volleys.size(), 10u);
  for (std::size_t i = 2; i < volleys.size(); ++i) {
    const std::uint32_t gap = volleys[i].at - volleys[i - 1].at;
    const std::uint32_t due = volleys[i - 1].next_interval;
    EXPECT_GE(gap, due) << "volley " << i << " at " << volleys[i].at;
    EXPECT_LE(gap, due + frame_step_ms + step_slack_ms)
        << "volley " << i << " at " << volleys[i].at;
  }
}

}  // namespace
