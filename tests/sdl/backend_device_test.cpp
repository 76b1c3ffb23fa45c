// The SDL backend through the seam, on SDL's dummy video and audio drivers:
// a real window, renderer and event queue with no screen behind them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/cue_decoding.h"
#include "platform/sdl/key_events.h"
#include "platform/shared/frame_memory.h"

namespace {

using platform::MessageKind;
using platform::WindowMessage;

std::vector<WindowMessage> delivered;

std::intptr_t recording_proc(const WindowMessage& message) {
  delivered.push_back(message);
  switch (message.kind) {
    case MessageKind::destroy:
      platform::post_quit(0);
      return 0;
    case MessageKind::key_up:
      return 0;
    default:
      return platform::default_window_proc(message);
  }
}

void push_key(Uint32 type, SDL_Scancode scancode, Uint8 repeat = 0) {
  SDL_Event event{};
  event.type = type;
  event.key.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat;
  event.key.keysym.scancode = scancode;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void push_quit() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

std::vector<WindowMessage> drain() {
  std::vector<WindowMessage> got;
  WindowMessage message;
  while (platform::fetch_message(message)) got.push_back(message);
  return got;
}

class SdlBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    delivered.clear();
    ASSERT_TRUE(sdl_backend::start()) << platform::last_error();
  }
  void TearDown() override { sdl_backend::stop(); }

  void open_game_window() {
    ASSERT_TRUE(platform::register_window_class("WINCLASS1", recording_proc));
    ASSERT_TRUE(platform::create_window("WINCLASS1", "DirectDraw 24-Bit Bitmap Loading", 1024, 768))
        << platform::last_error();
  }
};

TEST_F(SdlBackend, WindowCreationDeliversCreateAndShowsTheGamesName) {
  EXPECT_FALSE(platform::create_window("NOSUCHCLASS", "x", 1024, 768));
  open_game_window();
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_EQ(delivered[0].kind, MessageKind::create);
  // The name of the menu entry, not the title the game passes down.
  EXPECT_STREQ(SDL_GetWindowTitle(sdl_backend::game_window()), "Marchfire");
  EXPECT_FALSE(platform::create_window("WINCLASS1", "again", 1024, 768));  // one game window
}

TEST_F(SdlBackend, CloseRequestDestroysTheWindowAndEndsInQuitWithItsCode) {
  open_game_window();
  delivered.clear();
  platform::post_close_request();
  WindowMessage message;
  ASSERT_TRUE(platform::fetch_message(message));
  EXPECT_EQ(message.kind, MessageKind::close);
  platform::dispatch_message(message);
  // The default handling destroyed the window and delivered destroy at once.
  EXPECT_EQ(sdl_backend::game_window(), nullptr);
  ASSERT_EQ(delivered.size(), 2u);
  EXPECT_EQ(delivered[0].kind, MessageKind::close);
  EXPECT_EQ(delivered[1].kind, MessageKind::destroy);
  ASSERT_TRUE(platform::fetch_message(message));
  EXPECT_EQ(message.kind, MessageKind::quit);
  EXPECT_EQ(message.exit_code, 0);
  EXPECT_FALSE(platform::fetch_message(message));

  platform::post_quit(7);
  ASSERT_TRUE(platform::fetch_message(message));
  EXPECT_EQ(message.exit_code, 7);
}

TEST_F(SdlBackend, MessagesAfterTheWindowIsGoneReachNoProcedure) {
  open_game_window();
  platform::post_close_request();
  platform::post_close_request();  // the game's own, after the desktop's
  WindowMessage message;
  ASSERT_TRUE(platform::fetch_message(message));
  platform::dispatch_message(message);
  delivered.clear();
  ASSERT_TRUE(platform::fetch_message(message));
  EXPECT_EQ(message.kind, MessageKind::close);
  platform::dispatch_message(message);  // no second destroy, no second quit
  EXPECT_TRUE(delivered.empty());
  const auto rest = drain();
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0].kind, MessageKind::quit);
}

