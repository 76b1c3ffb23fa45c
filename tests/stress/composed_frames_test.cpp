// The pixels of composed frames, pinned down before the drawing code was
// made faster: checksums of frames composed by the code as it stood, and a
// plain pixel-by-pixel drawing to compare with, so that no speed-up can
// change a single pixel.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <csetjmp>
#include <csignal>
#include <cstring>
#include <random>
#include <vector>

#include "display/display_device.h"
#include "display/pixel_rows.h"
#include "display/primitives.h"
#include "game/formation.h"
#include "game/frame_step.h"
#include "game/game_state.h"
#include "platform/headless/headless.h"
#include "tests/core/test_support.h"
#include "tests/stress/bitmap_cases.h"
#include "tests/watchdog/watchdog.h"

namespace {

constexpr std::uint32_t padding_pattern = 0xA5C3E1F7;

// Copies w x h 24-bit pixels the plainest way, clipped to the screen.
void reference_blit(std::vector<std::uint32_t>& frame, std::int32_t pitch_words,
                    const BitmapImage& image, int w, int h, int x, int y) {
  for (int i = 0; i < h; ++i) {
    for (int j = 0; j < w; ++j) {
      if (x + j < 0 || x + j >= 1024 || y + i < 0 || y + i >= 768) continue;
      const std::uint8_t* p = image.pixels + (i * w + j) * 3;
      frame[static_cast<std::size_t>((y + i) * pitch_words + x + j)] =
          p[0] | p[1] << 8 | p[2] << 16;
    }
  }
}

std::uint64_t checksum(const std::vector<std::uint32_t>& words) {
  std::uint64_t h = 14695981039346656037ull;
  for (std::uint32_t w : words) {
    for (int b = 0; b < 4; ++b) h = (h ^ ((w >> (8 * b)) & 0xFF)) * 1099511628211ull;
  }
  return h;
}

// One scene: everything a frame of play draws, at places that include the
// edges of the screen and beyond.
struct Scene {
  std::int32_t player_x;
  std::int32_t origin_x, origin_y;
  std::uint32_t alive_mask;  // bit c * 4 + r
  std::uint32_t missile_seed;
};

const Scene scenes[] = {
    {288, 337, 100, 0xFFFFFFFFu, 1}, {0, 17, 350, 0x0F0F00F0u, 2},
    {960, 523, 544, 0x80000001u, 3}, {606, -30, 720, 0xFFFF0000u, 4},
    {144, 990, -40, 0x12345678u, 5}, {960, 0, 0, 0u, 6},
};

class ComposedFramesTest : public test::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    // Sprites whose every byte differs, so a swapped channel or row shows.
    test::write_file(dir_ + "/game_m_modified_small.bmp", bitmap_cases::sound_24bit(64, 64, 11));
    test::write_file(dir_ + "/shield_blue.bmp", bitmap_cases::sound_24bit(240, 89, 12));
    test::write_file(dir_ + "/shield_yellow.bmp", bitmap_cases::sound_24bit(240, 89, 13));
    test::write_file(dir_ + "/spartan.bmp", bitmap_cases::sound_24bit(64, 56, 14));
    test::write_file(dir_ + "/missile.bmp", bitmap_cases::sound_24bit(8, 8, 15));
    open_display_and_sprites();
  }

  void place_missiles(std::uint32_t seed) {
    std::mt19937 random(seed);
    auto place = [&](Missile& m) {
      m.active = static_cast<std::uint8_t>(random() % 3 == 0 ? 0 : 1);
      m.x = static_cast<std::int32_t>(random() % 1060) - 20;
      m.y = static_cast<std::int32_t>(random() % 800) - 20;
    };
    for (Missile& m : player_missiles) place(m);
    for (Missile& m : enemy_missiles) place(m);
    enemy_missiles[0] = Missile{}, enemy_missiles[0].active = 1;
    enemy_missiles[0].x = 1016, enemy_missiles[0].y = 760;  // the last pixels
    enemy_missiles[1] = Missile{}, enemy_missiles[1].active = 1;
    enemy_missiles[1].x = 100, enemy_missiles[1].y = 0;  // not drawn
  }

  void set_grid(std::uint32_t mask) {
    for (int cell = 0; cell < grid_cells; ++cell) enemy_alive[cell] = (mask >> cell) & 1;
  }

  // Composes the scene through the game's own drawing, as the frame step
  // does, in surface memory whose row padding holds a pattern.
  std::vector<std::uint32_t> compose(const Scene& s, std::int32_t pitch) {
    headless::set_pitch(pitch);
    for (int i = 0; i < 2; ++i) {
      auto& memory = headless::surface(i);
      std::fill(memory.begin(), memory.end(), padding_pattern);
    }
    set_grid(s.alive_mask);
    place_missiles(s.missile_seed);
    const FrameView frame = begin_frame();
    EXPECT_NE(frame.pixels, nullptr);
    player_x = s.player_x;
    compose_play_field(frame, s.origin_x, s.origin_y);
    return headless::surface(headless::last_locked_surface());
  }

  // The same scene drawn the plainest way.
  std::vector<std::uint32_t> reference(const Scene& s, std::int32_t pitch) {
    const std::int32_t words = pitch / 4;
    std::vector<std::uint32_t> frame(static_cast<std::size_t>(words) * 768, padding_pattern);
    for (int y = 0; y < 768; ++y) std::fill_n(frame.begin() + y * words, 1024, 0u);
    set_grid(s.alive_mask);
    place_missiles(s.missile_seed);
    reference_blit(frame, words, player_image, 64, 64, s.player_x, player_y);
    reference_blit(frame, words, shield_blue_image, 240, 89, 150, 600);
    reference_blit(frame, words, shield_yellow_image, 240, 89, 650, 600);
    for (int row = 0; row < grid_rows; ++row) {
      for (int column = 0; column < grid_columns; ++column) {
        if (enemy_flag(column, row)) {
          reference_blit(frame, words, enemy_image, 64, 56, s.origin_x + 60 * column,
                         s.origin_y + 66 * row);
        }
      }
    }
    for (const Missile* array : {player_missiles, enemy_missiles}) {
      const int n = array == player_missiles ? player_missile_count : enemy_missile_count;
      for (int i = 0; i < n; ++i) {
        if (array[i].active == 1 && array[i].y > 0) {
          reference_blit(frame, words, missile_image, 8, 8, array[i].x, array[i].y);
        }
      }
    }
    return frame;
  }
};

