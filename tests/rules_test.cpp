// The match rules: money, the goal square and spawn decisions in numbers, the built level, spawning frame by
// frame on a set clock, arrivals, defeat, victory, and the world's teardown.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <memory>
#include <string>
#include <vector>

#include "CaptureStdout.h"
#include "GlTestContext.h"
#include "MatchRunner.h"
#include "app/Globals.h"
#include "game/Game.h"
#include "game/Rules.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"

namespace {

TEST(RulesInNumbers, MoneyForKillsAndArrivals) {
  EXPECT_EQ(payForKills(1000, 0), 1000);
  EXPECT_EQ(payForKills(1000, 3), 1150);
  EXPECT_EQ(chargeForArrivals(1000, 1), 900);
  EXPECT_EQ(chargeForArrivals(150, 2), 0);
  EXPECT_EQ(chargeForArrivals(200, 2), 0);
  EXPECT_EQ(chargeForArrivals(201, 2), 1);
  EXPECT_EQ(chargeForArrivals(0, 1), 0);
  EXPECT_EQ(chargeForArrivals(350, 0), 350);
}

TEST(RulesInNumbers, GoalSquareIsOpen) {
  // Half-width 4 * 2 + 1 = 9 around (39, -39).
  EXPECT_TRUE(insideGoalSquare(39.0f, -39.0f, 39, 2));
  EXPECT_TRUE(insideGoalSquare(30.01f, -47.99f, 39, 2));
  EXPECT_FALSE(insideGoalSquare(30.0f, -39.0f, 39, 2));
  EXPECT_FALSE(insideGoalSquare(48.0f, -39.0f, 39, 2));
  EXPECT_FALSE(insideGoalSquare(39.0f, -30.0f, 39, 2));
  EXPECT_FALSE(insideGoalSquare(39.0f, -48.0f, 39, 2));
  EXPECT_FALSE(insideGoalSquare(25.0f, -39.0f, 39, 2));
  // Before the files exist the radius is 0 and the square is only 1 wide.
  EXPECT_FALSE(insideGoalSquare(37.5f, -39.0f, 39, 0));
  EXPECT_TRUE(insideGoalSquare(38.5f, -39.0f, 39, 0));
}

TEST(RulesInNumbers, SpawnDecisionsAndKindTextures) {
  EXPECT_EQ(spawnAction(6, 6, 1000.0, 0.0, 0, 5), SpawnAction::Finished);
  EXPECT_EQ(spawnAction(0, 6, 3.0, 3.0, 0, 4), SpawnAction::Wait);  // strictly after
  EXPECT_EQ(spawnAction(0, 6, 2.0, 3.0, 4, 4), SpawnAction::Wait);
  EXPECT_EQ(spawnAction(0, 6, 3.0001, 3.0, 0, 4), SpawnAction::Send);
  EXPECT_EQ(spawnAction(0, 6, 21.1, 21.0, 4, 4), SpawnAction::CompleteWave);
  EXPECT_EQ(spawnAction(5, 6, 400.0, 375.0, 5, 5), SpawnAction::CompleteWave);

  EXPECT_EQ(enemyTextureSlot("cube"), 1);
  EXPECT_EQ(enemyTextureSlot("cube_or"), 14);
  EXPECT_EQ(enemyTextureSlot("cube_yl"), 15);
  EXPECT_EQ(enemyTextureSlot("cube_w"), 16);
  EXPECT_EQ(enemyTextureSlot("cube "), -1);
  EXPECT_EQ(enemyTextureSlot(""), -1);
}

TEST(GameConstruction, StartsRunningWithEverythingEmpty) {
  Game g;
  EXPECT_EQ(g.resources, 1000);
  EXPECT_EQ(g.gameState, Running);
  EXPECT_EQ(g.superGlowReadyTime, 325.0);
  EXPECT_TRUE(g.drawSpawnPoints);
  EXPECT_TRUE(g.selectionMode);
  EXPECT_FALSE(g.frustumCulling);
  EXPECT_FALSE(g.useVbo);
  EXPECT_TRUE(g.towers.empty() && g.enemies.empty() && g.files.empty() && g.spawnPoints.empty());
  EXPECT_EQ(g.map, nullptr);
  EXPECT_EQ(g.waves, nullptr);
  EXPECT_EQ(g.soundSystem, nullptr);
  EXPECT_EQ(g.fileRadius, 0);
  EXPECT_STREQ(g.screenMessage.text, " ");
}

// Each test builds its own world on a local Game with the clock stopped at 0.
class WorldTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    runner.buildWorld();
  }
  void TearDown() override { platform::useManualClock(false); }

  int enemiesFrom(const SpawnPoint* sp) {
    int n = 0;
    for (auto& e : g.enemies)
      if (e->path == sp->path.data()) ++n;
    return n;
  }

  int takenFiles() {
    int n = 0;
    for (auto& f : g.files)
      if (!f->isIntact()) ++n;
    return n;
  }

  Game g;
  MatchRunner runner{g};
};