TEST_F(SdlBackend, SpaceReleasesBecomeMessagesInOrderAndRepeatsNeverFire) {
  open_game_window();
  push_key(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, 1);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, 1);
  push_key(SDL_KEYUP, SDL_SCANCODE_SPACE);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_A);  // no counterpart: dropped
  push_key(SDL_KEYUP, SDL_SCANCODE_A);
  push_quit();
  push_key(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
  push_key(SDL_KEYUP, SDL_SCANCODE_SPACE);
  const auto got = drain();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].kind, MessageKind::key_up);
  EXPECT_EQ(got[0].key_code, platform::key_code_space);
  EXPECT_EQ(got[1].kind, MessageKind::close);
  EXPECT_EQ(got[2].kind, MessageKind::key_up);
}

TEST_F(SdlBackend, KeyPollsSeeHeldKeysAndLeaveSpaceReleasesQueued) {
  open_game_window();
  push_key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
  push_key(SDL_KEYUP, SDL_SCANCODE_SPACE);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER);
  EXPECT_TRUE(platform::key_down(platform::Key::right));
  EXPECT_TRUE(platform::key_down(platform::Key::enter));
  EXPECT_FALSE(platform::key_down(platform::Key::left));
  EXPECT_FALSE(platform::key_down(platform::Key::escape));
  push_key(SDL_KEYUP, SDL_SCANCODE_RIGHT);
  EXPECT_FALSE(platform::key_down(platform::Key::right));
  // A long pause keeps taking events too, and still queues the release.
  push_key(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
  push_key(SDL_KEYUP, SDL_SCANCODE_SPACE);
  platform::sleep_ms(20);
  const auto got = drain();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].kind, MessageKind::key_up);
  EXPECT_EQ(got[1].kind, MessageKind::key_up);
}

TEST_F(SdlBackend, ARestEndsBeforeItsDeadlineAndAKeyWaitsRestIsShort) {
  open_game_window();
  // The quickest of several shows what the backend asks of the system; a
  // loaded machine only ever wakes it later. The pacing's own loop then
  // ends within a millisecond of its deadline.
  for (std::uint32_t ms_left : {1u, 2u, 7u, 15u}) {
    std::vector<double> took;
    for (int i = 0; i < 9; ++i) {
      const Uint64 start = SDL_GetPerformanceCounter();
      platform::rest(ms_left);
      took.push_back(1000.0 * static_cast<double>(SDL_GetPerformanceCounter() - start) /
                     static_cast<double>(SDL_GetPerformanceFrequency()));
    }
    std::sort(took.begin(), took.end());
    EXPECT_LT(took.front(), ms_left) << "a rest of at most " << ms_left << " ms";
    // It does rest: the time goes back to the system rather than to a spin.
    EXPECT_GT(took.front(), ms_left == 1 ? 0.1 : ms_left - 1.5) << ms_left;
  }
  const Uint64 start = SDL_GetTicks64();
  platform::rest(platform::no_deadline);
  EXPECT_LT(SDL_GetTicks64() - start, 200u);
}

// ---- taps, pause and gamepads, with events arriving faster than a step

// One step of play as the game takes it: its polls, then its pacing.
struct StepPolls {
  bool escape, left, right;
};
StepPolls play_step() {
  StepPolls polls{platform::key_down(platform::Key::escape),
                  platform::key_down(platform::Key::left),
                  platform::key_down(platform::Key::right)};
  platform::rest(1);
  return polls;
}

TEST_F(SdlBackend, TapsBetweenTwoStepsAreSeenOnceAtTheNext) {
  open_game_window();
  play_step();
  push_key(SDL_KEYDOWN, SDL_SCANCODE_LEFT);
  push_key(SDL_KEYUP, SDL_SCANCODE_LEFT);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT);
  push_key(SDL_KEYUP, SDL_SCANCODE_RIGHT);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_RETURN);  // play never asks for Enter
  push_key(SDL_KEYUP, SDL_SCANCODE_RETURN);
  const StepPolls first = play_step();
  EXPECT_TRUE(first.left);
  EXPECT_TRUE(first.right);
  EXPECT_FALSE(first.escape);
  const StepPolls second = play_step();
  EXPECT_FALSE(second.left);
  EXPECT_FALSE(second.right);
  // The Enter of play is gone by the time a picture waits for a key.
  platform::rest(platform::no_deadline);
  EXPECT_FALSE(platform::key_down(platform::Key::escape));
  EXPECT_FALSE(platform::key_down(platform::Key::enter));
}

