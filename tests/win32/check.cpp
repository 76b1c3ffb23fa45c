#include "check.h"

#include <cstdio>

namespace {

int passed = 0;
int failed = 0;
const char* current_group = "";

}  // namespace

void check(bool ok, const std::string& what) {
  if (ok) {
    ++passed;
    return;
  }
  ++failed;
  std::printf("FAILED [%s] %s\n", current_group, what.c_str());
  std::fflush(stdout);
}

void begin_group(const char* name) {
  current_group = name;
  std::printf("-- %s\n", name);
  std::fflush(stdout);
}

int failed_checks() {
  return failed;
}

void print_summary() {
  std::printf("%d passed, %d failed\n", passed, failed);
  std::fflush(stdout);
}
