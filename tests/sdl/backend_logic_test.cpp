// The SDL backend's own logic, without any device: where the frame goes in
// a window, what key events mean, and how text is laid over the frame.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/key_events.h"
#include "platform/sdl/letterbox.h"
#include "platform/sdl/text_blend.h"

namespace {

// ---- letterbox

TEST(FitFrame, KeepsTheAspectRatioAndCentresTheFrame) {
  struct Case {
    int out_w, out_h;
    FrameRect want;
  };
  const Case cases[] = {
      {1024, 768, {0, 0, 1024, 768}},      // the frame's own size: drawn 1:1
      {1920, 1080, {240, 0, 1440, 1080}},  // wide desktop: bars left and right
      {1280, 1024, {0, 32, 1280, 960}},    // tall desktop: bars above and below
      {2048, 1536, {0, 0, 2048, 1536}},    // exactly twice the frame
      {800, 600, {0, 0, 800, 600}},        // smaller than the frame, same shape
      {1025, 768, {0, 0, 1024, 768}},      // one column too many: a 0-pixel bar
      {3840, 1600, {853, 0, 2133, 1600}},  // ultra-wide
  };
  for (const Case& c : cases) {
    const FrameRect got = fit_frame(c.out_w, c.out_h, 1024, 768);
    EXPECT_EQ(got.x, c.want.x) << c.out_w << "x" << c.out_h;
    EXPECT_EQ(got.y, c.want.y) << c.out_w << "x" << c.out_h;
    EXPECT_EQ(got.w, c.want.w) << c.out_w << "x" << c.out_h;
    EXPECT_EQ(got.h, c.want.h) << c.out_w << "x" << c.out_h;
  }
}

TEST(FitFrame, StaysInsideTheOutputForEverySize) {
  for (int w = 1; w <= 3000; w += 37) {
    for (int h = 1; h <= 2000; h += 29) {
      const FrameRect r = fit_frame(w, h, 1024, 768);
      ASSERT_GE(r.x, 0);
      ASSERT_GE(r.y, 0);
      ASSERT_LE(r.x + r.w, w);
      ASSERT_LE(r.y + r.h, h);
      // One side always fills the output: the largest fit.
      ASSERT_TRUE(r.w == w || r.h == h) << w << "x" << h;
    }
  }
}

TEST(FitFrame, NoAreaGivesAnEmptyRectangle) {
  EXPECT_EQ(fit_frame(0, 768, 1024, 768).w, 0);
  EXPECT_EQ(fit_frame(1024, 0, 1024, 768).h, 0);
  EXPECT_EQ(fit_frame(-5, -5, 1024, 768).w, 0);
}

TEST(FitFrame, HugeOutputsDoNotOverflow) {
  const FrameRect r = fit_frame(2000000000, 1500000000, 1024, 768);
  EXPECT_EQ(r.w, 2000000000);
  EXPECT_EQ(r.h, 1500000000);
}

// ---- key events

SDL_Event key_event(Uint32 type, SDL_Scancode scancode, Uint8 repeat = 0) {
  SDL_Event event{};
  event.type = type;
  event.key.type = type;
  event.key.keysym.scancode = scancode;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat;
  return event;
}

SDL_Event window_event(Uint8 what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = what;
  return event;
}

TEST(KeyEvents, HeldKeysFollowPressAndRelease) {
  HeldKeys held;
  const struct {
    SDL_Scancode scancode;
    platform::Key key;
  } keys[] = {{SDL_SCANCODE_LEFT, platform::Key::left},
              {SDL_SCANCODE_RIGHT, platform::Key::right},
              {SDL_SCANCODE_ESCAPE, platform::Key::escape},
              {SDL_SCANCODE_RETURN, platform::Key::enter},
              {SDL_SCANCODE_KP_ENTER, platform::Key::enter}};
  for (const auto& k : keys) {
    EXPECT_FALSE(key_is_held(held, k.key));
    EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, k.scancode), held), EventOutcome::dropped);
    EXPECT_TRUE(key_is_held(held, k.key));
    EXPECT_EQ(translate_event(key_event(SDL_KEYUP, k.scancode), held), EventOutcome::dropped);
    EXPECT_FALSE(key_is_held(held, k.key));
  }
}

TEST(KeyEvents, EitherEnterKeyHoldsEnterUntilBothAreUp) {
  HeldKeys held;
  translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_RETURN), held);
  translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER), held);
  translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_RETURN), held);
  EXPECT_TRUE(key_is_held(held, platform::Key::enter));
  translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_KP_ENTER), held);
  EXPECT_FALSE(key_is_held(held, platform::Key::enter));
}

TEST(KeyEvents, SpaceFiresOncePerPressOnItsRelease) {
  HeldKeys held;
  EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_SPACE), held),
            EventOutcome::dropped);
  // Key repeat while Space is held never fires.
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_SPACE, 1), held),
              EventOutcome::dropped);
  }
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_SPACE), held),
            EventOutcome::space_released);
  // A second release without a press in between (a repeat seen as a
  // release, or a press made before the window came up) does not.
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_SPACE), held), EventOutcome::dropped);
}

TEST(KeyEvents, LosingFocusLetsGoOfEveryKeyWithoutFiring) {
  HeldKeys held;
  for (SDL_Scancode s : {SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_ESCAPE,
                         SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER, SDL_SCANCODE_SPACE}) {
    translate_event(key_event(SDL_KEYDOWN, s), held);
  }
  EXPECT_EQ(translate_event(window_event(SDL_WINDOWEVENT_FOCUS_LOST), held), EventOutcome::dropped);
  for (platform::Key k :
       {platform::Key::left, platform::Key::right, platform::Key::escape, platform::Key::enter}) {
    EXPECT_FALSE(key_is_held(held, k));
  }
  // Space let go of in another window: its release here must not shoot.
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_SPACE), held), EventOutcome::dropped);
}

