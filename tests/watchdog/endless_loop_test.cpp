// The watchdog's own proof, run by the CTest watchdog_names_a_hang: this test
// never ends, so the watchdog must name it and end the binary.
#include <gtest/gtest.h>

#include "tests/watchdog/watchdog.h"

TEST(WatchdogProof, AnEndlessLoopIsNamed) {
  test::time_limit_seconds(1);
  volatile bool forever = true;
  while (forever) {
  }
}
