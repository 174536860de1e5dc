// Reads the "common" and "char" lines of a BMFont text file into the 256-glyph table; every other line
// and every unknown key is ignored.
#include "hud/BitmapFont.h"

#include <sstream>
#include <string>

namespace {

// A decimal integer with an optional leading '-'; trailing characters (a '\r' of a DOS line end, say)
// end the number. False when there are no digits.
bool parseInteger(const std::string& text, long long& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  size_t firstDigit = i;
  long long magnitude = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    // Saturate so that absurdly long numbers stay out of range instead of overflowing.
    if (magnitude < 1000000) magnitude = magnitude * 10 + (text[i] - '0');
    ++i;
  }
  if (i == firstDigit) return false;
  value = negative ? -magnitude : magnitude;
  return true;
}

// Fields are 16 bits wide: negative offsets keep their two's complement, larger magnitudes are refused.
bool parseField(const std::string& text, uint16_t& field) {
  long long value = 0;
  if (!parseInteger(text, value)) return false;
  if (value > 65535 || value < -65535) return false;
  field = static_cast<uint16_t>((value + 65536) % 65536);
  return true;
}

void splitKeyValue(const std::string& word, std::string& key, std::string& value) {
  size_t eq = word.find('=');
  if (eq == std::string::npos) {
    key = word;
    value.clear();
  } else {
    key = word.substr(0, eq);
    value = word.substr(eq + 1);
  }
}

void readCommon(std::istringstream& line, BitmapFont& font) {
  std::string word, key, value;
  while (line >> word) {
    splitKeyValue(word, key, value);
    uint16_t* field = nullptr;
    if (key == "lineHeight") field = &font.lineHeight;
    else if (key == "base") field = &font.base;
    else if (key == "scaleW") field = &font.scaleW;
    else if (key == "scaleH") field = &font.scaleH;
    else if (key == "pages") field = &font.pages;
    if (field) parseField(value, *field);
  }
}

void readChar(std::istringstream& line, BitmapFont& font) {
  unsigned code = 0;
  std::string word, key, value;
  while (line >> word) {
    splitKeyValue(word, key, value);
    if (key == "id") {
      long long id = 0;
      if (!parseInteger(value, id)) continue;
      // Only 256 glyphs have a slot; the rest of a line for any other code is dropped.
      if (id < 0 || id > 255) return;
      code = static_cast<unsigned>(id);
      continue;
    }
    Glyph& g = font.chars[code];
    uint16_t* field = nullptr;
    if (key == "x") field = &g.x;
    else if (key == "y") field = &g.y;
    else if (key == "width") field = &g.width;
    else if (key == "height") field = &g.height;
    else if (key == "xoffset") field = &g.xoffset;
    else if (key == "yoffset") field = &g.yoffset;
    else if (key == "xadvance") field = &g.xadvance;
    else if (key == "page") field = &g.page;
    if (field) parseField(value, *field);
  }
}

}  // namespace

bool loadFont(std::istream& in, BitmapFont& font) {
  if (!in) return false;
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream line(text);
    std::string first;
    if (!(line >> first)) continue;
    if (first == "common")
      readCommon(line, font);
    else if (first == "char")
      readChar(line, font);
  }
  return true;
}
