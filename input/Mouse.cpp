// The mouse-button callback and the commands it runs on the global game: select, build, upgrade, sell
// and the SuperGlow attack.
#include "input/Mouse.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include <glm/gtc/matrix_transform.hpp>

#include "platform/Core.h"
#include "input/Camera.h"
#include "render/TextureCatalogue.h"
#include "app/OptionsScreen.h"
#include "game/Game.h"
#include "scene/MatchClock.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

std::string selectedTowerType;

namespace {

constexpr long long kReferenceWidth = 1024;
constexpr long long kReferenceHeight = 768;
constexpr double kSuperGlowCooldown = 325.0;
constexpr double kSuperGlowDamage = 300.0;

// A tower-type button switches to build mode with that type and drops the selection.
void chooseTowerType(const char* type) {
  game.selectionMode = false;
  deselectTower();
  selectedTowerType = type;
}

}  // namespace

bool insideHudButton(const HudButtonRect& b, int x, int y, int width, int height) {
  // Compared as exact products so that a click on a scaled edge misses in every window size.
  const long long sx = x * kReferenceWidth, sy = y * kReferenceHeight;
  const long long w = width, h = height;
  return b.left * w < sx && sx < b.right * w && b.top * h < sy && sy < b.bottom * h;
}

bool groundPointOfRay(glm::vec3 eye, glm::vec3 direction, glm::vec3* point) {
  if (!(direction.y < 0.0f)) return false;
  const float t = -eye.y / direction.y;
  if (!(t > 0.0f)) return false;
  *point = eye + t * direction;
  return true;
}

bool onBuildArea(float x, float z) { return 1.0f <= x && x <= 77.0f && -77.0f < z && z <= -1.0f; }

