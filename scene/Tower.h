// The player's tower: an animated MD2 figure on the board with its kind's reach, damage and rate of fire,
// the beam of its last shot and the marker shown under it while selected.
#pragma once

#include <GL/glew.h>

#include <glm/glm.hpp>
#include <string>

#include "scene/Material.h"
#include "scene/Md2Figure.h"
#include "scene/Md2Model.h"
#include "scene/Mesh.h"
#include "scene/SceneObject.h"
#include "scene/Targeting.h"
#include "scene/TextureSlot.h"

// Everything that sets one kind of tower apart, in one row: its name, reach, damage, seconds between shots,
// price, the skin it wears and the icon of its panel.
struct TowerKind {
  const char* kind;
  double distance;
  double power;
  double fireInterval;
  int price;
  TextureSlot skinSlot;
  TextureSlot iconSlot;
};

// In the order kinds are compared: "tris", "tris_bl", "tris_gr".
constexpr int kTowerKindCount = 3;
extern const TowerKind towerKinds[kTowerKindCount];
// The table entry of a kind, or null for a name that is not a tower kind.
const TowerKind* findTowerKind(const std::string& kind);
// The kind's row in the table, or -1 for a name that is not a tower kind.
int towerKindIndex(const std::string& kind);

// Whether the money pays for a tower of a kind; a name that is no tower kind is never paid for.
bool canAffordTower(int resources, const std::string& kind);
// What raising a tower of this level by one costs, and what selling it gives back: 100 x 2^level and
// 50 x 2^(level - 1), the same for every kind.
double towerUpgradeCost(double level);
double towerRefund(double level);

// A tower may fire again once strictly more than its interval has passed since its last shot.
bool towerCanFire(double now, double lastShotTime, double fireInterval);
// A target counts when it lies strictly inside the square of half-width distance around the tower.
bool inTowerArea(float posX, float posZ, double distance, float targetX, float targetZ);

// How long the beam of a shot stays visible, seconds.
constexpr double kBeamDuration = 0.2;

class Tower : public SceneObject {
 public:
  float worldMax[3];
  float worldMin[3];
  std::string kind;
  glm::mat4 modelMatrix;
  double distance = 0.0;
  double power = 0.0;
  double fireInterval = 0.0;
  double lastShotTime = 0.0;
  double level = 1.0;
  float centreX = 0.0f, centreZ = 0.0f;
  float posX, posZ;
  Mesh shot;    // the beam of the last shot, in world coordinates; no colours, no buffers
  Mesh marker;  // the square under a selected tower, in world coordinates
  Material material;  // its texture is the kind's skin
  GLuint texture5;
  GLuint markTexture;
  Md2AnimationState animState;
  Md2Model* model;  // shared by every tower, owned by the game's model cache
  bool selected = false;
  // Kept through upgrades; a sold tower takes it away with it.
  TargetPriority priority = TargetPriority::Default;
  BoundingBox boundingBox;
  // False until a shot has aimed the beam somewhere; a shot at the tower's own foot has no direction
  // and leaves the beam off.
  bool beamAimed = false;
  // The figure's buffer objects, shared by the passes of a frame.
  Md2Figure figure;

  Tower(std::string kind, float x, float z, GLuint skinTexture, GLuint texture5, GLuint markTexture, Md2Model* model);

  void update(double dt) override;
  void draw(GLuint program) override;
  float* getVertices() override { return nullptr; }
  float* getNormals() override { return nullptr; }
  float* getColors() override { return nullptr; }
  unsigned int* getIndices() override { return nullptr; }
  int getVertexCount() override { return 0; }
  int getIndexCount() override { return 0; }
  glm::mat4 getModelMatrix() override { return modelMatrix; }
  float* getTexCoords() override { return nullptr; }

  // Aims the beam from the tower's foot to the target ground point.
  void fireAt(float ex, float ez);
  // One level more: reach + 1, damage doubled; prints the new values.
  void upgrade();
  // True while the beam of the last shot is still shown at game-clock time now.
  bool beamVisible(double now) const;
};
