// Long random play of the whole program on the in-memory platform, with the
// invariants a player relies on checked after every frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soak {

struct Report {
  std::uint64_t steps = 0;           // frames of play presented
  std::uint64_t frames = 0;          // every frame presented, screens included
  std::uint64_t runs = 0;            // starts of the program
  std::uint64_t enemies_shot = 0;    // by the player's missiles, from the score
  std::uint64_t shots = 0;           // Space releases queued
  std::uint64_t deaths = 0;          // death screens shown
  std::uint64_t restarts = 0;        // Enter on a death screen
  std::uint64_t waves_cleared = 0;   // level screens shown
  std::uint64_t games_finished = 0;  // fourth waves cleared
  std::uint64_t forced_clears = 0;
  std::uint64_t forced_deaths = 0;
  std::uint64_t device_failures = 0;  // lock, unlock, flip or text refusals injected
  // Pictures after a fourth wave that a refusal kept off the screen: the
  // game then plays on past the last level until the next wave or restart.
  std::uint64_t last_wave_pictures_lost = 0;
  std::uint64_t quits = 0;       // runs ended by Escape or the desktop
  std::uint64_t tick_wraps = 0;  // runs whose clock started just before the wrap
  std::uint64_t violation_count = 0;
  std::vector<std::string> violations;  // the first few, with where they happened
};

// Plays until `steps` frames of play were presented, starting the program
// again whenever it ends. The game's images must lie in image_dir.
Report run(std::uint64_t steps, std::uint32_t seed, const std::string& image_dir);

std::string describe(const Report& report);

}  // namespace soak
