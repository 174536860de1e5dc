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
