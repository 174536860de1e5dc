// The player's actions on the one game world: picking, building, upgrading and selling with the kinds'
// prices, the SuperGlow, the pause on the frame clock, the game speed and a new match.
#include "game/PlayerActions.h"

#include <algorithm>
#include <iostream>

#include "game/Game.h"
#include "game/Rules.h"
#include "platform/FrameClock.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/MatchClock.h"
#include "scene/SpawnPoint.h"
#include "scene/TextureSlot.h"
#include "scene/Tower.h"

void showMessage(const char* text) { game.screenMessage = ScreenMessage{text, platform::getTime() + kScreenMessageSeconds}; }

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

void chooseTowerType(const std::string& kind) {
  game.selectionMode = false;
  deselectTower();
  game.selectedTowerType = kind;
}

void buildAt(const std::string& kind, glm::vec3 ground) {
  if (!isBuildSpotFree(ground.x, ground.z)) {
    std::cout << "Can't build a tower here!" << std::endl;
    return;
  }
  std::cout << "Tower at: " << ground.x << ", " << ground.y << ", " << ground.z << std::endl;
  const TowerKind* tower = findTowerKind(kind);
  if (!tower) return;
  const GLuint* table = game.activeTextures;
  game.buildTower(kind, ground.x, ground.z, textureEntry(table, tower->skinSlot), textureEntry(table, SlotTowerSpare),
                  textureEntry(table, SlotMark));
}

void upgradeSelectedTower() {
  Tower* tower = game.selectedTower;
  if (!tower) return;
  const double cost = towerUpgradeCost(tower->level);
  if (game.resources < cost) return;
  game.resources = static_cast<int>(game.resources - cost);
  tower->upgrade();
  std::cout << "Upgrade!" << std::endl;
}

void sellSelectedTower() {
  if (Tower* tower = game.selectedTower) {
    game.resources = static_cast<int>(game.resources + towerRefund(tower->level));
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

void togglePause() {
  if (game.gameState == Running) {
    game.gameState = Paused;
    frameClock.pauseStartTime = platform::getTime();
    std::cout << "Pause mode: true" << std::endl;
    return;
  }
  // Game time resumes from the moment of the pause, so the first step after it is short.
  frameClock.rewindTo(frameClock.pauseStartTime);
  game.gameState = Running;
  std::cout << "Pause mode: false" << std::endl;
}

void cycleGameSpeed() {
  matchClock.setSpeed(nextGameSpeed(matchClock.speed()));
  const char* text = matchClock.speed() == 4 ? "Speed: x4" : matchClock.speed() == 2 ? "Speed: x2" : "Speed: x1";
  std::cout << text << std::endl;
  showMessage(text);
}

void playAgain() {
  if (game.gameState != Lost && game.gameState != Won) return;
  game.newMatch();
  // A lost match unhooked the mouse.
  platform::setMouseButtonCallback(game.clickHandler);
  // A resume without a pause in this match goes back to its start, as in the first match.
  frameClock.pauseStartTime = platform::getTime();
  std::cout << "[GAME STATUS]: NEW GAME" << std::endl;
  showMessage("[GAME STATUS]: NEW GAME");
}
