// Reading the game's files by bare name. The pictures travel in the page's
// data package, unpacked into the program's own in-memory folder.
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/shared/file_table.h"
#include "platform/web/backend.h"

namespace {

constexpr const char* game_folder = "/game/";

}  // namespace

namespace platform {

FileHandle file_open(const char* bare_name) {
  if (!file_table::is_bare_name(bare_name)) {
    web_backend::set_error(std::string("not a bare file name: ") +
                           (bare_name ? bare_name : "(none)"));
    return invalid_file;
  }
  int error = 0;
  const int fd = file_table::open_regular_file(std::string(game_folder) + bare_name, error);
  if (fd < 0) {
    web_backend::set_error(std::string(bare_name) + ": " + std::strerror(error));
    return invalid_file;
  }
  return file_table::keep(fd);
}

std::int32_t file_read(FileHandle file, void* buffer, std::uint32_t count) {
  return file_table::read(file, buffer, count, web_backend::set_error);
}

std::int32_t file_seek(FileHandle file, std::int32_t offset, SeekFrom from) {
  return file_table::seek(file, offset, from, web_backend::set_error);
}

void file_close(FileHandle file) {
  file_table::close(file);
}

}  // namespace platform
