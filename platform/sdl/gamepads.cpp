// Gamepads through SDL's game controller layer: every pad that is plugged in,
// at start or later, is opened; its events then arrive with the others.
#include <vector>

#include "platform/sdl/backend.h"

namespace {

std::vector<SDL_GameController*> pads;

}  // namespace

namespace sdl_backend {

void open_gamepad(int device_index) {
  // The same pad is announced again when SDL starts its controller layer.
  const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(device_index);
  for (SDL_GameController* pad : pads) {
    if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == instance) return;
  }
  // A pad that cannot be opened is simply not used.
  if (SDL_GameController* pad = SDL_GameControllerOpen(device_index)) pads.push_back(pad);
}

void close_gamepad(SDL_JoystickID instance) {
  for (auto it = pads.begin(); it != pads.end(); ++it) {
    if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(*it)) != instance) continue;
    SDL_GameControllerClose(*it);
    pads.erase(it);
    return;
  }
}

void close_gamepads() {
  for (SDL_GameController* pad : pads) SDL_GameControllerClose(pad);
  pads.clear();
}

int open_gamepad_count() {
  return static_cast<int>(pads.size());
}

}  // namespace sdl_backend
