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
    : MeshObject(boxMesh(-1.0f, 1.0f, 2.0f, -1.0f, 1.0f),
                 Material(texture, glm::vec4(0.3f, 0.3f, 0.3f, 1.0f), glm::vec4(0.1f, 0.1f, 0.1f, 1.0f), 10.0f)),
      kind(std::move(kind)) {
  worldX = x;
  worldZ = z;
  this->path = path;
  this->pathLength = pathLength;

  EnemyStats stats = enemyStats(this->kind);
  hitPoints = fullHitPoints = stats.hitPoints;
  speed = stats.speed;

  modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(x, 0.0f, z));

  Extent extent;
  boundingBox = makeBoundingBox(mesh.vertices.data(), mesh.vertexCount(), &extent);
  pathIndex = 1;
  centreX = (extent.maxX - extent.minX) * 0.5f + extent.minX;
  centreZ = extent.minZ + (extent.maxZ - extent.minZ) * 0.5f;

  mesh.createBuffers();
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
  applyMaterial(program, *this, material);
  drawClientArrays(program, *this, GL_TRIANGLES, kBoxIndexCount, ColorAttribute::Unused);
}

void Enemy::drawVBO(GLuint program) {
  applyMaterial(program, *this, material);
  drawObjectBuffers(program, *this, mesh.vbo, mesh.ibo, true);
}
