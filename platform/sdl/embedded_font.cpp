// The assembler pulls the font file's bytes into the program at build time,
// so the game needs no font installed where it runs.
#include "platform/sdl/embedded_font.h"

#include <cstdint>

#ifndef MARCHFIRE_FONT_FILE
#error "MARCHFIRE_FONT_FILE must name the .ttf file to embed"
#endif

asm(".pushsection .rodata\n"
    ".balign 16\n"
    ".hidden marchfire_font_bytes\n"
    ".hidden marchfire_font_size\n"
    "marchfire_font_bytes:\n"
    ".incbin \"" MARCHFIRE_FONT_FILE
    "\"\n"
    "marchfire_font_end:\n"
    ".balign 8\n"
    "marchfire_font_size:\n"
    ".quad marchfire_font_end - marchfire_font_bytes\n"
    ".popsection\n");

extern "C" const unsigned char marchfire_font_bytes[];
extern "C" const std::uint64_t marchfire_font_size;

FontBytes embedded_font() {
  return {marchfire_font_bytes, static_cast<std::size_t>(marchfire_font_size)};
}
