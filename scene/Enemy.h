// An enemy: a 2 x 2 x 2 textured box that walks its spawn point's path toward the goal, one axis at a time.
#pragma once

#include <string>

#include "scene/MeshObject.h"

// Its box's colours are built with it but never fed to a shader.
class Enemy : public MeshObject {
 public:
  std::string kind;
  double hitPoints = 0.0;
  double fullHitPoints = 0.0;  // what it came on the board with: its kind's, scaled by the difficulty
  double speed = 0.0;          // board units per second
  const float* path = nullptr;  // the spawn point's (x, z) pairs, not owned
  int pathLength = 0;
  int pathIndex = 1;  // the point it is heading for; point 0 is where it starts
  bool arrived = false;
  float centreX = 0.0f;
  float centreZ = 0.0f;
  float worldX = 0.0f;  // position on the ground, refreshed at the end of every update
  float worldZ = 0.0f;
  BoundingBox boundingBox;

  Enemy(std::string kind, float x, float z, const float* path, int pathLength, GLuint texture);

  void update(double dt) override;
  void draw(GLuint program) override;
  void drawVBO(GLuint program);
};

struct EnemyStats {
  double hitPoints;
  double speed;
};

// Hit points and speed of a kind; a name that is none of "cube_or", "cube_yl", "cube_w" gets the plain cube's.
EnemyStats enemyStats(const std::string& kind);
