// Where enemies enter the board: the entry position, the path to the goal (drawn as a white polyline that
// swells after a SuperGlow attack) and this entry's progress through the shared wave table.
#pragma once

#include "game/Wave.h"
#include "scene/SceneObject.h"

class SpawnPoint : public SceneObject {
 public:
  float* vertices = nullptr;
  float* normals = nullptr;
  float* colors = nullptr;
  unsigned int* indices = nullptr;
  glm::mat4 modelMatrix = glm::mat4(1.0f);
  int vertexCount = 0;
  int indexCount = 0;
  float spawnX = 0.0f;
  float spawnZ = 0.0f;
  float* path = nullptr;  // pathLength (x, z) pairs, owned; enemies share it read-only
  Wave* waves = nullptr;  // shared by every spawn point, not owned
  int waveCount = 6;
  int pathLength = 5;
  int waveIndex = 0;
  int spawnedInWave = 0;
  double nextSpawnTime = 0.0;
  float* texCoords = nullptr;
  GLuint texture = 0;
  glm::vec4 diffuse;
  glm::vec4 specular;
  glm::vec4 ambient;
  float* specPower = nullptr;
  GLint minFilter = GL_LINEAR_MIPMAP_LINEAR;
  GLint magFilter = GL_LINEAR;
  double pulseTime = 0.0;  // match time of the last SuperGlow attack

  // Takes ownership of path, which must hold five (x, z) points; waves must hold six records.
  SpawnPoint(float* path, GLuint texture, float spawnX, float spawnZ, Wave* waves);
  ~SpawnPoint() override;
  SpawnPoint(const SpawnPoint&) = delete;
  SpawnPoint& operator=(const SpawnPoint&) = delete;

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

  void buildPathGeometry();
};

// Width in pixels of the path lines at match time now: 9 at the attack, shrinking linearly to 3 one second later.
float pathLineWidth(double pulseTime, double now);
