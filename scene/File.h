// One of the sixteen data blocks the player defends around the goal; an arriving enemy takes it, and a
// taken file stays where it is with another texture.
#pragma once

#include "scene/MeshObject.h"

class File : public MeshObject {
 public:
  bool intact = true;
  BoundingBox boundingBox;

  // gridX and gridZ pick the cell of the 4 x 4 block around the goal (each -2, -1, 1 or 2; positive rows lie
  // toward negative z); boardCentre is the board's grid size, which is also the goal's coordinate.
  File(int gridX, int gridZ, int boardCentre, GLuint texture);

  void draw(GLuint program) override;
  void drawVBO(GLuint program);
  bool isIntact() { return intact; }
  void setIntact(bool intact, GLuint texture);
};
