// Looks at screenshots of the running game the way a player would: is this
// picture on screen, where are the sprites, how much of a colour is here, is the
// sound output silent. Images are binary PPM files (ImageMagick writes them).
//
//   screen_probe same  SHOT PICTURE X Y        fraction of PICTURE's pixels on SHOT at (X, Y)
//   screen_probe find  SHOT SPRITE W H MIN     "x y" of each place where the top-left W x H of
//                                              SPRITE matches at least MIN (0..1), best first
//   screen_probe count SHOT RRGGBB X Y W H     number of pixels of that colour in the rectangle
//   screen_probe loud  RAW OFFSET              largest |sample| of 16-bit audio after OFFSET
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

[[noreturn]] void die(const std::string& why) {
  std::cerr << "screen_probe: " << why << "\n";
  std::exit(2);
}

int read_number(std::istream& in) {
  int value = 0;
  for (;;) {
    in >> std::ws;
    if (in.peek() == '#') {
      std::string comment;
      std::getline(in, comment);
      continue;
    }
    if (!(in >> value)) die("malformed PPM header");
    return value;
  }
}

Image read_ppm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) die("cannot open " + path);
  std::string magic;
  in >> magic;
  if (magic != "P6") die(path + " is not a binary PPM");
  Image image;
  image.width = read_number(in);
  image.height = read_number(in);
  const int max_value = read_number(in);
  if (image.width <= 0 || image.height <= 0 || max_value != 255) die(path + ": unsupported PPM");
  in.get();  // the one whitespace byte before the samples
  std::vector<unsigned char> bytes(static_cast<std::size_t>(image.width) * image.height * 3);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
    die(path + " is truncated");
  }
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    image.pixels[i] =
        std::uint32_t{bytes[i * 3]} << 16 | std::uint32_t{bytes[i * 3 + 1]} << 8 | bytes[i * 3 + 2];
  }
  return image;
}

// Fraction of the sprite's top-left w x h pixels found equal on the shot at
// (x, y); gives up early, returning 0, once more than `allowed` differ.
double match_at(const Image& shot, const Image& sprite, int w, int h, int x, int y, int allowed) {
  int wrong = 0;
  for (int sy = 0; sy < h; ++sy) {
    for (int sx = 0; sx < w; ++sx) {
      if (shot.at(x + sx, y + sy) != sprite.at(sx, sy) && ++wrong > allowed) return 0.0;
    }
  }
  return 1.0 - static_cast<double>(wrong) / (w * h);
}

int same(const Image& shot, const Image& picture, int x, int y) {
  if (x < 0 || y < 0 || x + picture.width > shot.width || y + picture.height > shot.height) {
    std::cout << "0\n";
    return 0;
  }
  const double fraction =
      match_at(shot, picture, picture.width, picture.height, x, y, picture.width * picture.height);
  std::printf("%.9f\n", fraction);  // one pixel in a screen still shows
  return 0;
}

int find(const Image& shot, const Image& sprite, int w, int h, double min_fraction) {
  if (w <= 0 || h <= 0 || w > sprite.width || h > sprite.height) die("bad sprite size");
  const int allowed = static_cast<int>((1.0 - min_fraction) * w * h);
  struct Hit {
    int x, y;
    double fraction;
  };
  std::vector<Hit> hits;
  // The sprite's first pixel that isn't black anchors the search: most
  // places fail on it at once.
  int anchor_x = 0, anchor_y = 0;
  for (int i = 0; i < w * h; ++i) {
    if (sprite.at(i % w, i / w) != 0) {
      anchor_x = i % w;
      anchor_y = i / w;
      break;
    }
  }
  const std::uint32_t anchor = sprite.at(anchor_x, anchor_y);
  for (int y = 0; y + h <= shot.height; ++y) {
    for (int x = 0; x + w <= shot.width; ++x) {
      if (allowed == 0 && shot.at(x + anchor_x, y + anchor_y) != anchor) continue;
      const double fraction = match_at(shot, sprite, w, h, x, y, allowed);
      if (fraction >= min_fraction && fraction > 0) hits.push_back({x, y, fraction});
    }
  }
  // Best first, and no two places closer than a sprite's size.
  std::stable_sort(hits.begin(), hits.end(),
                   [](const Hit& a, const Hit& b) { return a.fraction > b.fraction; });
  std::vector<Hit> kept;
  for (const Hit& hit : hits) {
    const bool overlaps = std::any_of(kept.begin(), kept.end(), [&](const Hit& k) {
      return std::abs(k.x - hit.x) < w && std::abs(k.y - hit.y) < h;
    });
    if (!overlaps) kept.push_back(hit);
  }
  for (const Hit& hit : kept) std::printf("%d %d\n", hit.x, hit.y);
  return 0;
}

int count(const Image& shot, std::uint32_t colour, int x, int y, int w, int h) {
  int found = 0;
  for (int yy = std::max(y, 0); yy < std::min(y + h, shot.height); ++yy) {
    for (int xx = std::max(x, 0); xx < std::min(x + w, shot.width); ++xx) {
      found += shot.at(xx, yy) == colour;
    }
  }
  std::printf("%d\n", found);
  return 0;
}

int loud(const std::string& path, long offset) {
  std::ifstream in(path, std::ios::binary);
  if (!in) die("cannot open " + path);
  in.seekg(offset - offset % 2);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int loudest = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  static_cast<unsigned char>(bytes[i + 1]) << 8);
    loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
  }
  std::printf("%d\n", loudest);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 5 && args[0] == "same") {
    return same(read_ppm(args[1]), read_ppm(args[2]), std::stoi(args[3]), std::stoi(args[4]));
  }
  if (args.size() == 6 && args[0] == "find") {
    return find(read_ppm(args[1]), read_ppm(args[2]), std::stoi(args[3]), std::stoi(args[4]),
                std::stod(args[5]));
  }
  if (args.size() == 7 && args[0] == "count") {
    return count(read_ppm(args[1]), static_cast<std::uint32_t>(std::stoul(args[2], nullptr, 16)),
                 std::stoi(args[3]), std::stoi(args[4]), std::stoi(args[5]), std::stoi(args[6]));
  }
  if (args.size() == 3 && args[0] == "loud") return loud(args[1], std::stol(args[2]));
  die("usage: same|find|count|loud ... (see the source)");
}
