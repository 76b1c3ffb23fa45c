// The program's carried assets: a C++ source with the bytes for the portable
// build, and a resource script for the Windows build.
#pragma once

#include <string>
#include <vector>

#include "byte_buffer.h"

namespace gen {

struct EmbeddedCue {
  int id = 0;
  Bytes wav;  // the complete RIFF WAVE file
};

// The source of assets/embedded_assets.h: embedded_cue(105..111) and
// embedded_icon_bmp(), the bytes as compact array literals.
std::string embedded_source(const std::vector<EmbeddedCue>& cues, const Bytes& icon_bmp);

// A resource script: the cues as WAVE resources 105..111 and ICON 101, the
// files named by the paths given (forward slashes, quoted).
std::string resource_script(const std::vector<std::pair<int, std::string>>& cue_files,
                            const std::string& icon_file);

}  // namespace gen
