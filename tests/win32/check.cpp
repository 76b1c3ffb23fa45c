#include "check.h"

#include <windows.h>

#include <cstdio>

namespace {

int passed = 0;
int failed = 0;
const char* current_group = "";

// The watchdog: a group still running past its limit fails by name and ends
// the program, so that a wait that never returns can't hang the test run.
CRITICAL_SECTION watch_lock;
bool watching = false;
ULONGLONG group_start = 0;
int group_limit_seconds = 0;

DWORD WINAPI watch(void*) {
  for (;;) {
    Sleep(100);
    EnterCriticalSection(&watch_lock);
    const bool overdue = watching && GetTickCount64() - group_start > group_limit_seconds * 1000ull;
    LeaveCriticalSection(&watch_lock);
    if (!overdue) continue;
    std::printf("FAILED [%s] still running after its limit of %d s\n", current_group,
                group_limit_seconds);
    std::fflush(stdout);
    ExitProcess(3);
  }
}

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
  static const HANDLE watcher = [] {
    InitializeCriticalSection(&watch_lock);
    return CreateThread(nullptr, 0, watch, nullptr, 0, nullptr);
  }();
  (void)watcher;
  EnterCriticalSection(&watch_lock);
  current_group = name;
  watching = true;
  group_start = GetTickCount64();
  group_limit_seconds = default_group_limit_seconds;
  LeaveCriticalSection(&watch_lock);
  std::printf("-- %s\n", name);
  std::fflush(stdout);
}

void group_time_limit_seconds(int seconds) {
  EnterCriticalSection(&watch_lock);
  group_limit_seconds = seconds;
  LeaveCriticalSection(&watch_lock);
}

int failed_checks() {
  return failed;
}

void print_summary() {
  EnterCriticalSection(&watch_lock);
  watching = false;
  LeaveCriticalSection(&watch_lock);
  std::printf("%d passed, %d failed\n", passed, failed);
  std::fflush(stdout);
}
