// Why the last platform call failed, and the news of a failed start.
#include <string>

#include "platform/platform.h"
#include "platform/web/backend.h"

namespace {

std::string last_failure = "no error";

}  // namespace

namespace web_backend {

void set_error(const std::string& what) {
  last_failure = what;
}

}  // namespace web_backend

namespace platform {

const char* last_error() {
  return last_failure.c_str();
}

void report_fatal(const char* line) {
  std::string text = line != nullptr ? line : "";
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  // The page shows it where the game would have been, and logs it.
  host_report_fatal(text.c_str());
}

}  // namespace platform
