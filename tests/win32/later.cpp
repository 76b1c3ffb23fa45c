#include "later.h"

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
