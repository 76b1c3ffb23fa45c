// The installed game's data folder: the last of the three places a bare name
// is looked for, after the program's own folder and the working directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/backend.h"

namespace {

class DataFolder : public ::testing::Test {
 protected:
  std::string working;
  std::string data;
  std::string beside;
  std::string name;
  std::string installed;
  char old_cwd[4096] = {};

  void SetUp() override {
    char working_pattern[] = "/tmp/marchfire-working-XXXXXX";
    char data_pattern[] = "/tmp/marchfire-data-XXXXXX";
    ASSERT_NE(mkdtemp(working_pattern), nullptr);
    ASSERT_NE(mkdtemp(data_pattern), nullptr);
    working = working_pattern;
    data = std::string(data_pattern) + "/";
    beside = sdl_backend::program_directory();
    ASSERT_FALSE(beside.empty());
    // Unique, so that tests run side by side never share a file beside the
    // program.
    name = "marchfire-data-test-" + std::to_string(getpid()) + ".dat";
    ASSERT_NE(getcwd(old_cwd, sizeof old_cwd), nullptr);
    ASSERT_EQ(chdir(working.c_str()), 0);
    installed = sdl_backend::data_directory();
    sdl_backend::set_data_directory(data);
  }

  void TearDown() override {
    sdl_backend::set_data_directory(installed);
    EXPECT_EQ(chdir(old_cwd), 0);
    std::filesystem::remove(beside + name);
    std::filesystem::remove_all(working);
    std::filesystem::remove_all(data);
  }

  static void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // The whole content of the file that a bare name opens; "" when none does.
  static std::string read_by_name(const std::string& bare_name) {
    const platform::FileHandle file = platform::file_open(bare_name.c_str());
    if (file == platform::invalid_file) return "";
    char buffer[64] = {};
    const std::int32_t got = platform::file_read(file, buffer, sizeof buffer);
    platform::file_close(file);
    return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : "";
  }
};

TEST(DataFolderInstalled, IsFoundFromTheProgramsOwnFolder) {
  const std::string folder = sdl_backend::data_directory();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  // A build given a fixed data folder of its own has no relation to check.
  if (folder.rfind(sdl_backend::program_directory(), 0) != 0) GTEST_SKIP() << folder;
  // The usual layout, games/ beside share/games/marchfire/: a moved
  // installation still finds its pictures.
  const std::string tail = "../share/games/marchfire/";
  EXPECT_EQ(folder, sdl_backend::program_directory() + tail);
}

TEST_F(DataFolder, EachPlaceServesOnlyWhenThoseBeforeItLackTheFile) {
  // In all three places: the program's folder wins.
  write(beside + name, "beside");
  write(working + "/" + name, "working");
  write(data + name, "data");
  EXPECT_EQ(read_by_name(name), "beside");
  // The working directory before the data folder.
  std::filesystem::remove(beside + name);
  EXPECT_EQ(read_by_name(name), "working");
  // The data folder last.
  std::filesystem::remove(working + "/" + name);
  EXPECT_EQ(read_by_name(name), "data");
  // Nowhere: refused, and the name is in the reason.
  std::filesystem::remove(data + name);
  EXPECT_EQ(platform::file_open(name.c_str()), platform::invalid_file);
  EXPECT_NE(std::string(platform::last_error()).find(name), std::string::npos);
}

TEST_F(DataFolder, AnUnreadableEarlierCopyIsPassedOverButGivesTheReason) {
  // A folder of that name in the working directory is no file: the data
  // folder's copy serves; with none, the reason given is the folder's, not
  // the data folder's lack of the file.
  std::filesystem::create_directory(working + "/" + name);
  write(data + name, "data");
  EXPECT_EQ(read_by_name(name), "data");
  std::filesystem::remove(data + name);
  EXPECT_EQ(platform::file_open(name.c_str()), platform::invalid_file);
  EXPECT_NE(std::string(platform::last_error()).find(std::strerror(EISDIR)), std::string::npos)
      << platform::last_error();
}

}  // namespace
