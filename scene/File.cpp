// A file's box, its place in the block around the goal, and its draws.
#include "scene/File.h"

#include <glm/gtc/matrix_transform.hpp>

File::File(int gridX, int gridZ, int boardCentre, GLuint texture) {
  vertexCount = kBoxVertexCount;
  indexCount = kBoxIndexCount;
  intact = true;
  this->texture = texture;
  diffuse = glm::vec4(1.0f, 1.0f, 1.0f, 1.0f);
  specular = glm::vec4(0.8f, 0.8f, 0.8f, 1.0f);
  ambient = glm::vec4(0.8f, 0.8f, 0.8f, 1.0f);
  specPower = new float(15.0f);
  minFilter = GL_LINEAR_MIPMAP_LINEAR;
  magFilter = GL_LINEAR;
  modelMatrix = glm::mat4(1.0f);

  vertices = new float[4 * vertexCount]();
  normals = new float[3 * vertexCount]();
  colors = new float[4 * vertexCount]();
  texCoords = new float[2 * vertexCount]();
  indices = new unsigned int[indexCount]();

  // The box reaches 0.9 behind its origin and 2.9 ahead of it; these offsets leave 0.2 between neighbours
  // and keep the two lines through the goal free.
  int m = boardCentre;
  if (gridX != 0 && gridZ != 0) {
    float vx = gridX > 0 ? m + 4 * gridX - 3 : m + 4 * gridX + 1;
    float vz = gridZ > 0 ? 1 - 4 * gridZ - m : -4 * gridZ - m - 3;
    modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(vx, 0.0f, vz));
  }

  fillBoxMesh(-0.9f, 2.9f, 3.8f, -0.9f, 2.9f, vertices, normals, colors, texCoords, indices);
  boundingBox = makeBoundingBox(vertices, vertexCount);
  createObjectBuffers(*this, &vbo, &ibo);
}

File::~File() {
  delete[] vertices;
  delete[] normals;
  delete[] colors;
  delete[] texCoords;
  delete[] indices;
  delete specPower;
  delete[] boundingBox;
  deleteObjectBuffers(&vbo, &ibo);
}

void File::update(double) {}

void File::setIntact(bool intact, GLuint texture) {
  this->intact = intact;
  this->texture = texture;
}

void File::draw(GLuint program) {
  bindObjectTexture(texture, minFilter, magFilter);
  uploadObjectUniforms(program, *this, diffuse, specular, ambient, specPower);
  drawClientArrays(program, *this, GL_TRIANGLES, kBoxIndexCount, ColorAttribute::Fed);
}

void File::drawVBO(GLuint program) {
  bindObjectTexture(texture, minFilter, magFilter);
  uploadObjectUniforms(program, *this, diffuse, specular, ambient, specPower);
  drawObjectBuffers(program, *this, vbo, ibo, true);
}
