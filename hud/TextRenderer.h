// Draws a string as one batch of textured quads cut from the bitmap font's page, in HUD pixel coordinates.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "hud/BitmapFont.h"

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