TEST_F(WorldTest, LevelHasFourCornerPathsOneWaveTableAndSixteenFiles) {
  ASSERT_EQ(g.spawnPoints.size(), 4u);
  const float corners[4][2] = {{1, -1}, {1, -77}, {77, -77}, {77, -1}};
  int i = 0;
  for (auto& sp : g.spawnPoints) {
    EXPECT_EQ(sp->spawnX, corners[i][0]);
    EXPECT_EQ(sp->spawnZ, corners[i][1]);
    EXPECT_EQ(sp->path[0], corners[i][0]);
    EXPECT_EQ(sp->path[1], corners[i][1]);
    EXPECT_EQ(sp->path[8], 39.0f);
    EXPECT_EQ(sp->path[9], -39.0f);
    for (int leg = 0; leg < 4; ++leg) {
      bool alongX = sp->path[2 * leg + 1] == sp->path[2 * leg + 3];
      bool alongZ = sp->path[2 * leg] == sp->path[2 * leg + 2];
      EXPECT_TRUE(alongX != alongZ) << "spawn point " << i << " leg " << leg;
    }
    EXPECT_EQ(sp->waves, g.waves);
    EXPECT_EQ(sp->waveIndex, 0);
    EXPECT_EQ(sp->nextSpawnTime, 3.0);
    ++i;
  }
  ASSERT_NE(g.waves, nullptr);
  EXPECT_EQ(g.waves[5].startTime, 340.0);
  EXPECT_EQ(g.waves[5].spawnInterval, 7.0);
  EXPECT_EQ(g.waves[5].kind, "cube_w");
  EXPECT_EQ(g.waves[3].count, 10);

  ASSERT_EQ(g.files.size(), 16u);
  EXPECT_EQ(g.fileRadius, 2);
  const int order[16][2] = {{-1, 1}, {-1, 2}, {-2, 1}, {-2, 2}, {1, 1},  {1, 2},  {2, 1},  {2, 2},
                            {-1, -1}, {-1, -2}, {-2, -1}, {-2, -2}, {1, -1}, {1, -2}, {2, -1}, {2, -2}};
  std::vector<glm::vec2> lows;
  i = 0;
  for (auto& f : g.files) {
    File expected(order[i][0], order[i][1], 39, 0);
    EXPECT_EQ(f->getModelMatrix(), expected.getModelMatrix()) << "file " << i;
    // Each box lies inside the goal square and clear of the two lines through the goal.
    glm::vec4 low = f->getModelMatrix() * f->boundingBox[4];
    glm::vec4 high = f->getModelMatrix() * f->boundingBox[1];
    EXPECT_TRUE(insideGoalSquare(low.x, low.z, 39, 2) && insideGoalSquare(high.x, high.z, 39, 2));
    EXPECT_TRUE(high.x < 39.0f || low.x > 39.0f);
    EXPECT_TRUE(high.z < -39.0f || low.z > -39.0f);
    for (const glm::vec2& other : lows) {
      bool apartX = std::fabs(other.x - low.x) >= 3.8f + 0.2f - 1e-4f;
      bool apartZ = std::fabs(other.y - low.z) >= 3.8f + 0.2f - 1e-4f;
      EXPECT_TRUE(apartX || apartZ) << "file " << i << " overlaps an earlier one";
    }
    lows.emplace_back(low.x, low.z);
    ++i;
  }
}

