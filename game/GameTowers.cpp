// The tower step of the game update: every tower animates and fires at the enemy its priority picks inside its
// area.
#include <iostream>
#include <iterator>
#include <vector>

#include "game/Game.h"
#include "scene/MatchClock.h"
#include "scene/Enemy.h"
#include "scene/Targeting.h"
#include "scene/Tower.h"

void Game::fireTowers(double dt) {
  std::vector<TargetCandidate> candidates;
  for (auto& tower : towers) {
    currentTower = tower.get();
    tower->update(dt);
    if (!towerCanFire(matchClock.now(), tower->lastShotTime, tower->fireInterval)) continue;
    // Weighed afresh for every tower: the shots of the towers before it in this step have already hit.
    // Enemies already brought to zero stay targets until the kill step removes them.
    candidates.clear();
    for (auto& enemy : enemies)
      candidates.push_back({enemy->worldX, enemy->worldZ, enemy->hitPoints,
                            tower->priority == TargetPriority::First ? roadLeft(*enemy) : 0.0});
    const int target = chooseTarget(tower->priority, tower->posX, tower->posZ, tower->distance, candidates);
    if (target < 0) continue;
    Enemy* enemy = currentEnemy = std::next(enemies.begin(), target)->get();
    enemy->hitPoints -= tower->power;
    tower->lastShotTime = matchClock.now();
    tower->fireAt(enemy->worldX, enemy->worldZ);
    playEffect(laserSound, &laserChannel, 0.1f * effectsVolume);
  }
}

void Game::cycleTargeting() {
  if (!selectedTower || (gameState != Running && gameState != Paused)) return;
  selectedTower->priority = nextTargetPriority(selectedTower->priority);
  std::cout << "Targeting: " << targetPriorityName(selectedTower->priority) << std::endl;
}
