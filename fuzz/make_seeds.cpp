// Writes the small hand-made seeds of the loader's fuzzer: sound files of
// each accepted depth and a few shapes, and every kind of unfit file.
//
//   make_seeds <directory>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/stress/bitmap_cases.h"

namespace {

std::string slug(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!out.empty() && out.back() != '-') {
      out += '-';
    }
  }
  while (!out.empty() && out.back() == '-') out.pop_back();
  return out;
}

bool write(const std::string& path, const bitmap_cases::Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds <directory>\n");
    return 2;
  }
  const std::string dir = argv[1];
  int written = 0;
  auto put = [&](const std::string& name, const bitmap_cases::Bytes& bytes) {
    if (!write(dir + "/" + name + ".bmp", bytes)) {
      std::fprintf(stderr, "make_seeds: cannot write %s/%s.bmp\n", dir.c_str(), name.c_str());
      std::exit(1);
    }
    ++written;
  };
  struct Shape {
    int width, height;
  };
  for (const Shape s : {Shape{1, 1}, Shape{4, 2}, Shape{8, 8}, Shape{3, 5}, Shape{16, 3}}) {
    for (std::uint16_t bits : {8, 16, 24}) {
      bitmap_cases::Layout layout;
      layout.width = s.width;
      layout.height = s.height;
      layout.bit_count = bits;
      layout.seed = static_cast<std::uint32_t>(s.width * 31 + s.height + bits);
      put("sound-" + std::to_string(bits) + "bit-" + std::to_string(s.width) + "x" +
              std::to_string(s.height),
          bitmap_cases::encode(layout));
    }
  }
  for (const auto& unfit : bitmap_cases::unfit_files(8, 8)) {
    put("unfit-8x8-" + slug(unfit.name), unfit.bytes);
  }
  std::printf("make_seeds: %d files in %s\n", written, dir.c_str());
  return 0;
}
