// Turns a string into one batch of glyph quads cut from the font page and draws it in HUD pixel
// coordinates with the HUD program.
#include "hud/TextRenderer.h"

#include <cstdint>
#include <fstream>
#include <iostream>

#include "hud/ScreenQuads.h"

std::vector<unsigned> glyphCodes(const char* text) {
  std::vector<unsigned> codes;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
    if ((c[0] == 0xC2 || c[0] == 0xC3) && (c[1] & 0xC0) == 0x80) {
      codes.push_back((c[0] & 0x1Fu) << 6 | (c[1] & 0x3Fu));
      ++c;
    } else {
      codes.push_back(c[0]);
    }
  }
  return codes;
}

int textWidth(const BitmapFont& font, const char* text) {
  int width = 0;
  for (unsigned code : glyphCodes(text)) width += font.chars[code].xadvance;
  return width;
}

TextLayout layoutText(const BitmapFont& font, const char* text, bool leftToRight, float x, float y) {
  const std::vector<unsigned> codes = glyphCodes(text);
  const size_t n = codes.size();
  TextLayout layout;
  layout.vertices.assign(4 * n, glm::vec4(0.0f));
  layout.texCoords.assign(4 * n, glm::vec2(0.0f));
  layout.indices.assign(6 * n, 0u);
  // A font that was never read has zero page size; its glyphs are empty anyway, so keep the
  // coordinates finite instead of dividing by zero.
  const float scaleW = font.scaleW ? font.scaleW : 1.0f;
  const float scaleH = font.scaleH ? font.scaleH : 1.0f;
  int16_t pen = 0;
  for (size_t step = 0; step < n; ++step) {
    const size_t i = leftToRight ? step : n - 1 - step;
    const Glyph& g = font.chars[codes[i]];
    const float xoffset = static_cast<int16_t>(g.xoffset);
    const float yoffset = static_cast<int16_t>(g.yoffset);
    const float left = x + pen + xoffset;
    const float right = left + g.width;
    const float top = y - yoffset;
    const float bottom = y - (yoffset + g.height);
    layout.vertices[4 * i + 0] = glm::vec4(left, bottom, 0.0f, 1.0f);
    layout.vertices[4 * i + 1] = glm::vec4(right, bottom, 0.0f, 1.0f);
    layout.vertices[4 * i + 2] = glm::vec4(right, top, 0.0f, 1.0f);
    layout.vertices[4 * i + 3] = glm::vec4(left, top, 0.0f, 1.0f);
    const float u0 = g.x / scaleW;
    const float u1 = (g.x + g.width) / scaleW;
    const float vTop = 1.0f - g.y / scaleH;
    const float vBottom = 1.0f - (g.y + g.height) / scaleH;
    layout.texCoords[4 * i + 0] = glm::vec2(u0, vBottom);
    layout.texCoords[4 * i + 1] = glm::vec2(u1, vBottom);
    layout.texCoords[4 * i + 2] = glm::vec2(u1, vTop);
    layout.texCoords[4 * i + 3] = glm::vec2(u0, vTop);
    const unsigned int base = static_cast<unsigned int>(4 * i);
    const unsigned int quad[6] = {base + 1, base + 3, base, base + 1, base + 2, base + 3};
    for (int k = 0; k < 6; ++k) layout.indices[6 * i + k] = quad[k];
    // The pen is 16 bits wide and wraps like one.
    pen = static_cast<int16_t>(leftToRight ? pen + g.xadvance : pen - g.xadvance);
  }
  return layout;
}

void TextRenderer::init(GLuint program, GLuint texture, glm::mat4 view) {
  this->program = program;
  this->texture = texture;
  this->view = view;
  std::ifstream file("arial.fnt");
  if (!loadFont(file, font)) std::cout << "Error reading font file." << std::endl;
}

void TextRenderer::drawText(const char* text, bool leftToRight, float x, float y) {
  TextLayout layout = layoutText(font, text, leftToRight, x, y);

  // Zero filters mean no filter command yet: the page keeps the filters it was loaded with.
  // An empty text has empty arrays whose data() may be null: pass the pointers on without dereferencing them.
  drawScreenQuads(program, 1, texture, minFilter, magFilter, view,
                  reinterpret_cast<const float*>(layout.vertices.data()),
                  reinterpret_cast<const float*>(layout.texCoords.data()), layout.indices.data(),
                  static_cast<int>(layout.indices.size()));
}
