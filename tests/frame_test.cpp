// The frame update with the manual clock and injected input: frame-rate samples strictly after one second,
// the light keys, and a pause that stops the game but not the camera.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "GlTestContext.h"
#include "app/Application.h"
#include "app/Globals.h"
#include "game/Game.h"
#include "input/Camera.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"

namespace {

class FrameTest : public GlTest {
 protected:
  // A fresh level at clock time 0, so no test inherits another's enemies or lost files.
  static void buildFreshWorld() {
    platform::setTime(0.0);
    lastFrameTime = 0.0;
    game.enemies.clear();
    game.files.clear();
    game.spawnPoints.clear();
    game.createMap(0);
    game.buildLevel();
    game.createFiles();
  }
  void SetUp() override {
    GlTest::SetUp();
    platform::useManualClock(true);
    buildFreshWorld();
    platform::useInjectedInput(true);
    platform::clearInjectedInput();
    platform::injectCursor(512, 384);
    platform::setMouseWheel(0);
    game.gameState = Running;
    spectatorMode = false;
    initCamera();
  }
  void TearDown() override {
    platform::clearInjectedInput();
    platform::useInjectedInput(false);
  }
  // Runs one frame update at clock time t.
  void frameAt(double t) {
    platform::setTime(t);
    updateFrame();
  }
};

TEST_F(FrameTest, FrameRateIsSampledOnTheFirstFrameStrictlyAfterOneSecond) {
  platform::setTime(100.0);
  lastFrameTime = 100.0;
  fpsLastTime = 100.0;
  frameCount = 0;
  framesPerSecond = 0;
  // At 60 frames per second the frame exactly one second on takes no sample.
  for (int k = 1; k <= 60; ++k) frameAt(100.0 + k / 60.0);
  EXPECT_EQ(framesPerSecond, 0.0);
  EXPECT_EQ(frameCount, 60.0);
  frameAt(100.0 + 61 / 60.0);
  EXPECT_NEAR(framesPerSecond, 60.0, 1e-9);
  EXPECT_NEAR(msPerFrame, 1000.0 / 60.0, 1e-9);
  EXPECT_EQ(frameCount, 0.0);
  EXPECT_DOUBLE_EQ(fpsLastTime, 100.0 + 61 / 60.0);
  // Slower frames: 21 frames of 50 ms, sampled on the 21st, give 20 per second.
  fpsLastTime = 200.0;
  frameCount = 0;
  for (int k = 1; k <= 20; ++k) frameAt(200.0 + k * 0.05);
  EXPECT_NEAR(framesPerSecond, 60.0, 1e-9);
  frameAt(200.0 + 21 * 0.05);
  EXPECT_NEAR(framesPerSecond, 20.0, 1e-9);
  EXPECT_EQ(frameCount, 0.0);
  // Stopped games count no frames and keep the last rate.
  for (int state : {Paused, Lost, Won}) {
    game.gameState = state;
    double t = fpsLastTime;
    for (int k = 1; k <= 100; ++k) frameAt(t + k * 0.1);
    EXPECT_NEAR(framesPerSecond, 20.0, 1e-9);
    EXPECT_EQ(frameCount, 0.0);
  }
}

TEST_F(FrameTest, LightMovesOneHundredthPerFramePerKey) {
  lightPosition = glm::vec3(-10.0f, 40.0f, 10.0f);
  double t = platform::getTime();
  lastFrameTime = t;
  platform::injectKey('J', true);
  // The step does not depend on the frame time: uneven frames still move exactly one step each.
  for (int k = 0; k < 100; ++k) frameAt(t += (k % 2 ? 0.001 : 0.5));
  platform::injectKey('J', false);
  EXPECT_NEAR(lightPosition.x, -9.0f, 1e-4f);
  EXPECT_FLOAT_EQ(lightPosition.y, 40.0f);
  EXPECT_FLOAT_EQ(lightPosition.z, 10.0f);

  struct KeyMove {
    int key;
    glm::vec3 step;
  };
  const KeyMove moves[] = {{'I', {0, 0, 0.01f}},  {'K', {0, 0, -0.01f}}, {'L', {-0.01f, 0, 0}},
                           {'U', {0, 0.01f, 0}},  {'O', {0, -0.01f, 0}}};
  for (const KeyMove& m : moves) {
    glm::vec3 before = lightPosition;
    platform::injectKey(m.key, true);
    for (int k = 0; k < 10; ++k) frameAt(t += 0.016);
    platform::injectKey(m.key, false);
    glm::vec3 moved = lightPosition - before;
    EXPECT_NEAR(moved.x, 10 * m.step.x, 1e-4f) << static_cast<char>(m.key);
    EXPECT_NEAR(moved.y, 10 * m.step.y, 1e-4f) << static_cast<char>(m.key);
    EXPECT_NEAR(moved.z, 10 * m.step.z, 1e-4f) << static_cast<char>(m.key);
  }
  // Opposite keys cancel.
  glm::vec3 before = lightPosition;
  for (int key : {'J', 'L', 'U', 'O', 'I', 'K'}) platform::injectKey(key, true);
  for (int k = 0; k < 50; ++k) frameAt(t += 0.016);
  EXPECT_NEAR(lightPosition.x, before.x, 1e-4f);
  EXPECT_NEAR(lightPosition.y, before.y, 1e-4f);
  EXPECT_NEAR(lightPosition.z, before.z, 1e-4f);
  // The light looks at the origin with z up, rebuilt every frame.
  glm::mat4 want = glm::lookAt(lightPosition, glm::vec3(0.0f), glm::vec3(0, 0, 1));
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) EXPECT_FLOAT_EQ(lightViewMatrix[c][r], want[c][r]);
}

TEST_F(FrameTest, PauseStopsTheGameButNotTheCamera) {
  // Run the match until its first enemies walk.
  double t = platform::getTime();
  lastFrameTime = t;
  double end = t + 6.0;
  while (t < end) frameAt(t += 1.0 / 30);
  ASSERT_EQ(game.gameState, Running);
  ASSERT_FALSE(game.enemies.empty());
  float walkedX = game.enemies.front()->worldX, walkedZ = game.enemies.front()->worldZ;
  frameAt(t += 0.5);
  EXPECT_TRUE(game.enemies.front()->worldX != walkedX || game.enemies.front()->worldZ != walkedZ);

  game.gameState = Paused;
  size_t count = game.enemies.size();
  walkedX = game.enemies.front()->worldX;
  walkedZ = game.enemies.front()->worldZ;
  glm::vec3 eye = glm::vec3(glm::inverse(viewMatrix) * glm::vec4(0, 0, 0, 1));
  platform::injectKey(platform::KEY_UP, true);
  for (int k = 0; k < 100; ++k) frameAt(t += 0.1);
  platform::injectKey(platform::KEY_UP, false);
  EXPECT_EQ(game.enemies.size(), count);
  EXPECT_EQ(game.enemies.front()->worldX, walkedX);
  EXPECT_EQ(game.enemies.front()->worldZ, walkedZ);
  // Ten seconds of Up at 10 units per second: 100 units toward -z.
  glm::vec3 moved = glm::vec3(glm::inverse(viewMatrix) * glm::vec4(0, 0, 0, 1)) - eye;
  EXPECT_NEAR(moved.z, -100.0f, 1e-2f);
  EXPECT_NEAR(moved.x, 0.0f, 1e-3f);
  EXPECT_NEAR(moved.y, 0.0f, 1e-3f);
}

}  // namespace