TEST_F(WorldTest, LevelTakesItsTexturesFromTheAppliedTable) {
  GLuint table[kTextureSlots];
  for (int i = 0; i < kTextureSlots; ++i) table[i] = 100 + i;
  Game other;
  other.activeTextures = table;
  other.createMap(100);
  other.buildLevel();
  other.createFiles();
  for (auto& sp : other.spawnPoints) EXPECT_EQ(sp->material.texture, 101u);
  for (auto& f : other.files) EXPECT_EQ(f->material.texture, 100u);

  // Each kind's enemy wears its own entry; one of each is sent by pointing the waves at the kinds in turn.
  Wave kinds[6] = {{0.0, 1.0, "cube", 1},   {0.0, 1.0, "cube_or", 1}, {0.0, 1.0, "cube_yl", 1},
                   {0.0, 1.0, "cube_w", 1}, {0.0, 1.0, "dragon", 1},  {0.0, 1.0, "cube", 0}};
  SpawnPoint* sp = other.spawnPoints.front().get();
  sp->waves = kinds;
  sp->nextSpawnTime = 0.0;
  for (auto& rest : other.spawnPoints)
    if (rest.get() != sp) rest->waveIndex = rest->waveCount;
  platform::setTime(1.0);
  const GLuint expected[4] = {101, 114, 115, 116};
  for (int w = 0; w < 5; ++w) {
    other.update(0.0);  // sends wave w's enemy
    sp->nextSpawnTime = 0.0;
    other.update(0.0);  // completes wave w
  }
  ASSERT_EQ(other.enemies.size(), 4u) << "the unknown kind sends nothing";
  int k = 0;
  for (auto& e : other.enemies) EXPECT_EQ(e->material.texture, expected[k++]);
  EXPECT_EQ(sp->waveIndex, 5);
}

TEST_F(WorldTest, SpawningFollowsTheScheduleOneEnemyPerSpawnPointPerFrame) {
  platform::setTime(3.0);
  g.update(0.0);
  EXPECT_TRUE(g.enemies.empty()) << "nothing is sent while the clock equals the start time";

  platform::setTime(3.0001);
  g.update(0.0);
  ASSERT_EQ(g.enemies.size(), 4u);
  auto it = g.enemies.begin();
  for (auto& sp : g.spawnPoints) {
    Enemy* e = (it++)->get();
    EXPECT_EQ(e->kind, "cube");
    EXPECT_EQ(e->worldX, sp->spawnX);
    EXPECT_EQ(e->worldZ, sp->spawnZ);
    EXPECT_EQ(e->path, sp->path.data());
    EXPECT_EQ(e->pathLength, 5);
    EXPECT_EQ(sp->spawnedInWave, 1);
    EXPECT_EQ(sp->nextSpawnTime, 7.5);
  }

  platform::setTime(7.4);
  g.update(0.0);
  EXPECT_EQ(g.enemies.size(), 4u);

  // A late frame sends one enemy and counts the next time from the schedule, not from now.
  platform::setTime(9.0);
  g.update(0.0);
  EXPECT_EQ(g.enemies.size(), 8u);
  for (auto& sp : g.spawnPoints) EXPECT_EQ(sp->nextSpawnTime, 12.0);

  // Far behind the schedule it still sends only one per spawn point per frame.
  platform::setTime(100.0);
  g.update(0.0);
  EXPECT_EQ(g.enemies.size(), 12u);
  g.update(0.0);
  EXPECT_EQ(g.enemies.size(), 16u);
  SpawnPoint* first = g.spawnPoints.front().get();
  EXPECT_EQ(first->spawnedInWave, 4);
  EXPECT_EQ(first->nextSpawnTime, 21.0);

  // The wave is complete: this frame only moves on to the next wave and sends nothing.
  g.update(0.0);
  EXPECT_EQ(g.enemies.size(), 16u);
  EXPECT_EQ(first->waveIndex, 1);
  EXPECT_EQ(first->spawnedInWave, 0);
  EXPECT_EQ(first->nextSpawnTime, 60.0);

  // Its start time has long passed, so the next wave starts in the next frame.
  g.update(0.0);
  EXPECT_EQ(g.enemies.size(), 20u);
  EXPECT_EQ(first->nextSpawnTime, 63.0);
  for (auto& sp : g.spawnPoints) EXPECT_EQ(enemiesFrom(sp.get()), 5);
  EXPECT_EQ(g.gameState, Running);
}

