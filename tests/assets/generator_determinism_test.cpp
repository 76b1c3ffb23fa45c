// The generator writes the same bytes on every run, and the files of the
// build are what it writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "asset_files.h"
#include "tests/watchdog/watchdog.h"

using namespace asset_test;
namespace fs = std::filesystem;

namespace {

fs::path scratch(const std::string& name) {
  fs::path p = fs::path(::testing::TempDir()) /
               ("marchfire_assets_" + std::to_string(::getpid()) + "_" + name);
  fs::remove_all(p);
  return p;
}

int run_generator(const fs::path& out) {
  const std::string command =
      std::string("\"") + MARCHFIRE_ASSET_GENERATOR_EXE + "\" --images \"" +
      (out / "images").string() + "\" --generated \"" + (out / "generated").string() +
      "\" --font-regular \"" MARCHFIRE_FONT_REGULAR "\" --font-bold \"" MARCHFIRE_FONT_BOLD "\"";
  return std::system(command.c_str());
}

std::set<std::string> names_in(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.insert(entry.path().filename().string());
  return names;
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

TEST(Generator, WritesTheSameBytesOnEveryRunAndTheBuildHoldsThem) {
  test::time_limit_seconds(60);  // several seconds under the sanitizers
  const fs::path a = scratch("a"), b = scratch("b");
  ASSERT_EQ(run_generator(a), 0);
  ASSERT_EQ(run_generator(b), 0);

  const std::set<std::string> images = names_in(a / "images");
  EXPECT_EQ(images.size(), pictures.size());
  EXPECT_EQ(images, names_in(b / "images"));
  for (const std::string& name : images) {
    const Bytes first = read_file((a / "images" / name).string());
    EXPECT_EQ(first, read_file((b / "images" / name).string())) << name;
    EXPECT_EQ(first, read_file(image_dir + "/" + name)) << "the build's " << name;
  }

  const std::set<std::string> generated = names_in(a / "generated");
  EXPECT_EQ(generated, names_in(b / "generated"));
  for (const std::string& name : generated) {
    const Bytes first = read_file((a / "generated" / name).string());
    const Bytes second = read_file((b / "generated" / name).string());
    const Bytes build = read_file(generated_dir + "/" + name);
    if (name == "marchfire.rc") {
      // The script names files by their paths: equal once the folder is.
      const auto text = [](const Bytes& bytes, const fs::path& dir) {
        return replace_all(std::string(bytes.begin(), bytes.end()),
                           fs::absolute(dir).generic_string(), "@");
      };
      EXPECT_EQ(text(first, a / "generated"), text(second, b / "generated"));
      EXPECT_EQ(text(first, a / "generated"), text(build, generated_dir));
      continue;
    }
    EXPECT_EQ(first, second) << name;
    EXPECT_EQ(first, build) << "the build's " << name;
  }
  fs::remove_all(a);
  fs::remove_all(b);
}

TEST(Generator, FailsClearlyOnABadArgument) {
  const std::string command =
      std::string("\"") + MARCHFIRE_ASSET_GENERATOR_EXE + "\" --no-such-option 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
}

}  // namespace