TEST_F(SdlBackend, EscapeTappedDuringAScreensPauseEndsTheKeyWaitAfterIt) {
  open_game_window();
  play_step();
  push_key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE);
  push_key(SDL_KEYUP, SDL_SCANCODE_ESCAPE);
  platform::sleep_ms(30);  // the half second before the death picture
  EXPECT_TRUE(platform::key_down(platform::Key::escape));
  EXPECT_FALSE(platform::key_down(platform::Key::enter));
  platform::rest(platform::no_deadline);
  EXPECT_FALSE(platform::key_down(platform::Key::escape));
}

TEST_F(SdlBackend, PauseStopsTheClockHoldsShotsAndKeysAndShowsItsLineOverTheFrame) {
  open_game_window();
  ASSERT_TRUE(platform::display_open()) << platform::last_error();
  // A frame whose pixels differ by position, as the game's would.
  platform::LockedSurface surface;
  ASSERT_TRUE(platform::lock_back_surface(surface));
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) surface.pixels[y * 1024 + x] = (x * 7 + y * 13) & 0x3F3F3F;
  }
  ASSERT_TRUE(platform::unlock_back_surface());
  const std::vector<std::uint32_t> composed(frame_memory::pixels(),
                                            frame_memory::pixels() + 1024 * 768);
  ASSERT_TRUE(platform::flip());

  play_step();
  push_key(SDL_KEYDOWN, SDL_SCANCODE_P);
  push_key(SDL_KEYUP, SDL_SCANCODE_P);
  platform::rest(10);
  ASSERT_TRUE(sdl_backend::paused());
  const std::uint32_t stopped_at = platform::tick_ms();

  push_key(SDL_KEYDOWN, SDL_SCANCODE_LEFT);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
  push_key(SDL_KEYUP, SDL_SCANCODE_SPACE);
  const Uint64 real_start = SDL_GetTicks64();
  for (int turn = 0; turn < 500 && SDL_GetTicks64() - real_start < 60; ++turn) {
    platform::rest(15);
  }
  ASSERT_GE(SDL_GetTicks64() - real_start, 60u);
  EXPECT_EQ(platform::tick_ms(), stopped_at);
  EXPECT_FALSE(platform::key_down(platform::Key::left));
  EXPECT_TRUE(drain().empty());

  // The line is laid over the picture in the window, never into the frame
  // memory that the game reads back for its hits.
  SDL_Renderer* renderer = SDL_GetRenderer(sdl_backend::game_window());
  ASSERT_NE(renderer, nullptr);
  sdl_backend::redraw_display();
  int out_w = 0, out_h = 0;
  ASSERT_EQ(SDL_GetRendererOutputSize(renderer, &out_w, &out_h), 0);
  ASSERT_EQ(out_w, 1024) << "the dummy window is expected at the frame's size";
  std::vector<std::uint32_t> band(1024 * 60);
  const SDL_Rect band_rect{0, 450, 1024, 60};
  ASSERT_EQ(SDL_RenderReadPixels(renderer, &band_rect, SDL_PIXELFORMAT_RGB888, band.data(), 4096),
            0)
      << SDL_GetError();
  const auto white = std::count_if(band.begin(), band.end(),
                                   [](std::uint32_t p) { return (p & 0xFFFFFF) == 0xFFFFFF; });
  EXPECT_GT(white, 500) << "no pause line in the band";
  EXPECT_TRUE(std::equal(composed.begin(), composed.end(), frame_memory::pixels()));

  // Escape ends the pause and is seen at the next poll; the held shot
  // arrives after it, and the clock runs on from where it stopped.
  push_key(SDL_KEYUP, SDL_SCANCODE_LEFT);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE);
  platform::rest(1);
  EXPECT_FALSE(sdl_backend::paused());
  EXPECT_TRUE(platform::key_down(platform::Key::escape));
  const auto got = drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].kind, MessageKind::key_up);
  EXPECT_LT(platform::tick_ms() - stopped_at, 40u);
}

