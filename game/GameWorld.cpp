// The game world's life: construction, the board, and the teardown at program exit.
#include "game/Game.h"
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
