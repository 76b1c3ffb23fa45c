// The SDL backend's own logic, without any device: where the frame goes in
// a window, what key events mean, and how text is laid over the frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/sdl/key_events.h"
#include "platform/shared/letterbox.h"
#include "platform/shared/pause.h"
#include "platform/shared/text_blend.h"

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

// A gap between the bars and the frame would keep whatever was on the
// screen there; an overlap would paint black over the frame. One-pixel bars
// on each side, and uneven ones.
TEST(LetterboxBars, CoverWithTheFrameEveryPixelOfTheOutputOnce) {
  const int sizes[][2] = {{1025, 768}, {1024, 769}, {1201, 700}, {600, 701}, {1024, 768}};
  for (const auto& size : sizes) {
    const int w = size[0];
    const int h = size[1];
    std::vector<int> cover(static_cast<std::size_t>(w) * h, 0);
    int outside = 0;
    const auto paint = [&](const FrameRect& r) {
      for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
          if (x < 0 || y < 0 || x >= w || y >= h) {
            ++outside;
          } else {
            ++cover[static_cast<std::size_t>(y) * w + x];
          }
        }
      }
    };
    const FrameRect frame = fit_frame(w, h, 1024, 768);
    paint(frame);
    for (const FrameRect& bar : letterbox_bars(w, h, frame)) paint(bar);
    EXPECT_EQ(outside, 0) << w << "x" << h;
    EXPECT_EQ(std::count(cover.begin(), cover.end(), 1), std::ptrdiff_t{w} * h) << w << "x" << h;
  }
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

// The keyboard's keys for the keys the game asks about; Enter has two.
constexpr struct {
  SDL_Scancode scancode;
  platform::Key key;
} game_keys[] = {{SDL_SCANCODE_LEFT, platform::Key::left},
                 {SDL_SCANCODE_RIGHT, platform::Key::right},
                 {SDL_SCANCODE_ESCAPE, platform::Key::escape},
                 {SDL_SCANCODE_RETURN, platform::Key::enter},
                 {SDL_SCANCODE_KP_ENTER, platform::Key::enter}};

TEST(KeyEvents, HeldKeysFollowPressAndRelease) {
  InputState input;
  for (const auto& k : game_keys) {
    EXPECT_FALSE(key_is_held(input.held, k.key));
    EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, k.scancode), input), EventOutcome::dropped);
    EXPECT_TRUE(key_is_held(input.held, k.key));
    EXPECT_EQ(translate_event(key_event(SDL_KEYUP, k.scancode), input), EventOutcome::dropped);
    EXPECT_FALSE(key_is_held(input.held, k.key));
  }
}

TEST(KeyEvents, EitherEnterKeyHoldsEnterUntilBothAreUp) {
  InputState input;
  translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_RETURN), input);
  translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER), input);
  translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_RETURN), input);
  EXPECT_TRUE(key_is_held(input.held, platform::Key::enter));
  translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_KP_ENTER), input);
  EXPECT_FALSE(key_is_held(input.held, platform::Key::enter));
}

TEST(KeyEvents, SpaceFiresOncePerPressOnItsRelease) {
  InputState input;
  EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_SPACE), input),
            EventOutcome::dropped);
  // Key repeat while Space is held never fires.
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_SPACE, 1), input),
              EventOutcome::dropped);
  }
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_SPACE), input),
            EventOutcome::space_released);
  // A second release without a press in between (a repeat seen as a
  // release, or a press made before the window came up) does not.
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_SPACE), input),
            EventOutcome::dropped);
}

TEST(KeyEvents, LosingFocusLetsGoOfEveryKeyWithoutFiring) {
  InputState input;
  for (SDL_Scancode s : {SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_ESCAPE,
                         SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER, SDL_SCANCODE_SPACE}) {
    translate_event(key_event(SDL_KEYDOWN, s), input);
  }
  EXPECT_EQ(translate_event(window_event(SDL_WINDOWEVENT_FOCUS_LOST), input),
            EventOutcome::dropped);
  for (platform::Key k :
       {platform::Key::left, platform::Key::right, platform::Key::escape, platform::Key::enter}) {
    EXPECT_FALSE(take_key(input.held, k));  // neither held nor a tap left over
  }
  // Space let go of in another window: its release here must not shoot.
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_SPACE), input),
            EventOutcome::dropped);
}

