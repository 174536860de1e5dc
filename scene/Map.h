// The board: 39 x 39 textured cells of 2 x 2 units on the ground, x from 0 to 78 and z from 0 to -78.
#pragma once

#include "scene/SceneObject.h"

class Map : public SceneObject {
 public:
  float* vertices = nullptr;
  float* normals = nullptr;
  float* colors = nullptr;  // the board has no vertex colours
  unsigned int* indices = nullptr;
  glm::mat4 modelMatrix = glm::mat4(1.0f);
  int vertexCount = 0;
  int indexCount = 0;
  int gridSize = 0;
  float* texCoords = nullptr;
  GLuint texture = 0;
  glm::vec4 diffuse;
  glm::vec4 specular;
  glm::vec4 ambient;
  float* specPower = nullptr;
  GLint minFilter = GL_LINEAR_MIPMAP_LINEAR;
  GLint magFilter = GL_LINEAR;
  GLuint vbo = 0;
  GLuint ibo = 0;

  explicit Map(GLuint texture);
  ~Map() override;
  Map(const Map&) = delete;
  Map& operator=(const Map&) = delete;

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
  int getGridSize() { return gridSize; }
};
