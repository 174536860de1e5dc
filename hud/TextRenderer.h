// Draws a string as one batch of textured quads cut from the bitmap font's page, in HUD pixel coordinates.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

#include "hud/BitmapFont.h"

// The quads of one string: four corners, four texture coordinates and six indices per character.
struct TextLayout {
  std::vector<glm::vec4> vertices;
  std::vector<glm::vec2> texCoords;
  std::vector<unsigned int> indices;
};

// The glyph codes of a string: a two-byte UTF-8 sequence for U+0080 ... U+00FF (lead byte C2 or C3) is one code,
// every other byte is its own code, so ASCII and single Latin-1 bytes index the glyph table as they are.
std::vector<unsigned> glyphCodes(const char* text);

// How far the pen moves over the whole string, in pixels: the sum of its glyphs' advances.
int textWidth(const BitmapFont& font, const char* text);

// Places each character of text from the pen position (x, y), y being the top of the line; right to left
// the last character starts at x. Pure, so the placement can be checked without drawing.
TextLayout layoutText(const BitmapFont& font, const char* text, bool leftToRight, float x, float y);

class TextRenderer {
 public:
  GLuint program = 0;
  GLuint texture = 0;
  glm::mat4 view = glm::mat4(1.0f);
  BitmapFont font;
  GLint minFilter = 0;
  GLint magFilter = 0;

  // Stores the program, page texture and projection and reads "arial.fnt".
  void init(GLuint program, GLuint texture, glm::mat4 view);
  void drawText(const char* text, bool leftToRight, float x, float y);
};
