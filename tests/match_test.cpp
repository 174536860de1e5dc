// Whole matches on the headless runner: lost without towers, won when every enemy is killed, and how fast
// a match is simulated.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "CaptureStdout.h"
#include "GlTestContext.h"
#include "MatchRunner.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/SpawnPoint.h"

namespace {

// The level as the player meets it: corner paths, the wave table, speeds by kind, the goal square
// 30 < x < 48, -48 < z < -30.
const float kPaths[4][5][2] = {
    {{1, -1}, {1, -10}, {25, -10}, {25, -39}, {39, -39}},
    {{1, -77}, {17, -77}, {17, -51}, {39, -51}, {39, -39}},
    {{77, -77}, {77, -49}, {43, -49}, {43, -39}, {39, -39}},
    {{77, -1}, {51, -1}, {51, -19}, {39, -19}, {39, -39}},
};
struct LevelWave {
  double start, interval;
  double speed;
  int count;
};
const LevelWave kWaves[6] = {{3.0, 4.5, 1.7, 4},   {60.0, 3.0, 1.7, 7}, {125.0, 6.0, 1.0, 5},
                             {200.0, 1.0, 3.0, 10}, {270.0, 4.0, 1.0, 5}, {340.0, 7.0, 0.5, 5}};
constexpr double kFrame = 1.0 / 60.0;

bool inside(double v, double low, double high) { return low < v && v < high; }

// Distance along a path until the walker is on the edge of the goal square (one step more and it is in).
double distanceToGoalSquare(const float (&path)[5][2]) {
  double walked = 0.0;
  for (int leg = 0; leg < 4; ++leg) {
    double ax = path[leg][0], az = path[leg][1], bx = path[leg + 1][0], bz = path[leg + 1][1];
    bool alongX = ax != bx;
    double fixed = alongX ? az : ax, from = alongX ? ax : az, to = alongX ? bx : bz;
    double low = alongX ? 30.0 : -48.0, high = alongX ? 48.0 : -30.0;
    double fixedLow = alongX ? -48.0 : 30.0, fixedHigh = alongX ? -30.0 : 48.0;
    if (inside(fixed, fixedLow, fixedHigh)) {
      double edge = to > from ? low : high;
      if ((edge - from) * (to - edge) >= 0.0) return walked + std::fabs(edge - from);
    }
    walked += std::fabs(to - from);
  }
  return -1.0;
}

// Earliest possible arrival of every enemy of the level: the spawn time plus the walk to the square's edge.
// An enemy is sent in the first frame after its time, moves in that frame, loses at most one frame at each
// path point it snaps onto (three at most before the square), and is found inside one frame after it
// crosses the edge; so it really arrives no later than six frames after this time.
std::vector<double> earliestArrivals() {
  std::vector<double> times;
  for (const LevelWave& w : kWaves)
    for (int k = 0; k < w.count; ++k)
      for (const auto& path : kPaths) times.push_back(w.start + k * w.interval + distanceToGoalSquare(path) / w.speed);
  std::sort(times.begin(), times.end());
  return times;
}
constexpr double kLatenessFrames = 6.0;

int takenFiles(Game& g) {
  int n = 0;
  for (auto& f : g.files)
    if (!f->isIntact()) ++n;
  return n;
}

bool takenInListOrder(Game& g) {
  bool seenIntact = false;
  for (auto& f : g.files) {
    if (f->isIntact())
      seenIntact = true;
    else if (seenIntact)
      return false;
  }
  return true;
}

class MatchTest : public GlTest {
 protected:
  void TearDown() override { platform::useManualClock(false); }
};

TEST_F(MatchTest, WithoutTowersTheSixteenthArrivalLosesTheMatch) {
  std::vector<double> expected = earliestArrivals();
  ASSERT_EQ(expected.size(), 144u);
  // The first arrivals come from the shortest corner path; the 16th is the last cube of the first wave
  // from a long path, sent at 16.5 s and 67 units from the square at 1.7 units a second.
  EXPECT_NEAR(expected[0], 3.0 + 63.0 / 1.7, 1e-9);
  EXPECT_NEAR(expected[15], 16.5 + 67.0 / 1.7, 1e-9);
  ASSERT_GT(expected[16], expected[15] + kLatenessFrames * kFrame) << "the 16th arrival must be unambiguous";

  Game g;
  MatchRunner runner(g);
  runner.buildWorld();
  double firstArrival = -1.0;
  int lastTaken = 0;
  int maxPerFrame = 0;
  bool moneyFollowsArrivals = true, orderKept = true;
  runner.afterUpdate = [&](Game& game) {
    int taken = takenFiles(game);
    if (taken > 0 && firstArrival < 0.0) firstArrival = platform::getTime();
    maxPerFrame = std::max(maxPerFrame, taken - lastTaken);
    lastTaken = taken;
    if (game.resources != std::max(0, 1000 - 100 * taken)) moneyFollowsArrivals = false;
    if (!takenInListOrder(game)) orderKept = false;
  };

  runner.runFor(400.0);
  double lossTime = platform::getTime();

  ASSERT_EQ(g.gameState, Lost);
  EXPECT_EQ(takenFiles(g), 16);
  EXPECT_EQ(g.resources, 0);
  EXPECT_TRUE(moneyFollowsArrivals) << "money must fall by 100 per arrival and stop at 0";
  EXPECT_TRUE(orderKept) << "files must be taken in list order";
  EXPECT_GE(firstArrival, expected[0]);
  EXPECT_LE(firstArrival, expected[0] + kLatenessFrames * kFrame);
  EXPECT_GE(lossTime, expected[15]);
  EXPECT_LE(lossTime, expected[15] + kLatenessFrames * kFrame);
  EXPECT_GE(maxPerFrame, 1);
  for (auto& e : g.enemies) EXPECT_FALSE(e->arrived);
  std::cout << "first arrival at " << firstArrival << " s, lost at " << lossTime << " s" << std::endl;

  // The match is over: no frame runs the rules any more.
  long long frames = runner.frames();
  std::vector<float> positions;
  for (auto& e : g.enemies) positions.push_back(e->worldX + e->worldZ);
  EXPECT_EQ(runner.runFor(10.0), 0);
  EXPECT_EQ(runner.frames(), frames);
  EXPECT_EQ(platform::getTime(), lossTime);
  size_t i = 0;
  for (auto& e : g.enemies) EXPECT_EQ(e->worldX + e->worldZ, positions[i++]);
}

TEST_F(MatchTest, KillingEveryEnemyWinsAfterTheLastWave) {
  Game g;
  MatchRunner runner(g);
  runner.buildWorld();
  std::map<std::string, int> sent;
  runner.afterUpdate = [&](Game& game) {
    for (auto& e : game.enemies) {
      if (e->hitPoints > 0.0) {
        ++sent[e->kind];
        e->hitPoints = 0.0;
      }
    }
  };

  CaptureStdout out;
  runner.runFor(400.0);
  double wonAt = platform::getTime();
  std::string console = out.text();

  ASSERT_EQ(g.gameState, Won);
  EXPECT_EQ(console, "[GAME STATUS]: GEWONNEN\n");
  EXPECT_EQ(sent["cube"], 44);
  EXPECT_EQ(sent["cube_or"], 40);
  EXPECT_EQ(sent["cube_yl"], 40);
  EXPECT_EQ(sent["cube_w"], 20);
  EXPECT_EQ(sent.size(), 4u);
  EXPECT_EQ(g.resources, 1000 + 50 * 144);
  EXPECT_EQ(takenFiles(g), 0);
  // The last wave's fifth enemy leaves at 368 s; the wave counts as complete one interval later.
  EXPECT_GT(wonAt, 340.0 + 5 * 7.0);
  EXPECT_LE(wonAt, 340.0 + 5 * 7.0 + 2 * kFrame);
  for (auto& sp : g.spawnPoints) EXPECT_EQ(sp->waveIndex, 6);
}

TEST_F(MatchTest, AFourHundredSecondMatchTakesLittleWallTime) {
  Game g;
  MatchRunner runner(g);
  runner.buildWorld();
  // Every file is put back after each frame, so all 144 enemies walk and arrive and the match never ends.
  runner.afterUpdate = [](Game& game) {
    for (auto& f : game.files) f->setIntact(true, 0);
  };
  auto start = std::chrono::steady_clock::now();
  int frames = runner.runFor(400.0);
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  EXPECT_EQ(frames, 24000);
  EXPECT_EQ(g.gameState, Running);
  EXPECT_EQ(g.resources, 0);
  RecordProperty("wall_ms_per_400_simulated_seconds", static_cast<int>(wall * 1000.0));
  std::cout << "400 simulated seconds (24000 frames) took " << wall * 1000.0 << " ms of wall time" << std::endl;
  EXPECT_LT(wall, 400.0 / 60.0) << "must stay under one second of wall time per simulated minute";
}

}  // namespace
