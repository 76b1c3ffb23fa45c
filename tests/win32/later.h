// Something done by another thread after a delay, while the checked thread
// waits inside the backend; and a guard that ends a check program that hangs.
#pragma once

#include <windows.h>

#include <functional>

// Runs action on a new thread after delay_ms; wait() joins it.
class Later {
 public:
  Later(DWORD delay_ms, std::function<void()> action);
  ~Later();
  Later(const Later&) = delete;
  Later& operator=(const Later&) = delete;
  void wait();

 private:
  static DWORD WINAPI run(void* self);
  DWORD delay_ms_;
  std::function<void()> action_;
  HANDLE thread_ = nullptr;
};

// Ends the whole program with a failure when a group runs longer than
// limit_ms: a wait that never returns must fail, not hang the test run.
class Watchdog {
 public:
  Watchdog(const char* what, DWORD limit_ms);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  static DWORD WINAPI run(void* self);
  const char* what_;
  DWORD limit_ms_;
  HANDLE finished_ = nullptr;
  HANDLE thread_ = nullptr;
};
