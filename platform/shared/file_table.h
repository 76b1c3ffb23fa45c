// The game's files on a system with POSIX file descriptors (the Linux
// program, and the browser's in-memory folder): opening by bare name, and
// the reads, seeks and closes of files that this table opened. Where a
// backend looks for a name is its own; what a handle may do is shared.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/shared/error_sink.h"

namespace file_table {

// A bare name names a file, never a path: nothing can reach outside the
// places the game's files live.
bool is_bare_name(const char* name);
// Opens a regular file for reading; -1 with the reason in `error` (errno).
int open_regular_file(const std::string& path, int& error);
// Takes an opened descriptor into the table and hands out its handle.
platform::FileHandle keep(int fd);

// Only handles from `keep` are accepted; anything else fails with a reason.
std::int32_t read(platform::FileHandle file, void* buffer, std::uint32_t count, ErrorSink report);
std::int32_t seek(platform::FileHandle file, std::int32_t offset, platform::SeekFrom from,
                  ErrorSink report);
void close(platform::FileHandle file);
void close_all();

}  // namespace file_table