TEST_F(WorldTest, KilledEnemiesPayFiftyAndAreRemovedBeforeTheyMove) {
  g.spawnEnemy(g.spawnPoints.front()->path.data(), "cube", 1.0f, -1.0f, 5, 0);
  g.spawnEnemy(g.spawnPoints.front()->path.data(), "cube", 1.0f, -1.0f, 5, 0);
  g.spawnEnemy(g.spawnPoints.front()->path.data(), "cube", 1.0f, -1.0f, 5, 0);
  g.enemies.front()->hitPoints = 0.0;
  g.enemies.back()->hitPoints = -20.0;
  g.update(0.5);
  ASSERT_EQ(g.enemies.size(), 1u);
  EXPECT_EQ(g.resources, 1100);
  EXPECT_NEAR(g.enemies.front()->worldZ, -1.0f - 0.85f, 1e-5);
}

TEST_F(WorldTest, ArrivalsTakeFilesInOrderAndMoneyStopsAtZero) {
  // A one-point path: the enemy stands where it was made.
  static const float inGoal[] = {35.0f, -39.0f};
  g.resources = 150;
  g.spawnEnemy(const_cast<float*>(inGoal), "cube", 35.0f, -39.0f, 1, 0);
  g.spawnEnemy(const_cast<float*>(inGoal), "cube", 35.0f, -39.0f, 1, 0);
  g.update(1.0 / 60.0);
  EXPECT_TRUE(g.enemies.empty());
  EXPECT_EQ(g.resources, 0);
  EXPECT_EQ(takenFiles(), 2);
  auto it = g.files.begin();
  EXPECT_FALSE((*it++)->isIntact());
  EXPECT_FALSE((*it++)->isIntact());
  EXPECT_TRUE((*it)->isIntact());
  EXPECT_EQ(g.gameState, Running);

  // The edge of the square is outside.
  static const float onEdge[] = {30.0f, -39.0f};
  g.spawnEnemy(const_cast<float*>(onEdge), "cube", 30.0f, -39.0f, 1, 0);
  g.update(1.0 / 60.0);
  EXPECT_EQ(g.enemies.size(), 1u);
  EXPECT_EQ(takenFiles(), 2);
}

void ignoreClicks(int, int) {}