TEST(KeyEvents, OtherKeysAndEventsAreDropped) {
  HeldKeys held;
  EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_A), held), EventOutcome::dropped);
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_A), held), EventOutcome::dropped);
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  EXPECT_EQ(translate_event(motion, held), EventOutcome::dropped);
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  EXPECT_EQ(translate_event(text, held), EventOutcome::dropped);
  EXPECT_FALSE(held.left || held.right || held.escape || held.enter || held.space);
}

TEST(KeyEvents, DesktopRequestsAndWindowChanges) {
  HeldKeys held;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_EQ(translate_event(quit, held), EventOutcome::close_requested);
  EXPECT_EQ(translate_event(window_event(SDL_WINDOWEVENT_EXPOSED), held), EventOutcome::redraw);
  EXPECT_EQ(translate_event(window_event(SDL_WINDOWEVENT_SIZE_CHANGED), held),
            EventOutcome::redraw);
  EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_F11), held),
            EventOutcome::toggle_fullscreen);
  // Holding F11 toggles once, not on every repeat.
  EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_F11, 1), held),
            EventOutcome::dropped);
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_F11), held), EventOutcome::dropped);
}

// ---- text blending

struct Plane {
  std::vector<std::uint32_t> pixels;
  PixelPlane view;
  Plane(int w, int h, std::uint32_t fill, int pitch_pixels = 0) {
    const int stride = pitch_pixels > 0 ? pitch_pixels : w;
    pixels.assign(static_cast<std::size_t>(stride) * h, fill);
    view = {pixels.data(), w, h, stride * 4};
  }
  std::uint32_t at(int x, int y) const { return pixels[y * (view.pitch / 4) + x]; }
};

TEST(BlendText, OpaqueGlyphsTakeTheirColourAndTransparentOnesLeaveTheFrame) {
  Plane frame(8, 4, 0x00102030);
  Plane glyphs(2, 2, 0x00FFFFFF);  // coverage 0: nothing drawn
  glyphs.pixels[0] = 0xFFFFFFFF;   // full coverage, white
  glyphs.pixels[3] = 0xFF00FF00;   // full coverage, green
  const FrameRect changed = blend_text(frame.view, glyphs.view, 3, 1);
  EXPECT_EQ(frame.at(3, 1), 0x00FFFFFFu);
  EXPECT_EQ(frame.at(4, 1), 0x00102030u);
  EXPECT_EQ(frame.at(3, 2), 0x00102030u);
  EXPECT_EQ(frame.at(4, 2), 0x0000FF00u);
  EXPECT_EQ(changed.x, 3);
  EXPECT_EQ(changed.y, 1);
  EXPECT_EQ(changed.w, 2);
  EXPECT_EQ(changed.h, 2);
}

TEST(BlendText, PartialCoverageMixesAndNeverLeavesAlphaInTheFrame) {
  Plane frame(1, 1, 0);
  for (std::uint32_t alpha = 0; alpha <= 255; ++alpha) {
    frame.pixels[0] = 0x00000000;
    Plane glyph(1, 1, alpha << 24 | 0x00FFFFFF);
    blend_text(frame.view, glyph.view, 0, 0);
    EXPECT_EQ(frame.pixels[0] >> 24, 0u) << alpha;
    const std::uint32_t level = frame.pixels[0] & 0xFF;
    EXPECT_NEAR(static_cast<double>(level), alpha, 0.5) << alpha;
    EXPECT_EQ(frame.pixels[0], level * 0x010101u) << alpha;
  }
}

TEST(BlendText, IsClippedToTheFrameOnEverySide) {
  const int positions[][2] = {{-1, -1}, {6, 2}, {-3, 2}, {6, -3}, {7, 3}};
  for (const auto& p : positions) {
    Plane frame(8, 4, 0, 10);  // rows padded: the padding must stay untouched
    for (int y = 0; y < 4; ++y) {
      for (int x = 8; x < 10; ++x) frame.pixels[y * 10 + x] = 0xABABABAB;
    }
    Plane glyphs(4, 4, 0xFFFFFFFF);
    const FrameRect changed = blend_text(frame.view, glyphs.view, p[0], p[1]);
    int white = 0;
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 8; ++x) white += frame.at(x, y) == 0x00FFFFFF;
      for (int x = 8; x < 10; ++x) ASSERT_EQ(frame.pixels[y * 10 + x], 0xABABABABu);
    }
    EXPECT_EQ(white, changed.w * changed.h) << p[0] << "," << p[1];
    EXPECT_GE(changed.x, 0);
    EXPECT_GE(changed.y, 0);
    EXPECT_LE(changed.x + changed.w, 8);
    EXPECT_LE(changed.y + changed.h, 4);
  }
}

TEST(BlendText, WhollyOutsideOrAtExtremePositionsTouchesNothing) {
  const int positions[][2] = {{8, 0},          {0, 4},
                              {-4, 0},         {0, -4},
                              {2147483647, 0}, {-2147483647 - 1, 0},
                              {0, 2147483647}, {2147483600, 2147483600}};
  for (const auto& p : positions) {
    Plane frame(8, 4, 0);
    Plane glyphs(4, 4, 0xFFFFFFFF);
    const FrameRect changed = blend_text(frame.view, glyphs.view, p[0], p[1]);
    EXPECT_EQ(changed.w * changed.h, 0) << p[0] << "," << p[1];
    for (std::uint32_t px : frame.pixels) ASSERT_EQ(px, 0u);
  }
}

}  // namespace
