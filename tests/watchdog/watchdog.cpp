// The watchdog thread and the listener that arms it for each test, and the
// main function of every test binary.
#include "tests/watchdog/watchdog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The sanitizer build runs every test several times slower than the plain
// one, more so on a busy machine: its limits count three times over, and a
// hang is still named within half a minute.
#if defined(__SANITIZE_ADDRESS__)
constexpr int slowdown = 3;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int slowdown = 3;
#else
constexpr int slowdown = 1;
#endif
#else
constexpr int slowdown = 1;
#endif

struct Watch {
  std::mutex lock;
  bool armed = false;
  std::string test_name;
  Clock::time_point test_start;
  int limit_seconds = test::default_time_limit_seconds;
};
// Never destroyed: the watching thread runs on while the program exits.
Watch& watch = *new Watch;

[[noreturn]] void keep_watch() {
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::lock_guard hold(watch.lock);
    if (!watch.armed ||
        Clock::now() - watch.test_start < std::chrono::seconds(watch.limit_seconds * slowdown)) {
      continue;
    }
    std::printf("[  TIMEOUT ] %s: still running after its limit of %d s\n", watch.test_name.c_str(),
                watch.limit_seconds * slowdown);
    std::fflush(stdout);
    // At once: the hung test holds the main thread, so nothing else would end.
    std::_Exit(1);
  }
}

class WatchdogListener : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& info) override {
    static const bool watching = (std::thread(keep_watch).detach(), true);
    (void)watching;
    const std::lock_guard hold(watch.lock);
    watch.armed = true;
    watch.test_name = std::string(info.test_suite_name()) + "." + info.name();
    watch.test_start = Clock::now();
    watch.limit_seconds = test::default_time_limit_seconds;
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    const std::lock_guard hold(watch.lock);
    watch.armed = false;
  }
};

}  // namespace

void test::time_limit_seconds(int seconds) {
  const std::lock_guard hold(watch.lock);
  watch.limit_seconds = seconds;
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
  return RUN_ALL_TESTS();
}
