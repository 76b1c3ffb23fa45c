#include "platform/shared/file_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

namespace file_table {

namespace {

std::vector<int> open_files;

bool is_open(platform::FileHandle file) {
  return std::find(open_files.begin(), open_files.end(), file) != open_files.end();
}

}  // namespace

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

platform::FileHandle keep(int fd) {
  open_files.push_back(fd);
  return fd;
}

std::int32_t read(platform::FileHandle file, void* buffer, std::uint32_t count, ErrorSink report) {
  if (!is_open(file) || (buffer == nullptr && count > 0)) {
    report("read from a file that is not open");
    return -1;
  }
  const std::uint32_t wanted =
      std::min<std::uint32_t>(count, std::numeric_limits<std::int32_t>::max());
  std::uint32_t done = 0;
  while (done < wanted) {
    const ssize_t got = ::read(file, static_cast<char*>(buffer) + done, wanted - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      report(std::string("cannot read: ") + std::strerror(errno));
      return -1;
    }
    if (got == 0) break;  // end of file
    done += static_cast<std::uint32_t>(got);
  }
  return static_cast<std::int32_t>(done);
}

std::int32_t seek(platform::FileHandle file, std::int32_t offset, platform::SeekFrom from,
                  ErrorSink report) {
  if (!is_open(file)) {
    report("seek in a file that is not open");
    return -1;
  }
  const int whence = from == platform::SeekFrom::begin     ? SEEK_SET
                     : from == platform::SeekFrom::current ? SEEK_CUR
                                                           : SEEK_END;
  const off_t before = ::lseek(file, 0, SEEK_CUR);
  const off_t after = ::lseek(file, offset, whence);
  if (after < 0) {
    report(std::string("cannot seek: ") + std::strerror(errno));
    return -1;
  }
  if (after > std::numeric_limits<std::int32_t>::max()) {
    // A position the result can't carry: stay where we were.
    ::lseek(file, before, SEEK_SET);
    report("cannot seek beyond 2 GiB");
    return -1;
  }
  return static_cast<std::int32_t>(after);
}

void close(platform::FileHandle file) {
  auto found = std::find(open_files.begin(), open_files.end(), file);
  if (found == open_files.end()) return;
  ::close(file);
  open_files.erase(found);
}

void close_all() {
  for (int fd : open_files) ::close(fd);
  open_files.clear();
}

}  // namespace file_table
