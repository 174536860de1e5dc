// Mouse clicks through the registered callback with injected cursor positions: HUD buttons and their
// strict edges, falling through to the board, building on the ground point, picking, SuperGlow, and
// the dead mouse after a lost match.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "CaptureStdout.h"
#include "GlTestContext.h"
#include "MatchRunner.h"
#include "app/Globals.h"
#include "game/Game.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace {

constexpr float kEyeHeight = 60.0f;

void clearWorld(Game& g) {
  g.towers.clear();
  g.enemies.clear();
  g.files.clear();
  g.spawnPoints.clear();
  g.map = nullptr;
  g.waves = nullptr;  // the level's wave table is a constant table
  g.selectedTower = nullptr;
  g.currentTower = nullptr;
  g.currentEnemy = nullptr;
  g.currentFile = nullptr;
  g.currentSpawnPoint = nullptr;
}

class MouseTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    platform::useManualClock(true);
    platform::setTime(10.0);
    platform::useInjectedInput(true);
    platform::setMouseButtonCallback(onMouseButton);
    windowWidth = 1024;
    windowHeight = 768;
    clearWorld(game);
    game.selectionMode = true;
    game.gameState = Running;
    game.resources = 1000;
    game.superGlowReadyTime = 325.0;
    selectedTowerType.clear();
    lookStraightDown();
  }
  void TearDown() override {
    clearWorld(game);
    platform::clearInjectedInput();
    platform::useInjectedInput(false);
    platform::useManualClock(false);
    game.gameState = Running;
    game.selectionMode = true;
    game.resources = 1000;
    selectedTowerType.clear();
  }

  // The eye straight above the board centre, screen up along -z: the ground point under a pixel is
  // then a plain function of the pixel.
  void lookStraightDown() {
    viewMatrix = glm::lookAt(glm::vec3(39.0f, kEyeHeight, -39.0f), glm::vec3(39.0f, 0.0f, -39.0f),
                             glm::vec3(0.0f, 0.0f, -1.0f));
    projectionMatrix = glm::perspective(glm::radians(60.0f), 1024.0f / 768.0f, 0.1f, 150.0f);
  }
  static glm::vec2 groundUnder(int x, int y) {
    const double halfHeight = kEyeHeight * std::tan(glm::radians(30.0));
    const double nx = 2.0 * x / 1024.0 - 1.0;
    const double ny = 2.0 * (768 - y) / 768.0 - 1.0;
    return glm::vec2(static_cast<float>(39.0 + nx * halfHeight * 1024.0 / 768.0),
                     static_cast<float>(-39.0 - ny * halfHeight));
  }

  static void click(int x, int y, int button = platform::MOUSE_BUTTON_LEFT, int action = platform::PRESS) {
    platform::injectCursor(x, y);
    if (platform::MouseButtonCallback callback = platform::mouseButtonCallback()) callback(button, action);
  }

  // Parses "Tower at: x, y, z" and checks it against the expected ground point.
  static void expectTowerAt(const std::string& line, glm::vec2 ground) {
    ASSERT_EQ(line.rfind("Tower at: ", 0), 0u) << line;
    std::istringstream in(line.substr(10));
    float x = 0, y = 0, z = 0;
    char comma = 0;
    in >> x >> comma >> y >> comma >> z;
    EXPECT_NEAR(x, ground.x, 2e-3);
    EXPECT_NEAR(y, 0.0f, 1e-3);
    EXPECT_NEAR(z, ground.y, 2e-3);
  }

  static std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }
};

}  // namespace

