// Reading the game's files by bare name. The pictures travel in the page's
// data package, unpacked into the program's own in-memory folder.
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
#include "platform/web/backend.h"

namespace {

constexpr const char* game_folder = "/game/";

std::vector<int> open_files;

bool is_open(platform::FileHandle file) {
  return std::find(open_files.begin(), open_files.end(), file) != open_files.end();
}

// A bare name names a file, never a path.
bool is_bare_name(const char* name) {
  if (name == nullptr || *name == '\0') return false;
  if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  return std::strchr(name, '/') == nullptr;
}

}  // namespace

namespace platform {

FileHandle file_open(const char* bare_name) {
  if (!is_bare_name(bare_name)) {
    web_backend::set_error(std::string("not a bare file name: ") +
                           (bare_name ? bare_name : "(none)"));
    return invalid_file;
  }
  const std::string path = std::string(game_folder) + bare_name;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    web_backend::set_error(std::string(bare_name) + ": " + std::strerror(errno));
    return invalid_file;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    web_backend::set_error(std::string(bare_name) + ": not a file");
    return invalid_file;
  }
  open_files.push_back(fd);
  return fd;
}

std::int32_t file_read(FileHandle file, void* buffer, std::uint32_t count) {
  if (!is_open(file) || (buffer == nullptr && count > 0)) {
    web_backend::set_error("read from a file that is not open");
    return -1;
  }
  const std::uint32_t wanted =
      std::min<std::uint32_t>(count, std::numeric_limits<std::int32_t>::max());
  std::uint32_t done = 0;
  while (done < wanted) {
    const ssize_t got = ::read(file, static_cast<char*>(buffer) + done, wanted - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      web_backend::set_error(std::string("cannot read: ") + std::strerror(errno));
      return -1;
    }
    if (got == 0) break;  // end of file
    done += static_cast<std::uint32_t>(got);
  }
  return static_cast<std::int32_t>(done);
}

std::int32_t file_seek(FileHandle file, std::int32_t offset, SeekFrom from) {
  if (!is_open(file)) {
    web_backend::set_error("seek in a file that is not open");
    return -1;
  }
  const int whence = from == SeekFrom::begin     ? SEEK_SET
                     : from == SeekFrom::current ? SEEK_CUR
                                                 : SEEK_END;
  const off_t before = ::lseek(file, 0, SEEK_CUR);
  const off_t after = ::lseek(file, offset, whence);
  if (after < 0) {
    web_backend::set_error(std::string("cannot seek: ") + std::strerror(errno));
    return -1;
  }
  if (after > std::numeric_limits<std::int32_t>::max()) {
    ::lseek(file, before, SEEK_SET);
    web_backend::set_error("cannot seek beyond 2 GiB");
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
