// An enemy's box, kind, walk along its path and draws.
#include "scene/Enemy.h"

#include <utility>

#include <glm/gtc/matrix_transform.hpp>

EnemyStats enemyStats(const std::string& kind) {
  if (kind == "cube_or") return {250.0, 1.0};
  if (kind == "cube_yl") return {50.0, 3.0};
  if (kind == "cube_w") return {1000.0, 0.5};
  return {100.0, 1.7};
}

Enemy::Enemy(std::string kind, float x, float z, const float* path, int pathLength, GLuint texture)
    : kind(std::move(kind)) {
  modelMatrix = glm::mat4(1.0f);
  worldX = x;
  worldZ = z;
  this->path = path;
  this->pathLength = pathLength;
  this->texture = texture;
  diffuse = glm::vec4(1.0f, 1.0f, 1.0f, 1.0f);
  specular = glm::vec4(0.3f, 0.3f, 0.3f, 1.0f);
  ambient = glm::vec4(0.1f, 0.1f, 0.1f, 1.0f);
  specPower = new float(10.0f);
  minFilter = GL_LINEAR_MIPMAP_LINEAR;
  magFilter = GL_LINEAR;

  EnemyStats stats = enemyStats(this->kind);
  hitPoints = stats.hitPoints;
  speed = stats.speed;

  vertexCount = kBoxVertexCount;
  indexCount = kBoxIndexCount;
  vertices = new float[4 * vertexCount]();
  normals = new float[3 * vertexCount]();
  colors = new float[4 * vertexCount]();
  texCoords = new float[2 * vertexCount]();
  indices = new unsigned int[indexCount]();
  fillBoxMesh(-1.0f, 1.0f, 2.0f, -1.0f, 1.0f, vertices, normals, colors, texCoords, indices);

  modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(x, 0.0f, z));

  Extent extent;
  boundingBox = makeBoundingBox(vertices, vertexCount, &extent);
  pathIndex = 1;
  centreX = (extent.maxX - extent.minX) * 0.5f + extent.minX;
  centreZ = extent.minZ + (extent.maxZ - extent.minZ) * 0.5f;

  createObjectBuffers(*this, &vbo, &ibo);
}

Enemy::~Enemy() {
  delete[] vertices;
  delete[] normals;
  delete[] colors;
  delete[] texCoords;
  delete[] indices;
  delete specPower;
  delete[] boundingBox;
  deleteObjectBuffers(&vbo, &ibo);
}

// Paths turn only at right angles, so one axis moves at a time. Reaching a point snaps the enemy onto it
// exactly and drops the rest of that frame's step, so rounding never accumulates along the path.
void Enemy::update(double dt) {
  glm::vec4 centre(centreX, 0.0f, centreZ, 1.0f);
  glm::vec4 p = modelMatrix * centre;
  if (pathIndex < pathLength) {
    float tx = path[2 * pathIndex];
    float tz = path[2 * pathIndex + 1];
    bool reached = false;
    if (p.x != tx) {
      bool negative = tx < p.x;
      double step = negative ? -(speed * dt) : speed * dt;
      modelMatrix = glm::translate(modelMatrix, glm::vec3(static_cast<float>(step), 0.0f, 0.0f));
      p = modelMatrix * centre;
      reached = negative ? p.x <= tx : p.x >= tx;
    } else if (p.z != tz) {
      bool negative = tz < p.z;
      double step = negative ? -(speed * dt) : speed * dt;
      modelMatrix = glm::translate(modelMatrix, glm::vec3(0.0f, 0.0f, static_cast<float>(step)));
      p = modelMatrix * centre;
      reached = negative ? p.z <= tz : p.z >= tz;
    }
    if (reached) {
      modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(tx, 0.0f, tz));
      ++pathIndex;
    }
  }
  p = modelMatrix * centre;
  worldX = p.x;
  worldZ = p.z;
}

void Enemy::draw(GLuint program) {
  bindObjectTexture(texture, minFilter, magFilter);
  uploadObjectUniforms(program, *this, diffuse, specular, ambient, specPower);
  drawClientArrays(program, *this, GL_TRIANGLES, kBoxIndexCount, ColorAttribute::Unused);
}

void Enemy::drawVBO(GLuint program) {
  bindObjectTexture(texture, minFilter, magFilter);
  uploadObjectUniforms(program, *this, diffuse, specular, ambient, specPower);
  drawObjectBuffers(program, *this, vbo, ibo, true);
}
