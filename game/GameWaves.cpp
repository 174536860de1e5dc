// This match's wave schedule: the level's start times moved by the waves called early, and the call itself.
#include <iostream>
#include <string>

#include "game/Game.h"
#include "platform/Platform.h"
#include "scene/MatchClock.h"
#include "scene/SpawnPoint.h"

std::vector<double> Game::waveStartTimes() const {
  std::vector<double> times = level.waveStartTimes();
  for (double& time : times) time -= waveShift;
  return times;
}

std::optional<WaveCall> Game::callNextWaveEarly() {
  if (gameState != Running) return std::nullopt;
  const double now = matchClock.now();
  const std::optional<WaveCall> call = callNextWave(level.waveStartTimes(), waveShift, now);
  if (!call) return std::nullopt;
  waveShift = call->shift;
  // A spawn point that waits for its next wave to start waits as much less; one in the middle of a wave sends
  // the rest of it as before and takes the moved start of its next wave when it gets there.
  for (auto& spawnPoint : spawnPoints) {
    SpawnPoint& sp = *spawnPoint;
    if (sp.waveIndex < sp.waveCount && sp.spawnedInWave == 0 && sp.nextSpawnTime > now)
      sp.nextSpawnTime = sp.waves[sp.waveIndex].startTime - waveShift;
  }
  resources += call->bonus;
  const std::string wave = "Wave " + std::to_string(call->wave) + " called early";
  const std::string paid = ": +" + std::to_string(call->bonus) + " $";
  screenMessageText = wave + paid;
  screenMessage = {screenMessageText.c_str(), platform::getTime() + 3.0};
  std::cout << "[WAVE]: " << wave << ", " << static_cast<long long>(call->secondsSaved) << " s sooner" << paid
            << std::endl;
  return call;
}