TEST_F(WorldTest, TheSixteenthArrivalLosesAndStopsTheRestOfTheFrame) {
  static const float inGoal[] = {39.0f, -39.0f};
  int n = 0;
  for (auto& f : g.files)
    if (n++ < 14) f->setIntact(false, 0);
  float* walkway = g.spawnPoints.front()->path.data();
  g.spawnEnemy(const_cast<float*>(inGoal), "cube", 39.0f, -39.0f, 1, 0);  // takes file 15
  g.spawnEnemy(walkway, "cube", 1.0f, -1.0f, 5, 0);                       // walks on
  g.spawnEnemy(const_cast<float*>(inGoal), "cube", 39.0f, -39.0f, 1, 0);  // takes file 16: lost
  g.spawnEnemy(walkway, "cube", 1.0f, -1.0f, 5, 0);                       // not moved any more
  g.spawnEnemy(const_cast<float*>(inGoal), "cube", 39.0f, -39.0f, 1, 0);  // not tested any more
  std::vector<Enemy*> order;
  for (auto& e : g.enemies) order.push_back(e.get());
  platform::setMouseButtonCallback(ignoreClicks);
  g.resources = 1000;

  g.update(0.5);

  EXPECT_EQ(g.gameState, Lost);
  EXPECT_EQ(platform::mouseButtonCallback(), nullptr);
  EXPECT_EQ(takenFiles(), 16);
  EXPECT_EQ(g.resources, 800) << "two arrivals were charged";
  ASSERT_EQ(g.enemies.size(), 3u);
  EXPECT_EQ(g.enemies.front().get(), order[1]);
  EXPECT_NEAR(order[1]->worldZ, -1.85f, 1e-5) << "an enemy before the loss moves";
  EXPECT_EQ(order[3]->worldZ, -1.0f) << "an enemy after the loss does not move";
  EXPECT_EQ(glm::vec3(order[3]->modelMatrix[3]), glm::vec3(1, 0, -1));
  EXPECT_FALSE(order[4]->arrived);

  // Resumed after the loss, the next arrival finds no intact file and loses again at once.
  g.gameState = Running;
  g.update(0.5);
  EXPECT_EQ(g.gameState, Lost);
  EXPECT_EQ(g.resources, 700);
}

TEST_F(WorldTest, VictoryNeedsEveryWaveSentAndNoEnemyLeft) {
  CaptureStdout out;
  platform::setTime(500.0);
  for (auto& sp : g.spawnPoints) {
    sp->waveIndex = 5;
    sp->spawnedInWave = 5;
    sp->nextSpawnTime = 600.0;  // the last interval of the last wave is still running
  }
  g.update(0.0);
  EXPECT_EQ(g.gameState, Running) << "all enemies dead, but a wave is not finished";

  platform::setTime(600.5);
  g.spawnEnemy(g.spawnPoints.front()->path.data(), "cube", 1.0f, -1.0f, 5, 0);
  g.update(0.0);
  for (auto& sp : g.spawnPoints) EXPECT_EQ(sp->waveIndex, sp->waveCount);
  EXPECT_EQ(g.gameState, Running) << "every wave sent, but an enemy is left";

  // The kill is counted after the victory check, so the win comes one frame later.
  g.enemies.front()->hitPoints = 0.0;
  g.update(0.0);
  EXPECT_EQ(g.gameState, Running);
  EXPECT_EQ(g.resources, 1050);
  EXPECT_EQ(out.text(), "");
  g.update(0.0);
  EXPECT_EQ(g.gameState, Won);
  EXPECT_EQ(out.text(), "[GAME STATUS]: GEWONNEN\n");
}

// Counts its own destruction, to see what the world's teardown deletes.
class CountedEnemy : public Enemy {
 public:
  CountedEnemy(const float* path, int* deaths) : Enemy("cube", 0.0f, 0.0f, path, 1, 0), deaths_(deaths) {}
  ~CountedEnemy() override { ++*deaths_; }

 private:
  int* deaths_;
};

TEST_F(WorldTest, TeardownSkipsNullEntriesAndNeedsNoBoard) {
  static const float here[] = {0.0f, 0.0f};
  int deaths = 0;
  {
    auto world = std::make_unique<Game>();
    world->enemies.push_back(std::make_unique<CountedEnemy>(here, &deaths));
    world->enemies.push_back(nullptr);
    world->enemies.push_back(std::make_unique<CountedEnemy>(here, &deaths));
    world->files.push_back(nullptr);
    world->currentEnemy = world->enemies.back().get();
    ASSERT_EQ(world->map, nullptr);
    SoundSystem* sound = nullptr;
    ASSERT_EQ(soundSystemCreate(&sound), SOUND_OK);
    soundSystemInit(sound, 32, kSoundInitSilent);
    world->soundSystem = sound;
  }
  EXPECT_EQ(deaths, 2);

  // A world destroyed the moment it was made.
  { Game empty; }
}

}  // namespace