TEST(HudButtons, EdgesBelongToNoButtonInEveryWindowSize) {
  for (int scale = 1; scale <= 3; ++scale) {
    const int w = 1024 * scale, h = 768 * scale;
    const int y = 680 * scale;
    EXPECT_FALSE(insideHudButton(kSelectionButton, 862 * scale, y, w, h)) << scale;
    EXPECT_FALSE(insideHudButton(kUpgradeButton, 862 * scale, y, w, h)) << scale;
    EXPECT_TRUE(insideHudButton(kSelectionButton, 862 * scale - 1, y, w, h)) << scale;
    EXPECT_TRUE(insideHudButton(kUpgradeButton, 862 * scale + 1, y, w, h)) << scale;
    EXPECT_FALSE(insideHudButton(kUpgradeButton, 900 * scale, 655 * scale, w, h)) << scale;
    EXPECT_FALSE(insideHudButton(kSellButton, 900 * scale, 655 * scale, w, h)) << scale;
    EXPECT_FALSE(insideHudButton(kSellButton, 961 * scale, 630 * scale, w, h)) << scale;
    EXPECT_TRUE(insideHudButton(kUpgradeButton, 961 * scale, 680 * scale, w, h)) << scale;
    EXPECT_FALSE(insideHudButton(kTrisButton, 562 * scale, y, w, h)) << scale;
    EXPECT_FALSE(insideHudButton(kTrisGrButton, 562 * scale, y, w, h)) << scale;
    EXPECT_FALSE(insideHudButton(kTrisButton, 500 * scale, 703 * scale, w, h)) << scale;
    EXPECT_FALSE(insideHudButton(kSuperGlowButton, 500 * scale, 64 * scale, w, h)) << scale;
    EXPECT_TRUE(insideHudButton(kSuperGlowButton, 500 * scale, 65 * scale, w, h)) << scale;
  }
  // A window of another shape stretches the buttons with it.
  EXPECT_TRUE(insideHudButton(kTrisButton, 256, 370, 512, 432));
  EXPECT_FALSE(insideHudButton(kTrisButton, 256, 370, 1024, 432));
}

TEST(BuildArea, OneToSeventySevenWithTheFarEdgeOpen) {
  EXPECT_TRUE(onBuildArea(1.0f, -1.0f));
  EXPECT_TRUE(onBuildArea(77.0f, -76.99f));
  EXPECT_FALSE(onBuildArea(77.0f, -77.0f));
  EXPECT_FALSE(onBuildArea(0.999f, -10.0f));
  EXPECT_FALSE(onBuildArea(77.001f, -10.0f));
  EXPECT_FALSE(onBuildArea(10.0f, -0.999f));
  EXPECT_FALSE(onBuildArea(NAN, -10.0f));
}

TEST_F(MouseTest, ToolAndTypeButtonsSwitchModeAndType) {
  CaptureStdout out;
  click(512, 650);
  EXPECT_FALSE(game.selectionMode);
  EXPECT_EQ(selectedTowerType, "tris");
  click(612, 650);
  EXPECT_EQ(selectedTowerType, "tris_gr");
  click(712, 650);
  EXPECT_EQ(selectedTowerType, "tris_bl");
  EXPECT_EQ(out.text(), "");
  click(812, 650);
  EXPECT_TRUE(game.selectionMode);
  EXPECT_EQ(selectedTowerType, "tris_bl") << "the type is kept across mode changes";
  EXPECT_EQ(out.text(), "SelectionMode!\n");

  // Choosing a type drops the selection.
  game.buildTower("tris", 39.0f, -39.0f, 0, 0, 0);
  click(512, 384);
  ASSERT_NE(game.selectedTower, nullptr);
  Tower* t = game.selectedTower;
  click(512, 650);
  EXPECT_EQ(game.selectedTower, nullptr);
  EXPECT_FALSE(t->selected);

  // Only left-button presses count.
  click(812, 650, platform::MOUSE_BUTTON_LEFT, platform::RELEASE);
  click(812, 650, platform::MOUSE_BUTTON_RIGHT);
  EXPECT_FALSE(game.selectionMode);
}

TEST_F(MouseTest, UpgradeAndSellButtonsInSelectionModeAndTheEdgeBetween) {
  game.buildTower("tris", 39.0f, -39.0f, 0, 0, 0);
  click(512, 384);
  ASSERT_NE(game.selectedTower, nullptr);
  ASSERT_EQ(game.resources, 900);
  CaptureStdout out;
  // x = 862 is neither the selection tool nor Upgrade: a board click there picks (and finds nothing).
  click(862, 680);
  EXPECT_EQ(out.text(), "");
  EXPECT_EQ(game.resources, 900);
  EXPECT_TRUE(game.selectionMode);
  EXPECT_EQ(game.selectedTower, nullptr);

  click(512, 384);
  ASSERT_NE(game.selectedTower, nullptr);
  click(912, 680);
  EXPECT_EQ(out.text(), "level: 2 distance: 6 power: 50\nUpgrade!\n");
  EXPECT_EQ(game.resources, 700);
  out.clear();
  click(912, 630);
  EXPECT_EQ(out.text(), "Sell!\n");
  EXPECT_EQ(game.resources, 800);
  EXPECT_TRUE(game.towers.empty());
}

