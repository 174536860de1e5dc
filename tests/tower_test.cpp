// Towers: kinds, construction on the board, animation, the firing rules of the tower step, upgrades,
// the beam's geometry and how long it is drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "CaptureStdout.h"
#include "GlTestContext.h"
#include "MatchRunner.h"
#include "TestSounds.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Tower.h"

#include <sndfile.h>

namespace {

const float kPath[10] = {0, 0, 10, 0, 10, -10, 20, -10, 39, -39};

class TowerTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    platform::useManualClock(true);
    platform::setTime(0.0);
  }
  void TearDown() override { platform::useManualClock(false); }

  Enemy* addEnemy(Game& g, float x, float z, const std::string& kind = "cube") {
    g.enemies.push_back(std::make_unique<Enemy>(kind, x, z, kPath, 5, 0));
    return g.enemies.back().get();
  }
  Tower* addTower(Game& g, const std::string& kind, float x, float z) {
    g.towers.push_back(std::make_unique<Tower>(kind, x, z, 0, 0, 0, &model));
    return g.towers.back().get();
  }
  Md2Model model;
};

}  // namespace

TEST(TowerRules, KindsTable) {
  const TowerKind* tris = findTowerKind("tris");
  const TowerKind* gr = findTowerKind("tris_gr");
  const TowerKind* bl = findTowerKind("tris_bl");
  ASSERT_TRUE(tris && gr && bl);
  EXPECT_EQ(tris->distance, 5.0);
  EXPECT_EQ(tris->power, 25.0);
  EXPECT_EQ(tris->fireInterval, 2.5);
  EXPECT_EQ(tris->price, 100);
  EXPECT_EQ(gr->distance, 20.0);
  EXPECT_EQ(gr->power, 15.0);
  EXPECT_EQ(gr->fireInterval, 5.0);
  EXPECT_EQ(gr->price, 250);
  EXPECT_EQ(bl->distance, 10.0);
  EXPECT_EQ(bl->power, 50.0);
  EXPECT_EQ(bl->fireInterval, 10.0);
  EXPECT_EQ(bl->price, 500);
  EXPECT_EQ(findTowerKind("tri"), nullptr);
  EXPECT_EQ(findTowerKind("tris_grx"), nullptr);
}

TEST(TowerRules, IntervalAndAreaAreStrict) {
  EXPECT_FALSE(towerCanFire(2.5, 0.0, 2.5));
  EXPECT_TRUE(towerCanFire(2.5001, 0.0, 2.5));
  EXPECT_FALSE(towerCanFire(10.0, 0.0, 10.0));
  EXPECT_TRUE(towerCanFire(22.6, 20.0, 2.5));
  EXPECT_TRUE(inTowerArea(10.0f, -10.0f, 5.0, 14.9f, -5.1f));
  EXPECT_FALSE(inTowerArea(10.0f, -10.0f, 5.0, 15.0f, -10.0f));
  EXPECT_FALSE(inTowerArea(10.0f, -10.0f, 5.0, 5.0f, -10.0f));
  EXPECT_FALSE(inTowerArea(10.0f, -10.0f, 5.0, 10.0f, -15.0f));
  EXPECT_FALSE(inTowerArea(10.0f, -10.0f, 5.0, 10.0f, -5.0f));
  // A square, not a circle: the corner region counts.
  EXPECT_TRUE(inTowerArea(10.0f, -10.0f, 5.0, 14.5f, -14.5f));
}

