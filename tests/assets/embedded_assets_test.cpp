// What the program carries: the embedded bytes are the generated files, and
// the resource script names them for the Windows build.
#include "assets/embedded_assets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "asset_files.h"

using namespace asset_test;

namespace {

Bytes blob_bytes(const EmbeddedBlob& blob) {
  return Bytes(blob.data, blob.data + blob.size);
}

TEST(EmbeddedAssets, EachCueIsItsGeneratedWaveFile) {
  for (int id = 105; id <= 111; ++id) {
    const Bytes file = read_file(generated_dir + "/cue_" + std::to_string(id) + ".wav");
    ASSERT_FALSE(file.empty()) << id;
    const EmbeddedBlob blob = embedded_cue(id);
    ASSERT_NE(blob.data, nullptr) << id;
    EXPECT_EQ(blob_bytes(blob), file) << "cue " << id;
  }
}

TEST(EmbeddedAssets, NoOtherCueNumberHasBytes) {
  for (int id : {-1, 0, 101, 104, 112, 1000}) {
    const EmbeddedBlob blob = embedded_cue(id);
    EXPECT_EQ(blob.data, nullptr) << id;
    EXPECT_EQ(blob.size, 0u) << id;
  }
}

TEST(EmbeddedAssets, TheIconIsThePlain32x32Bitmap) {
  const Bytes file = read_file(generated_dir + "/marchfire_icon.bmp");
  EXPECT_EQ(blob_bytes(embedded_icon_bmp()), file);
  const auto bmp = parse_bmp24(file);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->width, 32);
  EXPECT_EQ(bmp->height, 32);
  EXPECT_EQ(le32(file, 10) + le32(file, 34), file.size());
}

TEST(ResourceScript, NamesTheIconAndTheSevenWaveResources) {
  const Bytes bytes = read_file(generated_dir + "/marchfire.rc");
  const std::string rc(bytes.begin(), bytes.end());
  std::smatch m;
  ASSERT_TRUE(std::regex_search(rc, m, std::regex(R"(\n101\s+ICON\s+"([^"]+)\")"))) << rc;
  EXPECT_TRUE(std::filesystem::exists(m[1].str())) << m[1];
  EXPECT_EQ(read_file(m[1].str()), read_file(generated_dir + "/marchfire.ico"));
  for (int id = 105; id <= 111; ++id) {
    const std::regex line("\\n" + std::to_string(id) + "\\s+WAVE\\s+\"([^\"]+)\"");
    ASSERT_TRUE(std::regex_search(rc, m, line)) << id;
    EXPECT_EQ(read_file(m[1].str()),
              read_file(generated_dir + "/cue_" + std::to_string(id) + ".wav"))
        << id;
  }
}

}  // namespace
