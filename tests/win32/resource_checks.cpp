// The resources inside the Windows program: the seven sound cues as RIFF
// WAVE files of the named type "WAVE", the program icon, the manifest that
// tells the system how to treat the program, and its version record.
#include <windows.h>

#include <cstring>
#include <string>

#include "check.h"

namespace {

// The resource's bytes; empty when it is missing.
std::string resource_bytes(HMODULE program, int id, LPCSTR type) {
  HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(id), type);
  if (found == nullptr) return {};
  const DWORD size = SizeofResource(program, found);
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
  return bytes == nullptr ? std::string() : std::string(bytes, size);
}

void check_cues(HMODULE program) {
  for (int cue = 105; cue <= 111; ++cue) {
    const std::string name = "cue " + std::to_string(cue);
    const std::string wave = resource_bytes(program, cue, "WAVE");
    check(!wave.empty(), name + " is a \"WAVE\" resource");
    if (wave.empty()) continue;
    const std::size_t size = wave.size();
    const char* bytes = wave.data();
    const bool riff = size >= 44 && std::memcmp(bytes, "RIFF", 4) == 0 &&
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
}

// The system reads the manifest of resource 1 when it starts the program.
void check_manifest(HMODULE program) {
  const std::string manifest = resource_bytes(program, 1, MAKEINTRESOURCEA(24));
  check(!manifest.empty(), "the program carries a manifest as resource 1");
  if (manifest.empty()) return;
  const struct {
    const char* text;
    const char* meaning;
  } wanted[] = {
      {"<requestedExecutionLevel level=\"asInvoker\"", "it runs as the user who starts it"},
      {">true/pm</dpiAware>", "it is DPI aware per monitor (older systems)"},
      {">PerMonitorV2, PerMonitor</dpiAwareness>", "it is DPI aware per monitor"},
      {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "it was made for Vista"},
      {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "it was made for 7"},
      {"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "it was made for 8"},
      {"{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "it was made for 8.1"},
      {"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "it was made for 10 and 11"},
      {"version=\"" MARCHFIRE_EXPECTED_VERSION_DOTS "\"", "it names the program's version"},
  };
  for (const auto& one : wanted) {
    check(manifest.find(one.text) != std::string::npos,
          std::string("the manifest says ") + one.meaning + " (" + one.text + ")");
  }
}

std::string version_string(const std::string& record, const char* name) {
  const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(record.data(), path.c_str(), &value, &length) || value == nullptr) return {};
  return std::string(static_cast<const char*>(value));
}

void check_version_record(const char* program_path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(program_path, &ignored);
  check(size > 0, "the program has a version record");
  if (size == 0) return;
  std::string record(size, '\0');
  check(GetFileVersionInfoA(program_path, 0, size, record.data()), "the version record is read");

  void* value = nullptr;
  UINT length = 0;
  const bool fixed_found =
      VerQueryValueA(record.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO);
  check(fixed_found, "with its fixed part");
  if (fixed_found) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    const DWORD high = MAKELONG(MARCHFIRE_EXPECTED_VERSION_MINOR, MARCHFIRE_EXPECTED_VERSION_MAJOR);
    const DWORD low = MAKELONG(MARCHFIRE_EXPECTED_VERSION_TWEAK, MARCHFIRE_EXPECTED_VERSION_PATCH);
    check(fixed->dwSignature == 0xFEEF04BD, "the fixed part has its signature");
    check(fixed->dwFileVersionMS == high && fixed->dwFileVersionLS == low,
          "the file version is " MARCHFIRE_EXPECTED_VERSION_DOTS);
    check(fixed->dwProductVersionMS == high && fixed->dwProductVersionLS == low,
          "the product version is " MARCHFIRE_EXPECTED_VERSION_DOTS);
    check(fixed->dwFileType == VFT_APP, "the file is a program");
  }

  const struct {
    const char* name;
    const char* expected;
  } strings[] = {
      {"ProductName", "Marchfire"},
      {"OriginalFilename", "marchfire.exe"},
      {"ProductVersion", MARCHFIRE_EXPECTED_VERSION},
      {"FileVersion", MARCHFIRE_EXPECTED_VERSION},
  };
  for (const auto& one : strings) {
    const std::string found = version_string(record, one.name);
    check(found == one.expected,
          std::string(one.name) + " is \"" + one.expected + "\" (found \"" + found + "\")");
  }
  for (const char* name : {"FileDescription", "CompanyName", "LegalCopyright"}) {
    check(!version_string(record, name).empty(), std::string(name) + " is filled in");
  }
}

}  // namespace

void check_resources(const char* program_path) {
  begin_group("resources");
  HMODULE program = LoadLibraryExA(program_path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  check(program != nullptr, std::string("the program loads as data: ") + program_path);
  if (program == nullptr) return;
  check_cues(program);
  check(FindResourceA(program, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(14)) != nullptr,
        "icon 101 is in the program as an icon group");
  check_manifest(program);
  FreeLibrary(program);
  check_version_record(program_path);
}
