// A display that refuses its work, from the start or in the middle of play,
// for a while or for good: the game keeps running its rules, shows what it
// can, and Escape still ends it with 0. Never a crash or a hang.
#include <gtest/gtest.h>

#include "assets/sound_cues.h"
#include "display/display_device.h"
#include "game/game_state.h"
#include "platform/headless/headless.h"
#include "shell/app_main.h"
#include "tests/core/test_support.h"
#include "tests/stress/play_script.h"

namespace {

using platform::Key;

struct Failure {
  const char* what;
  void (*inject)(int);
};
const Failure failures[] = {{"lock", headless::fail_lock},
                            {"unlock", headless::fail_unlock},
                            {"flip", headless::fail_flip},
                            {"text", headless::fail_text}};

class DeviceFailuresTest : public test::GameTest {
 protected:
  // Starts the program with Enter on the intro and Escape `run_ms` later,
  // with the failure injected `fail_after_ms` after the start.
  int run(const Failure& failure, int times, std::uint32_t fail_after_ms, std::uint32_t run_ms) {
    play_script::fresh_process(dir_);
    play_script::watch_frames([](const play_script::Frame&) {});
    if (fail_after_ms == 0) {
      failure.inject(times);
    } else {
      headless::at_time(fail_after_ms, [&failure, times] { failure.inject(times); });
    }
    headless::at_time(run_ms, [] { headless::set_key(Key::escape, true); });
    return app_main();
  }
};

TEST_F(DeviceFailuresTest, AFailureForGoodNeitherStopsTheRulesNorTheWayOut) {
  for (const Failure& failure : failures) {
    for (const std::uint32_t from : {0u, 2000u}) {
      const std::string what =
          std::string(failure.what) + " refused for good from " + std::to_string(from) + " ms";
      EXPECT_EQ(run(failure, -1, from, 6000), 0) << what;
      EXPECT_TRUE(headless::fatal_reports().empty()) << what;
      // The formation marched on every 800 ms: the rules kept running.
      EXPECT_GE(test::cue_count(cue_march_first, cue_march_third), 6) << what;
      EXPECT_FALSE(headless::display_is_open()) << what;
      EXPECT_EQ(headless::open_file_count(), 0u) << what;
    }
  }
}

TEST_F(DeviceFailuresTest, AfterAPassingFailureFramesAreShownAgain) {
  for (const Failure& failure : failures) {
    // Long enough to lose whole frames: a flip is tried 100 times per frame.
    const int times = std::string(failure.what) == "flip" ? 450 : 4;
    EXPECT_EQ(run(failure, times, 3000, 6000), 0) << failure.what;
    const auto& texts = headless::text_draws();
    ASSERT_FALSE(texts.empty()) << failure.what;
    EXPECT_GT(headless::flip_count(), 300u) << failure.what;
    // The frame shown last is a frame of play with its score line.
    EXPECT_EQ(texts.back().frame + 1, headless::flip_count()) << failure.what;
  }
}

// A display that never accepts a frame gives up on each one after a bounded
// number of tries: the intro and the death screen still wait for their keys.
TEST_F(DeviceFailuresTest, ScreensStillAnswerTheirKeysWhenNothingCanBeShown) {
  play_script::fresh_process(dir_);
  headless::fail_flip(-1);
  int waits_seen = 0;
  std::uint64_t locks_seen = 0;
  int polls_without_lock = 0;
  headless::on_key_poll([&] {
    // A step of play locks a frame every three polls; a screen's wait
    // polls on without one.
    if (headless::lock_count() != locks_seen)
      locks_seen = headless::lock_count(), polls_without_lock = 0;
    if (++polls_without_lock != 4) return;
    ++waits_seen;
    // The third wait is answered with Escape.
    headless::set_key(waits_seen < 3 ? Key::enter : Key::escape, true);
    headless::at_time(headless::time() + 50, [] { headless::set_key(Key::enter, false); });
    // Bring on a death in the play that follows.
    headless::at_time(headless::time() + 400, [] { formation_y = 400; });
  });
  EXPECT_EQ(app_main(), 0);
  EXPECT_EQ(headless::flip_count(), 0u);
  EXPECT_EQ(waits_seen, 3);
  int deaths = 0, intros = 0;
  for (const auto& cue : headless::cues())
    deaths += cue.cue_id == cue_death, intros += cue.cue_id == cue_intro;
  EXPECT_EQ(intros, 1);
  EXPECT_EQ(deaths, 2) << "the intro and two death screens waited";
}

}  // namespace
