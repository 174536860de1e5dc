// The glyph table of the bitmap font read from a BMFont text file ("arial.fnt").
#pragma once

#include <cstdint>
#include <istream>

struct Glyph {
  uint16_t x;
  uint16_t y;
  uint16_t width;
  uint16_t height;
  uint16_t xoffset;  // signed offsets are kept as their 16-bit two's complement
  uint16_t yoffset;
  uint16_t xadvance;
  uint16_t page;
};

struct BitmapFont {
  uint16_t lineHeight = 0;
  uint16_t base = 0;
  uint16_t scaleW = 0;
  uint16_t scaleH = 0;
  uint16_t pages = 0;
  Glyph chars[256] = {};
};

// Fills font from the "common" and "char" lines of a BMFont text stream; false when the stream is not open.
bool loadFont(std::istream& in, BitmapFont& font);