TEST_F(ComposedFramesTest, FramesMatchThePlainDrawingPixelForPixel) {
  test::time_limit_seconds(60);  // several seconds under the sanitizers
  for (const std::int32_t pitch : {4096, 4096 + 64, 8192}) {
    for (const Scene& s : scenes) {
      const auto composed = compose(s, pitch);
      const auto expected = reference(s, pitch);
      ASSERT_EQ(composed.size(), expected.size());
      std::size_t first_difference = composed.size();
      for (std::size_t i = 0; i < composed.size() && first_difference == composed.size(); ++i) {
        if (composed[i] != expected[i]) first_difference = i;
      }
      EXPECT_EQ(first_difference, composed.size())
          << "pitch " << pitch << ", scene with player at " << s.player_x << ": word "
          << first_difference << " (row " << first_difference / (pitch / 4) << ", column "
          << first_difference % (pitch / 4) << ")";
    }
  }
}

// Checksums of the frames as the drawing code composed them before it was
// made faster.
TEST_F(ComposedFramesTest, FramesAreThoseComposedBeforeTheSpeedUp) {
  const std::uint64_t expected[3][6] = {
#include "tests/stress/composed_frames_checksums.inc"
  };
  const std::int32_t pitches[] = {4096, 4096 + 64, 8192};
  for (int p = 0; p < 3; ++p) {
    for (int s = 0; s < 6; ++s) {
      EXPECT_EQ(checksum(compose(scenes[s], pitches[p])), expected[p][s])
          << "pitch " << pitches[p] << ", scene " << s;
    }
  }
}