TEST(KeyEvents, OtherKeysAndEventsAreDropped) {
  InputState input;
  EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_A), input), EventOutcome::dropped);
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_A), input), EventOutcome::dropped);
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  EXPECT_EQ(translate_event(motion, input), EventOutcome::dropped);
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  EXPECT_EQ(translate_event(text, input), EventOutcome::dropped);
  for (platform::Key k :
       {platform::Key::left, platform::Key::right, platform::Key::escape, platform::Key::enter}) {
    EXPECT_FALSE(take_key(input.held, k));
  }
  EXPECT_FALSE(input.held.space);
}

TEST(KeyEvents, DesktopRequestsAndWindowChanges) {
  InputState input;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_EQ(translate_event(quit, input), EventOutcome::close_requested);
  EXPECT_EQ(translate_event(window_event(SDL_WINDOWEVENT_EXPOSED), input), EventOutcome::redraw);
  EXPECT_EQ(translate_event(window_event(SDL_WINDOWEVENT_SIZE_CHANGED), input),
            EventOutcome::redraw);
  EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_F11), input),
            EventOutcome::toggle_fullscreen);
  // Holding F11 toggles once, not on every repeat.
  EXPECT_EQ(translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_F11, 1), input),
            EventOutcome::dropped);
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_F11), input), EventOutcome::dropped);
}

// ---- taps shorter than a step

void tap(InputState& input, SDL_Scancode scancode) {
  translate_event(key_event(SDL_KEYDOWN, scancode), input);
  translate_event(key_event(SDL_KEYUP, scancode), input);
}

TEST(Taps, ATapBetweenTwoPollsIsSeenAtTheNextPollOnce) {
  for (const auto& k : game_keys) {
    InputState input;
    tap(input, k.scancode);
    EXPECT_FALSE(key_is_held(input.held, k.key)) << k.scancode;  // it is over...
    begin_poll_turn(input.held);
    EXPECT_TRUE(take_key(input.held, k.key)) << k.scancode;  // ...and still reported
    EXPECT_FALSE(take_key(input.held, k.key)) << k.scancode;
    begin_poll_turn(input.held);
    EXPECT_FALSE(take_key(input.held, k.key)) << k.scancode;
  }
  // Two taps before a poll are one.
  InputState input;
  tap(input, SDL_SCANCODE_KP_ENTER);
  tap(input, SDL_SCANCODE_KP_ENTER);
  EXPECT_TRUE(take_key(input.held, platform::Key::enter));
  EXPECT_FALSE(take_key(input.held, platform::Key::enter));
}

TEST(Taps, AKeyHeldOverManyPollsReadsHeldAtEachUntilItsRelease) {
  InputState input;
  translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_LEFT), input);
  for (int turn = 0; turn < 3; ++turn) {
    begin_poll_turn(input.held);
    EXPECT_TRUE(take_key(input.held, platform::Key::left)) << turn;
  }
  // Key repeat while held is no new tap.
  translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_LEFT, 1), input);
  translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_LEFT), input);
  begin_poll_turn(input.held);
  EXPECT_FALSE(take_key(input.held, platform::Key::left));
}

TEST(Taps, ATapNoPollOfAWholeTurnAskedForIsForgotten) {
  // Enter tapped during play, where only Escape, Left and Right are polled,
  // must not restart the game at the next death picture.
  InputState input;
  tap(input, SDL_SCANCODE_RETURN);
  begin_poll_turn(input.held);  // a step of play: Enter is not polled
  EXPECT_FALSE(take_key(input.held, platform::Key::escape));
  begin_poll_turn(input.held);  // the death picture's key wait
  EXPECT_FALSE(take_key(input.held, platform::Key::enter));
  // A tap during a wait (between two turns) reaches the next turn's poll,
  // even when the turn before it did not ask for that key.
  begin_poll_turn(input.held);
  tap(input, SDL_SCANCODE_ESCAPE);
  begin_poll_turn(input.held);
  EXPECT_TRUE(take_key(input.held, platform::Key::escape));
}

