#include "display/pixel_rows.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define MARCHFIRE_X86 1
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#define MARCHFIRE_WASM_SIMD 1
#endif

// A frame of play converts some 163,000 pixels; a byte at a time that costs
// more than clearing the whole frame. Whole words (or one byte shuffle on
// processors that have it) give exactly the same pixels.

namespace {

static_assert(std::endian::native == std::endian::little,
              "pixels are taken apart from little-endian words");

std::uint64_t load_quad(const std::uint8_t* bytes) {
  std::uint64_t quad;
  std::memcpy(&quad, bytes, sizeof quad);
  return quad;
}

void store_pair(std::uint32_t* target, std::uint64_t low, std::uint64_t high) {
  const std::uint64_t pair = low | high << 32;
  std::memcpy(target, &pair, sizeof pair);
}

void convert_tail(const std::uint8_t* source, std::uint32_t* target, std::int64_t count) {
  for (; count > 0; --count, source += 3) {
    *target++ =
        std::uint32_t{source[0]} | std::uint32_t{source[1]} << 8 | std::uint32_t{source[2]} << 16;
  }
}

}  // namespace

// Eight pixels from three 64-bit words.
void convert_bgr_row_by_words(const std::uint8_t* source, std::uint32_t* target,
                              std::int64_t count) {
  constexpr std::uint64_t pixel = 0xFFFFFF;
  for (; count >= 8; count -= 8, source += 24, target += 8) {
    const std::uint64_t a = load_quad(source);
    const std::uint64_t b = load_quad(source + 8);
    const std::uint64_t c = load_quad(source + 16);
    store_pair(target, a & pixel, a >> 24 & pixel);
    store_pair(target + 2, a >> 48 | (b & 0xFF) << 16, b >> 8 & pixel);
    store_pair(target + 4, b >> 32 & pixel, b >> 56 | (c & 0xFFFF) << 8);
    store_pair(target + 6, c >> 16 & pixel, c >> 40);
  }
  convert_tail(source, target, count);
}

namespace {

#ifdef MARCHFIRE_X86
// Four pixels per shuffle. The 16-byte read takes 4 bytes beyond the 12 it
// converts, so it runs only while at least 6 pixels (18 bytes) remain.
__attribute__((target("ssse3"))) void convert_by_shuffle(const std::uint8_t* source,
                                                         std::uint32_t* target,
                                                         std::int64_t count) {
  const __m128i spread =
      _mm_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
  for (; count >= 6; count -= 4, source += 12, target += 4) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_shuffle_epi8(bytes, spread));
  }
  convert_bgr_row_by_words(source, target, count);
}
#endif

#ifdef MARCHFIRE_WASM_SIMD
// The same shuffle in WebAssembly's vector instructions, which every current
// browser has: an index of 16 or more gives a zero byte, as -128 does above.
void convert_by_swizzle(const std::uint8_t* source, std::uint32_t* target, std::int64_t count) {
  const v128_t spread =
      wasm_i8x16_make(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
  for (; count >= 6; count -= 4, source += 12, target += 4) {
    wasm_v128_store(target, wasm_i8x16_swizzle(wasm_v128_load(source), spread));
  }
  convert_bgr_row_by_words(source, target, count);
}
#endif

using RowConversion = void (*)(const std::uint8_t*, std::uint32_t*, std::int64_t);

RowConversion best_conversion() {
#ifdef MARCHFIRE_X86
  if (__builtin_cpu_supports("ssse3")) return convert_by_shuffle;
#elif defined(MARCHFIRE_WASM_SIMD)
  return convert_by_swizzle;
#endif
  return convert_bgr_row_by_words;
}

}  // namespace

void convert_bgr_row(const std::uint8_t* source, std::uint32_t* target, std::int64_t count) {
  static const RowConversion conversion = best_conversion();
  conversion(source, target, count);
}
