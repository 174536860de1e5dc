// The tower step of the game update: every tower animates and fires at the first enemy in its area.
#include "game/Game.h"
#include "scene/MatchClock.h"
#include "scene/Enemy.h"
#include "scene/Tower.h"

void Game::fireTowers(double dt) {
  for (auto& tower : towers) {
    currentTower = tower.get();
    tower->update(dt);
    if (!towerCanFire(matchClock.now(), tower->lastShotTime, tower->fireInterval)) continue;
    // Enemies already brought to zero stay targets until the kill step removes them.
    for (auto& enemy : enemies) {
      currentEnemy = enemy.get();
      float ex = enemy->worldX;
      float ez = enemy->worldZ;
      if (!inTowerArea(tower->posX, tower->posZ, tower->distance, ex, ez)) continue;
      enemy->hitPoints -= tower->power;
      tower->lastShotTime = matchClock.now();
      tower->fireAt(ex, ez);
      playEffect(laserSound, &laserChannel, 0.1f * effectsVolume);
      break;
    }
  }
}