TEST_F(MouseTest, BuildClicksPrintTheGroundPointAndBuildThere) {
  click(512, 650);
  CaptureStdout out;
  click(300, 200);
  const glm::vec2 ground = groundUnder(300, 200);
  expectTowerAt(firstLine(out.text()), ground);
  ASSERT_EQ(game.towers.size(), 1u);
  EXPECT_NEAR(game.towers.back()->posX, ground.x, 2e-3);
  EXPECT_NEAR(game.towers.back()->posZ, ground.y, 2e-3);
  EXPECT_EQ(game.towers.back()->kind, "tris");
  EXPECT_EQ(game.towers.back()->material.texture, textureTable[4]);
  EXPECT_EQ(game.towers.back()->markTexture, textureTable[10]);
  EXPECT_EQ(game.resources, 900);

  // The same spot again, and one a little off it, are taken.
  out.clear();
  click(300, 200);
  click(303, 202);
  EXPECT_EQ(out.text(), "Can't build a tower here!\nCan't build a tower here!\n");
  EXPECT_EQ(game.towers.size(), 1u);

  // Off the board: nothing at all.
  out.clear();
  click(10, 300);
  ASSERT_LT(groundUnder(10, 300).x, 1.0f);
  EXPECT_EQ(out.text(), "");

  // Too poor: the point is reported, then the price.
  game.resources = 99;
  click(700, 300);
  EXPECT_EQ(out.text().substr(out.text().find('\n') + 1), "[BUILD]: Not enough Resources!\n");
  expectTowerAt(firstLine(out.text()), groundUnder(700, 300));
  EXPECT_EQ(game.towers.size(), 1u);
}

TEST_F(MouseTest, BuildModeWithoutATypeOnlyReportsThePoint) {
  game.selectionMode = false;
  CaptureStdout out;
  click(400, 300);
  expectTowerAt(firstLine(out.text()), groundUnder(400, 300));
  EXPECT_EQ(out.text().find('\n') + 1, out.text().size());
  EXPECT_TRUE(game.towers.empty());
  EXPECT_EQ(game.resources, 1000);
}

TEST_F(MouseTest, UpgradeAndSellButtonsInBuildModeBuildUnderThem) {
  click(612, 650);
  ASSERT_FALSE(game.selectionMode);
  CaptureStdout out;
  click(912, 680);
  expectTowerAt(firstLine(out.text()), groundUnder(912, 680));
  click(912, 620);
  ASSERT_EQ(game.towers.size(), 2u);
  EXPECT_EQ(game.towers.back()->kind, "tris_gr");
  EXPECT_NEAR(game.towers.back()->posZ, groundUnder(912, 620).y, 2e-3);
  EXPECT_EQ(game.resources, 500);
  EXPECT_EQ(out.text().find("Upgrade!"), std::string::npos);
  EXPECT_EQ(out.text().find("Sell!"), std::string::npos);
}

