// The rules players choose between: calling waves early and the schedule it leaves, the bonus, each target
// priority among enemies in and out of a tower's square, and the difficulty factors in a match.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "CaptureStdout.h"
#include "WorldTest.h"
#include "game/Difficulty.h"
#include "game/Game.h"
#include "game/WaveCall.h"
#include "hud/Hud.h"
#include "hud/Overlay.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/MatchClock.h"
#include "scene/SpawnPoint.h"
#include "scene/Targeting.h"
#include "scene/Tower.h"

namespace {

TEST(WaveCall, TheEarliestWaveNotStartedStartsNowAndPaysTwoDollarsAWholeSecond) {
  const std::vector<double> classic = {3, 60, 125, 200, 270, 340};
  struct Row {
    std::vector<double> times;
    double shift, now;
    std::optional<std::tuple<int, double, int>> call;  // wave, seconds saved, bonus
  };
  const Row table[] = {
      {classic, 0, 10, {{2, 50, 100}}},
      {classic, 0, 0.5, {{1, 2.5, 4}}},
      {classic, 0, 60, {{3, 65, 130}}},  // a wave has started from its start time on
      {classic, 50, 10, {{3, 65, 130}}},
      {classic, 50, 10.75, {{3, 64.25, 128}}},
      {classic, 0, 340, std::nullopt},
      {classic, 330, 10, std::nullopt},
      {{}, 0, 0, std::nullopt},
  };
  for (const Row& row : table) {
    const std::optional<WaveCall> call = callNextWave(row.times, row.shift, row.now);
    ASSERT_EQ(call.has_value(), row.call.has_value()) << row.shift << " " << row.now;
    if (call) {
      EXPECT_EQ(std::tuple(call->wave, call->secondsSaved, call->bonus), *row.call) << row.now;
    }
  }
  // 60 - (60 - now) rounds above this now: the called wave has started all the same, or a second call at once
  // would pay for it again.
  const double now = 16.289058321391547;
  const std::optional<WaveCall> rounded = callNextWave({60}, 0, now);
  ASSERT_TRUE(rounded);
  EXPECT_FALSE(callNextWave({60}, rounded->shift, now));
  for (const auto& [seconds, bonus] : std::initializer_list<std::pair<double, int>>{
           {-1.0, 0}, {0.0, 0}, {0.99, 0}, {1.0, 2}, {337.5, 674}})
    EXPECT_EQ(earlyCallBonus(seconds), bonus) << seconds;
}

// Two spawn points with waves of their own: A at 5 and 40 s, B at 20 and 60 s.
Level twoScheduleLevel() {
  Level level = classicLevel();
  level.waveLists = {{{5, 1, "cube", 2}, {40, 1, "cube", 1}}, {{20, 2, "cube_yl", 1}, {60, 1, "cube", 1}}};
  level.spawnPoints.resize(2);
  level.spawnPoints[1].waveList = 1;
  return level;
}

TEST(WaveCall, CallsMoveEveryWaveNotStartedOnEverySpawnPointAndTheNextMatchHasTheLevelsOwnSchedule) {
  platform::useManualClock(true);
  platform::setTime(0.0);
  matchClock = MatchClock();
  CaptureStdout out;
  Game world;
  world.level = twoScheduleLevel();
  world.createMap(0);
  world.buildLevel();
  world.createFiles();
  // Each enemy's spawn point (0 or 1) and the match time of the step that sent it.
  std::vector<std::pair<int, double>> sent;
  auto playUntil = [&](double end) {
    while (matchClock.now() < end) {
      const size_t before = world.enemies.size();
      platform::advanceTime(0.25);
      world.update(0.25);
      if (world.enemies.size() > before)
        sent.emplace_back(world.enemies.back()->path == world.spawnPoints.front()->path.data() ? 0 : 1,
                          matchClock.now());
    }
  };
  playUntil(10);
  std::optional<WaveCall> first = world.callNextWaveEarly();
  ASSERT_TRUE(first);
  EXPECT_EQ(std::tuple(first->wave, first->secondsSaved, first->bonus), std::tuple(2, 10.0, 20));
  EXPECT_EQ(world.waveStartTimes(), (std::vector<double>{-5, 10, 30, 50}));
  EXPECT_EQ(std::string(world.screenMessage.text), "Wave 2 called early: +20 $");
  playUntil(11);
  world.gameState = Paused;
  EXPECT_FALSE(world.callNextWaveEarly());
  world.gameState = Running;
  std::optional<WaveCall> second = world.callNextWaveEarly();
  ASSERT_TRUE(second);
  EXPECT_EQ(std::tuple(second->wave, second->secondsSaved, second->bonus), std::tuple(3, 19.0, 38));
  EXPECT_EQ(world.waveStartTimes(), (std::vector<double>{-24, -9, 11, 31}));
  EXPECT_EQ(waveLineText(world.waveStartTimes(), matchClock.now(), false), "Wave 3/4 \xC2\xB7 next in 20 s");
  EXPECT_EQ(world.resources, 1058);
  playUntil(32);
  EXPECT_FALSE(world.callNextWaveEarly()) << "every wave has started";
  // A sends its first wave on time and its second at once; B its first at once and its second 31 s on.
  EXPECT_EQ(sent, (std::vector<std::pair<int, double>>{{0, 5.25}, {0, 6.25}, {1, 10.25}, {0, 11.25}, {1, 31.25}}));
  EXPECT_EQ(out.text(),
            "[WAVE]: Wave 2 called early, 10 s sooner: +20 $\n[WAVE]: Wave 3 called early, 19 s sooner: +38 $\n");

  world.gameState = Lost;
  world.newMatch();
  EXPECT_EQ(std::tuple(world.waveStartTimes(), world.spawnPoints.front()->nextSpawnTime, world.resources),
            std::tuple(world.level.waveStartTimes(), 5.0, 1000));
  platform::useManualClock(false);
  matchClock = MatchClock();
}

TEST(Targeting, EachPriorityPicksItsEnemyInsideTheSquareAndTiesKeepListOrder) {
  // A tower at (20, -20) with reach 5; the first candidate is outside its square and beats every other.
  const std::vector<TargetCandidate> enemies = {
      {30, -20, 5000, 1},   // 0: out
      {22, -21, 100, 30},   // 1: in, weakest, furthest from the goal
      {17, -20, 250, 10},   // 2: in, strongest, nearest the goal
      {20, -19, 250, 10},   // 3: in, ties 2 on hit points and road, nearest the tower
      {21, -20, 100, 12},   // 4: in, ties 1 on hit points, ties 3 on distance
  };
  const std::pair<TargetPriority, int> table[] = {{TargetPriority::Default, 1}, {TargetPriority::First, 2},
                                                  {TargetPriority::Strongest, 2}, {TargetPriority::Weakest, 1},
                                                  {TargetPriority::Nearest, 3}};
  for (const auto& [priority, expected] : table) {
    EXPECT_EQ(chooseTarget(priority, 20, -20, 5, enemies), expected) << targetPriorityName(priority);
    EXPECT_EQ(chooseTarget(priority, 20, -20, 5, {enemies[0]}), -1) << targetPriorityName(priority);
  }
  std::string cycle;
  TargetPriority p = TargetPriority::Default;
  for (int i = 0; i < 5; ++i) cycle += std::string(targetPriorityName(p = nextTargetPriority(p))) + " ";
  EXPECT_EQ(cycle, "first strongest weakest nearest default ");
}

TEST_F(WorldTest, ASniperOnStrongestShootsTheCubeWOfAMixedGroupAndThePanelSaysSo) {
  const float path[] = {1, -1, 1, -30, 39, -30, 39, -39};
  Enemy* cube = addEnemy("cube", 20, -20, path, 4);
  Enemy* white = addEnemy("cube_w", 21, -20, path, 4);
  Enemy* orange = addEnemy("cube_or", 19, -20, path, 4);
  // From (20, -20) toward (1, -30): 19 + 10 units, then the legs of 38 and 9.
  EXPECT_EQ(roadLeft(*cube), 76.0);
  Tower* sniper = addTower("tris_gr", 20, -22);
  addTower("tris", 20, -22);
  EXPECT_EQ(targetPanelText(sniper->priority, false), "");
  g.selectedTower = sniper;
  CaptureStdout out;
  g.cycleTargeting();
  g.cycleTargeting();
  EXPECT_EQ(out.text(), "Targeting: first\nTargeting: strongest\n");
  EXPECT_EQ(std::tuple(targetPanelText(sniper->priority, false), targetPanelText(TargetPriority::Default, true)),
            std::tuple("Target: strongest", "Target: default"));
  matchClock.jumpTo(20.0);
  g.fireTowers(0.0);
  // The sniper hits the cube_w for 15; the standard tower, on the default, the first of the list for 25.
  EXPECT_EQ(std::tuple(cube->hitPoints, white->hitPoints, orange->hitPoints), std::tuple(75.0, 985.0, 250.0));
}

TEST_F(WorldTest, DifficultiesScaleHitPointsAndStartingMoneyRoundedDownAndNormalIsTheLevelAsWritten) {
  struct Row {
    Difficulty difficulty;
    int classicMoney, oddMoney;  // from 1000 and from 801
    double cubeWHitPoints;
  };
  const Row table[] = {{Difficulty::Easy, 1500, 1201, 750},
                       {Difficulty::Normal, 1000, 801, 1000},
                       {Difficulty::Hard, 900, 720, 1250}};
  for (const Row& row : table) {
    clearWorld(g);
    g.difficulty = row.difficulty;
    buildWorld(g);
    g.spawnEnemy(g.spawnPoints.front()->path.data(), "cube_w", 1, -1, 2, 0);
    const Enemy& enemy = *g.enemies.back();
    EXPECT_EQ(std::tuple(g.resources, startingMoney(801, row.difficulty), enemy.hitPoints, enemy.fullHitPoints),
              std::tuple(row.classicMoney, row.oddMoney, row.cubeWHitPoints, row.cubeWHitPoints))
        << difficultyName(row.difficulty);
  }
}

}  // namespace
