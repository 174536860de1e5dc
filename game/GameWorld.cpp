// The game world's life: construction, the board, a new match in the same world, and the teardown at exit.
#include "game/Game.h"

#include <limits>

#include "game/MatchClock.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

Game game;

Game::Game() {}

namespace {

// The cursor is cleared first so that nothing can reach a deleted object through it; null entries are skipped.
// The list nodes themselves go with the list member, after the sounds and the HUD.
template <typename T>
void deleteElements(std::list<T*>& list, T*& cursor) {
  cursor = nullptr;
  for (T* object : list) delete object;
}

}  // namespace

// Runs at program exit, after the GL context is gone: the objects' destructors free their memory and leave
// their buffer objects alone when no context is current.
Game::~Game() {
  delete map;
  deleteElements(towers, currentTower);
  deleteElements(enemies, currentEnemy);
  deleteElements(files, currentFile);
  deleteElements(spawnPoints, currentSpawnPoint);
  releaseSound();
}

void Game::createMap(GLuint texture) { map = new Map(texture); }

void Game::clearMatchObjects() {
  selectedTower = nullptr;
  deleteElements(towers, currentTower);
  deleteElements(enemies, currentEnemy);
  deleteElements(files, currentFile);
  deleteElements(spawnPoints, currentSpawnPoint);
  towers.clear();
  enemies.clear();
  files.clear();
  spawnPoints.clear();
}

void Game::newMatch() {
  clearMatchObjects();
  // Building the level switches buffer objects and culling off, but those switches are the player's.
  const bool vbo = useVbo;
  const bool culling = frustumCulling;
  buildLevel();
  createFiles();
  useVbo = vbo;
  frustumCulling = culling;
  // No SuperGlow has been fired in this match yet; the spawn points' default time would swell the paths in
  // its first second, now that the match clock starts again at 0.
  for (SpawnPoint* spawnPoint : spawnPoints) spawnPoint->pulseTime = -std::numeric_limits<double>::infinity();
  // The new spawn points and files take the texture filters the player chose, as the board still has them.
  if (minFilter != 0) {
    for (SpawnPoint* spawnPoint : spawnPoints) {
      spawnPoint->minFilter = minFilter;
      spawnPoint->magFilter = magFilter;
    }
    for (File* file : files) {
      file->minFilter = minFilter;
      file->magFilter = magFilter;
    }
  }
  gameState = Running;
  resources = 1000;
  superGlowReadyTime = 325.0;
  selectionMode = true;
  // The next music step finds the music stopped and starts it again.
  soundChannelStop(endChannel);
  matchClock.restart();
}