TEST_F(TowerTest, ConstructionTakesTheKindsValuesAndStandsOnTheBoard) {
  ASSERT_TRUE(loadMd2(model));
  Tower t("tris_gr", 20.0f, -30.0f, 4, 5, 10, &model);
  EXPECT_EQ(t.distance, 20.0);
  EXPECT_EQ(t.power, 15.0);
  EXPECT_EQ(t.fireInterval, 5.0);
  EXPECT_EQ(t.level, 1.0);
  EXPECT_EQ(t.lastShotTime, 0.0);
  EXPECT_FALSE(t.selected);
  EXPECT_FLOAT_EQ(model.scale, 0.08f);
  EXPECT_EQ(t.material.texture, 4u);
  EXPECT_EQ(t.texture5, 5u);
  EXPECT_EQ(t.markTexture, 10u);
  EXPECT_EQ(t.getVertices(), nullptr);
  EXPECT_EQ(t.getIndexCount(), 0);

  // Local origin 1.5 above the build point; local z up, local y along world x, local x along world z.
  glm::mat4 m = t.getModelMatrix();
  glm::vec4 origin = m * glm::vec4(0, 0, 0, 1);
  EXPECT_NEAR(origin.x, 20.0f, 1e-5);
  EXPECT_NEAR(origin.y, 1.5f, 1e-5);
  EXPECT_NEAR(origin.z, -30.0f, 1e-5);
  glm::vec4 up = m * glm::vec4(0, 0, 1, 0);
  EXPECT_NEAR(up.y, 1.0f, 1e-5);
  glm::vec4 localY = m * glm::vec4(0, 1, 0, 0);
  EXPECT_NEAR(localY.x, 1.0f, 1e-5);
  glm::vec4 localX = m * glm::vec4(1, 0, 0, 0);
  EXPECT_NEAR(localX.z, 1.0f, 1e-5);

  // The world box surrounds the build point and reaches from about the ground upward.
  for (int i = 0; i < 3; ++i) EXPECT_LT(t.worldMin[i], t.worldMax[i]) << i;
  EXPECT_LT(t.worldMin[0], 20.0f);
  EXPECT_GT(t.worldMax[0], 20.0f);
  EXPECT_LT(t.worldMin[2], -30.0f);
  EXPECT_GT(t.worldMax[2], -30.0f);
  EXPECT_LT(t.worldMin[1], 1.5f);
  EXPECT_GT(t.worldMax[1], 2.0f);
  // Corner 1 is (max, max, max) and corner 4 (min, min, min) of the local box.
  glm::vec4 hi = m * t.boundingBox[1];
  glm::vec4 lo = m * t.boundingBox[4];
  EXPECT_NEAR(hi.y, t.worldMax[1], 1e-4);
  EXPECT_NEAR(lo.x, t.worldMin[0], 1e-4);

  // The marker is a 4.4 x 4.0 rectangle just above the ground around the tower's foot.
  EXPECT_NEAR(t.marker.vertices[4] - t.marker.vertices[0], 4.4f, 1e-4);
  EXPECT_NEAR(t.marker.vertices[10] - t.marker.vertices[6], 4.0f, 1e-4);
  EXPECT_FLOAT_EQ(t.marker.vertices[1], 0.1f);
  EXPECT_NEAR((t.marker.vertices[0] + t.marker.vertices[4]) / 2, 20.0f, 2.0f);
}

TEST_F(TowerTest, UpdateAnimatesOnlyForPositiveTime) {
  ASSERT_TRUE(loadMd2(model));
  Tower t("tris", 10.0f, -10.0f, 0, 0, 0, &model);
  t.update(0.0);
  t.update(-1.0);
  EXPECT_EQ(t.animState.currentTime, 0.0f);
  EXPECT_EQ(t.animState.currentFrame, 0);
  int steps = 0;
  for (int i = 1; i <= 9; ++i) {
    int before = t.animState.currentFrame;
    t.update(0.05);
    if (t.animState.currentFrame != before) {
      ++steps;
      EXPECT_EQ(i % 3, 0) << "stepped on update " << i;
    }
  }
  EXPECT_EQ(steps, 3);
}

TEST_F(TowerTest, FiresStrictlyAfterItsIntervalAtTheFirstEnemyInsideItsSquare) {
  Game g;
  Tower* t = addTower(g, "tris", 10.0f, -10.0f);
  Enemy* onEdge = addEnemy(g, 15.0f, -10.0f);
  Enemy* first = addEnemy(g, 12.0f, -8.0f);
  Enemy* second = addEnemy(g, 9.0f, -11.0f);

  platform::setTime(2.5);
  g.fireTowers(0.016);
  EXPECT_EQ(first->hitPoints, 100.0);
  EXPECT_EQ(t->lastShotTime, 0.0);

  platform::setTime(2.5078125);
  g.fireTowers(0.016);
  EXPECT_EQ(onEdge->hitPoints, 100.0);
  EXPECT_EQ(first->hitPoints, 75.0);
  EXPECT_EQ(second->hitPoints, 100.0);
  EXPECT_EQ(t->lastShotTime, 2.5078125);
  EXPECT_TRUE(t->beamVisible(2.5078125));

  // Not again until the interval has passed once more; then the same first enemy.
  platform::setTime(5.0078125);
  g.fireTowers(0.016);
  EXPECT_EQ(first->hitPoints, 75.0);
  platform::setTime(5.015625);
  g.fireTowers(0.016);
  EXPECT_EQ(first->hitPoints, 50.0);

  // Nothing in range: the tower keeps its last shot time and tries again each frame.
  g.enemies.remove_if([&](const std::unique_ptr<Enemy>& e) { return e.get() == first || e.get() == second; });
  platform::setTime(9.0);
  g.fireTowers(0.016);
  EXPECT_EQ(t->lastShotTime, 5.015625);
  second = addEnemy(g, 11.0f, -11.0f);
  platform::setTime(9.1);
  g.fireTowers(0.016);
  EXPECT_EQ(second->hitPoints, 75.0);
  EXPECT_EQ(t->lastShotTime, 9.1);
}