// A pad plugged in while the game runs, from SDL's virtual joystick: the
// standard buttons and axes make SDL map it as a game controller.
class VirtualPad {
 public:
  VirtualPad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "virtual test pad";
    device_index = SDL_JoystickAttachVirtualEx(&desc);
    if (device_index >= 0) joystick = SDL_JoystickOpen(device_index);
  }
  ~VirtualPad() { unplug(); }
  bool ready() const { return joystick != nullptr; }
  void unplug() {
    if (joystick == nullptr) return;
    const int index = device_index;
    SDL_JoystickClose(joystick);
    joystick = nullptr;
    SDL_JoystickDetachVirtual(index);
  }
  void button(SDL_GameControllerButton which, bool down) {
    SDL_JoystickSetVirtualButton(joystick, which, down ? 1 : 0);
    settle();
  }
  void stick_x(Sint16 value) {
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, value);
    settle();
  }
  void tap(SDL_GameControllerButton which) {
    button(which, true);
    button(which, false);
  }
  int device_index = -1;

 private:
  // SDL reads the virtual pad's state when it takes its events.
  static void settle() { SDL_JoystickUpdate(); }
  SDL_Joystick* joystick = nullptr;
};

// Takes events until the backend has opened `count` pads, within a bound.
bool pads_become(int count) {
  for (int turn = 0; turn < 200; ++turn) {
    platform::rest(platform::no_deadline);
    if (sdl_backend::open_gamepad_count() == count) return true;
  }
  return false;
}

TEST_F(SdlBackend, AVirtualPadMovesFiresStartsPausesAndQuits) {
  // The dummy window never has the keyboard focus, and SDL keeps a pad's
  // events from a program without it unless told otherwise.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  open_game_window();
  VirtualPad pad;
  ASSERT_TRUE(pad.ready()) << SDL_GetError();
  ASSERT_TRUE(SDL_IsGameController(pad.device_index)) << "not mapped as a game controller";
  ASSERT_TRUE(pads_become(1)) << "the plugged-in pad was not opened";

  // Start on a picture that waits for a key is Enter.
  platform::rest(platform::no_deadline);
  pad.tap(SDL_CONTROLLER_BUTTON_START);
  EXPECT_FALSE(platform::key_down(platform::Key::escape));
  EXPECT_TRUE(platform::key_down(platform::Key::enter));

  // In play: the D-pad and the stick move; south and west fire on release,
  // in order with the keyboard's Space.
  play_step();
  pad.button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  EXPECT_TRUE(play_step().left);
  pad.button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
  pad.stick_x(30000);
  const StepPolls pushed = play_step();
  EXPECT_TRUE(pushed.right);
  EXPECT_FALSE(pushed.left);
  pad.stick_x(stick_dead_zone / 2);
  EXPECT_FALSE(play_step().right);

  pad.button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_TRUE(drain().empty());  // a press fires nothing
  pad.button(SDL_CONTROLLER_BUTTON_A, false);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
  push_key(SDL_KEYUP, SDL_SCANCODE_SPACE);
  pad.tap(SDL_CONTROLLER_BUTTON_X);
  platform::rest(1);
  const auto shots = drain();
  ASSERT_EQ(shots.size(), 3u);
  for (const WindowMessage& shot : shots) {
    EXPECT_EQ(shot.kind, MessageKind::key_up);
    EXPECT_EQ(shot.key_code, platform::key_code_space);
  }

  // Start in play pauses and resumes; Back is Escape.
  pad.tap(SDL_CONTROLLER_BUTTON_START);
  platform::rest(1);
  EXPECT_TRUE(sdl_backend::paused());
  pad.tap(SDL_CONTROLLER_BUTTON_START);
  platform::rest(1);
  EXPECT_FALSE(sdl_backend::paused());
  pad.tap(SDL_CONTROLLER_BUTTON_BACK);
  EXPECT_TRUE(play_step().escape);

  pad.unplug();
  EXPECT_TRUE(pads_become(0)) << "the unplugged pad was not let go of";
}

TEST_F(SdlBackend, ADesktopCloseReadsAsEscapeUntilTheLoopTakesIt) {
  open_game_window();
  push_quit();
  EXPECT_TRUE(platform::key_down(platform::Key::escape));
  EXPECT_TRUE(platform::key_down(platform::Key::escape));  // still queued, still Escape
  WindowMessage message;
  ASSERT_TRUE(platform::fetch_message(message));
  EXPECT_EQ(message.kind, MessageKind::close);
  platform::dispatch_message(message);
  // With the window gone no key can ever arrive: a key wait must still end.
  EXPECT_TRUE(platform::key_down(platform::Key::escape));
  EXPECT_FALSE(platform::key_down(platform::Key::enter));
}

