// Building the chosen level into the world: its spawn points with their paths and wave lists, the starting
// money, and the sixteen files around the goal.
#include <memory>
#include <vector>

#include "game/Game.h"
#include "game/Rules.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"

// The spawn points walk the wave lists of `level` itself, which stays unchanged while they live.
void Game::buildLevel() {
  frustumCulling = false;
  useVbo = false;
  resources = startingMoney(level.money, difficulty);
  waveShift = 0.0;

  for (const LevelSpawnPoint& entry : level.spawnPoints) {
    std::vector<float> path;
    for (const Waypoint& point : entry.path) path.insert(path.end(), {point.x, point.z});
    const std::vector<Wave>& waves = level.wavesOf(entry);
    spawnPoints.push_back(std::make_unique<SpawnPoint>(std::move(path), textureEntry(activeTextures, 1),
                                                       entry.position.x, entry.position.z, waves.data(),
                                                       static_cast<int>(waves.size())));
  }
}

// Files are taken in the order they are made: first the block at x < goal toward -z, then x > goal toward -z,
// then x < goal toward +z, then x > goal toward +z.
void Game::createFiles() {
  fileRadius = 2;
  int gridSize = map->getGridSize();
  const int xSigns[4] = {-1, 1, -1, 1};
  const int zSigns[4] = {1, 1, -1, -1};
  for (int group = 0; group < 4; ++group)
    for (int x = 1; x <= 2; ++x)
      for (int z = 1; z <= 2; ++z)
        files.push_back(
            std::make_unique<File>(xSigns[group] * x, zSigns[group] * z, gridSize, textureEntry(activeTextures, 0)));
}