// ---- pause

SDL_Event button_event(Uint32 type, Uint8 button) {
  SDL_Event event{};
  event.type = type;
  event.cbutton.type = type;
  event.cbutton.button = button;
  event.cbutton.state = type == SDL_CONTROLLERBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  return event;
}

TEST(Pause, PTogglesAndOnlyThePlayerEndsAPauseThePlayerAskedFor) {
  InputState input;
  tap(input, SDL_SCANCODE_P);
  EXPECT_TRUE(input.pause.player);
  // Held P repeats: no flicker between paused and running.
  translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_P, 1), input);
  EXPECT_TRUE(is_paused(input));
  // Switching away and back does not end it.
  translate_event(window_event(SDL_WINDOWEVENT_FOCUS_LOST), input);
  translate_event(window_event(SDL_WINDOWEVENT_FOCUS_GAINED), input);
  EXPECT_TRUE(input.pause.player);
  tap(input, SDL_SCANCODE_P);
  EXPECT_FALSE(is_paused(input));
}

TEST(Pause, TheWindowsPauseEndsWithTheFocusOrWithP) {
  for (Uint8 leaving : {Uint8{SDL_WINDOWEVENT_FOCUS_LOST}, Uint8{SDL_WINDOWEVENT_MINIMIZED}}) {
    InputState input;
    translate_event(window_event(leaving), input);
    EXPECT_TRUE(input.pause.window && !input.pause.player) << int{leaving};
    translate_event(window_event(SDL_WINDOWEVENT_EXPOSED), input);
    EXPECT_TRUE(is_paused(input));
    translate_event(window_event(SDL_WINDOWEVENT_FOCUS_GAINED), input);
    EXPECT_FALSE(is_paused(input));
  }
  InputState input;
  translate_event(window_event(SDL_WINDOWEVENT_FOCUS_LOST), input);
  tap(input, SDL_SCANCODE_P);
  EXPECT_FALSE(is_paused(input));
}

TEST(Pause, EscapeAndTheDesktopsCloseEndThePauseAndEscapeReachesTheGame) {
  InputState input;
  tap(input, SDL_SCANCODE_P);
  tap(input, SDL_SCANCODE_ESCAPE);
  EXPECT_FALSE(is_paused(input));
  begin_poll_turn(input.held);
  EXPECT_TRUE(take_key(input.held, platform::Key::escape));

  tap(input, SDL_SCANCODE_P);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_EQ(translate_event(quit, input), EventOutcome::close_requested);
  EXPECT_FALSE(is_paused(input));
}

TEST(Pause, KeysTappedWhilePausedAreNotKeptButShotsWaitInTheQueue) {
  InputState input;
  tap(input, SDL_SCANCODE_P);
  tap(input, SDL_SCANCODE_LEFT);
  tap(input, SDL_SCANCODE_RETURN);
  translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_RIGHT), input);  // held on through the end
  translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_SPACE), input);
  // The release still becomes a message; the backend holds it until the end.
  EXPECT_EQ(translate_event(key_event(SDL_KEYUP, SDL_SCANCODE_SPACE), input),
            EventOutcome::space_released);
  tap(input, SDL_SCANCODE_P);
  begin_poll_turn(input.held);
  EXPECT_FALSE(take_key(input.held, platform::Key::left));
  EXPECT_FALSE(take_key(input.held, platform::Key::enter));
  EXPECT_TRUE(take_key(input.held, platform::Key::right));
}

// ---- gamepads

