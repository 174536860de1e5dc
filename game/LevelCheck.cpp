// The level checker's match: the world built from the level on the manual clock, played step by step with
// the game's own rules until it is over, and the numbers gathered on the way.
#include "game/LevelCheck.h"

#include <cstdio>
#include <iostream>
#include <sstream>

#include "game/Difficulty.h"
#include "game/Game.h"
#include "game/LevelFile.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/MatchClock.h"

namespace {

const char* const kKinds[4] = {"cube", "cube_or", "cube_yl", "cube_w"};

// Every enemy of a valid level has been sent by the end of the schedule and walks at least half a unit a
// second along at most kPathLength units: by then any match is over.
const int kMostUpdates =
    static_cast<int>((levelLimits::kScheduleEnd + levelLimits::kPathLength / 0.5 + 60.0) / kCheckStep);

std::string seconds(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", value);
  return text;
}

}  // namespace

void playWithoutTowers(const Level& level, double step, const std::function<bool(const Game&)>& goOn,
                       Difficulty difficulty) {
  // The world's own lines (the win) are not wanted.
  std::ostringstream sink;
  std::streambuf* console = std::cout.rdbuf(sink.rdbuf());
  platform::useManualClock(true);
  platform::setTime(0.0);
  matchClock = MatchClock();
  {
    Game world;
    world.level = level;
    world.difficulty = difficulty;
    world.createMap(0);
    world.buildLevel();
    world.createFiles();
    while (goOn(world) && world.gameState == Running) {
      platform::advanceTime(step);
      world.update(step);
    }
  }
  std::cout.rdbuf(console);
}

LevelCheck checkLevel(const Level& level, Difficulty difficulty) {
  LevelCheck check;
  for (const LevelSpawnPoint& spawnPoint : level.spawnPoints)
    for (const Wave& wave : level.wavesOf(spawnPoint)) {
      check.enemies += wave.count;
      check.hitPoints += wave.count * enemyStats(wave.kind).hitPoints;
      for (int k = 0; k < 4; ++k) check.enemiesOfKind[k] += wave.kind == kKinds[k] ? wave.count : 0;
    }
  const std::vector<double> starts = level.waveStartTimes();
  check.lastWaveStart = starts.empty() ? 0.0 : starts.back();
  check.lastSendTime = level.lastSendTime();

  const auto watch = [&check](const Game& world) {
    // Files are taken in list order: the first one goes with the first arrival.
    if (check.firstArrival < 0.0 && !world.files.front()->isIntact()) check.firstArrival = matchClock.now();
    check.state = world.gameState;
    check.filesTaken = 0;
    for (auto& file : world.files) check.filesTaken += file->isIntact() ? 0 : 1;
    if (world.gameState != Running || check.updates == kMostUpdates) return false;
    ++check.updates;
    return true;
  };
  playWithoutTowers(level, kCheckStep, watch, difficulty);
  return check;
}

std::string levelCheckReport(const Level& level, const LevelCheck& check) {
  std::ostringstream out;
  out << "Level: " << level.name << "\n" << level.description << "\n";
  out << "Money at start: " << level.money << "\n";
  out << "Spawn points: " << level.spawnPoints.size() << "\n";
  out << "Enemies: " << check.enemies << " (";
  for (int k = 0; k < 4; ++k) out << (k ? ", " : "") << kKinds[k] << " " << check.enemiesOfKind[k];
  out << ")\n";
  out << "Total hit points: " << static_cast<long long>(check.hitPoints) << "\n";
  // Two facts that may belong to different waves: a wave that starts late can be short, one that starts
  // early can send for long.
  out << "Latest wave start: " << check.lastWaveStart << " s\n";
  out << "Last enemy sent: " << check.lastSendTime << " s\n";
  out << "First arrival without towers: " << (check.firstArrival < 0.0 ? "none" : seconds(check.firstArrival)) << "\n";
  const double end = check.updates * kCheckStep;
  if (check.state == Lost)
    out << "Lost without towers: " << seconds(end) << " (update " << check.updates << " at 60 a second)\n";
  else if (check.state == Won)
    out << "Lost without towers: never; won at " << seconds(end) << " with " << check.filesTaken
        << " of 16 files taken\n";
  else
    out << "Lost without towers: not over after " << seconds(end) << "\n";
  // Without towers no enemy is ever hit, so the play above is every difficulty's.
  for (Difficulty difficulty : {Difficulty::Easy, Difficulty::Normal, Difficulty::Hard})
    out << difficultyTitle(difficulty) << ": " << startingMoney(level.money, difficulty) << " $ at start, "
        << static_cast<long long>(check.hitPoints * difficultyFactors(difficulty).hitPoints) << " hit points\n";
  return out.str();
}