TEST_F(MouseTest, SuperGlowOnlyWhenReadyAndRunningOtherwiseTheBoardGetsTheClick) {
  static const float path[10] = {1, -1, 1, -10, 25, -10, 25, -39, 39, -39};
  game.enemies.push_back(std::make_unique<Enemy>("cube_w", 1.0f, -1.0f, path, 5, 0));
  static Wave quiet[1] = {{1000.0, 1.0, "cube", 0}};
  game.spawnPoints.push_back(std::make_unique<SpawnPoint>(std::vector<float>(path, path + 10), 0, 1.0f, -1.0f, quiet));
  click(512, 650);
  CaptureStdout out;
  platform::setTime(325.0);
  click(512, 114);
  expectTowerAt(firstLine(out.text()), groundUnder(512, 114));
  EXPECT_EQ(game.enemies.front()->hitPoints, 1000.0);
  EXPECT_EQ(game.towers.size(), 1u);

  out.clear();
  platform::setTime(325.5);
  click(512, 114);
  EXPECT_EQ(out.text(), "SuperGlow\n");
  EXPECT_EQ(game.enemies.front()->hitPoints, 700.0);
  EXPECT_EQ(game.spawnPoints.front()->pulseTime, 325.5);
  EXPECT_EQ(game.superGlowReadyTime, 650.5);
  EXPECT_EQ(game.towers.size(), 1u);

  // Not ready again until 650.5; paused, not at all.
  out.clear();
  platform::setTime(650.5);
  click(512, 114);
  EXPECT_EQ(out.text(), "Can't build a tower here!\n");
  game.gameState = Paused;
  platform::setTime(700.0);
  click(512, 114);
  EXPECT_EQ(out.text(), "Can't build a tower here!\nCan't build a tower here!\n");
  EXPECT_EQ(game.enemies.front()->hitPoints, 700.0);
}

TEST_F(MouseTest, PickingSelectsTheTowerUnderTheCursorAndTheNearerOfTwo) {
  game.resources = 100000;
  game.buildTower("tris", 39.0f, -39.0f, 0, 0, 0);
  Tower* centre = game.towers.back().get();
  click(512, 384);
  EXPECT_EQ(game.selectedTower, centre);
  EXPECT_TRUE(centre->selected);
  click(100, 100);
  EXPECT_EQ(game.selectedTower, nullptr);
  EXPECT_FALSE(centre->selected);

  // A level ray at the towers' height through two towers: the one whose foot is nearer the origin wins,
  // whichever comes first in the list.
  game.buildTower("tris", 20.0f, -39.0f, 0, 0, 0);
  Tower* west = game.towers.back().get();
  const float y = (centre->worldMin[1] + centre->worldMax[1]) / 2;
  EXPECT_TRUE(pickTower(glm::vec3(0.0f, y, -39.0f), glm::vec3(1.0f, 0.0f, 0.0f)));
  EXPECT_EQ(game.selectedTower, west);
  EXPECT_TRUE(west->selected);
  EXPECT_TRUE(pickTower(glm::vec3(70.0f, y, -39.0f), glm::vec3(-1.0f, 0.0f, 0.0f)));
  EXPECT_EQ(game.selectedTower, centre);
  EXPECT_FALSE(west->selected);
  EXPECT_FALSE(pickTower(glm::vec3(0.0f, y, -60.0f), glm::vec3(1.0f, 0.0f, 0.0f)));
  EXPECT_EQ(game.selectedTower, nullptr);
}

TEST_F(MouseTest, BuildSpotsCloserThanOneBoxToATowerAreTaken) {
  game.buildTower("tris", 20.0f, -20.0f, 0, 0, 0);
  const Tower* t = game.towers.back().get();
  const float width = t->worldMax[0] - t->worldMin[0];
  const float depth = t->worldMax[2] - t->worldMin[2];
  const float cx = (t->worldMax[0] + t->worldMin[0]) / 2, cz = (t->worldMax[2] + t->worldMin[2]) / 2;
  EXPECT_FALSE(isBuildSpotFree(cx, cz));
  EXPECT_FALSE(isBuildSpotFree(cx + 0.99f * width, cz + 0.99f * depth));
  EXPECT_TRUE(isBuildSpotFree(cx + 1.01f * width, cz));
  EXPECT_TRUE(isBuildSpotFree(cx, cz - 1.01f * depth));
}

TEST_F(MouseTest, ALostMatchLeavesTheMouseDead) {
  MatchRunner runner(game, 30);
  runner.buildWorld();
  runner.runFor(600.0);
  ASSERT_EQ(game.gameState, Lost);
  EXPECT_EQ(platform::mouseButtonCallback(), nullptr);
  // Resuming with the pause key does not bring the mouse back.
  game.gameState = Running;
  game.selectionMode = false;
  selectedTowerType = "tris";
  CaptureStdout out;
  platform::setTime(700.0);
  click(812, 650);
  click(512, 114);
  click(400, 300);
  EXPECT_EQ(out.text(), "");
  EXPECT_TRUE(game.towers.empty());
}
