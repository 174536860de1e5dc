// The one built-in level: four spawn points in the board's corners with their paths to the goal, the six
// waves each of them sends, and the sixteen files around the goal.
#include <memory>
#include <vector>

#include "game/Game.h"
#include "game/Rules.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"

namespace {

constexpr int kSpawnPointCount = 4;
constexpr int kPathLength = 5;
constexpr int kWaveCount = 6;

// Each path starts at its spawn point and ends at the goal (39, -39); every leg runs along one axis.
const float kLevelPaths[kSpawnPointCount][kPathLength][2] = {
    {{1, -1}, {1, -10}, {25, -10}, {25, -39}, {39, -39}},
    {{1, -77}, {17, -77}, {17, -51}, {39, -51}, {39, -39}},
    {{77, -77}, {77, -49}, {43, -49}, {43, -39}, {39, -39}},
    {{77, -1}, {51, -1}, {51, -19}, {39, -19}, {39, -39}},
};

// One table shared by every spawn point; it is never changed, so a constant table serves every game.
Wave levelWaves[kWaveCount] = {
    {3.0, 4.5, "cube", 4},       {60.0, 3.0, "cube", 7},     {125.0, 6.0, "cube_or", 5},
    {200.0, 1.0, "cube_yl", 10}, {270.0, 4.0, "cube_or", 5}, {340.0, 7.0, "cube_w", 5},
};

}  // namespace

void Game::buildLevel() {
  frustumCulling = false;
  useVbo = false;

  waves = levelWaves;

  for (int p = 0; p < kSpawnPointCount; ++p) {
    const float* points = &kLevelPaths[p][0][0];
    spawnPoints.push_back(std::make_unique<SpawnPoint>(std::vector<float>(points, points + 2 * kPathLength),
                                                       textureEntry(activeTextures, 1), kLevelPaths[p][0][0],
                                                       kLevelPaths[p][0][1], waves));
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
