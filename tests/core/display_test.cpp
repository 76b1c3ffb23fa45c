#include <cstring>

#include "display/display_device.h"
#include "display/primitives.h"
#include "game/game_state.h"
#include "platform/headless/headless.h"
#include "tests/core/test_support.h"

namespace {

using test::pixel;

class DisplayTest : public test::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    open_display_and_sprites();
  }
  // A 24-bit image record whose pixels the test fills itself.
  BitmapImage image(int w, int h, std::vector<std::uint8_t>& bytes) {
    BitmapImage img{};
    bytes.resize(static_cast<std::size_t>(w) * h * 3);
    img.pixels = bytes.data();
    return img;
  }
};

TEST_F(DisplayTest, BlitConvertsBlueGreenRedToFramePixels) {
  const FrameView frame = begin_frame();
  std::vector<std::uint8_t> bytes;
  BitmapImage img = image(1, 1, bytes);
  bytes = {0x10, 0x20, 0x30};
  img.pixels = bytes.data();
  blit_rgb24(frame, img, 1, 1, 0, 0);
  EXPECT_EQ(pixel(frame, 0, 0), 0x00302010u);
}

TEST_F(DisplayTest, BlitIsOpaqueAndFollowsThePitch) {
  headless::set_pitch(4352);
  const FrameView frame = begin_frame();
  ASSERT_EQ(frame.pitch, 4352);
  std::vector<std::uint8_t> bytes;
  BitmapImage img = image(2, 2, bytes);
  bytes = {1, 2, 3, 0, 0, 0, 4, 5, 6, 7, 8, 9};  // black pixel at (1, 0)
  img.pixels = bytes.data();
  frame_row(frame, 11)[6] = 0xABCDEF;
  blit_rgb24(frame, img, 2, 2, 5, 10);
  EXPECT_EQ(pixel(frame, 5, 10), 0x030201u);
  EXPECT_EQ(pixel(frame, 6, 10), 0u);
  EXPECT_EQ(pixel(frame, 5, 11), 0x060504u);
  EXPECT_EQ(pixel(frame, 6, 11), 0x090807u);  // black covers, colours cover
  // Row 11 lies 11 pitches, not 11 * 4096 bytes, from the start.
  const auto& memory = headless::surface(headless::last_locked_surface());
  EXPECT_EQ(memory[11 * 4352 / 4 + 5], 0x060504u);
}

TEST_F(DisplayTest, BlitClipsAtEveryEdge) {
  headless::set_pitch(4352);
  const FrameView frame = begin_frame();
  auto& memory = headless::surface(headless::last_locked_surface());
  // Mark the padding beyond each row so a stray write shows.
  for (int y = 0; y < 768; ++y) memory[y * 1088 + 1024] = 0x5A5A5A;
  std::vector<std::uint8_t> bytes;
  BitmapImage img = image(64, 64, bytes);
  // Every pixel differs, so a clip taken from the wrong row or column shows.
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i + i / 192);
  auto source = [&](int x, int y) {
    return 0x10000u * bytes[(y * 64 + x) * 3 + 2] + 0x100u * bytes[(y * 64 + x) * 3 + 1] +
           bytes[(y * 64 + x) * 3];
  };
  for (auto [x, y] : {std::pair{-32, -32}, {1000, 740}, {-100000, 5}, {5, 2000000000}}) {
    blit_rgb24(frame, img, 64, 64, x, y);
  }
  EXPECT_EQ(pixel(frame, 0, 0), source(32, 32));
  EXPECT_EQ(pixel(frame, 31, 31), source(63, 63));
  EXPECT_EQ(pixel(frame, 32, 32), 0u);
  EXPECT_EQ(pixel(frame, 1000, 740), source(0, 0));
  EXPECT_EQ(pixel(frame, 1023, 767), source(23, 27));
  for (int y = 0; y < 768; ++y) ASSERT_EQ(memory[y * 1088 + 1024], 0x5A5A5Au) << y;
}

TEST_F(DisplayTest, MissilesAreDrawnOnlyInFlightAndBelowTheTop) {
  const FrameView frame = begin_frame();
  Missile missiles[3];
  missiles[0].active = 1, missiles[0].x = 100, missiles[0].y = 0;
  missiles[1].active = 1, missiles[1].x = 200, missiles[1].y = 1;
  missiles[2].active = 0, missiles[2].x = 300, missiles[2].y = 50;
  draw_missiles(frame, 3, missiles);
  EXPECT_EQ(pixel(frame, 100, 0), 0u);
  EXPECT_EQ(pixel(frame, 100, 7), 0u);
  EXPECT_EQ(pixel(frame, 200, 0), 0u);
  EXPECT_EQ(pixel(frame, 200, 1), test::missile_color);
  EXPECT_EQ(pixel(frame, 207, 8), test::at(test::missile_color, 7, 7));
  EXPECT_EQ(pixel(frame, 208, 8), 0u);
  EXPECT_EQ(pixel(frame, 300, 50), 0u);
}