TEST_F(TowerTest, TwoTowersBothHitOneEnemyEvenPastZero) {
  Game g;
  Tower* a = addTower(g, "tris_bl", 10.0f, -10.0f);
  Tower* b = addTower(g, "tris_bl", 14.0f, -10.0f);
  Enemy* e = addEnemy(g, 12.0f, -10.0f, "cube_yl");
  platform::setTime(10.5);
  g.fireTowers(0.016);
  EXPECT_EQ(e->hitPoints, 50.0 - 50.0 - 50.0);
  EXPECT_EQ(a->lastShotTime, 10.5);
  EXPECT_EQ(b->lastShotTime, 10.5);
}

TEST_F(TowerTest, AShotPlaysTheLaserSound) {
  // The wave writer stands in for a sound card; OpenAL reads this once, at the first sound use.
  const std::string conf = std::string(VARROW_BINARY_DIR) + "/tower_test_alsoft.conf";
  std::ofstream(conf) << "[general]\ndrivers=wave\n[wave]\nfile=" << VARROW_BINARY_DIR << "/tower_test_out.wav\n";
  setenv("ALSOFT_CONF", conf.c_str(), 1);
  Game g;
  ASSERT_EQ(soundSystemCreate(&g.soundSystem), SOUND_OK);
  if (soundSystemInit(g.soundSystem, 32, 0) != SOUND_OK) GTEST_SKIP() << "no sound device";
  const std::string tone = std::string(VARROW_BINARY_DIR) + "/tower_test_laser.wav";
  ASSERT_TRUE(writeTestTone(tone, 880.0, 1.0, 0.5, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  ASSERT_EQ(soundSystemCreateSound(g.soundSystem, tone.c_str(), 0, &g.laserSound), SOUND_OK);
  addTower(g, "tris", 10.0f, -10.0f);
  addEnemy(g, 11.0f, -10.0f);
  EXPECT_EQ(g.laserChannel, nullptr);
  platform::setTime(3.0);
  g.fireTowers(0.016);
  ASSERT_NE(g.laserChannel, nullptr);
  SoundBool playing = 0;
  EXPECT_EQ(soundChannelIsPlaying(g.laserChannel, &playing), SOUND_OK);
  EXPECT_TRUE(playing);
}

TEST_F(TowerTest, UpgradeRaisesLevelReachAndDamageAndPrintsThem) {
  Tower t("tris", 10.0f, -10.0f, 0, 0, 0, &model);
  CaptureStdout out;
  t.upgrade();
  EXPECT_EQ(t.level, 2.0);
  EXPECT_EQ(t.distance, 6.0);
  EXPECT_EQ(t.power, 50.0);
  EXPECT_EQ(t.fireInterval, 2.5);
  t.upgrade();
  EXPECT_EQ(out.text(), "level: 2 distance: 6 power: 50\nlevel: 3 distance: 7 power: 100\n");
}

TEST_F(TowerTest, BeamRunsFromTheTargetToTheTowerAsABarOf0_2) {
  Tower t("tris", 10.0f, -10.0f, 0, 0, 0, &model);
  t.fireAt(16.0f, -10.0f);
  float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f, minZ = 1e9f, maxZ = -1e9f;
  for (int v = 0; v < 24; ++v) {
    const float* p = &t.shot.vertices[4 * v];
    minX = std::min(minX, p[0]);
    maxX = std::max(maxX, p[0]);
    minY = std::min(minY, p[1]);
    maxY = std::max(maxY, p[1]);
    minZ = std::min(minZ, p[2]);
    maxZ = std::max(maxZ, p[2]);
    EXPECT_EQ(p[3], 1.0f);
    EXPECT_FLOAT_EQ(t.shot.texCoords[2 * v], 0.01f);
    EXPECT_FLOAT_EQ(t.shot.texCoords[2 * v + 1], 0.99f);
    EXPECT_EQ(t.shot.normals[3 * v + 1], (v >= 4 && v < 8) ? -1.0f : 1.0f) << v;
  }
  EXPECT_FLOAT_EQ(minX, 10.0f);
  EXPECT_FLOAT_EQ(maxX, 16.0f);
  EXPECT_FLOAT_EQ(minY, 0.9f);
  EXPECT_FLOAT_EQ(maxY, 1.1f);
  EXPECT_FLOAT_EQ(minZ, -10.1f);
  EXPECT_FLOAT_EQ(maxZ, -9.9f);
  // Vertex 0 is the target's corner E- and vertex 2 of the bottom face the tower's T+.
  EXPECT_FLOAT_EQ(t.shot.vertices[0], 16.0f);
  EXPECT_FLOAT_EQ(t.shot.vertices[2], -10.1f);
  EXPECT_FLOAT_EQ(t.shot.vertices[4 * 6 + 0], 10.0f);
  EXPECT_FLOAT_EQ(t.shot.vertices[4 * 6 + 2], -9.9f);
  EXPECT_EQ(t.shot.indices[0], 0u);
  EXPECT_EQ(t.shot.indices[1], 2u);
  EXPECT_EQ(t.shot.indices[35], 23u);

  // A target on the tower's own foot has no direction: no beam, and no NaN anywhere.
  Tower still("tris", 10.0f, -10.0f, 0, 0, 0, &model);
  still.fireAt(10.0f, -10.0f);
  EXPECT_FALSE(still.beamVisible(0.0));
  for (int i = 0; i < 24 * 4; ++i) EXPECT_FALSE(std::isnan(still.shot.vertices[i]));
  for (int i = 0; i < 24 * 3; ++i) EXPECT_FALSE(std::isnan(still.shot.normals[i]));
}

namespace {

// Looks straight down on the board square x 0..20, z -20..0 and paints everything white.
GLuint topDownProgram() {
  const char* vs =
      "#version 120\nattribute vec4 vertex; attribute vec3 normal; attribute vec2 texCoord;\n"
      "uniform mat4 model; uniform mat4 viewProjection;\n"
      "void main() { gl_Position = viewProjection * model * vertex + vec4(0.0 * normal, 0.0) + "
      "vec4(0.0 * texCoord, 0.0, 0.0); }\n";
  const char* fs = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";
  GLuint p = glCreateProgram();
  for (auto [type, src] : {std::pair<GLenum, const char*>{GL_VERTEX_SHADER, vs}, {GL_FRAGMENT_SHADER, fs}}) {
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &src, nullptr);
    glCompileShader(s);
    glAttachShader(p, s);
    glDeleteShader(s);
  }
  glLinkProgram(p);
  glUseProgram(p);
  glm::mat4 view = glm::lookAt(glm::vec3(10, 50, -10), glm::vec3(10, 0, -10), glm::vec3(0, 0, -1));
  glm::mat4 projection = glm::ortho(-10.0f, 10.0f, -10.0f, 10.0f, 1.0f, 100.0f);
  glm::mat4 vp = projection * view;
  glUniformMatrix4fv(glGetUniformLocation(p, "viewProjection"), 1, GL_FALSE, glm::value_ptr(vp));
  return p;
}

int litPixels(int w, int h) {
  std::string rgba = readPixelsRgba(0, 0, w, h);
  int n = 0;
  for (size_t i = 0; i + 3 < rgba.size(); i += 4)
    if (static_cast<unsigned char>(rgba[i]) > 128) ++n;
  return n;
}

int drawAndCount(Tower& t, GLuint program) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  t.draw(program);
  return litPixels(100, 100);
}

}  // namespace

