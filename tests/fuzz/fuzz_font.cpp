// Fuzzes the BMFont text reader with arbitrary bytes: it must never read or write outside its glyph table; and
// lays the same bytes out as text with the font they made, which must not read past the string's end.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "hud/BitmapFont.h"
#include "hud/TextRenderer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  BitmapFont font;
  loadFont(in, font);
  const std::string text(reinterpret_cast<const char*>(data), size);
  layoutText(font, text.c_str(), size % 2 == 0, 0.0f, 0.0f);
  return 0;
}
