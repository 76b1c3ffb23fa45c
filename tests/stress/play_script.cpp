#include "tests/stress/play_script.h"

#include <memory>

#include "display/display_device.h"
#include "game/game_state.h"
#include "game/screens.h"
#include "platform/headless/headless.h"
#include "tests/core/test_support.h"

namespace play_script {

namespace {

struct Watch {
  std::function<void(const Frame&)> look;
  std::size_t texts_seen = 0;
  int polls_since_frame = 0;
  int waits_answered = 0;
};

std::shared_ptr<Watch> watch;

// More polls than one step of play makes (Escape, right, left) with no
// frame between them: the program waits on a screen for a key.
constexpr int polls_of_a_step = 3;

void on_frame() {
  watch->polls_since_frame = 0;
  const auto& texts = headless::text_draws();
  const bool play =
      texts.size() > watch->texts_seen && texts.back().frame + 1 == headless::flip_count();
  watch->texts_seen = texts.size();
  // The key that ended a screen's wait is let go once play runs again.
  if (play && watch->waits_answered > 0) headless::set_key(platform::Key::enter, false);
  watch->look({headless::flip_count(), headless::time(), play});
  headless::at_frame(headless::flip_count() + 1, on_frame);
}

void on_key_poll() {
  if (++watch->polls_since_frame != polls_of_a_step + 1) return;
  if (headless::key_is_set(platform::Key::escape) || headless::key_is_set(platform::Key::enter)) {
    return;
  }
  headless::set_key(platform::Key::enter, true);
  ++watch->waits_answered;
}

}  // namespace

void fresh_process(const std::string& image_dir) {
  test::fresh_process(image_dir);
  watch.reset();
}

void watch_frames(std::function<void(const Frame&)> look) {
  watch = std::make_shared<Watch>();
  watch->look = std::move(look);
  headless::at_frame(1, on_frame);
  headless::on_key_poll(on_key_poll);
}

int key_waits_answered() {
  return watch ? watch->waits_answered : 0;
}

}  // namespace play_script
