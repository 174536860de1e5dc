// A spawn point's path polyline, drawn as line pairs just above the board, and its pulsing line width.
#include "scene/SpawnPoint.h"

#include "game/MatchClock.h"

SpawnPoint::SpawnPoint(float* path, GLuint texture, float spawnX, float spawnZ, Wave* waves) {
  this->path = path;
  this->texture = texture;
  this->spawnX = spawnX;
  this->spawnZ = spawnZ;
  this->waves = waves;
  waveCount = 6;
  pathLength = 5;
  waveIndex = 0;
  spawnedInWave = 0;
  nextSpawnTime = waves[0].startTime;
  diffuse = glm::vec4(1.0f, 1.0f, 1.0f, 1.0f);
  specular = glm::vec4(0.3f, 0.3f, 0.3f, 1.0f);
  ambient = glm::vec4(0.01f, 0.01f, 0.01f, 1.0f);
  specPower = new float(10.0f);
  minFilter = GL_LINEAR_MIPMAP_LINEAR;
  magFilter = GL_LINEAR;
  pulseTime = 0.0;
  modelMatrix = glm::mat4(1.0f);
  vertexCount = pathLength;
  buildPathGeometry();
}

void SpawnPoint::buildPathGeometry() {
  vertices = new float[4 * pathLength]();
  normals = new float[3 * pathLength]();
  colors = new float[4 * pathLength]();
  texCoords = new float[2 * pathLength]();
  // Lifted 0.1 above the board so the lines are not buried in its surface.
  for (int i = 0; i < pathLength; ++i) {
    vertices[4 * i] = path[2 * i];
    vertices[4 * i + 1] = 0.1f;
    vertices[4 * i + 2] = path[2 * i + 1];
    vertices[4 * i + 3] = 1.0f;
    normals[3 * i + 1] = 1.0f;
    for (int k = 0; k < 4; ++k) colors[4 * i + k] = 1.0f;
    texCoords[2 * i] = 0.5f;
    texCoords[2 * i + 1] = 0.5f;
  }

  indexCount = 2 * pathLength - 2;
  indices = new unsigned int[indexCount];
  for (int s = 0; s < pathLength - 1; ++s) {
    indices[2 * s] = s;
    indices[2 * s + 1] = s + 1;
  }
}

SpawnPoint::~SpawnPoint() {
  delete[] vertices;
  delete[] normals;
  delete[] colors;
  delete[] indices;
  delete[] texCoords;
  delete specPower;
  delete[] path;
}

void SpawnPoint::update(double) {}

float pathLineWidth(double pulseTime, double now) {
  double end = pulseTime + 1.0;
  if (now <= end) return static_cast<float>((end - now) * 6.0 + 3.0);
  return 3.0f;
}

void SpawnPoint::draw(GLuint program) {
  glLineWidth(pathLineWidth(pulseTime, matchClock.now()));
  bindObjectTexture(texture, minFilter, magFilter);
  uploadObjectUniforms(program, *this, diffuse, specular, ambient, specPower);
  drawClientArrays(program, *this, GL_LINES, getIndexCount(), ColorAttribute::Fed);
}
