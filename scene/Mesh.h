// The vertex data of one scene object in CPU memory and the buffer objects made from it; the buffers are
// freed once, and only while a GL context is current.
#pragma once

#include <GL/glew.h>

#include <vector>

class Mesh {
 public:
  std::vector<float> vertices;   // 4 per vertex: x, y, z, w
  std::vector<float> normals;    // 3 per vertex
  std::vector<float> colors;     // 4 per vertex (RGBA), or empty for an object without vertex colours
  std::vector<float> texCoords;  // 2 per vertex
  std::vector<unsigned int> indices;
  GLuint vbo = 0;
  GLuint ibo = 0;

  Mesh() = default;
  // Zero-filled arrays for vertexCount vertices and indexCount indices.
  Mesh(int vertexCount, int indexCount, bool withColors);
  ~Mesh();
  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;
  // The moved-from mesh gives up its buffers, so only one of the two ever deletes them.
  Mesh(Mesh&& other) noexcept;
  Mesh& operator=(Mesh&& other) noexcept;

  int vertexCount() const { return static_cast<int>(vertices.size() / 4); }
  int indexCount() const { return static_cast<int>(indices.size()); }

  // One buffer holds positions (16 bytes a vertex) at 0, normals (12) after them and texture coordinates (8)
  // after those; colours are never uploaded. Indices go into a separate element buffer. Without a current
  // context (the level checker plays with no GL at all) nothing is made and the mesh keeps no buffers.
  void createBuffers();
  // The world may be destroyed after shutdown, when no context is current any more: then the buffer names
  // are only forgotten, since GL has gone with the context.
  void deleteBuffers();
};
