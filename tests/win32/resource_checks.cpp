// The resources inside the Windows program: the seven sound cues as RIFF
// WAVE files of the named type "WAVE", and the program icon.
#include <windows.h>

#include <cstring>
#include <string>

#include "check.h"

void check_resources(const char* program_path) {
  begin_group("resources");
  HMODULE program = LoadLibraryExA(program_path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  check(program != nullptr, std::string("the program loads as data: ") + program_path);
  if (program == nullptr) return;
  for (int cue = 105; cue <= 111; ++cue) {
    const std::string name = "cue " + std::to_string(cue);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(cue), "WAVE");
    check(found != nullptr, name + " is a \"WAVE\" resource");
    if (found == nullptr) continue;
    const DWORD size = SizeofResource(program, found);
    const auto* bytes =
        static_cast<const unsigned char*>(LockResource(LoadResource(program, found)));
    const bool riff = bytes != nullptr && size >= 44 && std::memcmp(bytes, "RIFF", 4) == 0 &&
                      std::memcmp(bytes + 8, "WAVEfmt ", 8) == 0;
    check(riff, name + " is a RIFF WAVE file");
    if (!riff) continue;
    DWORD riff_size = 0;
    std::memcpy(&riff_size, bytes + 4, 4);
    check(riff_size + 8 == size, name + "'s RIFF size matches the resource");
    WORD format = 0;
    std::memcpy(&format, bytes + 20, 2);
    check(format == 1, name + " is PCM");
  }
  check(FindResourceA(program, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(14)) != nullptr,
        "icon 101 is in the program as an icon group");
  FreeLibrary(program);
}
