// Meant to run under valgrind memcheck: the start-up loads (shader sources, every TGA image), a whole headless
// match lost without towers, a short one with towers built, upgraded and sold, and a few full frames of the
// board it leaves (the driver reads our client-side vertex arrays, so their bounds get checked too). Valgrind, not these checks, judges the memory; the checks make
// sure the matches really went where they should, so the run covers the code it claims to.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "CaptureStdout.h"
#include "GlTestContext.h"
#include "MatchRunner.h"
#include "app/Globals.h"
#include "app/RenderFrame.h"
#include "app/ShaderPrograms.h"
#include "app/TextureCatalogue.h"
#include "app/Window.h"
#include "input/Camera.h"
#include "game/Game.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Md2Model.h"
#include "scene/Tower.h"

namespace {

class ValgrindMatch : public ::testing::Test {
 protected:
  void TearDown() override { platform::useManualClock(false); }
};

// Path corners where towers cover two legs at once.
const float kSpots[4][2] = {{23.0f, -12.0f}, {15.0f, -75.0f}, {75.0f, -51.0f}, {53.0f, -3.0f}};

}  // namespace

// Runs first, so that the matches below play with the real textures and program.
TEST_F(ValgrindMatch, ShadersAndTexturesLoad) {
  ensureGlContext();
  CaptureStdout console;
  buildShaderPrograms();
  loadTextureTables();
  EXPECT_NE(simpleProgram, 0u);
  EXPECT_NE(hudProgram, 0u);
  EXPECT_EQ(console.text().find("Error"), std::string::npos) << console.text();
  for (int slot = 0; slot < kTextureSlots; ++slot) EXPECT_NE(textureTable[slot], 0u) << "slot " << slot;
}

TEST_F(ValgrindMatch, AMatchWithoutTowersIsLost) {
  Game g;
  MatchRunner runner(g, 30);
  runner.buildWorld();
  size_t mostEnemies = 0;
  runner.afterUpdate = [&](Game& game) { mostEnemies = std::max(mostEnemies, game.enemies.size()); };
  CaptureStdout quiet;
  runner.runFor(400.0);
  EXPECT_EQ(g.gameState, Lost);
  EXPECT_GT(mostEnemies, 10u);
  EXPECT_GT(runner.frames(), 30 * 50);
}

TEST_F(ValgrindMatch, TowersAreBuiltFireUpgradeAndAreSold) {
  // The global game, because upgrading and selling act on it.
  MatchRunner runner(game, 30);
  runner.buildWorld();
  const char* kinds[4] = {"tris", "tris_gr", "tris_bl", "tris"};
  int moneyBefore = 0;
  bool paidForAKill = false;
  runner.beforeUpdate = [&](Game& g) {
    if (runner.frames() == 0)
      for (int i = 0; i < 4; ++i) g.buildTower(kinds[i], kSpots[i][0], kSpots[i][1], 0, 0, 0);
    moneyBefore = g.resources;
  };
  runner.afterUpdate = [&](Game& g) {
    if (g.resources > moneyBefore) paidForAKill = true;
  };
  {
    CaptureStdout quiet;
    runner.runFor(45.0);
    ASSERT_EQ(game.towers.size(), 4u);
    game.selectedTower = game.towers.front().get();
    game.towers.front()->selected = true;
    upgradeSelectedTower();
    runner.runFor(15.0);
    sellSelectedTower();
    runner.runFor(5.0);
  }
  EXPECT_EQ(game.gameState, Running);
  EXPECT_EQ(game.towers.size(), 3u);
  EXPECT_GE(game.towerModels.size(), 1u);
  EXPECT_GT(game.resources, 0);
  EXPECT_TRUE(paidForAKill) << "the towers never killed an enemy";
}

TEST_F(ValgrindMatch, TheBoardLeftByTheTowerMatchDraws) {
  ASSERT_FALSE(game.enemies.empty());
  CaptureStdout quiet;
  // The rest of start-up, as the program does it, on the test context's 1024 x 768 window.
  setInitialGlState();
  initCamera();
  lightProjectionMatrix = glm::perspective(glm::radians(120.0f), 1.0f, 0.1f, 150.0f);
  hudProjection = glm::ortho(-512.0f, 512.0f, -384.0f, 384.0f, -1.0f, 1.0f);
  onWindowSize(1024, 768);
  createRenderTargets();
  createScreenQuad();
  applyTextureTable(textureTable);
  game.textRenderer.init(hudProgram, textureTable[3], hudProjection);
  game.hud.init(hudProgram, hudProjection);
  game.selectedTower = game.towers.front().get();
  game.towers.front()->selected = true;
  for (int frame = 0; frame < 3; ++frame) drawFrame();
  std::string centre = readPixelsRgba(412, 284, 200, 200);
  size_t lit = 0;
  for (size_t i = 0; i < centre.size(); i += 4)
    if (centre[i] != 0 || centre[i + 1] != 0 || centre[i + 2] != 0) ++lit;
  EXPECT_GT(lit, centre.size() / 8) << "the board was not drawn";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
