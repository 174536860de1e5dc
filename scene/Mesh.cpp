// Filling and freeing a mesh's buffer objects, and handing them over on a move.
#include "scene/Mesh.h"

#include <utility>

#include "platform/Platform.h"

Mesh::Mesh(int vertexCount, int indexCount, bool withColors)
    : vertices(4 * vertexCount),
      normals(3 * vertexCount),
      colors(withColors ? 4 * vertexCount : 0),
      texCoords(2 * vertexCount),
      indices(indexCount) {}

Mesh::~Mesh() { deleteBuffers(); }

Mesh::Mesh(Mesh&& other) noexcept
    : vertices(std::move(other.vertices)),
      normals(std::move(other.normals)),
      colors(std::move(other.colors)),
      texCoords(std::move(other.texCoords)),
      indices(std::move(other.indices)),
      vbo(std::exchange(other.vbo, 0)),
      ibo(std::exchange(other.ibo, 0)) {}

Mesh& Mesh::operator=(Mesh&& other) noexcept {
  if (this == &other) return *this;
  deleteBuffers();
  vertices = std::move(other.vertices);
  normals = std::move(other.normals);
  colors = std::move(other.colors);
  texCoords = std::move(other.texCoords);
  indices = std::move(other.indices);
  vbo = std::exchange(other.vbo, 0);
  ibo = std::exchange(other.ibo, 0);
  return *this;
}

void Mesh::createBuffers() {
  if (!platform::hasCurrentContext()) return;
  GLsizeiptr n = vertexCount();
  glGenBuffers(1, &vbo);
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glBufferData(GL_ARRAY_BUFFER, n * 36, nullptr, GL_STATIC_DRAW);
  glBufferSubData(GL_ARRAY_BUFFER, 0, n * 16, vertices.data());
  glBufferSubData(GL_ARRAY_BUFFER, n * 16, n * 12, normals.data());
  glBufferSubData(GL_ARRAY_BUFFER, n * 28, n * 8, texCoords.data());

  glGenBuffers(1, &ibo);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexCount()) * 4, indices.data(), GL_STATIC_DRAW);

  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void Mesh::deleteBuffers() {
  if (!vbo && !ibo) return;
  if (platform::hasCurrentContext()) {
    if (vbo) glDeleteBuffers(1, &vbo);
    if (ibo) glDeleteBuffers(1, &ibo);
  }
  vbo = 0;
  ibo = 0;
}
