// The per-frame rules of a match: spawning by the wave table, victory, the tower step, kills, enemy movement,
// arrivals that take files, defeat, and the money for all of it.
#include <iostream>
#include <memory>

#include "game/Game.h"
#include "game/MatchRecording.h"
#include "scene/MatchClock.h"
#include "game/Rules.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/TextureSlot.h"

int payForKills(int resources, int killed) { return resources + kKillReward * killed; }

int chargeForArrivals(int resources, int arrived) {
  int penalty = kArrivalPenalty * arrived;
  return resources < penalty ? 0 : resources - penalty;
}

bool insideGoalSquare(float x, float z, int gridSize, int fileRadius) {
  int g = gridSize;
  int h = 4 * fileRadius + 1;
  return g - h < x && x < g + h && -g - h < z && z < -g + h;
}

bool superGlowReady(int gameState, double now, double superGlowReadyTime) {
  return gameState == Running && now > superGlowReadyTime;
}

int enemyTextureSlot(const std::string& kind) {
  if (kind == "cube") return SlotEnemy;
  if (kind == "cube_or") return SlotEnemyOrange;
  if (kind == "cube_yl") return SlotEnemyYellow;
  if (kind == "cube_w") return SlotEnemyWhite;
  return -1;
}

GLuint textureEntry(const GLuint* table, int slot) { return table ? table[slot] : 0; }

SpawnAction spawnAction(int waveIndex, int waveCount, double now, double nextSpawnTime, int spawnedInWave,
                        int waveEnemyCount) {
  if (waveIndex >= waveCount) return SpawnAction::Finished;
  if (!(now > nextSpawnTime)) return SpawnAction::Wait;
  if (spawnedInWave == waveEnemyCount) return SpawnAction::CompleteWave;
  return SpawnAction::Send;
}

void Game::spawnEnemy(float* path, std::string kind, float x, float z, int pathLength, GLuint texture) {
  enemies.push_back(std::make_unique<Enemy>(kind, x, z, path, pathLength, texture));
  Enemy& enemy = *enemies.back();
  enemy.hitPoints *= difficultyFactors(difficulty).hitPoints;
  enemy.fullHitPoints = enemy.hitPoints;
}

// Fast-forward runs the match as that many ordinary steps of this frame's length, each moving the match
// clock on by its own length, so no rule ever sees a longer step than at normal speed: an enemy still stops on
// every waypoint it reaches and a spawn point still sends at most one enemy per step.
void Game::advance(double dt) {
  const int steps = matchClock.speed();
  for (int step = 0; step < steps && gameState == Running; ++step) update(dt);
}

void Game::update(double dt) {
  // The rules of this step all see the moment the step ends.
  matchClock.step(dt);
  matchRecording.step(dt);

  // Spawning: at most one enemy per spawn point per frame. The next time is counted from the scheduled
  // time, not from now, so a late frame does not push the rest of the wave back.
  for (auto& owned : spawnPoints) {
    SpawnPoint* sp = currentSpawnPoint = owned.get();
    int waveEnemyCount = sp->waveIndex < sp->waveCount ? sp->waves[sp->waveIndex].count : 0;
    switch (spawnAction(sp->waveIndex, sp->waveCount, matchClock.now(), sp->nextSpawnTime,
                        sp->spawnedInWave, waveEnemyCount)) {
      case SpawnAction::Finished:
      case SpawnAction::Wait:
        break;
      case SpawnAction::CompleteWave:
        ++sp->waveIndex;
        sp->spawnedInWave = 0;
        if (sp->waveIndex < sp->waveCount) sp->nextSpawnTime = sp->waves[sp->waveIndex].startTime - waveShift;
        break;
      case SpawnAction::Send: {
        const Wave& wave = sp->waves[sp->waveIndex];
        // An unknown kind sends nothing but still uses up its place in the wave.
        int slot = enemyTextureSlot(wave.kind);
        if (slot >= 0)
          spawnEnemy(sp->path.data(), wave.kind, sp->spawnX, sp->spawnZ, sp->pathLength,
                     textureEntry(activeTextures, slot));
        ++sp->spawnedInWave;
        sp->nextSpawnTime += wave.spawnInterval;
        break;
      }
    }
  }

  // Victory: every spawn point has sent all its waves and nothing is left on the board.
  size_t finished = 0;
  for (auto& sp : spawnPoints) {
    currentSpawnPoint = sp.get();
    if (sp->waveIndex != sp->waveCount) break;
    ++finished;
  }
  if (finished == spawnPoints.size() && enemies.empty()) {
    gameState = Won;
    std::cout << "[GAME STATUS]: GEWONNEN" << std::endl;
  }

  fireTowers(dt);

  int killed = 0;
  for (auto it = enemies.begin(); it != enemies.end();) {
    if ((*it)->hitPoints <= 0.0) {
      it = enemies.erase(it);
      ++killed;
    } else {
      ++it;
    }
  }
  resources = payForKills(resources, killed);

  // Movement and arrival. Arrival is judged by where the enemy stood before this frame's step.
  for (auto& e : enemies) {
    currentEnemy = e.get();
    float ex = e->worldX;
    float ez = e->worldZ;
    e->update(dt);
    if (map && insideGoalSquare(ex, ez, map->getGridSize(), fileRadius)) {
      e->arrived = true;
      File* taken = nullptr;
      for (auto& f : files) {
        currentFile = f.get();
        if (f && f->isIntact()) {
          taken = f.get();
          break;
        }
      }
      if (taken) taken->setIntact(false, textureEntry(activeTextures, SlotEnemy));
      // Files fall in list order, so taking the last one means none is left.
      if (!taken || taken == files.back().get()) {
        gameState = Lost;
        platform::setMouseButtonCallback(nullptr);
      }
    }
    if (gameState == Lost) break;
  }

  int arrived = 0;
  for (auto it = enemies.begin(); it != enemies.end();) {
    if ((*it)->arrived) {
      it = enemies.erase(it);
      ++arrived;
    } else {
      ++it;
    }
  }
  resources = chargeForArrivals(resources, arrived);
  matchRecording.afterStep(*this);
}
