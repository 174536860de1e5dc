// The game world's life: construction, the board, a new match in the same world, and the teardown at exit.
#include "game/Game.h"

#include <limits>

#include "game/MatchRecording.h"
#include "scene/MatchClock.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

Game game;

Game::Game() {}

namespace {

// The cursor is cleared first so that nothing can reach a destroyed object through it.
template <typename T>
void destroyElements(std::list<std::unique_ptr<T>>& list, T*& cursor) {
  cursor = nullptr;
  list.clear();
}

}  // namespace

// Runs at program exit, after the GL context is gone: the objects' meshes free their memory and leave their
// buffer objects alone when no context is current. Enemies go before the spawn points whose paths they walk,
// towers before the model cache that draws them.
Game::~Game() {
  map.reset();
  destroyElements(towers, currentTower);
  destroyElements(enemies, currentEnemy);
  destroyElements(files, currentFile);
  destroyElements(spawnPoints, currentSpawnPoint);
  releaseSound();
}

void Game::createMap(GLuint texture) { map = std::make_unique<Map>(texture); }

void Game::clearMatchObjects() {
  selectedTower = nullptr;
  destroyElements(towers, currentTower);
  destroyElements(enemies, currentEnemy);
  destroyElements(files, currentFile);
  destroyElements(spawnPoints, currentSpawnPoint);
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
  for (auto& spawnPoint : spawnPoints) spawnPoint->pulseTime = -std::numeric_limits<double>::infinity();
  // The new spawn points and files take the texture filters the player chose, as the board still has them.
  if (minFilter != 0) {
    for (auto& spawnPoint : spawnPoints) {
      spawnPoint->material.minFilter = minFilter;
      spawnPoint->material.magFilter = magFilter;
    }
    for (auto& file : files) {
      file->material.minFilter = minFilter;
      file->material.magFilter = magFilter;
    }
  }
  gameState = Running;
  superGlowReadyTime = kSuperGlowCooldown;
  selectionMode = true;
  // The next music step finds the music stopped and starts it again.
  soundChannelStop(endChannel);
  matchClock.restart();
  matchRecording.begin(level, difficulty);
}
