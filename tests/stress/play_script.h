// Driving the whole program on the in-memory platform from the tests: a
// fresh process per start, and a look at every frame it shows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace play_script {

// Back to program start, with the images of image_dir (the directory itself
// is left as it is).
void fresh_process(const std::string& image_dir);

struct Frame {
  std::uint64_t number;  // frames shown so far, this one included
  std::uint32_t time;    // the clock when it was shown
  bool play;             // a frame of play (with the score line), not a screen
};

// Calls `look` at every frame shown from now on, and presses Enter on
// every key wait (intro, death) unless `look` has pressed a key already.
// Counts the key waits answered.
void watch_frames(std::function<void(const Frame&)> look);
int key_waits_answered();

}  // namespace play_script
