// Tower construction, animation, drawing of model, beam and selection marker, aiming and upgrades.
#include "scene/Tower.h"

#include <cmath>
#include <iostream>
#include <utility>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "scene/MatchClock.h"

const TowerKind towerKinds[kTowerKindCount] = {
    {"tris", 5.0, 25.0, 2.5, 100, SlotTowerStandard, SlotSelStandard},
    {"tris_bl", 10.0, 50.0, 10.0, 500, SlotTowerBlue, SlotSelPower},
    {"tris_gr", 20.0, 15.0, 5.0, 250, SlotTowerGreen, SlotSelSniper},
};

const TowerKind* findTowerKind(const std::string& kind) {
  for (const TowerKind& k : towerKinds)
    if (kind == k.kind) return &k;
  return nullptr;
}

int towerKindIndex(const std::string& kind) {
  const TowerKind* found = findTowerKind(kind);
  return found ? static_cast<int>(found - towerKinds) : -1;
}

bool canAffordTower(int resources, const std::string& kind) {
  const TowerKind* tower = findTowerKind(kind);
  return tower && resources >= tower->price;
}

double towerUpgradeCost(double level) { return 100.0 * std::pow(2.0, level); }

double towerRefund(double level) { return 100.0 * std::pow(2.0, level - 1.0) * 0.5; }

bool towerCanFire(double now, double lastShotTime, double fireInterval) { return now - lastShotTime > fireInterval; }

bool inTowerArea(float posX, float posZ, double distance, float targetX, float targetZ) {
  return posX - distance < targetX && targetX < posX + distance && posZ - distance < targetZ &&
         targetZ < posZ + distance;
}

namespace {

// Positions of the model's first blended frame, measured for the box at construction; zero at start.
glm::vec3 constructionPositions[kMd2ScratchSize];

// Ground corner (0: x0/z0, 1: x1/z0, 2: x1/z1, 3: x0/z1) and whether the vertex is on the top, for the
// 24 vertices of the box layout the beam shares with enemies and files.
struct BoxCorner {
  int ground;
  bool top;
};
constexpr BoxCorner kBoxCorners[24] = {
    {0, false}, {1, false}, {1, true},  {0, true},   // back
    {0, false}, {1, false}, {2, false}, {3, false},  // bottom
    {1, false}, {1, true},  {2, true},  {2, false},  // right
    {1, true},  {0, true},  {3, true},  {2, true},   // top
    {0, true},  {0, false}, {3, false}, {3, true},   // left
    {3, false}, {2, false}, {2, true},  {3, true},   // front
};
constexpr unsigned int kBoxIndices[36] = {0,  2,  1,  0,  3,  2,  4,  5,  6,  4,  6,  7,  8,  9,  10, 8,  10, 11,
                                          12, 13, 14, 12, 14, 15, 16, 17, 18, 16, 18, 19, 20, 21, 22, 20, 22, 23};

// Min and max per axis over every entry, starting from entry 0, into the eight corners.
void boxFromPositions(const glm::vec3* positions, glm::vec3& lo, glm::vec3& hi, glm::vec4* corners) {
  lo = hi = positions[0];
  for (int i = 1; i < kMd2ScratchSize; ++i) {
    lo = glm::min(lo, positions[i]);
    hi = glm::max(hi, positions[i]);
  }
  fillBoundingBox(Extent{lo.x, hi.x, lo.y, hi.y, lo.z, hi.z}, corners);
}

void pointAttribute(GLint location, int components, const float* data) {
  if (location >= 0) glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, data);
}

}  // namespace

Tower::Tower(std::string kind, float x, float z, GLuint skinTexture, GLuint texture5, GLuint markTexture,
             Md2Model* model)
    : worldMax{0.0f, 0.0f, 0.0f},
      worldMin{0.0f, 0.0f, 0.0f},
      kind(std::move(kind)),
      modelMatrix(1.0f),
      posX(x),
      posZ(z),
      shot(24, 36, false),
      marker(4, 6, false),
      material(skinTexture, glm::vec4(0.3f, 0.3f, 0.3f, 1.0f), glm::vec4(1.0f, 1.0f, 1.0f, 1.0f), 10.0f),
      texture5(texture5),
      markTexture(markTexture),
      model(model) {
  if (const TowerKind* k = findTowerKind(this->kind)) {
    distance = k->distance;
    fireInterval = k->fireInterval;
    power = k->power;
  }
  if (model) model->scale = 0.08f;
  animState = startAnimation(0);

  // The model is stored with z up: stand it upright, its local y along world x and local x along world z.
  modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(posX, 0.5f, posZ));
  modelMatrix = glm::translate(modelMatrix, glm::vec3(0.0f, 1.0f, 0.0f));
  modelMatrix = glm::rotate(modelMatrix, glm::radians(-90.0f), glm::vec3(1.0f, 0.0f, 0.0f));
  modelMatrix = glm::rotate(modelMatrix, glm::radians(-90.0f), glm::vec3(0.0f, 0.0f, 1.0f));

  if (model) blendFrames(*model, animState.phase, animState.currentFrame, animState.nextFrame, constructionPositions);
  glm::vec3 lo, hi;
  boxFromPositions(constructionPositions, lo, hi, boundingBox.data());
  glm::vec4 top = modelMatrix * glm::vec4(hi, 1.0f);
  glm::vec4 bottom = modelMatrix * glm::vec4(lo, 1.0f);
  for (int i = 0; i < 3; ++i) {
    worldMax[i] = top[i];
    worldMin[i] = bottom[i];
  }

  centreX = (hi.x - lo.x) * 0.5f + lo.x;
  centreZ = (hi.z - lo.z) * 0.5f + lo.z;
  glm::vec4 centre = modelMatrix * glm::vec4(centreX, 0.0f, centreZ, 1.0f);
  float mx = centre.x;
  float mz = centre.z;

  shot.indices.assign(kBoxIndices, kBoxIndices + 36);

  marker.vertices = {mx - 2.2f, 0.1f, mz - 2.0f, 1.0f, mx + 2.2f, 0.1f, mz - 2.0f, 1.0f,
                     mx + 2.2f, 0.1f, mz + 2.0f, 1.0f, mx - 2.2f, 0.1f, mz + 2.0f, 1.0f};
  marker.normals = {0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0};
  marker.texCoords = {0, 0, 1, 0, 1, 1, 0, 1};
  marker.indices = {0, 2, 1, 0, 3, 2};
}

