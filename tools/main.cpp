// marchfire_asset_generator: writes every picture, sound and icon of the game,
// the same bytes on every run.
//
//   marchfire_asset_generator --images DIR --generated DIR
//                             [--font-regular TTF] [--font-bold TTF]
//
// DIR of images: the eleven BMP files the game reads beside the program.
// Generated DIR: the cues (cue_105.wav .. cue_111.wav), the icon
// (marchfire.ico, marchfire_icon.bmp, marchfire_32.png, marchfire_128.png,
// and for the browser app marchfire_192.png, marchfire_512.png),
// embedded_assets.cpp and marchfire.rc.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bmp_writer.h"
#include "cards.h"
#include "embed_writer.h"
#include "ico_writer.h"
#include "palette.h"
#include "png_writer.h"
#include "sprite_art.h"
#include "synth.h"
#include "wav_writer.h"

#ifndef MARCHFIRE_DEFAULT_FONT_REGULAR
#define MARCHFIRE_DEFAULT_FONT_REGULAR "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
#endif
#ifndef MARCHFIRE_DEFAULT_FONT_BOLD
#define MARCHFIRE_DEFAULT_FONT_BOLD "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
#endif

namespace fs = std::filesystem;

namespace {

void write_file(const fs::path& path, const void* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}
void write_file(const fs::path& path, const gen::Bytes& bytes) {
  write_file(path, bytes.data(), bytes.size());
}
void write_file(const fs::path& path, const std::string& text) {
  write_file(path, text.data(), text.size());
}

// A picture of the game: a 24-bit BMP whose rows need no padding (the game's
// loader takes rows as packed).
void write_picture(const fs::path& path, gen::Image image, bool may_hold_probe) {
  if (image.width * 3 % 4 != 0)
    throw std::logic_error("row length not a multiple of 4: " + path.string());
  if (!may_hold_probe) gen::scrub_probe_color(image);
  write_file(path, gen::encode_bmp24(image));
}

// The icon enlarged by a whole factor, its transparent corners kept.
gen::Bytes enlarged_icon_png(const gen::IconImage& icon, int factor) {
  const gen::Image pixels = gen::scale_up(icon.pixels, factor);
  if (icon.transparent.empty()) return gen::encode_png_rgba(pixels, {});
  std::vector<std::uint8_t> alpha(pixels.pixels.size());
  for (int y = 0; y < pixels.height; ++y)
    for (int x = 0; x < pixels.width; ++x) {
      const std::size_t source =
          static_cast<std::size_t>(y / factor) * icon.pixels.width + x / factor;
      alpha[static_cast<std::size_t>(y) * pixels.width + x] = icon.transparent[source] ? 0 : 255;
    }
  return gen::encode_png_rgba(pixels, alpha);
}

std::string forward_slashes(const fs::path& p) {
  return p.generic_string();
}

int run(int argc, char** argv) {
  fs::path images_dir, generated_dir;
  std::string font_regular = MARCHFIRE_DEFAULT_FONT_REGULAR;
  std::string font_bold = MARCHFIRE_DEFAULT_FONT_BOLD;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--images")
      images_dir = value();
    else if (arg == "--generated")
      generated_dir = value();
    else if (arg == "--font-regular")
      font_regular = value();
    else if (arg == "--font-bold")
      font_bold = value();
    else
      throw std::runtime_error("unknown argument " + arg);
  }
  if (images_dir.empty() || generated_dir.empty())
    throw std::runtime_error(
        "usage: marchfire_asset_generator --images DIR --generated DIR "
        "[--font-regular TTF] [--font-bold TTF]");
  fs::create_directories(images_dir);
  fs::create_directories(generated_dir);
  generated_dir = fs::absolute(generated_dir);

  // ---- the eleven pictures beside the program
  const gen::Fonts fonts(font_regular, font_bold);
  write_picture(images_dir / "game_m_modified_small.bmp", gen::player_sprite(), false);
  write_picture(images_dir / "shield_blue.bmp", gen::shield_sprite(false), false);
  write_picture(images_dir / "shield_yellow.bmp", gen::shield_sprite(true), false);
  write_picture(images_dir / "spartan.bmp", gen::enemy_sprite(gen::probe_color), true);
  write_picture(images_dir / "missile.bmp", gen::missile_sprite(), false);
  write_picture(images_dir / "intro.bmp", gen::intro_picture(fonts), false);
  write_picture(images_dir / "sophomore.bmp", gen::level_card(fonts, 1), false);
  write_picture(images_dir / "junior.bmp", gen::level_card(fonts, 2), false);
  write_picture(images_dir / "senior.bmp", gen::level_card(fonts, 3), false);
  write_picture(images_dir / "finished.bmp", gen::level_card(fonts, 4), false);
  write_picture(images_dir / "dead.bmp", gen::dead_card(fonts), false);

  // ---- the sound cues
  std::vector<gen::EmbeddedCue> cues;
  std::vector<std::pair<int, std::string>> cue_files;
  for (int id = 105; id <= 111; ++id) {
    const gen::Cue cue = gen::make_cue(id);
    gen::EmbeddedCue embedded{id, gen::encode_wav(cue.format, cue.data)};
    const fs::path file = generated_dir / ("cue_" + std::to_string(id) + ".wav");
    write_file(file, embedded.wav);
    cue_files.emplace_back(id, forward_slashes(file));
    cues.push_back(std::move(embedded));
  }

  // ---- the icon: a group of two 32 x 32 images, plain and highlighted
  gen::IconImage plain = gen::icon_image(false);
  gen::IconImage lit = gen::icon_image(true);
  gen::scrub_probe_color(plain.pixels);
  gen::scrub_probe_color(lit.pixels);
  const fs::path ico_file = generated_dir / "marchfire.ico";
  write_file(ico_file, gen::encode_ico({plain, lit}));
  const gen::Bytes icon_bmp = gen::encode_bmp24(plain.pixels);
  write_file(generated_dir / "marchfire_icon.bmp", icon_bmp);
  // The desktop entry's sizes (32, 128) and the browser app's (192, 512).
  for (const int size : {32, 128, 192, 512})
    write_file(generated_dir / ("marchfire_" + std::to_string(size) + ".png"),
               enlarged_icon_png(plain, size / 32));

  // ---- what the program carries
  write_file(generated_dir / "embedded_assets.cpp", gen::embedded_source(cues, icon_bmp));
  write_file(generated_dir / "marchfire.rc",
             gen::resource_script(cue_files, forward_slashes(ico_file)));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "marchfire_asset_generator: %s\n", e.what());
    return 1;
  }
}
