// What a finished match leaves for the records: the world at its end read as a result.
#pragma once

#include <vector>

#include "game/Records.h"

class Game;
class MatchClock;

// How many of one spawn point's waves have begun: those it has completed, and the current one once it has
// sent an enemy of it.
int wavesBegun(int waveIndex, int waveCount, int spawnedInWave);
// How many of the level's waves (start times, each once, earliest first, as Level::waveStartTimes gives
// them) have been reached when the latest wave begun by any spawn point starts at latestStart; 0 when none
// has begun (latestStart below every start time).
int wavesReached(const std::vector<double>& startTimes, double latestStart);

// The result of the match the world holds, which must be Won or Lost: files still intact, waves reached by
// the spawn points as the wave line counts them, and the match time now (read at the update that ended it).
MatchResult matchResultOf(const Game& world, const MatchClock& clock);
