// A minimal check runner for the Windows backend: no test framework is
// available for the cross target, and the checks need no more than this.
#pragma once

#include <string>

// Records one outcome; a failure is printed with its description.
void check(bool ok, const std::string& what);
// Starts a named group of related checks in the output, watched: a group
// still running after its limit (60 s unless it says otherwise) fails and
// ends the program. The limit only catches a wait that never ends: a loaded
// machine may take many times as long as an idle one.
constexpr int default_group_limit_seconds = 60;
void begin_group(const char* name);
// A group that needs another limit says so right after begin_group.
void group_time_limit_seconds(int seconds);
// How long a check waits for what the system does in its own time (a screen
// given back, a line drawn by another thread): it bounds a state that never
// comes, far beyond what a loaded machine takes.
constexpr unsigned long system_patience_ms = 30000;
int failed_checks();
// Prints the closing "N passed, N failed" line.
void print_summary();

// The groups, one per concern of the backend.
void check_files();
void check_messages();
void check_keys();
void check_display();
void check_clock_and_sound();
void check_waits();
void check_pause();
void check_window_mode();
void check_pads();
void check_resources(const char* program_path);
