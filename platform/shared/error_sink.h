// Where the shared backend code sends a failure's explanation: the
// backend's own last_error.
#pragma once

#include <string>

using ErrorSink = void (*)(const std::string& what);
