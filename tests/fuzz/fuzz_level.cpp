// Fuzzes the level reader with arbitrary text: it must never crash, never report more than ten problems,
// and whatever it accepts must keep the promises of a valid level. An accepted level is then built into a
// world (no GL) and played for a while in long steps, so strange but valid paths and schedules walk too.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const LevelReading reading = readLevel(std::string(reinterpret_cast<const char*>(data), size));
  check(reading.problems.size() <= levelLimits::kProblems, "more than ten problems");
  for (const std::string& problem : reading.problems)
    check(!problem.empty() && problem.find('\n') == std::string::npos && problem.size() < 400,
          "a problem that is not one short line");
  if (!reading.problems.empty()) return 0;
  checkAccepted(reading.level);

  int steps = 0;
  playWithoutTowers(reading.level, 1.0, [&](const Game& world) {
    if (steps == 0) check(world.resources == reading.level.money, "the match does not start with the level's money");
    for (auto& e : world.enemies)
      check(e->worldX >= 0.0f && e->worldX <= kBoardSide && e->worldZ <= 0.0f && e->worldZ >= -kBoardSide,
            "an enemy left the board");
    return ++steps <= 200;
  });
  return 0;
}
