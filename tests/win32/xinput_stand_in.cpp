// A stand-in for the system's xinput1_4.dll, for the tests that play the
// Windows program with a gamepad. Placed beside marchfire.exe and preferred
// to Wine's own (WINEDLLOVERRIDES=xinput1_4=n), its XInputGetState plays
// back pad states that the test writes into a text file whose path is in
// the environment variable MARCHFIRE_PAD_STATES. The file is read again at
// every call, so the test changes the pads by rewriting it.
//
// The file: one line for each pad plugged in,
//
//     SLOT BUTTONS STICK_X
//
// SLOT is 0 to 3; BUTTONS is XInput's wButtons in hex (0x0004 D-pad left,
// 0x0008 D-pad right, 0x0010 Start, 0x0020 Back, 0x1000 A, 0x4000 X);
// STICK_X is the left stick's x, -32768 to 32767. A slot with no line is
// empty; so is every slot while the file or the variable is missing. Lines
// that don't read as the three numbers are skipped.
#include <windows.h>
// After windows.h, whose types it uses.
#include <xinput.h>

#include <cstdio>
#include <cstdlib>

namespace {

DWORD packet = 0;

bool find_pad(DWORD slot, XINPUT_GAMEPAD& pad) {
  const char* path = std::getenv("MARCHFIRE_PAD_STATES");
  if (path == nullptr) return false;
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) return false;
  bool found = false;
  char line[128];
  while (!found && std::fgets(line, sizeof line, file) != nullptr) {
    unsigned int line_slot = 0;
    unsigned int buttons = 0;
    int stick_x = 0;
    if (std::sscanf(line, "%u %x %d", &line_slot, &buttons, &stick_x) != 3) continue;
    if (line_slot != slot) continue;
    pad.wButtons = static_cast<WORD>(buttons);
    pad.sThumbLX = static_cast<SHORT>(stick_x < -32768  ? -32768
                                      : stick_x > 32767 ? 32767
                                                        : stick_x);
    found = true;
  }
  std::fclose(file);
  return found;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI XInputGetState(DWORD slot, XINPUT_STATE* state) {
  if (state == nullptr || slot >= XUSER_MAX_COUNT) return ERROR_BAD_ARGUMENTS;
  XINPUT_GAMEPAD pad = {};
  if (!find_pad(slot, pad)) return ERROR_DEVICE_NOT_CONNECTED;
  state->dwPacketNumber = ++packet;
  state->Gamepad = pad;
  return ERROR_SUCCESS;
}