SDL_Event stick_event(Sint16 value, Uint8 axis = SDL_CONTROLLER_AXIS_LEFTX) {
  SDL_Event event{};
  event.type = SDL_CONTROLLERAXISMOTION;
  event.caxis.type = SDL_CONTROLLERAXISMOTION;
  event.caxis.axis = axis;
  event.caxis.value = value;
  return event;
}

TEST(Gamepad, DpadAndStickMoveAndTheStickHasADeadZone) {
  InputState input;
  translate_event(button_event(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT), input);
  EXPECT_TRUE(key_is_held(input.held, platform::Key::left));
  translate_event(button_event(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_DPAD_LEFT), input);
  EXPECT_FALSE(key_is_held(input.held, platform::Key::left));

  const struct {
    Sint16 value;
    bool left, right;
  } positions[] = {{stick_dead_zone, false, false},
                   {stick_dead_zone + 1, false, true},
                   {-stick_dead_zone, false, false},
                   {-stick_dead_zone - 1, true, false},
                   {32767, false, true},
                   {-32768, true, false},
                   {0, false, false}};
  for (const auto& p : positions) {
    translate_event(stick_event(p.value), input);
    EXPECT_EQ(key_is_held(input.held, platform::Key::left), p.left) << p.value;
    EXPECT_EQ(key_is_held(input.held, platform::Key::right), p.right) << p.value;
  }
  // The right stick and the triggers move nothing.
  translate_event(stick_event(-32768, SDL_CONTROLLER_AXIS_RIGHTX), input);
  translate_event(stick_event(32767, SDL_CONTROLLER_AXIS_TRIGGERLEFT), input);
  EXPECT_FALSE(key_is_held(input.held, platform::Key::left));
  EXPECT_FALSE(key_is_held(input.held, platform::Key::right));
}

TEST(Gamepad, SouthAndWestFireOnTheirReleaseOthersNever) {
  InputState input;
  for (Uint8 button : {Uint8{SDL_CONTROLLER_BUTTON_A}, Uint8{SDL_CONTROLLER_BUTTON_X}}) {
    EXPECT_EQ(translate_event(button_event(SDL_CONTROLLERBUTTONDOWN, button), input),
              EventOutcome::dropped);
    EXPECT_EQ(translate_event(button_event(SDL_CONTROLLERBUTTONUP, button), input),
              EventOutcome::space_released);
    // A release without a press seen here (held while plugged in) does not.
    EXPECT_EQ(translate_event(button_event(SDL_CONTROLLERBUTTONUP, button), input),
              EventOutcome::dropped);
  }
  for (Uint8 button : {Uint8{SDL_CONTROLLER_BUTTON_B}, Uint8{SDL_CONTROLLER_BUTTON_Y}}) {
    translate_event(button_event(SDL_CONTROLLERBUTTONDOWN, button), input);
    EXPECT_EQ(translate_event(button_event(SDL_CONTROLLERBUTTONUP, button), input),
              EventOutcome::dropped);
  }
}

TEST(Gamepad, APadUnpluggedLetsGoOfWhatItHeldButNotOfTheKeyboard) {
  InputState input;
  translate_event(button_event(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_RIGHT), input);
  translate_event(stick_event(-32768), input);
  translate_event(button_event(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A), input);
  translate_event(key_event(SDL_KEYDOWN, SDL_SCANCODE_LEFT), input);
  SDL_Event removed{};
  removed.type = SDL_CONTROLLERDEVICEREMOVED;
  EXPECT_EQ(translate_event(removed, input), EventOutcome::controller_removed);
  EXPECT_FALSE(key_is_held(input.held, platform::Key::right));
  EXPECT_TRUE(key_is_held(input.held, platform::Key::left));
  // The stick's release of Left, later, leaves the keyboard's hold.
  translate_event(stick_event(0), input);
  EXPECT_TRUE(key_is_held(input.held, platform::Key::left));
  EXPECT_EQ(translate_event(button_event(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_A), input),
            EventOutcome::dropped);
}

// ---- the pad mapping both desktop programs share

