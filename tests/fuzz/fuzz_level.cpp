// Fuzzes the level reader with arbitrary text, given as it is and as a file: it must never crash, never report
// more than ten problems and the line that counts the rest, and whatever it accepts must keep the promises
// of a valid level. An accepted level is then built into a world (no GL) and played for a while in long
// steps, so strange but valid paths and schedules walk too; one that is soon over goes through the checker.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/Game.h"
#include "game/LevelCheck.h"
#include "game/LevelFile.h"
#include "scene/Enemy.h"

namespace {

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_level: %s\n", what);
  std::fflush(stderr);
  __builtin_trap();
}

void checkAccepted(const Level& level) {
  check(!level.spawnPoints.empty() && level.spawnPoints.size() <= levelLimits::kSpawnPoints, "spawn point count");
  check(level.money >= 0 && level.money <= levelLimits::kMoney, "money out of its limits");
  long long enemies = 0;
  for (const LevelSpawnPoint& sp : level.spawnPoints) {
    check(sp.waveList < level.waveLists.size(), "a spawn point without its wave list");
    check(sp.path.size() >= 2 && sp.path.size() <= levelLimits::kWaypoints, "path length out of its limits");
    check(sp.path.front() == sp.position, "a path that does not start at its spawn point");
    check(sp.path.back() == (Waypoint{kGoalX, kGoalZ}), "a path that does not end at the goal");
    for (size_t i = 1; i < sp.path.size(); ++i) {
      const Waypoint a = sp.path[i - 1], b = sp.path[i];
      check((a.x == b.x) != (a.z == b.z), "a leg that is empty or not along one axis");
    }
    double end = 0.0;
    for (const Wave& w : level.wavesOf(sp)) {
      check(w.count >= 1 && w.startTime >= end - levelLimits::kTimeTolerance && std::isfinite(w.spawnInterval),
            "a wave out of order");
      end = w.startTime + w.count * w.spawnInterval;
      check(end <= levelLimits::kScheduleEnd + levelLimits::kTimeTolerance, "a wave that ends too late");
      enemies += w.count;
    }
  }
  check(enemies <= levelLimits::kEnemies, "too many enemies");
}

// Match seconds by which the level is surely over without towers: its last enemy sent and walked down the
// longest road at the slowest pace of its kinds.
double surelyOverBy(const Level& level) {
  double longest = 0.0;
  for (const LevelSpawnPoint& sp : level.spawnPoints) {
    double length = 0.0, slowest = 1e9;
    for (size_t i = 1; i < sp.path.size(); ++i)
      length += std::abs(sp.path[i].x - sp.path[i - 1].x) + std::abs(sp.path[i].z - sp.path[i - 1].z);
    for (const Wave& w : level.wavesOf(sp)) slowest = std::min(slowest, enemyStats(w.kind).speed);
    longest = std::max(longest, length / slowest);
  }
  return level.lastSendTime() + longest;
}

std::string filePath;

}  // namespace

// The reader also gets each input as a real file, written here and removed at the end.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  filePath = (std::filesystem::temp_directory_path() / ("fuzz_level_" + std::to_string(getpid()) + ".json")).string();
  std::atexit([] { std::remove(filePath.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const LevelReading reading = readLevel(text);
  const std::vector<std::string>& problems = reading.problems;
  check(problems.size() <= levelLimits::kProblems ||
            (problems.size() == levelLimits::kProblems + 1 && problems.back().rfind("and ", 0) == 0),
        "more than ten problems, or not the line that counts the rest");
  for (const std::string& problem : problems)
    check(!problem.empty() && problem.find('\n') == std::string::npos && problem.size() < 400,
          "a problem that is not one short line");

  std::FILE* file = std::fopen(filePath.c_str(), "wb");
  check(file && std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fclose(file) == 0,
        "cannot write the level file");
  const LevelReading fromFile = readLevelFile(filePath);
  check(fromFile.problems == problems && (!problems.empty() || fromFile.level == reading.level),
        "the file reads otherwise than its text");
  if (!problems.empty()) return 0;
  checkAccepted(reading.level);

  int steps = 0;
  playWithoutTowers(reading.level, 1.0, [&](const Game& world) {
    if (steps == 0) check(world.resources == reading.level.money, "the match does not start with the level's money");
    for (auto& e : world.enemies)
      check(e->worldX >= 0.0f && e->worldX <= kBoardSide && e->worldZ <= 0.0f && e->worldZ >= -kBoardSide,
            "an enemy left the board");
    return ++steps <= 200;
  });

  // The checker's own play, in its 1/60 s steps, for a level it plays in a moment.
  const double overBy = surelyOverBy(reading.level);
  if (overBy > 120.0) return 0;
  const LevelCheck result = checkLevel(reading.level);
  check(result.state != Running && result.updates * kCheckStep <= overBy + 1.0, "the checker's match did not end");
  check(result.enemies >= 16 || result.state == Won, "a level with fewer than sixteen enemies was lost");
  const std::string report = levelCheckReport(reading.level, result);
  check(std::count(report.begin(), report.end(), '\n') == 13 && report.find("not over") == std::string::npos,
        "the checker's report is not its thirteen lines (ten, then one per difficulty)");
  return 0;
}
