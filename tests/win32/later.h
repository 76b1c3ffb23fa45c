// Something done by another thread after a delay, while the checked thread
// waits inside the backend.
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