void Tower::update(double dt) {
  if (dt > 0.0 && model) stepAnimation(animState, *model, static_cast<float>(dt));
}

bool Tower::beamVisible(double now) const { return beamAimed && now < lastShotTime + kBeamDuration; }

void Tower::draw(GLuint program) {
  applyMaterial(program, *this, material);

  // The box follows the pose, so it needs measuring only when the figure expanded a new one.
  if (model && figure.draw(*model, animState, program)) {
    glm::vec3 lo, hi;
    boxFromPositions(md2ExpandedPositions(), lo, hi, boundingBox.data());
  }

  // Beam and marker are in world coordinates and share the tower's material.
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, material.texture);
  uploadObjectUniforms(program, *this, material.diffuse, material.specular, material.ambient, &material.specPower);
  GLint vertexLoc = glGetAttribLocation(program, "vertex");
  GLint normalLoc = glGetAttribLocation(program, "normal");
  GLint texCoordLoc = glGetAttribLocation(program, "texCoord");
  for (GLint loc : {vertexLoc, normalLoc, texCoordLoc})
    if (loc >= 0) glEnableVertexAttribArray(loc);

  const glm::mat4 identity(1.0f);
  GLint modelLoc = glGetUniformLocation(program, "model");
  if (beamVisible(matchClock.now())) {
    glUniformMatrix4fv(modelLoc, 1, GL_FALSE, glm::value_ptr(identity));
    pointAttribute(vertexLoc, 4, shot.vertices.data());
    pointAttribute(normalLoc, 3, shot.normals.data());
    pointAttribute(texCoordLoc, 2, shot.texCoords.data());
    glDrawElements(GL_TRIANGLES, 36, GL_UNSIGNED_INT, shot.indices.data());
  }
  if (selected) {
    bindObjectTexture(markTexture, material.minFilter, material.magFilter);
    glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
    glUniformMatrix4fv(modelLoc, 1, GL_FALSE, glm::value_ptr(identity));
    pointAttribute(vertexLoc, 4, marker.vertices.data());
    pointAttribute(normalLoc, 3, marker.normals.data());
    pointAttribute(texCoordLoc, 2, marker.texCoords.data());
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, marker.indices.data());
  }

  for (GLint loc : {vertexLoc, normalLoc, texCoordLoc})
    if (loc >= 0) glDisableVertexAttribArray(loc);
}

void Tower::fireAt(float ex, float ez) {
  float a = ex - posX;
  float b = posZ - ez;
  float len = std::sqrt(a * a + b * b);
  // A target at the tower's own foot gives no direction to build the bar along.
  beamAimed = len > 0.0f;
  if (!beamAimed) return;
  float qx = 0.1f * b / len;
  float qz = 0.1f * a / len;
  const float ground[4][2] = {{ex - qx, ez - qz}, {ex + qx, ez + qz}, {posX + qx, posZ + qz}, {posX - qx, posZ - qz}};
  for (int v = 0; v < 24; ++v) {
    const BoxCorner& c = kBoxCorners[v];
    shot.vertices[4 * v + 0] = ground[c.ground][0];
    shot.vertices[4 * v + 1] = c.top ? 1.1f : 0.9f;
    shot.vertices[4 * v + 2] = ground[c.ground][1];
    shot.vertices[4 * v + 3] = 1.0f;
    bool bottomFace = v >= 4 && v < 8;
    shot.normals[3 * v + 0] = 0.0f;
    shot.normals[3 * v + 1] = bottomFace ? -1.0f : 1.0f;
    shot.normals[3 * v + 2] = 0.0f;
    shot.texCoords[2 * v + 0] = 0.01f;
    shot.texCoords[2 * v + 1] = 0.99f;
  }
}

void Tower::upgrade() {
  level = level + 1.0;
  distance = distance + 1.0;
  power = power * 2.0;
  std::cout << "level: " << level << " distance: " << distance << " power: " << power << std::endl;
}
