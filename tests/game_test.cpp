// The game rules on the real world: whole matches on the manual clock, spawning, kills, arrivals, defeat
// and victory, the towers' firing rules, beam and marker, building and every rule that moves the money.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <map>
#include <tuple>

#include "CaptureStdout.h"
#include "WorldTest.h"
#include "render/TextureCatalogue.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/MatchClock.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace {

constexpr double kFrame = 1.0 / 60.0;
// An enemy is sent a frame after its time, loses at most a frame at each of the three corners before the
// goal square and is found inside a frame after it crosses the edge.
constexpr double kLateness = 6 * kFrame;

// Frames of `fps` while the match runs, for at most `seconds`, with `after` run after each.
void play(Game& g, double seconds, int fps, const std::function<void()>& after) {
  for (int frame = 0; frame < seconds * fps && g.gameState == Running; ++frame) {
    platform::advanceTime(1.0 / fps);
    g.update(1.0 / fps);
    after();
  }
}

}  // namespace

TEST_F(WorldTest, WithoutTowersTheSixteenthArrivalLosesWhenThePathsSay) {
  double firstArrival = 0.0;
  bool moneyFollows = true, inOrder = true;
  play(g, 400.0, 60, [&] {
    const int taken = takenFiles();
    if (taken > 0 && firstArrival == 0.0) firstArrival = platform::getTime();
    moneyFollows &= g.resources == std::max(0, 1000 - 100 * taken);
    inOrder &= std::is_partitioned(g.files.begin(), g.files.end(), [](auto& f) { return !f->isIntact(); });
  });
  // Cubes walk 1.7 a second. The shortest corner path meets the goal square's edge after 63 units; the
  // 16th arrival is the first wave's last cube (sent at 16.5 s) on a path that meets it after 67.
  EXPECT_NEAR(firstArrival, 3.0 + 63.0 / 1.7 + kLateness / 2, kLateness / 2);
  ASSERT_EQ(std::tuple(g.gameState, takenFiles()), std::tuple(int(Lost), 16));
  EXPECT_NEAR(platform::getTime(), 16.5 + 67.0 / 1.7 + kLateness / 2, kLateness / 2);
  EXPECT_TRUE(moneyFollows && inOrder) << "each arrival costs 100 down to 0 and takes the next file in list order";
}

TEST_F(WorldTest, KillingEveryEnemyWinsOneIntervalAfterTheLastIsSent) {
  std::map<std::string, int> sent;
  CaptureStdout quiet;
  play(g, 400.0, 60, [&] {
    for (auto& e : g.enemies) {
      if (e->hitPoints <= 0.0) continue;
      ++sent[e->kind];
      e->hitPoints = 0.0;
    }
  });
  const std::map<std::string, int> waves = {{"cube", 44}, {"cube_or", 40}, {"cube_yl", 40}, {"cube_w", 20}};
  EXPECT_EQ(std::tuple(g.gameState, sent, g.resources), std::tuple(int(Won), waves, 1000 + 50 * 144));
  // The last wave's fifth enemy leaves at 368 s; the wave counts as complete one interval later.
  EXPECT_NEAR(platform::getTime(), 340.0 + 5 * 7.0 + kFrame, kFrame);
}

TEST_F(WorldTest, SpawningFollowsTheScheduleOneEnemyPerSpawnPointPerFrame) {
  // Nothing while now equals the time; far behind, still one per spawn point per frame, and the frame that
  // completes the wave sends nothing.
  const std::pair<double, size_t> steps[] = {{3.0, 0},    {3.0001, 4}, {7.4, 4},     {9.0, 8},
                                             {100.0, 12}, {100.0, 16}, {100.0, 16}, {100.0, 20}};
  for (auto [now, count] : steps) {
    matchClock.jumpTo(now);
    g.update(0.0);
    EXPECT_EQ(g.enemies.size(), count) << "at " << now << " s";
  }
  // Late frames sent one enemy each and counted the next time from the schedule, not from now.
  const SpawnPoint& first = *g.spawnPoints.front();
  EXPECT_EQ(std::tuple(first.waveIndex, first.nextSpawnTime), std::tuple(1, 63.0));
}

