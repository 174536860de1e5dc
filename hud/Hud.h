// The heads-up display: tower buttons, selection tool, Upgrade/Sell panel, SuperGlow and the selected
// tower's panel, drawn as screen-space quads.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

class Hud {
 public:
  GLuint program = 0;
  glm::mat4 view = glm::mat4(1.0f);
  GLint minFilter = 0;
  GLint magFilter = 0;
  float* texCoords = nullptr;
  unsigned int* indices = nullptr;

  Hud() = default;
  Hud(const Hud&) = delete;
  Hud& operator=(const Hud&) = delete;
  virtual ~Hud() {
    delete[] texCoords;
    delete[] indices;
  }

  void init(GLuint program, glm::mat4 view);
  // One textured rectangle with its lower-left corner at (x, y).
  void drawQuad(GLuint texture, float width, float height, float x, float y);
};

// Draws the whole HUD for the game's current state; called at the end of every scene draw.
void drawHud();
