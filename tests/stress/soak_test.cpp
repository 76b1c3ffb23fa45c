// Random play of the whole program, the short version: a few thousand steps
// in every test run (and under the sanitizers in the sanitizer build).
// scripts/soak.sh runs the long one by setting MARCHFIRE_SOAK_STEPS.
#include "tests/stress/soak.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/core/test_support.h"
#include "tests/watchdog/watchdog.h"

namespace {

std::uint64_t env_number(const char* name, std::uint64_t fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  return std::strtoull(text, nullptr, 10);
}

class SoakTest : public test::GameTest {};

TEST_F(SoakTest, RandomPlayKeepsEveryInvariant) {
  test::time_limit_seconds(60);  // several seconds under the sanitizers
  const std::uint64_t steps = env_number("MARCHFIRE_SOAK_STEPS", 5000);
  const auto seed = static_cast<std::uint32_t>(env_number("MARCHFIRE_SOAK_SEED", 1789));
  const soak::Report report = soak::run(steps, seed, dir_);
  std::printf("soak (seed %u): %s\n", seed, soak::describe(report).c_str());
  EXPECT_EQ(report.violation_count, 0u) << soak::describe(report);
  EXPECT_GE(report.steps, steps);
  // The play must have reached every path it is meant to shake.
  EXPECT_GT(report.enemies_shot, 0u);
  EXPECT_GT(report.waves_cleared, 0u);
  EXPECT_GT(report.deaths, 0u);
  EXPECT_GT(report.restarts, 0u);
  EXPECT_GT(report.runs, 1u);
  EXPECT_GT(report.device_failures, 0u);
}

}  // namespace