TEST_F(WorldTest, KillsPayOnceBeforeTheMoveAndArrivalsTakeFilesAndMoney) {
  const float* walkway = g.spawnPoints.front()->path.data();  // from (1, -1) along -z
  static const float inGoal[2] = {35, -39}, entering[4] = {30, -45, 39, -45};
  static const float edges[4][2] = {{30, -39}, {48, -39}, {39, -30}, {39, -48}};
  addEnemy("cube", 1, -1, walkway, 5)->hitPoints = 0.0;
  Enemy* walker = addEnemy("cube", 1, -1, walkway, 5);
  for (int i = 0; i < 2; ++i) addEnemy("cube", 35, -39, inGoal, 1);
  for (const auto& edge : edges) addEnemy("cube", edge[0], edge[1], edge, 1);
  addEnemy("cube", 30, -45, entering, 2);
  g.resources = 100;
  g.update(0.5);
  // The killed one and the two inside are gone, the edge is outside; 100 + 50 - 200 stops at 0.
  EXPECT_EQ(std::tuple(g.enemies.size(), g.resources, takenFiles()), std::tuple(size_t(6), 0, 2));
  EXPECT_NEAR(walker->worldZ, -1.0f - 0.85f, 1e-5);
  EXPECT_TRUE(!g.files.front()->isIntact() && g.files.front()->material.texture == textures.textureTable[1]);
  // The last one stepped into the square: it arrives by where it stood before the next step.
  g.update(0.0);
  EXPECT_EQ(std::tuple(takenFiles(), g.gameState), std::tuple(3, int(Running)));
}

TEST_F(WorldTest, TheSixteenthArrivalLosesAndStopsTheRestOfTheFrame) {
  static const float inGoal[2] = {39, -39};
  for (auto f = g.files.begin(); f != std::next(g.files.begin(), 14); ++f) (*f)->setIntact(false, 0);
  const float* walkway = g.spawnPoints.front()->path.data();
  addEnemy("cube", 39, -39, inGoal, 1);  // takes file 15
  Enemy* before = addEnemy("cube", 1, -1, walkway, 5);
  addEnemy("cube", 39, -39, inGoal, 1);  // takes file 16: lost
  Enemy* after = addEnemy("cube", 1, -1, walkway, 5);
  Enemy* untested = addEnemy("cube", 39, -39, inGoal, 1);
  g.update(0.5);
  EXPECT_EQ(std::tuple(g.gameState, takenFiles(), g.resources, g.enemies.size()),
            std::tuple(int(Lost), 16, 800, size_t(3)));
  EXPECT_NEAR(before->worldZ, -1.85f, 1e-5);
  EXPECT_EQ(glm::vec3(after->modelMatrix[3]), glm::vec3(1, 0, -1)) << "not moved after the loss";
  EXPECT_FALSE(untested->arrived);
  // Resumed after the loss, the next arrival finds no intact file and loses again at once.
  g.gameState = Running;
  g.update(0.5);
  EXPECT_EQ(std::tuple(g.gameState, g.resources), std::tuple(int(Lost), 700));
}

TEST_F(WorldTest, VictoryWaitsForTheLastEnemyAndComesTheFrameAfterItsKill) {
  CaptureStdout out;
  for (auto& sp : g.spawnPoints) {
    sp->waveIndex = sp->spawnedInWave = 5;
    sp->nextSpawnTime = 600.0;  // the last interval of the last wave ends now
  }
  matchClock.jumpTo(600.5);
  addEnemy("cube", 1, -1, g.spawnPoints.front()->path.data(), 5);
  g.update(0.0);
  EXPECT_EQ(g.gameState, Running) << "every wave sent, but an enemy is left";
  g.enemies.front()->hitPoints = 0.0;
  g.update(0.0);
  EXPECT_EQ(out.text(), "") << "the kill is paid after the victory check, so the win comes a frame later";
  g.update(0.0);
  EXPECT_EQ(std::tuple(g.gameState, out.text()), std::tuple(int(Won), "[GAME STATUS]: GEWONNEN\n"));
}