TEST_F(SdlBackend, FrameStaysReadableAfterUnlockAndFlipAndTextIsBlendedIn) {
  open_game_window();
  platform::LockedSurface surface;
  EXPECT_FALSE(platform::lock_back_surface(surface));  // no display yet
  ASSERT_TRUE(platform::display_open()) << platform::last_error();
  ASSERT_TRUE(platform::lock_back_surface(surface));
  ASSERT_NE(surface.pixels, nullptr);
  ASSERT_GE(surface.pitch, 4096);
  ASSERT_EQ(surface.pitch % 4, 0);
  const int stride = surface.pitch / 4;
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) surface.pixels[y * stride + x] = 0x00126F06;
  }
  EXPECT_FALSE(platform::draw_text("SCORE:  0", 924, 0, 0xFFFFFF));  // not while locked
  EXPECT_FALSE(platform::flip());
  ASSERT_TRUE(platform::unlock_back_surface());
  EXPECT_FALSE(platform::unlock_back_surface());  // nothing left to unlock
  ASSERT_TRUE(platform::draw_text("SCORE:  1234", 924, 0, 0xFFFFFF)) << platform::last_error();
  ASSERT_TRUE(platform::flip()) << platform::last_error();

  // Read back after the flip, as the game's colour probe does.
  int text_pixels = 0;
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) {
      const std::uint32_t pixel = surface.pixels[y * stride + x];
      ASSERT_EQ(pixel >> 24, 0u) << x << "," << y;
      if (pixel == 0x00126F06) continue;
      ASSERT_GE(x, 924) << "text outside its place at " << x << "," << y;
      ASSERT_LT(y, 24) << "text outside its place at " << x << "," << y;
      if (pixel == 0x00FFFFFF) ++text_pixels;
    }
  }
  EXPECT_GT(text_pixels, 40);  // white glyph cores, not just a smudge

  // Text in a colour: COLORREF is 0x00BBGGRR, the frame 0x00RRGGBB.
  ASSERT_TRUE(platform::lock_back_surface(surface));
  std::memset(surface.pixels, 0, static_cast<std::size_t>(surface.pitch) * 768);
  ASSERT_TRUE(platform::unlock_back_surface());
  ASSERT_TRUE(platform::draw_text("RED", 10, 10, 0x000000FF));
  int red = 0;
  for (int i = 0; i < stride * 768; ++i) {
    ASSERT_EQ(surface.pixels[i] & 0xFF00FFFF, 0u);
    red += surface.pixels[i] == 0x00FF0000;
  }
  EXPECT_GT(red, 10);
  // Far outside the frame: nothing drawn, nothing broken.
  EXPECT_TRUE(platform::draw_text("SCORE:  0", 2000000000, -2000000000, 0xFFFFFF));
  EXPECT_TRUE(platform::draw_text("", 0, 0, 0xFFFFFF));

  platform::display_close();
  platform::display_close();  // safe to repeat
  EXPECT_FALSE(platform::lock_back_surface(surface));
  EXPECT_FALSE(platform::draw_text("x", 0, 0, 0xFFFFFF));
}

TEST_F(SdlBackend, AFrameComposedAfterTheWindowWentIsNotShown) {
  open_game_window();
  ASSERT_TRUE(platform::display_open());
  platform::post_close_request();
  WindowMessage message;
  ASSERT_TRUE(platform::fetch_message(message));
  platform::dispatch_message(message);
  platform::LockedSurface surface;
  ASSERT_TRUE(platform::lock_back_surface(surface));  // memory is still there
  surface.pixels[0] = 0x00123456;
  EXPECT_FALSE(platform::unlock_back_surface());
  EXPECT_FALSE(platform::flip());
  EXPECT_EQ(surface.pixels[0], 0x00123456u);
  platform::display_close();
}

