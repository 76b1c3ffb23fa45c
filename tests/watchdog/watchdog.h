// Every test binary runs its tests under a watchdog: a test still running
// past its time limit is named as failed and the binary ends at once, so a
// hang points at its test within seconds instead of stalling the whole run.
#pragma once

namespace test {

// The limit of every test unless it says otherwise.
constexpr int default_time_limit_seconds = 10;

// A test that needs another limit says so as its first line; the limit
// counts from the test's start.
void time_limit_seconds(int seconds);

}  // namespace test
