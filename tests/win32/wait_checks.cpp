// The game's waits: a key wait keeps the window answering and leaves the
// Space releases queued in order; a step's pacing ends 15 ms after its start,
// on time, without burning the processor.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "check.h"
#include "check_window.h"
#include "later.h"
#include "platform/platform.h"
#include "platform/win32/precise_wait.h"
#include "platform/win32/win32_globals.h"
#include "step_pacing.h"

namespace {

constexpr std::uint32_t step_ms = 15;

double thread_cpu_ms() {
  FILETIME created, ended, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
  const auto ms = [](const FILETIME& time) {
    return ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
           10000.0;
  };
  return ms(kernel) + ms(user);
}

// Sends to the window from another thread, as the desktop does, all through
// a key wait of about six seconds: longer than the five after which the
// system marks a window that takes no messages as not responding.
void check_key_wait_answers(HWND window) {
  std::atomic<bool> wait_over{false};
  std::atomic<int> asked{0};
  std::atomic<int> answered{0};
  std::atomic<bool> hung{true};
  Later prober(0, [&] {
    const DWORD start = GetTickCount();
    int posted = 0;
    while (GetTickCount() - start < 6000) {
      DWORD_PTR result = 0;
      ++asked;
      if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) ++answered;
      // Three Space releases, told apart by their repeat counts.
      if (posted < 3 && GetTickCount() - start > 1000u * (posted + 1)) {
        ++posted;
        post_space_release(window, posted);
      }
      Sleep(250);
    }
    hung = IsHungAppWindow(window) != FALSE;
    wait_over = true;
  });

  const DWORD start = GetTickCount();
  const double cpu_before = thread_cpu_ms();
  while (!wait_over) platform::rest(platform::no_deadline);
  const double cpu_share = (thread_cpu_ms() - cpu_before) * 100.0 / (GetTickCount() - start);
  prober.wait();
  std::printf("key wait: %d of %d messages sent by another thread answered; %.1f %% of a core\n",
              answered.load(), asked.load(), cpu_share);
  check(asked >= 10 && answered == asked, "every message sent during the key wait is answered");
  check(!hung, "after six seconds of key wait the window is not marked as not responding");
  check(cpu_share < 5.0,
        "the key wait hands its time back (" + std::to_string(cpu_share) + " % of a core)");

  check(take_release_counts(3) == std::vector<std::uintptr_t>{1, 2, 3},
        "the Space releases queued during the wait reach the loop afterwards, in order");
}

struct PacingRecord {
  int early = 0;
  int late = 0;
  DWORD longest = 0;
};

// One step of the core's pacing: a few milliseconds of work, then rest with
// the time still owed until 15 ms have passed (or, for the comparison, spin
// without resting). Timed on the system's tick, as the game's clock is.
void run_step(bool resting, PacingRecord& record) {
  const DWORD system_start = GetTickCount();
  const std::uint32_t start = platform::tick_ms();
  // The work is timed on the performance counter: the tick itself moves in
  // steps of up to 16 ms, and spinning on it would be most of the step.
  LARGE_INTEGER frequency, work_start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&work_start);
  do {
    QueryPerformanceCounter(&now);
  } while ((now.QuadPart - work_start.QuadPart) * 1000 < 3 * frequency.QuadPart);
  finish_step(start, resting);
  const DWORD took = GetTickCount() - system_start;
  if (took < step_ms) ++record.early;
  if (took > step_ms + 1) ++record.late;
  if (took > record.longest) record.longest = took;
}

// A loaded machine keeps any thread from running now and then, spinning or
// not; resting steps are compared with spinning ones taken in turn with
// them, under the same load, so that only lateness the rest adds counts.
void check_pacing() {
  constexpr int steps = 200;
  PacingRecord resting;
  PacingRecord spinning;
  double resting_cpu_ms = 0;
  DWORD resting_wall_ms = 0;
  for (int step = 0; step < steps; ++step) {
    const DWORD wall_before = GetTickCount();
    const double cpu_before = thread_cpu_ms();
    run_step(true, resting);
    resting_cpu_ms += thread_cpu_ms() - cpu_before;
    resting_wall_ms += GetTickCount() - wall_before;
    if (step % 4 == 0) run_step(false, spinning);
  }
  const double cpu_share = resting_cpu_ms * 100.0 / resting_wall_ms;
  std::printf(
      "pacing: %d resting steps of 3 ms work, %d ended late (longest %lu ms), %.1f %% of a core; "
      "%d spinning steps, %d ended late (longest %lu ms); high-resolution timer: %s\n",
      steps, resting.late, static_cast<unsigned long>(resting.longest), cpu_share, steps / 4,
      spinning.late, static_cast<unsigned long>(spinning.longest),
      win32::has_high_resolution_timer() ? "yes" : "no");
  check(resting.early == 0,
        "no step ends before 15 ms (" + std::to_string(resting.early) + " did)");
  // A rest that overshoots its deadline makes nearly every step late, on
  // any machine; load makes some of both kinds late, and woken threads more
  // than running ones.
  const double resting_on_time = (steps - resting.late) * 100.0 / steps;
  const double spinning_on_time = (steps / 4 - spinning.late) * 100.0 / (steps / 4);
  check(resting_on_time * 8 >= spinning_on_time,
        "resting steps end within 16 ms of their start at least an eighth as often as spinning "
        "ones (" +
            std::to_string(resting_on_time) + " % against " + std::to_string(spinning_on_time) +
            " %)");
  // 3 ms of work in 15 are 20 %; spinning out the rest would be 100 %.
  check(!win32::has_high_resolution_timer() || cpu_share < 50.0,
        "with a high-resolution timer the pacing sleeps most of its wait (" +
            std::to_string(cpu_share) + " % of a core)");
}

}  // namespace

void check_waits() {
  begin_group("waits");
  group_time_limit_seconds(120);
  HWND window = open_check_window("MARCHFIRE_WAIT_CHECKS", "wait checks", 320, 200);
  if (window == nullptr) return;
  check_key_wait_answers(window);
  check_pacing();
  close_check_window();
}
