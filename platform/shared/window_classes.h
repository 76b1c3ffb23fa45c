// The window classes of a backend that has no system registry of its own
// (the Linux and browser programs): names and their procedures, and the
// checks every window creation makes before the backend builds its window.
#pragma once

#include "platform/platform.h"
#include "platform/shared/error_sink.h"

namespace window_classes {

// False, with the reason reported, for an empty name, no procedure, or a
// name registered already.
bool add(const char* class_name, platform::WindowProc proc, ErrorSink report);
// The procedure of a registered class, after the creation's own checks (a
// known class, no game window yet, a positive size); null, with the reason
// reported, when one fails.
platform::WindowProc proc_for_new_window(const char* class_name, bool window_exists, int width,
                                         int height, ErrorSink report);
void forget_all();

// A message of this kind with nothing else set.
platform::WindowMessage message_of(platform::MessageKind kind);

}  // namespace window_classes