TEST_F(TowerTest, BeamIsDrawnFor0_2SecondsAndTheMarkerWhileSelected) {
  // An empty model: the figure draws nothing, so what lights up is beam or marker.
  Md2Model empty;
  Tower t("tris", 4.0f, -10.0f, 0, 0, 0, &empty);
  GLuint program = topDownProgram();
  glViewport(0, 0, 100, 100);
  glClearColor(0, 0, 0, 1);

  platform::setTime(0.1);
  EXPECT_EQ(drawAndCount(t, program), 0) << "no beam before the first shot";
  t.lastShotTime = 3.0;
  t.fireAt(16.0f, -10.0f);
  platform::setTime(3.0);
  int beam = drawAndCount(t, program);
  // 12 long and 0.2 wide on a 20-unit, 100-pixel view: about 60 x 1 pixels.
  EXPECT_GE(beam, 50);
  EXPECT_LE(beam, 200);
  platform::setTime(3.199);
  EXPECT_GE(drawAndCount(t, program), 50);
  platform::setTime(3.2);
  EXPECT_EQ(drawAndCount(t, program), 0);
  platform::setTime(5.0);
  EXPECT_EQ(drawAndCount(t, program), 0);

  t.selected = true;
  int marker = drawAndCount(t, program);
  // 4.4 x 4.0 units is 22 x 20 pixels.
  EXPECT_GE(marker, 380);
  EXPECT_LE(marker, 500);
  glUseProgram(0);
  glDeleteProgram(program);
  writePng(std::string(VARROW_BINARY_DIR) + "/tower_test_marker.png", 100, 100, readPixelsRgba(0, 0, 100, 100));
}