// Both ways of converting a row, the processor's fastest and the portable
// one, against the plain byte-by-byte reading, at every length and start.
// Each row ends where readable memory ends, so a read past it faults; the
// fault fails the test rather than ending the run. Writes past the pixels
// would change the word after them.
sigjmp_buf fault_return;
void return_from_fault(int) {
  siglongjmp(fault_return, 1);
}

bool converts_within_its_row(void (*convert)(const std::uint8_t*, std::uint32_t*, std::int64_t),
                             const std::uint8_t* row, std::uint32_t* target, std::int64_t count) {
  struct sigaction on_fault {
  }, before{};
  on_fault.sa_handler = return_from_fault;
  sigaction(SIGSEGV, &on_fault, &before);
  const bool within = sigsetjmp(fault_return, 1) == 0;
  if (within) convert(row, target, count);
  sigaction(SIGSEGV, &before, nullptr);
  return within;
}

TEST(PixelRowsTest, EveryConversionGivesThePlainPixels) {
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  auto* pages = static_cast<std::uint8_t*>(
      mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(pages, MAP_FAILED);
  ASSERT_EQ(mprotect(pages + page, page, PROT_NONE), 0);
  std::vector<std::uint8_t> bytes(3 * 300);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 151 + 7);
  for (std::int64_t start = 0; start < 4; ++start) {
    for (std::int64_t count = 0; count + start <= 300; ++count) {
      std::uint8_t* row = pages + page - count * 3;
      std::memcpy(row, bytes.data() + start * 3, static_cast<std::size_t>(count) * 3);
      std::vector<std::uint32_t> plain(static_cast<std::size_t>(count) + 1, 0xDEADBEEF);
      for (std::int64_t i = 0; i < count; ++i) {
        plain[i] = row[i * 3] | row[i * 3 + 1] << 8 | row[i * 3 + 2] << 16;
      }
      std::vector<std::uint32_t> fastest(plain.size(), 0xDEADBEEF);
      std::vector<std::uint32_t> portable(plain.size(), 0xDEADBEEF);
      ASSERT_TRUE(converts_within_its_row(convert_bgr_row, row, fastest.data(), count)) << count;
      ASSERT_TRUE(converts_within_its_row(convert_bgr_row_by_words, row, portable.data(), count))
          << count << " pixels, portable";
      ASSERT_EQ(fastest, plain) << count << " pixels";
      ASSERT_EQ(portable, plain) << count << " pixels";
    }
  }
  munmap(pages, 2 * page);
}

// The colour search against a plain one, over rectangles of every kind.
TEST_F(ComposedFramesTest, ColourSearchMatchesThePlainSearch) {
  const auto memory = compose(scenes[0], 4096 + 64);
  const FrameView frame = last_frame();
  std::mt19937 random(7);
  const std::uint32_t colours[] = {0x126F06, 0, 0xFFFFFF, memory[700 * 1040 + 300],
                                   memory[100 * 1040 + 400]};
  for (int i = 0; i < 20000; ++i) {
    const std::int32_t left = static_cast<std::int32_t>(random() % 1200) - 80;
    const std::int32_t top = static_cast<std::int32_t>(random() % 900) - 60;
    const std::int32_t right = left + static_cast<std::int32_t>(random() % 12) - 2;
    const std::int32_t bottom = top + static_cast<std::int32_t>(random() % 12) - 2;
    const std::uint32_t a = colours[random() % 5], b = colours[random() % 5];
    int plain = 0;
    for (std::int32_t y = std::clamp(top, 0, 767); y <= std::clamp(bottom, 0, 767) && !plain; ++y) {
      for (std::int32_t x = std::clamp(left, 0, 1023); x <= std::clamp(right, 0, 1023); ++x) {
        const std::uint32_t v = memory[static_cast<std::size_t>(y) * 1040 + x];
        if (v == a || v == b) {
          plain = 1;
          break;
        }
      }
    }
    ASSERT_EQ(frame_has_color(left, top, right, bottom, a, b, frame), plain)
        << left << "," << top << " - " << right << "," << bottom;
  }
}

}  // namespace
