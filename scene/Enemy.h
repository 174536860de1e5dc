// An enemy: a 2 x 2 x 2 textured box that walks its spawn point's path toward the goal, one axis at a time.
#pragma once

#include <string>

#include "scene/SceneObject.h"

class Enemy : public SceneObject {
 public:
  float* vertices = nullptr;
  float* normals = nullptr;
  float* colors = nullptr;  // built with the box, never fed to a shader
  unsigned int* indices = nullptr;
  glm::mat4 modelMatrix = glm::mat4(1.0f);
  int vertexCount = 0;
  int indexCount = 0;
  std::string kind;
  double hitPoints = 0.0;
  double speed = 0.0;          // board units per second
  const float* path = nullptr;  // the spawn point's (x, z) pairs, not owned
  int pathLength = 0;
  int pathIndex = 1;  // the point it is heading for; point 0 is where it starts
  bool arrived = false;
  float centreX = 0.0f;
  float centreZ = 0.0f;
  float worldX = 0.0f;  // position on the ground, refreshed at the end of every update
  float worldZ = 0.0f;
  float* texCoords = nullptr;
  GLuint texture = 0;
  glm::vec4 diffuse;
  glm::vec4 specular;
  glm::vec4 ambient;
  float* specPower = nullptr;
  GLint minFilter = GL_LINEAR_MIPMAP_LINEAR;
  GLint magFilter = GL_LINEAR;
  glm::vec4* boundingBox = nullptr;
  GLuint vbo = 0;
  GLuint ibo = 0;

  Enemy(std::string kind, float x, float z, const float* path, int pathLength, GLuint texture);
  ~Enemy() override;
  Enemy(const Enemy&) = delete;
  Enemy& operator=(const Enemy&) = delete;

  void update(double dt) override;
  void draw(GLuint program) override;
  float* getVertices() override { return vertices; }
  float* getNormals() override { return normals; }
  float* getColors() override { return colors; }
  unsigned int* getIndices() override { return indices; }
  int getVertexCount() override { return vertexCount; }
  int getIndexCount() override { return indexCount; }
  glm::mat4 getModelMatrix() override { return modelMatrix; }
  float* getTexCoords() override { return texCoords; }
  void drawVBO(GLuint program);
};

struct EnemyStats {
  double hitPoints;
  double speed;
};

// Hit points and speed of a kind; a name that is none of "cube_or", "cube_yl", "cube_w" gets the plain cube's.
EnemyStats enemyStats(const std::string& kind);