TEST_F(WorldTest, EachKindFiresStrictlyAfterItsIntervalStrictlyInsideItsSquare) {
  // Kind, half side of its square, power and interval.
  const std::tuple<const char*, float, double, double> kinds[] = {
      {"tris", 5, 25, 2.5}, {"tris_gr", 20, 15, 5}, {"tris_bl", 10, 50, 10}};
  static const float here[2] = {0, 0};
  Enemy* e = addEnemy("cube", 0, 0, here, 1);
  auto fireAt = [&](float x, float z, double now) {
    std::tie(e->worldX, e->worldZ) = std::pair(x, z);
    matchClock.jumpTo(now);
    g.fireTowers(0.0);
  };
  for (auto [kind, d, power, interval] : kinds) {
    Tower* t = addTower(kind, 10, -10);
    for (auto [x, z] : {std::pair{10 + d, -10.0f}, {10 - d, -10.0f}, {10.0f, -10 + d}, {10.0f, -10 - d}})
      fireAt(x, z, interval + 1.0);
    EXPECT_EQ(t->lastShotTime, 0.0) << kind << ": nothing inside, no shot";
    fireAt(10 + d - 0.01f, -10 - d + 0.01f, interval);  // a square, not a circle: its corner counts
    EXPECT_EQ(e->hitPoints, 100.0) << kind;
    fireAt(10 + d - 0.01f, -10 - d + 0.01f, interval + 1.0 / 128);
    EXPECT_EQ(std::tuple(e->hitPoints, t->lastShotTime), std::tuple(100.0 - power, interval + 1.0 / 128)) << kind;
    e->hitPoints = 100.0;
    t->selected = true;
    g.removeSelectedTowers();
  }
}

TEST_F(WorldTest, TwoTowersHitTheFirstEnemyInRangeBothAndItPaysOnce) {
  Tower* a = addTower("tris_bl", 40, -20);
  Tower* b = addTower("tris_bl", 44, -20);
  static const float first[2] = {42, -20}, second[2] = {43, -21};
  addEnemy("cube_yl", 42, -20, first, 1);
  Enemy* later = addEnemy("cube_yl", 43, -21, second, 1);
  matchClock.jumpTo(10.5);
  g.update(0.0);
  // One shot per tower, at the first enemy in the list; that one is removed once and paid once.
  EXPECT_EQ(std::tuple(a->lastShotTime, b->lastShotTime, later->hitPoints, g.enemies.front().get(), g.resources),
            std::tuple(10.5, 10.5, 50.0, later, 1050));
}

