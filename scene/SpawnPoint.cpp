// A spawn point's path polyline, drawn as line pairs just above the board, and its pulsing line width.
#include "scene/SpawnPoint.h"

#include <utility>

#include "scene/MatchClock.h"

SpawnPoint::SpawnPoint(std::vector<float> path, GLuint texture, float spawnX, float spawnZ, const Wave* waves,
                       int waveCount)
    : MeshObject(Mesh(),
                 Material(texture, glm::vec4(0.3f, 0.3f, 0.3f, 1.0f), glm::vec4(0.01f, 0.01f, 0.01f, 1.0f), 10.0f)),
      spawnX(spawnX),
      spawnZ(spawnZ),
      path(std::move(path)),
      waves(waves),
      waveCount(waveCount),
      pathLength(static_cast<int>(this->path.size() / 2)) {
  if (waveCount > 0) nextSpawnTime = waves[0].startTime;
  buildPathGeometry();
}

void SpawnPoint::buildPathGeometry() {
  mesh = Mesh(pathLength, pathLength > 1 ? 2 * pathLength - 2 : 0, true);
  // Lifted 0.1 above the board so the lines are not buried in its surface.
  for (int i = 0; i < pathLength; ++i) {
    mesh.vertices[4 * i] = path[2 * i];
    mesh.vertices[4 * i + 1] = 0.1f;
    mesh.vertices[4 * i + 2] = path[2 * i + 1];
    mesh.vertices[4 * i + 3] = 1.0f;
    mesh.normals[3 * i + 1] = 1.0f;
    for (int k = 0; k < 4; ++k) mesh.colors[4 * i + k] = 1.0f;
    mesh.texCoords[2 * i] = 0.5f;
    mesh.texCoords[2 * i + 1] = 0.5f;
  }
  for (int s = 0; s < pathLength - 1; ++s) {
    mesh.indices[2 * s] = s;
    mesh.indices[2 * s + 1] = s + 1;
  }
}

float pathLineWidth(double pulseTime, double now) {
  double end = pulseTime + 1.0;
  if (now <= end) return static_cast<float>((end - now) * 6.0 + 3.0);
  return 3.0f;
}

void SpawnPoint::draw(GLuint program) {
  glLineWidth(pathLineWidth(pulseTime, matchClock.now()));
  applyMaterial(program, *this, material);
  drawClientArrays(program, *this, GL_LINES, getIndexCount(), ColorAttribute::Fed);
}
