// The board's mesh (one quad per cell, no shared vertices so every cell maps the whole tile image) and its draws.
#include "scene/Map.h"

Map::Map(GLuint texture)
    : MeshObject(Mesh(6084, 9126, false),
                 Material(texture, glm::vec4(0.5f, 0.5f, 0.5f, 1.0f), glm::vec4(0.5f, 0.5f, 0.5f, 1.0f), 10.0f)) {
  float* vertices = mesh.vertices.data();
  float* normals = mesh.normals.data();
  float* texCoords = mesh.texCoords.data();
  unsigned int* indices = mesh.indices.data();

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
  for (int v = 0; v < mesh.vertexCount(); ++v) normals[3 * v + 1] = 1.0f;
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

  mesh.createBuffers();
}

void Map::draw(GLuint program) {
  applyMaterial(program, *this, material);
  drawClientArrays(program, *this, GL_TRIANGLES, getIndexCount(), ColorAttribute::NotLookedUp);
}

void Map::drawVBO(GLuint program) {
  applyMaterial(program, *this, material);
  drawObjectBuffers(program, *this, mesh.vbo, mesh.ibo, false);
}
