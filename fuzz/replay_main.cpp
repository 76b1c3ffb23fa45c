// Replays files through the loader's checks, one line per file:
//   bmp_load_replay FILE...
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/bmp_load_oracle.h"

int main(int argc, char** argv) {
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "%s: cannot read\n", argv[i]);
      ++failures;
      continue;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    const std::string violation = bmp_load_violation(bytes.data(), bytes.size());
    std::printf("%s: %s\n", argv[i], violation.empty() ? "ok" : violation.c_str());
    failures += !violation.empty();
  }
  bmp_load_oracle_cleanup();
  return failures == 0 ? 0 : 1;
}
