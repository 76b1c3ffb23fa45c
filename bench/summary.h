// The benchmarks' summary: every figure next to its baseline measured in the
// same run, as a ratio, with its target where it has one.
#pragma once

#include <string>
#include <vector>

namespace bench_summary {

struct Figure {
  std::string title;
  std::string measured;     // benchmark name
  std::string baseline;     // benchmark name of the memory-bound baseline
  double target_ratio = 0;  // at most this many times the baseline (0: none)
  double target_ms = 0;     // under this many milliseconds (0: none)
  // Compared by wall-clock time, for work that other processes do for us
  // (the display server); otherwise by the CPU time of our own thread, which
  // other builds sharing the machine disturb far less.
  bool wall_clock = false;
};

// Runs the benchmarks selected on the command line with a console report,
// then prints the figures' table. Returns non-zero when a benchmark failed.
int run(int argc, char** argv, const std::vector<Figure>& figures);

}  // namespace bench_summary