TEST(SdlStart, RefusesToPlayWhereNothingCanBeSeen) {
  // No desktop and no driver asked for: SDL would fall back to drawing
  // nowhere, and the game would wait for ever for a key.
  const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
  std::vector<std::string> saved;
  for (const char* name : names) {
    const char* value = std::getenv(name);
    saved.push_back(value != nullptr ? value : std::string(1, '\0'));
    unsetenv(name);
  }
  const bool started = sdl_backend::start();
  const std::string driver = started ? SDL_GetCurrentVideoDriver() : "";
  const std::string error = platform::last_error();
  sdl_backend::stop();
  for (std::size_t i = 0; i < saved.size(); ++i) {
    if (saved[i] != std::string(1, '\0')) setenv(names[i], saved[i].c_str(), 1);
  }
  if (started) {
    // A real screen without a desktop (the console's own display) will do.
    EXPECT_NE(driver, "offscreen");
    EXPECT_NE(driver, "dummy");
  } else {
    EXPECT_NE(error.find("display"), std::string::npos) << error;
  }
}

TEST_F(SdlBackend, TicksAreMillisecondsAndSleepWaitsAtLeastItsTime) {
  const std::uint32_t before = platform::tick_ms();
  platform::sleep_ms(60);
  const std::uint32_t slept = platform::tick_ms() - before;
  EXPECT_GE(slept, 60u);
  EXPECT_LT(slept, 5000u);
  platform::sleep_ms(0);
}

// ---- files