void cursorRay(int x, int y, glm::vec3* eye, glm::vec3* direction) {
  const int w = core.windowWidth, h = core.windowHeight;
  *eye = glm::vec3(glm::inverse(camera.viewMatrix) * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
  const glm::vec3 farPoint = glm::unProject(glm::vec3(static_cast<float>(x), static_cast<float>(h - y), 1.0f),
                                            camera.viewMatrix, camera.projectionMatrix, glm::vec4(0.0f, 0.0f, w, h));
  *direction = farPoint - *eye;
}

ClickTarget clickTarget(int x, int y, int width, int height) {
  if (game.selectionMode && insideHudButton(kUpgradeButton, x, y, width, height)) return ClickTarget::Upgrade;
  if (game.selectionMode && insideHudButton(kSellButton, x, y, width, height)) return ClickTarget::Sell;
  if (insideHudButton(kSelectionButton, x, y, width, height)) return ClickTarget::SelectionTool;
  if (insideHudButton(kTrisButton, x, y, width, height)) return ClickTarget::TypeTris;
  if (insideHudButton(kTrisGrButton, x, y, width, height)) return ClickTarget::TypeTrisGr;
  if (insideHudButton(kTrisBlButton, x, y, width, height)) return ClickTarget::TypeTrisBl;
  if (insideHudButton(kSuperGlowButton, x, y, width, height) && game.gameState == Running &&
      matchClock.now() > game.superGlowReadyTime)
    return ClickTarget::SuperGlow;
  return ClickTarget::Board;
}

bool buildPreviewAt(int x, int y, BuildPreview* preview) {
  // A lost match has unhooked the clicks: none builds any more.
  if (game.selectionMode || !game.map || !platform::mouseButtonCallback() ||
      clickTarget(x, y, core.windowWidth, core.windowHeight) != ClickTarget::Board)
    return false;
  glm::vec3 eye, direction, ground;
  cursorRay(x, y, &eye, &direction);
  const float board = 2.0f * game.map->getGridSize();
  if (!groundPointOfRay(eye, direction, &ground) || ground.x < 0.0f || ground.x > board || ground.z > 0.0f ||
      ground.z < -board)
    return false;
  preview->x = ground.x;
  preview->z = ground.z;
  preview->builds = onBuildArea(ground.x, ground.z) && isBuildSpotFree(ground.x, ground.z) &&
                    canAffordTower(game.resources, selectedTowerType);
  return true;
}

void onMouseButton(int button, int action) {
  // Clicks would reach the frozen game under the options screen.
  if (button != platform::MOUSE_BUTTON_LEFT || action != platform::PRESS || optionsScreen.isOpen()) return;

  int mx = 0, my = 0;
  platform::getMousePos(&mx, &my);

  // Ray from the eye through the cursor to the far plane, and where it meets the ground.
  glm::vec3 eye, dir, ground(0.0f);
  cursorRay(mx, my, &eye, &dir);
  const bool meetsGround = groundPointOfRay(eye, dir, &ground);

  switch (clickTarget(mx, my, core.windowWidth, core.windowHeight)) {
    case ClickTarget::Upgrade:
      upgradeSelectedTower();
      return;
    case ClickTarget::Sell:
      sellSelectedTower();
      return;
    case ClickTarget::SelectionTool:
      game.selectionMode = true;
      std::cout << "SelectionMode!" << std::endl;
      return;
    case ClickTarget::TypeTris:
      chooseTowerType("tris");
      return;
    case ClickTarget::TypeTrisGr:
      chooseTowerType("tris_gr");
      return;
    case ClickTarget::TypeTrisBl:
      chooseTowerType("tris_bl");
      return;
    case ClickTarget::SuperGlow:
      triggerSuperGlow();
      game.superGlowReadyTime = matchClock.now() + kSuperGlowCooldown;
      std::cout << "SuperGlow" << std::endl;
      return;
    case ClickTarget::Board:
      break;
  }
  if (game.selectionMode) {
    pickTower(eye, dir);
    return;
  }
  // A click into the sky is off the board like any other point outside it.
  if (!meetsGround || !onBuildArea(ground.x, ground.z)) return;
  if (!isBuildSpotFree(ground.x, ground.z)) {
    std::cout << "Can't build a tower here!" << std::endl;
    return;
  }
  std::cout << "Tower at: " << ground.x << ", " << ground.y << ", " << ground.z << std::endl;
  GLuint skin = 0;
  if (selectedTowerType == "tris")
    skin = textures.textureTable[4];
  else if (selectedTowerType == "tris_bl")
    skin = textures.textureTable[12];
  else if (selectedTowerType == "tris_gr")
    skin = textures.textureTable[13];
  else
    return;
  game.buildTower(selectedTowerType, ground.x, ground.z, skin, textures.textureTable[5], textures.textureTable[10]);
}

bool pickTower(glm::vec3 origin, glm::vec3 direction) {
  const glm::vec3 inv(1.0f / direction.x, 1.0f / direction.y, 1.0f / direction.z);
  const int sx = inv.x < 0.0f, sy = inv.y < 0.0f, sz = inv.z < 0.0f;
  float best = 10000.0f;
  bool anyHit = false;
  game.selectedTower = nullptr;
  for (auto& tower : game.towers) {
    tower->selected = false;
    const glm::vec3 bounds[2] = {glm::vec3(tower->worldMin[0], tower->worldMin[1], tower->worldMin[2]),
                                 glm::vec3(tower->worldMax[0], tower->worldMax[1], tower->worldMax[2])};
    // Slab test against the whole line: boxes behind the eye count too.
    float tmin = (bounds[sx].x - origin.x) * inv.x;
    float tmax = (bounds[1 - sx].x - origin.x) * inv.x;
    float tymin = (bounds[sy].y - origin.y) * inv.y;
    float tymax = (bounds[1 - sy].y - origin.y) * inv.y;
    if (tmin > tymax || tymin > tmax) continue;
    tmin = std::max(tmin, tymin);
    tmax = std::min(tmax, tymax);
    float tzmin = (bounds[sz].z - origin.z) * inv.z;
    float tzmax = (bounds[1 - sz].z - origin.z) * inv.z;
    if (tmin > tzmax || tzmin > tmax) continue;
    anyHit = true;
    float d = glm::distance(origin, glm::vec3(tower->posX, 0.0f, tower->posZ));
    if (d < best) {
      best = d;
      game.selectedTower = tower.get();
    }
  }
  if (game.selectedTower) game.selectedTower->selected = true;
  return anyHit;
}

void deselectTower() {
  if (game.selectedTower) game.selectedTower->selected = false;
  game.selectedTower = nullptr;
}

void upgradeSelectedTower() {
  Tower* tower = game.selectedTower;
  if (!tower) return;
  double cost = 100.0 * std::pow(2.0, tower->level);
  if (game.resources < cost) return;
  game.resources = static_cast<int>(game.resources - cost);
  tower->upgrade();
  std::cout << "Upgrade!" << std::endl;
}

void sellSelectedTower() {
  if (Tower* tower = game.selectedTower) {
    game.resources = static_cast<int>(game.resources + 100.0 * std::pow(2.0, tower->level - 1.0) * 0.5);
    std::cout << "Sell!" << std::endl;
    game.selectedTower = nullptr;
  }
  game.removeSelectedTowers();
}

void triggerSuperGlow() {
  game.playEffect(game.superGlowSound, &game.superGlowChannel, 1.0f * game.effectsVolume);
  const double now = matchClock.now();
  for (auto& spawnPoint : game.spawnPoints) spawnPoint->pulseTime = now;
  for (auto& enemy : game.enemies) enemy->hitPoints -= kSuperGlowDamage;
}

bool isBuildSpotFree(float x, float z) {
  for (auto& tower : game.towers) {
    float ax = tower->worldMax[0], az = tower->worldMax[2];
    float cx = tower->worldMin[0], cz = tower->worldMin[2];
    float hx = (ax - cx) / 2.0f, hz = (az - cz) / 2.0f;
    if (cx - hx < x && x < ax + hx && cz - hz < z && z < az + hz) return false;
  }
  return true;
}
