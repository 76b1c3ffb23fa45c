#include "shell/app_main.h"

#include <cstdio>

#include "assets/sound_cues.h"
#include "display/display_device.h"
#include "game/frame_step.h"
#include "game/player.h"
#include "platform/platform.h"

namespace {

constexpr const char* window_class_name = "WINCLASS1";
constexpr const char* window_title = "DirectDraw 24-Bit Bitmap Loading";
constexpr int failed_start = 1;

// A start that failed ends the program with a non-zero code and one line
// saying what failed and why, after whatever was created has been released.
int fail_start(const char* what, const char* why) {
  char line[512];
  std::snprintf(line, sizeof line, "marchfire: %s%s", what, why);
  platform::report_fatal(line);
  return failed_start;
}

}  // namespace

std::intptr_t window_proc(const platform::WindowMessage& message) {
  switch (message.kind) {
    case platform::MessageKind::create:
      return 0;
    case platform::MessageKind::destroy:
      platform::post_quit(0);
      return 0;
    case platform::MessageKind::paint:
      platform::validate_window(message);
      return 0;
    case platform::MessageKind::key_up:
      if (message.key_code == platform::key_code_space) {
        fire_player_missile();
        start_cue(cue_shot);
      }
      return 0;
    default:
      return platform::default_window_proc(message);
  }
}

int app_main() {
  if (!platform::register_window_class(window_class_name, window_proc)) {
    return fail_start("cannot register the window class: ", platform::last_error());
  }
  if (!platform::create_window(window_class_name, window_title, platform::frame_width,
                               platform::frame_height)) {
    return fail_start("cannot create the window: ", platform::last_error());
  }
  if (!startup()) {
    shutdown();
    return fail_start(startup_failure(), "");
  }

  platform::WindowMessage message;
  for (;;) {
    if (platform::fetch_message(message)) {
      if (message.kind == platform::MessageKind::quit) break;
      platform::dispatch_message(message);
    }
    run_frame();
  }
  shutdown();
  return message.exit_code;
}
