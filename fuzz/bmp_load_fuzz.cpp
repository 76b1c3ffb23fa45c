// libFuzzer entry: every input is a file beside the game, loaded as the
// game loads its pictures.
#include <cstdio>
#include <cstdlib>

#include "fuzz/bmp_load_oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string violation = bmp_load_violation(data, size);
  if (!violation.empty()) {
    std::fprintf(stderr, "bmp_load: %s (input of %zu bytes)\n", violation.c_str(), size);
    std::abort();
  }
  return 0;
}
