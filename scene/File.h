// One of the sixteen data blocks the player defends around the goal; an arriving enemy takes it, and a
// taken file stays where it is with another texture.
#pragma once

#include "scene/SceneObject.h"

class File : public SceneObject {
 public:
  float* vertices = nullptr;
  float* normals = nullptr;
  float* colors = nullptr;
  unsigned int* indices = nullptr;
  glm::mat4 modelMatrix = glm::mat4(1.0f);
  int vertexCount = 0;
  int indexCount = 0;
  bool intact = true;
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

  // gridX and gridZ pick the cell of the 4 x 4 block around the goal (each -2, -1, 1 or 2; positive rows lie
  // toward negative z); boardCentre is the board's grid size, which is also the goal's coordinate.
  File(int gridX, int gridZ, int boardCentre, GLuint texture);
  ~File() override;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

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
  bool isIntact() { return intact; }
  void setIntact(bool intact, GLuint texture);
};
