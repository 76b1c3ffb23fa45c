// Converting a row of 24-bit image pixels into frame pixels: the inner loop
// of every picture and sprite drawn.
#pragma once

#include <cstdint>

// Writes `count` pixels 0x00RRGGBB from `count` * 3 bytes of blue, green,
// red. Reads nothing beyond those bytes.
void convert_bgr_row(const std::uint8_t* source, std::uint32_t* target, std::int64_t count);

// The same conversion without processor-specific instructions: what
// processors without a byte shuffle use. The same pixels.
void convert_bgr_row_by_words(const std::uint8_t* source, std::uint32_t* target,
                              std::int64_t count);