TEST_F(WorldTest, BeamIsABarFromTargetToTowerDrawnForTwoTenthsOfASecondAndTheMarkerWhileSelected) {
  Md2Model empty;  // draws no figure, so whatever lights up is beam or marker
  Tower t("tris", 8.0f, -10.0f, 0, 0, 0, &empty);
  t.lastShotTime = 3.0;
  t.fireAt(14.0f, -10.0f);

  // Straight down on x 5 .. 15, z -15 .. -5 at 10 pixels a unit, everything painted white.
  const char* sources[2] = {
      "#version 120\nattribute vec4 vertex; attribute vec3 normal; attribute vec2 texCoord; uniform mat4 model;\n"
      "uniform mat4 vp; void main() { gl_Position = vp * model * vertex + 0.0 * vec4(normal, texCoord.x); }\n",
      "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n"};
  const GLuint program = glCreateProgram();
  for (GLenum type : {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER}) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &sources[type == GL_FRAGMENT_SHADER], nullptr);
    glCompileShader(shader);
    glAttachShader(program, shader);
  }
  glLinkProgram(program);
  glUseProgram(program);
  const glm::mat4 vp = glm::ortho(-5.0f, 5.0f, -5.0f, 5.0f, 1.0f, 100.0f) *
                       glm::lookAt(glm::vec3(10, 50, -10), glm::vec3(10, 0, -10), glm::vec3(0, 0, -1));
  glUniformMatrix4fv(glGetUniformLocation(program, "vp"), 1, GL_FALSE, glm::value_ptr(vp));
  glViewport(0, 0, 100, 100);
  auto litPixelsAt = [&](double now) {
    matchClock.jumpTo(now);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    t.draw(program);
    const std::string rgba = readPixelsRgba(0, 0, 100, 100);
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) lit += static_cast<unsigned char>(rgba[i]) > 128;
    return lit;
  };
  EXPECT_NEAR(litPixelsAt(3.199), 60 * 2, 3) << "6 x 0.2 units";
  EXPECT_EQ(litPixelsAt(3.2), 0);
  t.selected = true;
  EXPECT_NEAR(litPixelsAt(5.0), 44 * 40, 10) << "4.4 x 4.0 units";
  glUseProgram(0);
  glDeleteProgram(program);
}

TEST_F(WorldTest, BuildingChargesThePriceOnlyWhenItIsThere) {
  // Kind, money before and money left.
  const std::tuple<const char*, int, int> cases[] = {
      {"tris", 100, 0},    {"tris", 99, 99},      {"tris_gr", 250, 0},  {"tris_gr", 249, 249}, {"tris_bl", 500, 0},
      {"tris_bl", 499, 499}, {"tris_gr", 300, 50}, {"tris_bl", 300, 300}, {"tower", 1000, 1000}};
  for (auto [kind, money, left] : cases) {
    const size_t before = g.towers.size();
    g.resources = money;
    CaptureStdout out;
    g.buildTower(kind, 20.0f, -30.0f, 4, 5, 10);
    const bool built = left != money;
    EXPECT_EQ(std::tuple(g.resources, out.text()), std::tuple(left, built ? "" : "[BUILD]: Not enough Resources!\n"))
        << kind << " with " << money;
    ASSERT_EQ(g.towers.size(), before + built) << kind << " with " << money;
  }
}

TEST_F(WorldTest, UpgradeCosts200Then400AndASaleReturnsHalfTheLevelsWorth) {
  g.buildTower("tris", 10.0f, -10.0f, 0, 0, 0);
  g.buildTower("tris", 20.0f, -10.0f, 0, 0, 0);
  Tower* t = g.selectedTower = g.towers.back().get();
  t->selected = true;
  CaptureStdout out;
  upgradeSelectedTower();
  EXPECT_EQ(g.resources, 600);
  upgradeSelectedTower();
  EXPECT_EQ(std::tuple(g.resources, t->fireInterval, out.text()),
            std::tuple(200, 2.5, "level: 2 distance: 6 power: 50\nUpgrade!\nlevel: 3 distance: 7 power: 100\nUpgrade!\n"));
  g.resources = 799;  // level 3 to 4 costs 800: nothing happens, nothing is said
  out.clear();
  upgradeSelectedTower();
  EXPECT_EQ(std::tuple(t->level, out.text()), std::tuple(3.0, ""));
  g.resources = 800;
  upgradeSelectedTower();
  EXPECT_EQ(std::tuple(t->level, g.resources), std::tuple(4.0, 0));
  out.clear();
  sellSelectedTower();
  EXPECT_EQ(std::tuple(g.resources, g.towers.size(), g.selectedTower, out.text()),
            std::tuple(400, size_t(1), nullptr, "Sell!\n"));
}