namespace {

// Corners of the four paths where a cluster of towers covers two legs at once: the first corner after
// each spawn point, then one nearer the goal but still outside its square.
const float kDefenceSpots[8][2] = {
    {23.0f, -12.0f}, {15.0f, -75.0f}, {75.0f, -51.0f}, {53.0f, -3.0f},
    {23.0f, -37.0f}, {19.0f, -53.0f}, {50.0f, -51.0f}, {49.0f, -17.0f},
};

struct MatchResult {
  int state;
  int towers;
  int filesLeft;
  double endTime;
};

// Plays the built-in level; the defence hook may build towers before every frame.
MatchResult playMatch(const std::function<void(Game&, int frame)>& defence) {
  Game g;
  MatchRunner runner(g, 30);
  runner.buildWorld();
  int frame = 0;
  runner.beforeUpdate = [&](Game& game) { defence(game, frame++); };
  CaptureStdout quiet;
  runner.runFor(600.0);
  int intact = 0;
  for (auto& f : g.files) intact += f->isIntact() ? 1 : 0;
  return {g.gameState, static_cast<int>(g.towers.size()), intact, platform::getTime()};
}

}  // namespace

TEST_F(TowerTest, ASensibleDefenceWinsTheMatch) {
  // Whenever a standard tower is affordable, add one to the next corner in turn.
  int next = 0;
  MatchResult r = playMatch([&next](Game& g, int) {
    while (g.resources >= 100) {
      const float* spot = kDefenceSpots[next % 8];
      // Spread a cluster a little so the towers stand side by side.
      float offset = static_cast<float>((next / 8) % 3) - 1.0f;
      g.buildTower("tris", spot[0] + offset, spot[1] - offset, 0, 0, 0);
      ++next;
    }
  });
  EXPECT_EQ(r.state, Won) << "files left " << r.filesLeft << " at " << r.endTime << " s with " << r.towers
                          << " towers";
  EXPECT_GT(r.endTime, 375.0);
  EXPECT_GT(r.filesLeft, 0);
  std::cerr << "won at " << r.endTime << " s, files left " << r.filesLeft << ", towers " << r.towers << std::endl;
}

TEST_F(TowerTest, AWeakDefenceLosesTheMatch) {
  MatchResult r = playMatch([](Game& g, int frame) {
    if (frame == 0) g.buildTower("tris_gr", 23.0f, -12.0f, 0, 0, 0);
  });
  EXPECT_EQ(r.state, Lost) << "files left " << r.filesLeft << " at " << r.endTime << " s";
  EXPECT_EQ(r.towers, 1);
  EXPECT_EQ(r.filesLeft, 0);
  EXPECT_LT(r.endTime, 375.0);
}
