#include "later.h"

#include <cstdio>

Later::Later(DWORD delay_ms, std::function<void()> action)
    : delay_ms_(delay_ms), action_(std::move(action)) {
  thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
}

Later::~Later() {
  wait();
}

void Later::wait() {
  if (thread_ == nullptr) return;
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
}

DWORD WINAPI Later::run(void* self) {
  auto* later = static_cast<Later*>(self);
  Sleep(later->delay_ms_);
  later->action_();
  return 0;
}

Watchdog::Watchdog(const char* what, DWORD limit_ms) : what_(what), limit_ms_(limit_ms) {
  finished_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
}

Watchdog::~Watchdog() {
  SetEvent(finished_);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  CloseHandle(finished_);
}

DWORD WINAPI Watchdog::run(void* self) {
  auto* watchdog = static_cast<Watchdog*>(self);
  if (WaitForSingleObject(watchdog->finished_, watchdog->limit_ms_) == WAIT_OBJECT_0) return 0;
  std::printf("FAILED [%s] still waiting after %lu ms: the wait does not end\n", watchdog->what_,
              static_cast<unsigned long>(watchdog->limit_ms_));
  std::fflush(stdout);
  ExitProcess(3);
}
