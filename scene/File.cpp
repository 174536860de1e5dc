// A file's box, its place in the block around the goal, and its draws.
#include "scene/File.h"

#include <glm/gtc/matrix_transform.hpp>

File::File(int gridX, int gridZ, int boardCentre, GLuint texture)
    : MeshObject(boxMesh(-0.9f, 2.9f, 3.8f, -0.9f, 2.9f),
                 Material(texture, glm::vec4(0.8f, 0.8f, 0.8f, 1.0f), glm::vec4(0.8f, 0.8f, 0.8f, 1.0f), 15.0f)) {
  // The box reaches 0.9 behind its origin and 2.9 ahead of it; these offsets leave 0.2 between neighbours
  // and keep the two lines through the goal free.
  int m = boardCentre;
  if (gridX != 0 && gridZ != 0) {
    float vx = gridX > 0 ? m + 4 * gridX - 3 : m + 4 * gridX + 1;
    float vz = gridZ > 0 ? 1 - 4 * gridZ - m : -4 * gridZ - m - 3;
    modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(vx, 0.0f, vz));
  }

  boundingBox = makeBoundingBox(mesh.vertices.data(), mesh.vertexCount());
  mesh.createBuffers();
}

void File::setIntact(bool intact, GLuint texture) {
  this->intact = intact;
  material.texture = texture;
}

void File::draw(GLuint program) {
  applyMaterial(program, *this, material);
  drawClientArrays(program, *this, GL_TRIANGLES, kBoxIndexCount, ColorAttribute::Fed);
}

void File::drawVBO(GLuint program) {
  applyMaterial(program, *this, material);
  drawObjectBuffers(program, *this, mesh.vbo, mesh.ibo, true);
}
