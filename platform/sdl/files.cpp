// Reading the game's files by bare name: beside the program first, then in
// the working directory, and last in the data folder the game was installed
// with (a packaged game keeps its images apart from the program).
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/backend.h"
#include "platform/shared/file_table.h"

namespace {

// Set by the build from the install layout: the data folder, absolute or
// relative to the program's own folder, with a trailing separator.
#ifndef MARCHFIRE_DATA_FOLDER
#define MARCHFIRE_DATA_FOLDER ""
#endif

std::string data_folder_override;
bool data_folder_overridden = false;

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
  file_table::close_all();
}

}  // namespace sdl_backend

namespace platform {

FileHandle file_open(const char* bare_name) {
  if (!file_table::is_bare_name(bare_name)) {
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
    fd = file_table::open_regular_file(place + bare_name, place_error);
    if (fd >= 0) break;
    // Say why the first place that had the file failed, not merely that
    // the last one lacked it.
    if (error == ENOENT) error = place_error;
  }
  if (fd < 0) {
    sdl_backend::set_error(std::string(bare_name) + ": " + std::strerror(error));
    return invalid_file;
  }
  return file_table::keep(fd);
}

std::int32_t file_read(FileHandle file, void* buffer, std::uint32_t count) {
  return file_table::read(file, buffer, count, sdl_backend::set_error);
}

std::int32_t file_seek(FileHandle file, std::int32_t offset, SeekFrom from) {
  return file_table::seek(file, offset, from, sdl_backend::set_error);
}

void file_close(FileHandle file) {
  file_table::close(file);
}

}  // namespace platform
