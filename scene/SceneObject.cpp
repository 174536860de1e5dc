// The helpers every scene object shares: measuring and boxing its vertices, the box mesh, and the two draw
// paths (client memory and buffer objects) with their fixed order of GL calls.
#include "scene/SceneObject.h"

#include <cstdint>

#include <glm/gtc/type_ptr.hpp>


Extent measureExtent(const float* vertices, int vertexCount) {
  Extent e;
  for (int i = 0; i < vertexCount; ++i) {
    const float* v = vertices + 4 * i;
    if (v[0] > e.maxX) e.maxX = v[0];
    if (v[0] < e.minX) e.minX = v[0];
    if (v[1] > e.maxY) e.maxY = v[1];
    if (v[1] < e.minY) e.minY = v[1];
    if (v[2] > e.maxZ) e.maxZ = v[2];
    if (v[2] < e.minZ) e.minZ = v[2];
  }
  return e;
}

void fillBoundingBox(const Extent& e, glm::vec4* corners) {
  corners[0] = glm::vec4(e.minX, e.maxY, e.maxZ, 1.0f);
  corners[1] = glm::vec4(e.maxX, e.maxY, e.maxZ, 1.0f);
  corners[2] = glm::vec4(e.minX, e.maxY, e.minZ, 1.0f);
  corners[3] = glm::vec4(e.maxX, e.maxY, e.minZ, 1.0f);
  corners[4] = glm::vec4(e.minX, e.minY, e.minZ, 1.0f);
  corners[5] = glm::vec4(e.minX, e.minY, e.maxZ, 1.0f);
  corners[6] = glm::vec4(e.maxX, e.minY, e.maxZ, 1.0f);
  corners[7] = glm::vec4(e.maxX, e.minY, e.minZ, 1.0f);
}

BoundingBox makeBoundingBox(const float* vertices, int vertexCount, Extent* extent) {
  Extent e = measureExtent(vertices, vertexCount);
  BoundingBox corners;
  fillBoundingBox(e, corners.data());
  if (extent) *extent = e;
  return corners;
}

void fillBoxMesh(float x0, float x1, float y1, float z0, float z1, float* vertices, float* normals, float* colors,
                 float* texCoords, unsigned int* indices) {
  const float corners[6][4][3] = {
      {{x0, 0, z0}, {x1, 0, z0}, {x1, y1, z0}, {x0, y1, z0}},  // back
      {{x0, 0, z0}, {x1, 0, z0}, {x1, 0, z1}, {x0, 0, z1}},    // bottom
      {{x1, 0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, 0, z1}},  // right
      {{x1, y1, z0}, {x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}},  // top
      {{x0, y1, z0}, {x0, 0, z0}, {x0, 0, z1}, {x0, y1, z1}},  // left
      {{x0, 0, z1}, {x1, 0, z1}, {x1, y1, z1}, {x0, y1, z1}},  // front
  };
  const float faceNormals[6][3] = {{0, 0, -1}, {0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}};
  const float faceColors[6][4] = {{1, 1, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 1},
                                  {0, 0, 1, 1}, {1, 1, 0, 1}, {1, 0.5f, 0, 1}};
  const float cornerTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

  for (int f = 0; f < 6; ++f) {
    for (int c = 0; c < 4; ++c) {
      int v = 4 * f + c;
      for (int k = 0; k < 3; ++k) vertices[4 * v + k] = corners[f][c][k];
      vertices[4 * v + 3] = 1.0f;
      for (int k = 0; k < 3; ++k) normals[3 * v + k] = faceNormals[f][k];
      for (int k = 0; k < 4; ++k) colors[4 * v + k] = faceColors[f][k];
      texCoords[2 * v] = cornerTexCoords[c][0];
      texCoords[2 * v + 1] = cornerTexCoords[c][1];
    }
    // The back face's corners run the other way round, so its triangles are wound the other way to face out.
    unsigned int b = 4 * f;
    unsigned int* out = indices + 6 * f;
    if (f == 0) {
      const unsigned int back[6] = {b, b + 2, b + 1, b, b + 3, b + 2};
      for (int k = 0; k < 6; ++k) out[k] = back[k];
    } else {
      const unsigned int face[6] = {b, b + 1, b + 2, b, b + 2, b + 3};
      for (int k = 0; k < 6; ++k) out[k] = face[k];
    }
  }
}