PadReading pad_holding(std::uint16_t buttons, int stick_x = 0) {
  PadReading reading;
  reading.buttons = buttons;
  reading.stick_x = stick_x;
  return reading;
}

TEST(PadMapping, StartIsEnterOnAPictureAndThePauseKeyInPlayOrWhilePaused) {
  const PadReading start = pad_holding(pad_start);
  const PadActions on_picture = pad_actions({}, start, GameActivity::picture, false);
  EXPECT_EQ(on_picture.pressed, pad_key_enter);
  EXPECT_FALSE(on_picture.toggle_pause);
  const PadActions in_play = pad_actions({}, start, GameActivity::play, false);
  const PadActions while_paused = pad_actions({}, start, GameActivity::picture, true);
  for (const PadActions& pausing : {in_play, while_paused}) {
    EXPECT_TRUE(pausing.toggle_pause);
    EXPECT_EQ(pausing.pressed, 0);
  }
  // Held on from play into a picture, Start is no Enter there; its release
  // lets go of Enter whatever it meant.
  EXPECT_EQ(pad_actions(start, start, GameActivity::picture, false).pressed, 0);
  const PadActions let_go = pad_actions(start, {}, GameActivity::picture, false);
  EXPECT_EQ(let_go.released, pad_key_enter);
  EXPECT_FALSE(let_go.toggle_pause);
}

TEST(PadMapping, FireOnReleaseOnlyAndBackIsEscapeThatEndsAPause) {
  const PadReading both = pad_holding(pad_a | pad_x);
  EXPECT_EQ(pad_actions({}, both, GameActivity::play, false).shots, 0);
  EXPECT_EQ(pad_actions(both, {}, GameActivity::play, false).shots, 2);
  EXPECT_EQ(pad_actions(pad_holding(pad_a), pad_holding(pad_x), GameActivity::play, false).shots,
            1);
  const PadActions back = pad_actions({}, pad_holding(pad_back), GameActivity::play, true);
  EXPECT_TRUE(back.end_pause);
  EXPECT_FALSE(back.toggle_pause);
  EXPECT_EQ(back.pressed, pad_key_escape);
  EXPECT_EQ(pad_actions(pad_holding(pad_back), {}, GameActivity::play, false).released,
            pad_key_escape);
}

TEST(PadMapping, TheStickAndTheDpadHoldTheirKeysSideBySide) {
  // From full left to full right in one reading: one key let go, the other taken.
  const PadActions across =
      pad_actions(pad_holding(0, -32768), pad_holding(0, 32767), GameActivity::play, false);
  EXPECT_EQ(across.released, pad_key_left);
  EXPECT_EQ(across.pressed, pad_key_right);
  // The stick back to the centre while the D-pad holds Left lets go of nothing.
  EXPECT_EQ(pad_actions(pad_holding(pad_dpad_left, -32768), pad_holding(pad_dpad_left, 0),
                        GameActivity::play, false)
                .released,
            0);
}

// ---- the game clock

TEST(PauseClock, PausedTimeIsLeftOutOnceAlsoAcrossTheWrapAndTheClockNeverRunsBack) {
  PauseClock clock;
  EXPECT_EQ(game_time(clock, 1000), 1000u);
  stop_clock(clock, 1000);
  EXPECT_EQ(game_time(clock, 5000), 1000u);
  stop_clock(clock, 3000);  // a second stop changes nothing
  run_clock(clock, 6000);
  EXPECT_EQ(game_time(clock, 6000), 1000u);
  EXPECT_EQ(game_time(clock, 6015), 1015u);
  run_clock(clock, 7000);  // nor does a second run
  EXPECT_EQ(game_time(clock, 7000), 2000u);
  // A pause that ends "before" it began adds nothing.
  stop_clock(clock, 8000);
  run_clock(clock, 7990);
  EXPECT_EQ(game_time(clock, 9000), 4000u);
  stop_clock(clock, 0xFFFFFF00u);
  run_clock(clock, 0x100u);
  EXPECT_EQ(game_time(clock, 0x100u), 0xFFFFFF00u - 5000u);
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