TEST_F(DisplayTest, ColourSearchClampsToTheScreenAndStopsAtTheFirstMatch) {
  const FrameView frame = begin_frame();
  frame_row(frame, 12)[1023] = 0x123456;
  EXPECT_EQ(frame_has_color(1020, 10, 1028, 18, 0x123456, 0x123456, frame), 1);
  EXPECT_EQ(frame_has_color(1024, 12, 1100, 12, 0x123456, 0x123456, frame), 1)
      << "a rectangle right of the screen still examines column 1023";
  EXPECT_EQ(frame_has_color(1020, 13, 1028, 18, 0x123456, 0x123456, frame), 0);
  frame_row(frame, 0)[5] = 0x111111;
  EXPECT_EQ(frame_has_color(0, -50, 10, -40, 0x111111, 0x222222, frame), 1);
  EXPECT_EQ(frame_has_color(0, -50, 10, -40, 0x333333, 0x111111, frame), 1);
  EXPECT_EQ(frame_has_color(10, 0, 0, 767, 0x111111, 0x111111, frame), 0) << "left > right";
  EXPECT_EQ(frame_has_color(0, 0, 1023, 767, 0x00123456 | 0x01000000, 0x999999, frame), 0)
      << "the whole 32-bit value is compared";
}

TEST_F(DisplayTest, ClearIsOneFillAtPitch4096AndLeavesRowPaddingOtherwise) {
  FrameView frame = begin_frame();
  std::memset(frame.pixels, 0xFF, 4096u * 768);
  end_frame();
  frame = begin_frame();  // the other surface
  end_frame();
  frame = begin_frame();
  EXPECT_EQ(pixel(frame, 1023, 767), 0u);
  EXPECT_EQ(pixel(frame, 0, 0), 0u);
  end_frame();

  headless::set_pitch(4352);
  for (auto& surface_index : {0, 1}) {
    auto& memory = headless::surface(surface_index);
    std::fill(memory.begin(), memory.end(), 0xFFFFFFFFu);
  }
  frame = begin_frame();
  auto& memory = headless::surface(headless::last_locked_surface());
  for (int y = 0; y < 768; ++y) {
    ASSERT_EQ(memory[y * 1088], 0u);
    ASSERT_EQ(memory[y * 1088 + 1023], 0u);
    ASSERT_EQ(memory[y * 1088 + 1024], 0xFFFFFFFFu) << "padding of row " << y;
    ASSERT_EQ(memory[y * 1088 + 1087], 0xFFFFFFFFu);
  }
}

TEST_F(DisplayTest, TheLastFrameStaysReadableAfterItWasShown) {
  FrameView frame = begin_frame();
  frame_row(frame, 300)[400] = 0x126F06;
  ASSERT_EQ(end_frame(), 1);
  const FrameView last = last_frame();
  EXPECT_EQ(last.pixels, frame.pixels);
  EXPECT_EQ(pixel(last, 400, 300), 0x126F06u);
  EXPECT_EQ(headless::shown_frame()[300 * 1024 + 400], 0x126F06u);
}

TEST_F(DisplayTest, AFailedLockDrawsNothingAndARefusedFlipIsRetriedThenDropped) {
  ASSERT_NE(begin_frame().pixels, nullptr);
  end_frame();
  headless::fail_lock(1);  // refused, though it filled in a surface
  const FrameView failed = begin_frame();
  EXPECT_EQ(failed.pixels, nullptr);
  EXPECT_EQ(last_frame().pixels, nullptr) << "no frame to look back at";
  EXPECT_EQ(frame_has_color(0, 0, 1023, 767, 0, 0, last_frame()), 0);
  headless::set_pitch(4092);  // rows too short for a frame
  EXPECT_EQ(begin_frame().pixels, nullptr);
  headless::set_pitch(4096);
  headless::reset();
  open_display_and_sprites();

  begin_frame();
  headless::fail_flip(3);
  ASSERT_EQ(unlock_frame(), 1);
  EXPECT_EQ(present_frame(), 1);
  EXPECT_EQ(headless::flip_attempts(), 4u);

  begin_frame();
  headless::fail_flip(-1);
  EXPECT_EQ(end_frame(), 1) << "the unlock worked; only the flip was given up";
  EXPECT_EQ(headless::flip_attempts(), 4u + flip_attempts_per_frame);
  EXPECT_EQ(headless::flip_count(), 1u);
}

TEST_F(DisplayTest, AFailedUnlockShowsNothing) {
  begin_frame();
  headless::fail_unlock(1);
  EXPECT_EQ(end_frame(), 0);
  EXPECT_EQ(headless::flip_attempts(), 0u);
}

TEST_F(DisplayTest, TextGoesThroughThePlatformAndReportsARefusal) {
  EXPECT_EQ(draw_text("SCORE:  25", 924, 0, 0xFFFFFF), 1);
  ASSERT_EQ(headless::text_draws().size(), 1u);
  EXPECT_EQ(headless::text_draws()[0].text, "SCORE:  25");
  headless::fail_text(1);
  EXPECT_EQ(draw_text("x", 0, 0, 0), 0);
  EXPECT_EQ(headless::text_draws().size(), 1u);
}

TEST_F(DisplayTest, ShutdownReleasesTheDisplayAndEverySpriteAndCanRepeat) {
  EXPECT_EQ(shutdown(), 1);
  EXPECT_FALSE(headless::display_is_open());
  for (const BitmapImage* img :
       {&player_image, &shield_blue_image, &shield_yellow_image, &enemy_image, &missile_image}) {
    EXPECT_EQ(img->pixels, nullptr);
  }
  EXPECT_EQ(shutdown(), 1);
  EXPECT_EQ(headless::close_count(), 1u);
}

}  // namespace
