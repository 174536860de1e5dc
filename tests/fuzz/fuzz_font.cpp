// Fuzzes the BMFont text reader with arbitrary bytes: it must never read or write outside its glyph table.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "hud/BitmapFont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  BitmapFont font;
  loadFont(in, font);
  return 0;
}
