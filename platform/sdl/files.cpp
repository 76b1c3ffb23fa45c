// Reading the game's files by bare name: beside the program first, then in
// the working directory, and last in the data folder the game was installed
// with (a packaged game keeps its images apart from the program).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/backend.h"

namespace {

std::vector<int> open_files;

bool is_open(platform::FileHandle file) {
  return std::find(open_files.begin(), open_files.end(), file) != open_files.end();
}

// Set by the build from the install layout: the data folder, absolute or
// relative to the program's own folder, with a trailing separator.
#ifndef MARCHFIRE_DATA_FOLDER
#define MARCHFIRE_DATA_FOLDER ""
#endif

std::string data_folder_override;
bool data_folder_overridden = false;

// A bare name names a file, never a path: nothing can reach outside the
// places the game's files live.
bool is_bare_name(const char* name) {
  if (name == nullptr || *name == '\0') return false;
  if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  return std::strchr(name, '/') == nullptr;
}

int open_regular_file(const std::string& path, int& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = EISDIR;
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

namespace sdl_backend {

const std::string& program_directory() {
  static const std::string directory = [] {
    char* base = SDL_GetBasePath();
    std::string found = base != nullptr ? base : "";
    SDL_free(base);
    return found;
  }();
  return directory;
}

const std::string& data_directory() {
  static const std::string installed = [] {
    const std::string folder = MARCHFIRE_DATA_FOLDER;
    if (folder.empty() || folder.front() == '/') return folder;
    // Relative to the program: the installed tree can move as a whole (another
    // prefix, an unpacked package) and the program still finds its images.
    const std::string& beside = program_directory();
    return beside.empty() ? std::string() : beside + folder;
  }();
  return data_folder_overridden ? data_folder_override : installed;
}

void set_data_directory(const std::string& folder) {
  data_folder_override = folder;
  data_folder_overridden = true;
}

void close_all_files() {
  for (int fd : open_files) ::close(fd);
  open_files.clear();
}

}  // namespace sdl_backend

namespace platform {

FileHandle file_open(const char* bare_name) {
  if (!is_bare_name(bare_name)) {
    sdl_backend::set_error(std::string("not a bare file name: ") +
                           (bare_name ? bare_name : "(none)"));
    return invalid_file;
  }
  // Each place is a folder prefix; "" is the working directory. A folder
  // that is unknown is skipped, so the name alone is never tried twice.
  std::vector<std::string> places;
  if (!sdl_backend::program_directory().empty()) places.push_back(sdl_backend::program_directory());
  places.push_back("");
  if (!sdl_backend::data_directory().empty()) places.push_back(sdl_backend::data_directory());
  int error = ENOENT;
  int fd = -1;
  for (const std::string& place : places) {
    int place_error = ENOENT;
    fd = open_regular_file(place + bare_name, place_error);
    if (fd >= 0) break;
    // Say why the first place that had the file failed, not merely that
    // the last one lacked it.
    if (error == ENOENT) error = place_error;
  }
  if (fd < 0) {
    sdl_backend::set_error(std::string(bare_name) + ": " + std::strerror(error));
    return invalid_file;
  }
  open_files.push_back(fd);
  return fd;
}

std::int32_t file_read(FileHandle file, void* buffer, std::uint32_t count) {
  if (!is_open(file) || (buffer == nullptr && count > 0)) {
    sdl_backend::set_error("read from a file that is not open");
    return -1;
  }
  const std::uint32_t wanted =
      std::min<std::uint32_t>(count, std::numeric_limits<std::int32_t>::max());
  std::uint32_t done = 0;
  while (done < wanted) {
    const ssize_t got = ::read(file, static_cast<char*>(buffer) + done, wanted - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      sdl_backend::set_error(std::string("cannot read: ") + std::strerror(errno));
      return -1;
    }
    if (got == 0) break;  // end of file
    done += static_cast<std::uint32_t>(got);
  }
  return static_cast<std::int32_t>(done);
}

std::int32_t file_seek(FileHandle file, std::int32_t offset, SeekFrom from) {
  if (!is_open(file)) {
    sdl_backend::set_error("seek in a file that is not open");
    return -1;
  }
  const int whence = from == SeekFrom::begin     ? SEEK_SET
                     : from == SeekFrom::current ? SEEK_CUR
                                                 : SEEK_END;
  const off_t before = ::lseek(file, 0, SEEK_CUR);
  const off_t after = ::lseek(file, offset, whence);
  if (after < 0) {
    sdl_backend::set_error(std::string("cannot seek: ") + std::strerror(errno));
    return -1;
  }
  if (after > std::numeric_limits<std::int32_t>::max()) {
    // A position the result can't carry: stay where we were.
    ::lseek(file, before, SEEK_SET);
    sdl_backend::set_error("cannot seek beyond 2 GiB");
    return -1;
  }
  return static_cast<std::int32_t>(after);
}

void file_close(FileHandle file) {
  auto found = std::find(open_files.begin(), open_files.end(), file);
  if (found == open_files.end()) return;
  ::close(file);
  open_files.erase(found);
}

}  // namespace platform
