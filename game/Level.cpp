// The level value, its schedule in numbers, and the level in code.
#include "game/Level.h"

#include <algorithm>

std::vector<double> Level::waveStartTimes() const {
  std::vector<double> times;
  for (const LevelSpawnPoint& spawnPoint : spawnPoints)
    for (const Wave& wave : wavesOf(spawnPoint)) times.push_back(wave.startTime);
  std::sort(times.begin(), times.end());
  times.erase(std::unique(times.begin(), times.end()), times.end());
  return times;
}

// A wave becomes current once the one before it is complete; its k-th enemy leaves at its start time plus
// k intervals, or at once when that time has already passed.
double Level::lastSendTime() const {
  double last = 0.0;
  for (const LevelSpawnPoint& spawnPoint : spawnPoints) {
    double current = 0.0;
    for (const Wave& wave : wavesOf(spawnPoint)) {
      if (wave.count > 0)
        last = std::max(last, std::max(current, wave.startTime + (wave.count - 1) * wave.spawnInterval));
      current = std::max(current, wave.startTime + wave.count * wave.spawnInterval);
    }
  }
  return last;
}

bool operator==(const Waypoint& a, const Waypoint& b) { return a.x == b.x && a.z == b.z; }

bool operator==(const LevelSpawnPoint& a, const LevelSpawnPoint& b) {
  return a.position == b.position && a.path == b.path && a.waveList == b.waveList;
}

bool operator==(const Level& a, const Level& b) {
  return a.name == b.name && a.description == b.description && a.money == b.money && a.waveLists == b.waveLists &&
         a.spawnPoints == b.spawnPoints;
}

Level classicLevel() {
  Level level;
  level.name = "Classic";
  level.description = "Four corners, four paths, six waves: the board as it has always been played.";
  level.money = 1000;
  level.waveLists = {{
      {3.0, 4.5, "cube", 4},
      {60.0, 3.0, "cube", 7},
      {125.0, 6.0, "cube_or", 5},
      {200.0, 1.0, "cube_yl", 10},
      {270.0, 4.0, "cube_or", 5},
      {340.0, 7.0, "cube_w", 5},
  }};
  // Each path starts at its spawn point and ends at the goal (39, -39); every leg runs along one axis.
  level.spawnPoints = {
      {{1, -1}, {{1, -1}, {1, -10}, {25, -10}, {25, -39}, {39, -39}}, 0},
      {{1, -77}, {{1, -77}, {17, -77}, {17, -51}, {39, -51}, {39, -39}}, 0},
      {{77, -77}, {{77, -77}, {77, -49}, {43, -49}, {43, -39}, {39, -39}}, 0},
      {{77, -1}, {{77, -1}, {51, -1}, {51, -19}, {39, -19}, {39, -39}}, 0},
  };
  return level;
}