class Files : public ::testing::Test {
 protected:
  std::string dir;
  void SetUp() override {
    char pattern[] = "/tmp/marchfire-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
};

TEST_F(Files, BesideTheProgramComesBeforeTheWorkingDirectory) {
  const std::string beside = sdl_backend::program_directory();
  ASSERT_FALSE(beside.empty());
  const std::string name = "marchfire-test-" + std::to_string(getpid()) + ".dat";
  write(beside + name, "beside");
  write(dir + "/" + name, "working");
  write(dir + "/only-here.dat", "working only");
  char old_cwd[4096];
  ASSERT_NE(getcwd(old_cwd, sizeof old_cwd), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);

  char buffer[64] = {};
  platform::FileHandle file = platform::file_open(name.c_str());
  ASSERT_NE(file, platform::invalid_file);
  EXPECT_EQ(platform::file_read(file, buffer, sizeof buffer), 6);
  EXPECT_EQ(std::string(buffer, 6), "beside");
  platform::file_close(file);

  file = platform::file_open("only-here.dat");
  ASSERT_NE(file, platform::invalid_file);
  EXPECT_EQ(platform::file_read(file, buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "work");
  platform::file_close(file);

  ASSERT_EQ(chdir(old_cwd), 0);
  std::remove((beside + name).c_str());
}

TEST_F(Files, MissingFilesAndPathsAreRefusedWithAReason) {
  EXPECT_EQ(platform::file_open("no-such-file-anywhere.bmp"), platform::invalid_file);
  EXPECT_NE(std::string(platform::last_error()).find("no-such-file-anywhere.bmp"),
            std::string::npos);
  write(dir + "/secret.dat", "x");
  for (const std::string& name : {dir + "/secret.dat", std::string("../secret.dat"),
                                  std::string(""), std::string("."), std::string("..")}) {
    EXPECT_EQ(platform::file_open(name.c_str()), platform::invalid_file) << name;
  }
  EXPECT_EQ(platform::file_open(nullptr), platform::invalid_file);
}

TEST_F(Files, ReadSeekAndCloseWorkOnlyOnOpenFiles) {
  char old_cwd[4096];
  ASSERT_NE(getcwd(old_cwd, sizeof old_cwd), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  write(dir + "/data.bin", "0123456789");
  const platform::FileHandle file = platform::file_open("data.bin");
  ASSERT_NE(file, platform::invalid_file);
  char buffer[16] = {};
  EXPECT_EQ(platform::file_seek(file, 3, platform::SeekFrom::begin), 3);
  EXPECT_EQ(platform::file_read(file, buffer, 2), 2);
  EXPECT_EQ(std::string(buffer, 2), "34");
  EXPECT_EQ(platform::file_seek(file, 2, platform::SeekFrom::current), 7);
  EXPECT_EQ(platform::file_seek(file, -1, platform::SeekFrom::end), 9);
  EXPECT_EQ(platform::file_read(file, buffer, 16), 1);  // short read at the end
  EXPECT_EQ(platform::file_read(file, buffer, 16), 0);
  EXPECT_EQ(platform::file_seek(file, -100, platform::SeekFrom::begin), -1);
  platform::file_close(file);
  // A closed handle, or a number that was never a handle (standard input),
  // reads nothing.
  EXPECT_EQ(platform::file_read(file, buffer, 4), -1);
  EXPECT_EQ(platform::file_seek(file, 0, platform::SeekFrom::begin), -1);
  EXPECT_EQ(platform::file_read(0, buffer, 4), -1);
  platform::file_close(file);  // harmless
  // A directory of that name is not a file.
  ASSERT_EQ(mkdir((dir + "/folder.bmp").c_str(), 0700), 0);
  EXPECT_EQ(platform::file_open("folder.bmp"), platform::invalid_file);
  ASSERT_EQ(chdir(old_cwd), 0);
}

// ---- sound

std::vector<std::uint8_t> wave_file(int rate, int bits, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> w;
  auto put = [&w](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) w.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  const auto text = [&w](const char* s) {
    for (int i = 0; i < 4; ++i) w.push_back(static_cast<std::uint8_t>(s[i]));
  };
  text("RIFF");
  put(36 + static_cast<std::uint32_t>(data.size()), 4);
  text("WAVE");
  text("fmt ");
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(rate, 4);
  put(rate * bits / 8, 4);
  put(bits / 8, 2);
  put(bits, 2);
  text("data");
  put(static_cast<std::uint32_t>(data.size()), 4);
  w.insert(w.end(), data.begin(), data.end());
  return w;
}

TEST(CueDecoding, ConvertsToTheDeviceFormatAndKeepsTheSound) {
  // 0.1 s of an 8-bit square wave at 11025 Hz.
  std::vector<std::uint8_t> data(1103);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = (i / 20) % 2 ? 0xE0 : 0x20;
  const auto wave = wave_file(11025, 8, data);
  SDL_AudioSpec device{};
  device.freq = 44100;
  device.format = AUDIO_S16SYS;
  device.channels = 2;
  const auto samples = decode_cue({wave.data(), wave.size()}, device);
  // Four times the rate, two channels, two bytes: 16 times the bytes, give
  // or take the resampler's edges.
  ASSERT_GT(samples.size(), data.size() * 16 * 9 / 10);
  ASSERT_LT(samples.size(), data.size() * 16 * 11 / 10);
  ASSERT_EQ(samples.size() % 4, 0u);
  std::int16_t loudest = 0;
  for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
    std::int16_t s;
    std::memcpy(&s, &samples[i], 2);
    loudest = std::max<std::int16_t>(loudest, static_cast<std::int16_t>(std::abs(s)));
  }
  EXPECT_GT(loudest, 10000);
}

TEST(CueDecoding, RefusesWhatIsNoWaveFile) {
  SDL_AudioSpec device{};
  device.freq = 44100;
  device.format = AUDIO_S16SYS;
  device.channels = 1;
  const std::uint8_t junk[] = "RIFF....WAVEjunkjunkjunk";
  EXPECT_TRUE(decode_cue({junk, sizeof junk}, device).empty());
  EXPECT_TRUE(decode_cue({nullptr, 0}, device).empty());
  auto truncated = wave_file(11025, 8, std::vector<std::uint8_t>(100, 0x80));
  truncated.resize(30);
  EXPECT_TRUE(decode_cue({truncated.data(), truncated.size()}, device).empty());
}

TEST(CueDecoding, EveryEmbeddedCueDecodes) {
  SDL_AudioSpec device{};
  device.freq = 48000;
  device.format = AUDIO_F32SYS;
  device.channels = 2;
  for (int id = 105; id <= 111; ++id) {
    const EmbeddedBlob cue = embedded_cue(id);
    ASSERT_NE(cue.data, nullptr) << id;
    const auto samples = decode_cue(cue, device);
    EXPECT_FALSE(samples.empty()) << id << ": " << platform::last_error();
    EXPECT_EQ(samples.size() % 8, 0u) << id;
  }
}

TEST_F(SdlBackend, PlayingCuesOnTheDummyDeviceIsHarmless) {
  for (int id : {104, 105, 108, 111, 112, -1}) platform::play_cue(id);
  platform::play_cue(108);
  platform::play_cue(108);
}

}  // namespace
