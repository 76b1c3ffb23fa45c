// Files by bare name: beside the program before the working directory,
// never anywhere else, and the plain read and seek calls.
#include <windows.h>

#include <cstring>
#include <string>

#include "check.h"
#include "platform/platform.h"

namespace {

std::string program_directory() {
  char path[MAX_PATH * 4] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string directory = path;
  return directory.substr(0, directory.find_last_of("\\/") + 1);
}

void write_file(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// The whole content of a file opened through the seam, or "<none>".
std::string read_through_seam(const char* name) {
  const platform::FileHandle file = platform::file_open(name);
  if (file == platform::invalid_file) return "<none>";
  char buffer[64] = "";
  const std::int32_t count = platform::file_read(file, buffer, sizeof buffer);
  platform::file_close(file);
  return count < 0 ? "<error>" : std::string(buffer, count);
}

}  // namespace

void check_files() {
  begin_group("files");
  const std::string beside = program_directory();
  std::printf("program directory: %u characters\n", static_cast<unsigned>(beside.size()));
  const std::string working = beside + "file_checks_working_dir\\";
  CreateDirectoryA(working.c_str(), nullptr);
  char previous_directory[MAX_PATH * 4] = "";
  GetCurrentDirectoryA(sizeof previous_directory, previous_directory);
  SetCurrentDirectoryA(working.c_str());

  write_file(beside + "in_both_places.bin", "beside the program");
  write_file(working + "in_both_places.bin", "in the working directory");
  write_file(working + "only_in_working_dir.bin", "only here");
  write_file(beside + "digits.bin", "0123456789");

  check(read_through_seam("in_both_places.bin") == "beside the program",
        "the file beside the program wins over the working directory's");
  check(read_through_seam("only_in_working_dir.bin") == "only here",
        "a file only in the working directory is found there");
  check(read_through_seam("no_such_file.bin") == "<none>", "a missing file is not opened");
  check(std::strstr(platform::last_error(), "no_such_file.bin") != nullptr,
        "the failure names the missing file: " + std::string(platform::last_error()));

  // The system directories hold this file; a bare name handed straight to
  // OpenFile would find it there.
  char system_directory[MAX_PATH] = "";
  GetSystemDirectoryA(system_directory, sizeof system_directory);
  const bool in_system =
      GetFileAttributesA((std::string(system_directory) + "\\notepad.exe").c_str()) !=
      INVALID_FILE_ATTRIBUTES;
  if (in_system) {
    check(read_through_seam("notepad.exe") == "<none>",
          "files in the system directories are not found by bare name");
  }

  for (const char* not_bare : {"..\\in_both_places.bin", "../in_both_places.bin",
                               "file_checks_working_dir\\only_in_working_dir.bin",
                               "C:only_in_working_dir.bin", "", "..", "."}) {
    check(platform::file_open(not_bare) == platform::invalid_file,
          std::string("a name with a directory part is refused: \"") + not_bare + "\"");
  }
  check(platform::file_open(nullptr) == platform::invalid_file, "no name is refused");

  const platform::FileHandle digits = platform::file_open("digits.bin");
  check(digits != platform::invalid_file, "digits.bin opens");
  char buffer[16] = "";
  check(platform::file_seek(digits, -4, platform::SeekFrom::end) == 6,
        "a seek 4 bytes before the end lands at 6");
  check(platform::file_read(digits, buffer, sizeof buffer) == 4 &&
            std::memcmp(buffer, "6789", 4) == 0,
        "a read past the end gives the 4 bytes that are left");
  check(platform::file_read(digits, buffer, sizeof buffer) == 0, "a read at the end gives 0");
  check(platform::file_seek(digits, 2, platform::SeekFrom::begin) == 2, "a seek from the start");
  check(platform::file_seek(digits, 3, platform::SeekFrom::current) == 5,
        "a seek from the current position");
  check(platform::file_read(digits, buffer, 1) == 1 && buffer[0] == '5', "reads from there");
  check(platform::file_seek(digits, -1, platform::SeekFrom::begin) == -1,
        "a seek before the start fails");
  platform::file_close(digits);
  check(platform::file_read(platform::invalid_file, buffer, 1) == -1, "reading from no file fails");
  check(platform::file_seek(platform::invalid_file, 0, platform::SeekFrom::begin) == -1,
        "seeking in no file fails");

  SetCurrentDirectoryA(previous_directory);
  DeleteFileA((beside + "in_both_places.bin").c_str());
  DeleteFileA((beside + "digits.bin").c_str());
  DeleteFileA((working + "in_both_places.bin").c_str());
  DeleteFileA((working + "only_in_working_dir.bin").c_str());
  RemoveDirectoryA(working.c_str());
}
