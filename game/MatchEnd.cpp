// The world at the end of a match read as a result for the records.
#include "game/MatchEnd.h"

#include <algorithm>
#include <limits>

#include "game/Game.h"
#include "scene/File.h"
#include "scene/MatchClock.h"
#include "scene/SpawnPoint.h"

int wavesBegun(int waveIndex, int waveCount, int spawnedInWave) {
  return waveIndex + (waveIndex < waveCount && spawnedInWave > 0 ? 1 : 0);
}

int wavesReached(const std::vector<double>& startTimes, double latestStart) {
  return static_cast<int>(std::upper_bound(startTimes.begin(), startTimes.end(), latestStart) - startTimes.begin());
}

MatchResult matchResultOf(const Game& world, const MatchClock& clock) {
  MatchResult result;
  result.won = world.gameState == Won;
  for (const auto& file : world.files) result.filesKept += file->intact ? 1 : 0;
  double latestStart = -std::numeric_limits<double>::infinity();
  for (const auto& spawnPoint : world.spawnPoints) {
    const int begun = wavesBegun(spawnPoint->waveIndex, spawnPoint->waveCount, spawnPoint->spawnedInWave);
    if (begun > 0) latestStart = std::max(latestStart, spawnPoint->waves[begun - 1].startTime);
  }
  result.wavesReached = wavesReached(world.level.waveStartTimes(), latestStart);
  result.seconds = clock.now();
  return result;
}
