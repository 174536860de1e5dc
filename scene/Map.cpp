// The board's mesh (one quad per cell, no shared vertices so every cell maps the whole tile image) and its draws.
#include "scene/Map.h"

Map::Map(GLuint texture) {
  vertexCount = 6084;
  indexCount = 9126;
  modelMatrix = glm::mat4(1.0f);
  gridSize = 39;
  this->texture = texture;
  diffuse = glm::vec4(1.0f, 1.0f, 1.0f, 1.0f);
  specular = glm::vec4(0.5f, 0.5f, 0.5f, 1.0f);
  ambient = glm::vec4(0.5f, 0.5f, 0.5f, 1.0f);
  specPower = new float(10.0f);
  minFilter = GL_LINEAR_MIPMAP_LINEAR;
  magFilter = GL_LINEAR;

  vertices = new float[4 * vertexCount]();
  normals = new float[3 * vertexCount]();
  texCoords = new float[2 * vertexCount]();
  indices = new unsigned int[indexCount];

  const float corners[4][2] = {{0, -2}, {2, -2}, {2, 0}, {0, 0}};  // (dx, dz) from the cell's x0, z0
  const float cornerTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int i = 0; i < gridSize; ++i) {
    float x0 = 2.0f * i;
    for (int j = 0; j < gridSize; ++j) {
      float z0 = -2.0f * j;
      int q = gridSize * i + j;
      for (int c = 0; c < 4; ++c) {
        float* v = vertices + 4 * (4 * q + c);
        v[0] = x0 + corners[c][0];
        v[1] = 0.0f;
        v[2] = z0 + corners[c][1];
        v[3] = 1.0f;
        texCoords[2 * (4 * q + c)] = cornerTexCoords[c][0];
        texCoords[2 * (4 * q + c) + 1] = cornerTexCoords[c][1];
      }
    }
  }
  for (int v = 0; v < vertexCount; ++v) normals[3 * v + 1] = 1.0f;
  // Counter-clockwise seen from above, so the upper side is the front face.
  for (int q = 0; q < gridSize * gridSize; ++q) {
    unsigned int b = 4 * q;
    unsigned int* out = indices + 6 * q;
    out[0] = b;
    out[1] = b + 2;
    out[2] = b + 1;
    out[3] = b;
    out[4] = b + 3;
    out[5] = b + 2;
  }

  createObjectBuffers(*this, &vbo, &ibo);
}

Map::~Map() {
  delete[] vertices;
  delete[] normals;
  delete[] texCoords;
  delete[] indices;
  delete specPower;
  deleteObjectBuffers(&vbo, &ibo);
}

void Map::update(double) {}

void Map::draw(GLuint program) {
  bindObjectTexture(texture, minFilter, magFilter);
  uploadObjectUniforms(program, *this, diffuse, specular, ambient, specPower);
  drawClientArrays(program, *this, GL_TRIANGLES, getIndexCount(), ColorAttribute::NotLookedUp);
}

void Map::drawVBO(GLuint program) {
  bindObjectTexture(texture, minFilter, magFilter);
  uploadObjectUniforms(program, *this, diffuse, specular, ambient, specPower);
  drawObjectBuffers(program, *this, vbo, ibo, false);
}
