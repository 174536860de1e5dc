// The board: 39 x 39 textured cells of 2 x 2 units on the ground, x from 0 to 78 and z from 0 to -78.
#pragma once

#include "scene/MeshObject.h"

// The board has no vertex colours.
class Map : public MeshObject {
 public:
  int gridSize = 39;

  explicit Map(GLuint texture);

  void draw(GLuint program) override;
  void drawVBO(GLuint program);
  int getGridSize() { return gridSize; }
};
