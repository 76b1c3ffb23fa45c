// Image files by bare name: beside the program first, then in the working
// directory, read with the system's plain file calls.
#include <windows.h>

#include <climits>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/win32/failure_text.h"

namespace {

// A bare name has no directory, drive or stream part: the game asks only for
// its own files, and nothing it is handed may lead it elsewhere.
bool is_bare_name(const char* name) {
  if (name == nullptr || name[0] == '\0') return false;
  if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  return std::strpbrk(name, "\\/:") == nullptr;
}

// The directory of the running program, with its trailing separator; empty
// when it can't be found.
std::string program_directory() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    // Truncated: the program lies deeper than the buffer reaches.
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  const std::size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return {};
  return path.substr(0, separator + 1);
}

HFILE open_for_reading(const std::string& path) {
  // OpenFile keeps the full path in a record of OFS_MAXPATHNAME (128) bytes
  // and fails on anything longer, relative names included; files of a
  // program installed deeper, or started from a deep folder, are opened
  // with CreateFileA instead, whose handle the same _l calls accept.
  char full_path[MAX_PATH * 4] = "";
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full_path, full_path, nullptr);
  if (length == 0 || length >= sizeof full_path) return HFILE_ERROR;
  if (length < OFS_MAXPATHNAME) {
    OFSTRUCT file_record = {};
    return OpenFile(full_path, &file_record, OF_READ);
  }
  HANDLE file = CreateFileA(full_path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return HFILE_ERROR;
  return static_cast<HFILE>(reinterpret_cast<INT_PTR>(file));
}

}  // namespace

namespace platform {

FileHandle file_open(const char* bare_name) {
  if (!is_bare_name(bare_name)) {
    win32::record_failure("not a bare file name");
    return invalid_file;
  }
  const std::string beside_program = program_directory() + bare_name;
  HFILE file = HFILE_ERROR;
  if (beside_program != bare_name) file = open_for_reading(beside_program);
  if (file == HFILE_ERROR) {
    // A path, never the bare name: given a bare name, OpenFile would search
    // the system directories and PATH as well.
    file = open_for_reading(std::string(".\\") + bare_name);
  }
  if (file == HFILE_ERROR) {
    win32::record_system_failure((std::string("opening ") + bare_name).c_str());
    return invalid_file;
  }
  return static_cast<FileHandle>(file);
}

std::int32_t file_read(FileHandle file, void* buffer, std::uint32_t count) {
  if (file == invalid_file || buffer == nullptr) {
    win32::record_failure("reading from no file");
    return -1;
  }
  // The result must fit the signed count that the game takes back.
  if (count > static_cast<std::uint32_t>(INT_MAX)) count = INT_MAX;
  const UINT read = _lread(static_cast<HFILE>(file), buffer, count);
  if (read == static_cast<UINT>(HFILE_ERROR)) {
    win32::record_system_failure("_lread");
    return -1;
  }
  return static_cast<std::int32_t>(read);
}

std::int32_t file_seek(FileHandle file, std::int32_t offset, SeekFrom from) {
  if (file == invalid_file) {
    win32::record_failure("seeking in no file");
    return -1;
  }
  int origin = FILE_BEGIN;
  if (from == SeekFrom::current) origin = FILE_CURRENT;
  if (from == SeekFrom::end) origin = FILE_END;
  const LONG position = _llseek(static_cast<HFILE>(file), offset, origin);
  if (position < 0) {
    win32::record_system_failure("_llseek");
    return -1;
  }
  return static_cast<std::int32_t>(position);
}

void file_close(FileHandle file) {
  if (file == invalid_file) return;
  _lclose(static_cast<HFILE>(file));
}

}  // namespace platform
