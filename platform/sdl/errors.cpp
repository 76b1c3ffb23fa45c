// Why the last platform call failed, and the news of a failed start.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/backend.h"

namespace {

std::string last_failure = "no error";

}  // namespace

namespace sdl_backend {

void set_error(const std::string& what) {
  last_failure = what;
}

void set_sdl_error(const std::string& what) {
  const char* reason = SDL_GetError();
  last_failure = (reason != nullptr && *reason != '\0') ? what + ": " + reason : what;
}

}  // namespace sdl_backend

namespace platform {

const char* last_error() {
  return last_failure.c_str();
}

void report_fatal(const char* line) {
  std::string text = line != nullptr ? line : "";
  // One line, whatever the reason text carried.
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace platform