Mesh boxMesh(float x0, float x1, float y1, float z0, float z1) {
  Mesh mesh(kBoxVertexCount, kBoxIndexCount, true);
  fillBoxMesh(x0, x1, y1, z0, z1, mesh.vertices.data(), mesh.normals.data(), mesh.colors.data(),
              mesh.texCoords.data(), mesh.indices.data());
  return mesh;
}

void bindObjectTexture(GLuint texture, GLint minFilter, GLint magFilter) {
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

void uploadObjectUniforms(GLuint program, SceneObject& object, const glm::vec4& diffuse, const glm::vec4& specular,
                          const glm::vec4& ambient, const float* specPower) {
  glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
  glm::mat4 model = object.getModelMatrix();
  glUniformMatrix4fv(glGetUniformLocation(program, "model"), 1, GL_FALSE, glm::value_ptr(model));
  GLint diffuseLocation = glGetUniformLocation(program, "diffuse_mat");
  GLint specularLocation = glGetUniformLocation(program, "specular_mat");
  GLint ambientLocation = glGetUniformLocation(program, "ambient_mat");
  GLint specPowerLocation = glGetUniformLocation(program, "spec_power");
  glUniform4fv(diffuseLocation, 1, glm::value_ptr(diffuse));
  glUniform4fv(specularLocation, 1, glm::value_ptr(specular));
  glUniform4fv(ambientLocation, 1, glm::value_ptr(ambient));
  glUniform1fv(specPowerLocation, 1, specPower);
}

void applyMaterial(GLuint program, SceneObject& object, const Material& material) {
  bindObjectTexture(material.texture, material.minFilter, material.magFilter);
  uploadObjectUniforms(program, object, material.diffuse, material.specular, material.ambient, &material.specPower);
}

namespace {

// A program without the attribute answers -1; GL would reject that index, and the draw goes on without it.
void enableAttribute(GLint location, int components, const void* data) {
  if (location < 0) return;
  glEnableVertexAttribArray(static_cast<GLuint>(location));
  glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, data);
}

void pointAttribute(GLint location, int components, std::uintptr_t offset) {
  if (location < 0) return;
  glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0,
                        reinterpret_cast<const void*>(offset));
}

void enableLocation(GLint location) {
  if (location >= 0) glEnableVertexAttribArray(static_cast<GLuint>(location));
}

void disableLocation(GLint location) {
  if (location >= 0) glDisableVertexAttribArray(static_cast<GLuint>(location));
}

}  // namespace

void drawClientArrays(GLuint program, SceneObject& object, GLenum mode, int count, ColorAttribute color) {
  GLint vertexLocation = glGetAttribLocation(program, "vertex");
  GLint normalLocation = glGetAttribLocation(program, "normal");
  GLint colorLocation = -1;
  if (color != ColorAttribute::NotLookedUp) {
    GLint found = glGetAttribLocation(program, "color");
    if (color == ColorAttribute::Fed) colorLocation = found;
  }
  GLint texCoordLocation = glGetAttribLocation(program, "texCoord");

  enableAttribute(vertexLocation, 4, object.getVertices());
  enableAttribute(normalLocation, 3, object.getNormals());
  enableAttribute(colorLocation, 4, object.getColors());
  enableAttribute(texCoordLocation, 2, object.getTexCoords());

  glDrawElements(mode, count, GL_UNSIGNED_INT, object.getIndices());

  disableLocation(vertexLocation);
  disableLocation(normalLocation);
  disableLocation(colorLocation);
  disableLocation(texCoordLocation);
}

void drawObjectBuffers(GLuint program, SceneObject& object, GLuint vbo, GLuint ibo, bool lookUpColor) {
  std::uintptr_t n = static_cast<std::uintptr_t>(object.getVertexCount());
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  GLint vertexLocation = glGetAttribLocation(program, "vertex");
  GLint normalLocation = glGetAttribLocation(program, "normal");
  if (lookUpColor) glGetAttribLocation(program, "color");
  GLint texCoordLocation = glGetAttribLocation(program, "texCoord");

  pointAttribute(vertexLocation, 4, 0);
  pointAttribute(normalLocation, 3, n * 16);
  pointAttribute(texCoordLocation, 2, n * 28);
  enableLocation(vertexLocation);
  enableLocation(normalLocation);
  enableLocation(texCoordLocation);

  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
  glDrawElements(GL_TRIANGLES, object.getIndexCount(), GL_UNSIGNED_INT, nullptr);

  disableLocation(vertexLocation);
  disableLocation(normalLocation);
  disableLocation(texCoordLocation);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}
