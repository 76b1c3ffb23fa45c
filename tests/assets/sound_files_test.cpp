// The seven sound cues: RIFF WAVE files in exactly the formats, data sizes
// and chunk layout of the sound table, and not silent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "asset_files.h"

using namespace asset_test;

namespace {

struct CueExpectation {
  int id;
  int bits;
  std::uint32_t rate;
  std::uint32_t data_size;
  bool fact;
};

void PrintTo(const CueExpectation& expected, std::ostream* os) {
  *os << "cue " << expected.id << ": " << expected.bits << "-bit " << expected.rate << " Hz, "
      << expected.data_size << " bytes";
}

const CueExpectation expected_cues[] = {
    {105, 8, 11025, 809, false},   {106, 8, 11025, 725, false},    {107, 8, 11025, 763, false},
    {108, 8, 11025, 1757, false},  {109, 16, 44100, 43652, false}, {110, 16, 44100, 28034, false},
    {111, 8, 11025, 252320, true},
};

std::string cue_path(int id) {
  return generated_dir + "/cue_" + std::to_string(id) + ".wav";
}

// Samples as signed values around 0 (8-bit unsigned data minus 128).
std::vector<int> samples_of(const Bytes& file, const Chunk& data, int bits) {
  std::vector<int> out;
  if (bits == 8) {
    for (std::uint32_t i = 0; i < data.size; ++i) out.push_back(int{file[data.data_at + i]} - 128);
  } else {
    for (std::uint32_t i = 0; i + 1 < data.size; i += 2)
      out.push_back(static_cast<std::int16_t>(le16(file, data.data_at + i)));
  }
  return out;
}

class CueFile : public ::testing::TestWithParam<CueExpectation> {};

TEST_P(CueFile, HasTheTablesFormatSizeAndChunkLayout) {
  const CueExpectation expected = GetParam();
  const Bytes file = read_file(cue_path(expected.id));
  ASSERT_GE(file.size(), 44u);
  EXPECT_EQ(tag(file, 0), "RIFF");
  EXPECT_EQ(tag(file, 8), "WAVE");
  EXPECT_EQ(le32(file, 4) + 8, file.size()) << "the RIFF size covers the whole file";

  const std::vector<Chunk> chunks = riff_chunks(file);
  ASSERT_EQ(chunks.size(), expected.fact ? 3u : 2u);
  EXPECT_EQ(chunks[0].id, "fmt ");
  if (expected.fact) {
    EXPECT_EQ(chunks[1].id, "fact");
    EXPECT_EQ(chunks[1].size, 4u);
    EXPECT_EQ(le32(file, chunks[1].data_at), expected.data_size / (expected.bits / 8)) << "samples";
  }
  const Chunk& data = chunks.back();
  EXPECT_EQ(data.id, "data");
  EXPECT_EQ(data.size, expected.data_size);

  const Chunk& fmt = chunks[0];
  ASSERT_EQ(fmt.size, 16u);
  EXPECT_EQ(le16(file, fmt.data_at), 1u) << "format tag: PCM";
  EXPECT_EQ(le16(file, fmt.data_at + 2), 1u) << "mono";
  EXPECT_EQ(le32(file, fmt.data_at + 4), expected.rate);
  EXPECT_EQ(le32(file, fmt.data_at + 8),
            expected.rate * static_cast<std::uint32_t>(expected.bits / 8))
      << "bytes/s";
  EXPECT_EQ(le16(file, fmt.data_at + 12), static_cast<std::uint32_t>(expected.bits / 8))
      << "block align";
  EXPECT_EQ(le16(file, fmt.data_at + 14), static_cast<std::uint32_t>(expected.bits));

  // An odd data chunk is followed by its pad byte, and nothing else follows.
  EXPECT_EQ(data.data_at + data.size + data.size % 2, file.size());
}

TEST_P(CueFile, IsHeardAndStartsAndEndsWithoutAClick) {
  const CueExpectation expected = GetParam();
  const Bytes file = read_file(cue_path(expected.id));
  const std::vector<Chunk> chunks = riff_chunks(file);
  ASSERT_FALSE(chunks.empty());
  const std::vector<int> s = samples_of(file, chunks.back(), expected.bits);
  ASSERT_FALSE(s.empty());
  const int full = expected.bits == 8 ? 128 : 32768;
  int peak = 0;
  double energy = 0;
  for (int v : s) {
    peak = std::max(peak, std::abs(v));
    energy += static_cast<double>(v) * v;
  }
  EXPECT_GE(peak * 10, full * 3) << "peak under 30 % of full scale";
  EXPECT_GE(energy / static_cast<double>(s.size()), (full * 0.08) * (full * 0.08)) << "too quiet";
  EXPECT_LE(std::abs(s.front()), full / 64) << "starts with a click";
  EXPECT_LE(std::abs(s.back()), full / 64) << "ends with a click";
}

INSTANTIATE_TEST_SUITE_P(Generated, CueFile, ::testing::ValuesIn(expected_cues),
                         [](const ::testing::TestParamInfo<CueExpectation>& info) {
                           return "cue_" + std::to_string(info.param.id);
                         });

TEST(IntroTune, LastsAbout23SecondsAndLoopsWithoutAGap) {
  const Bytes file = read_file(cue_path(111));
  const std::vector<Chunk> chunks = riff_chunks(file);
  ASSERT_EQ(chunks.size(), 3u);
  const std::vector<int> s = samples_of(file, chunks.back(), 8);
  EXPECT_NEAR(static_cast<double>(s.size()) / 11025.0, 22.886, 0.001);
  // Music runs right up to the loop point and starts right after it: no
  // tenth of a second at either end is silent.
  auto loud = [&](std::size_t from, std::size_t count) {
    int peak = 0;
    for (std::size_t i = from; i < from + count; ++i) peak = std::max(peak, std::abs(s[i]));
    return peak;
  };
  EXPECT_GE(loud(0, 1102), 20);
  EXPECT_GE(loud(s.size() - 1102, 1102), 20);
}

TEST(MarchThumps, FallInPitchFromOneToTheNext) {
  // Zero crossings per second stand in for pitch: 105 above 106 above 107.
  auto crossings_per_second = [](int id) {
    const Bytes file = read_file(cue_path(id));
    const std::vector<Chunk> chunks = riff_chunks(file);
    const std::vector<int> s = samples_of(file, chunks.back(), 8);
    int crossings = 0;
    for (std::size_t i = 1; i < s.size(); ++i)
      if ((s[i - 1] < 0) != (s[i] < 0)) ++crossings;
    return crossings * 11025.0 / static_cast<double>(s.size());
  };
  const double a = crossings_per_second(105), b = crossings_per_second(106),
               c = crossings_per_second(107);
  EXPECT_GT(a, b);
  EXPECT_GT(b, c);
  EXPECT_LT(a, 400.0) << "a low thump";
}

}  // namespace
