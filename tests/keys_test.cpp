// Key commands through the registered callback: console lines and screen messages, ignored keys and
// releases, the filter pair handed to every drawable, message replacement and the paused game clock.
// The last test drives the real game with X key events, auto-repeat included.
#include <gtest/gtest.h>

#include <string>

#include "CaptureStdout.h"
#include "GameProcess.h"
#include "GlTestContext.h"
#include "app/Globals.h"
#include "game/Game.h"
#include "input/Keyboard.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace {

class Keys : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    platform::useManualClock(true);
    platform::setTime(100.0);
    platform::setKeyCallback(onKey);
    spectatorMode = fpsMode = wireframeMode = false;
    textureFilter = GL_LINEAR;
    mipmapMode = GL_LINEAR_MIPMAP_LINEAR;
    game.gameState = Running;
    game.useVbo = game.frustumCulling = false;
    game.screenMessage = {" ", 0.0};
    game.minFilter = game.magFilter = 0;
  }
  void TearDown() override {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    platform::useManualClock(false);
  }

  // Presses a key through the callback the platform layer calls, and returns what it printed.
  std::string press(int key) {
    CaptureStdout out;
    platform::keyCallback()(key, platform::PRESS);
    return out.text();
  }

  void expectMessage(const std::string& text) {
    EXPECT_EQ(std::string(game.screenMessage.text), text);
    EXPECT_DOUBLE_EQ(game.screenMessage.expiry, platform::getTime() + 3.0);
  }
  void expectNoMessage() {
    EXPECT_EQ(std::string(game.screenMessage.text), " ");
    EXPECT_EQ(game.screenMessage.expiry, 0.0);
  }
};

GLint polygonMode() {
  GLint modes[2] = {0, 0};
  glGetIntegerv(GL_POLYGON_MODE, modes);
  return modes[0];
}

}  // namespace

TEST_F(Keys, TogglesWithoutScreenMessage) {
  EXPECT_EQ(press('C'), "Spectator mode: true\n");
  EXPECT_TRUE(spectatorMode);
  EXPECT_EQ(press('C'), "Spectator mode: false\n");
  EXPECT_FALSE(spectatorMode);
  EXPECT_EQ(press(platform::KEY_F2), "FPS mode: true\n");
  EXPECT_TRUE(fpsMode);
  EXPECT_EQ(press(platform::KEY_F2), "FPS mode: false\n");
  EXPECT_FALSE(fpsMode);
  expectNoMessage();
}

TEST_F(Keys, WireframeSwitchesThePolygonMode) {
  EXPECT_EQ(press(platform::KEY_F3), "Wireframe mode: true\n");
  EXPECT_TRUE(wireframeMode);
  EXPECT_EQ(polygonMode(), GL_LINE);
  expectMessage("Wireframe mode ON");
  platform::advanceTime(5.0);
  EXPECT_EQ(press(platform::KEY_F3), "Wireframe mode: false\n");
  EXPECT_EQ(polygonMode(), GL_FILL);
  expectMessage("Wireframe mode OFF");
}

TEST_F(Keys, TextureAndMipmapModesWithTheirFilterPairs) {
  EXPECT_EQ(press(platform::KEY_F4), "Texture mode: NEAREST\n");
  expectMessage("Texture mode: NEAREST ");
  EXPECT_EQ(textureFilter, GL_NEAREST);
  EXPECT_EQ(game.magFilter, GL_NEAREST);
  EXPECT_EQ(game.minFilter, GL_NEAREST_MIPMAP_LINEAR);

  EXPECT_EQ(press(platform::KEY_F5), "Mipmap mode: OFF\n");
  expectMessage("Mipmap mode: OFF");
  EXPECT_EQ(mipmapMode, 0);
  EXPECT_EQ(game.magFilter, GL_NEAREST);
  EXPECT_EQ(game.minFilter, GL_NEAREST);

  EXPECT_EQ(press(platform::KEY_F5), "Mipmap mode: NEAREST\n");
  expectMessage("Mipmap mode: NEAREST");
  EXPECT_EQ(mipmapMode, GL_NEAREST_MIPMAP_NEAREST);
  EXPECT_EQ(game.minFilter, GL_NEAREST_MIPMAP_NEAREST);

  EXPECT_EQ(press(platform::KEY_F4), "Texture mode: LINEAR\n");
  expectMessage("Texture mode: LINEAR");
  EXPECT_EQ(game.magFilter, GL_LINEAR);
  EXPECT_EQ(game.minFilter, GL_LINEAR_MIPMAP_NEAREST);

  EXPECT_EQ(press(platform::KEY_F5), "Mipmap mode: LINEAR\n");
  expectMessage("Mipmap mode LINEAR");
  EXPECT_EQ(mipmapMode, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(game.minFilter, GL_LINEAR_MIPMAP_LINEAR);
}

TEST_F(Keys, BufferObjectsAndCulling) {
  EXPECT_EQ(press(platform::KEY_F6), "[VBO] ENABLED!\n");
  EXPECT_TRUE(game.useVbo);
  expectMessage("VBOs: ON");
  EXPECT_EQ(press(platform::KEY_F6), "[VBO] DISABLED!\n");
  EXPECT_FALSE(game.useVbo);
  expectMessage("VBOs: OFF");
  EXPECT_EQ(press(platform::KEY_F8), "[VIEW FRUSTUM] ENABLED!\n");
  EXPECT_TRUE(game.frustumCulling);
  expectMessage("Viewfrustum Culling: ON");
  EXPECT_EQ(press(platform::KEY_F8), "[VIEW FRUSTUM] DISABLED!\n");
  EXPECT_FALSE(game.frustumCulling);
  expectMessage("Viewfrustum Culling: OFF");
}

TEST_F(Keys, KeysWithoutCommandAndReleasesDoNothing) {
  for (int key : {platform::KEY_F1, platform::KEY_F7, static_cast<int>('A'), platform::KEY_UP, platform::KEY_ESC})
    EXPECT_EQ(press(key), "") << key;
  for (int key : {static_cast<int>('C'), static_cast<int>('P'), platform::KEY_F2, platform::KEY_F3, platform::KEY_F4,
                  platform::KEY_F5, platform::KEY_F6, platform::KEY_F8}) {
    CaptureStdout out;
    platform::keyCallback()(key, platform::RELEASE);
    EXPECT_EQ(out.text(), "") << key;
  }
  EXPECT_FALSE(spectatorMode || fpsMode || wireframeMode || game.useVbo || game.frustumCulling);
  EXPECT_EQ(textureFilter, GL_LINEAR);
  EXPECT_EQ(mipmapMode, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(game.gameState, Running);
  EXPECT_EQ(polygonMode(), GL_FILL);
  expectNoMessage();
}

TEST_F(Keys, FilterPairsForEveryCombination) {
  struct Case {
    GLint tex, mip, min, mag;
  };
  const Case cases[] = {
      {GL_LINEAR, 0, GL_LINEAR, GL_LINEAR},
      {GL_LINEAR, GL_NEAREST_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR},
      {GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
      {GL_NEAREST, 0, GL_NEAREST, GL_NEAREST},
      {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
      {GL_NEAREST, GL_LINEAR_MIPMAP_LINEAR, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
  };
  for (const Case& c : cases) {
    GLint min = -1, mag = -1;
    computeTextureFilters(c.tex, c.mip, min, mag);
    EXPECT_EQ(min, c.min) << c.tex << " " << c.mip;
    EXPECT_EQ(mag, c.mag) << c.tex << " " << c.mip;
  }
  for (GLint mip : {0, GL_NEAREST_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_LINEAR}) {
    GLint min = 123, mag = 456;
    computeTextureFilters(GL_LINEAR_MIPMAP_LINEAR, mip, min, mag);
    EXPECT_EQ(min, 123);
    EXPECT_EQ(mag, 456);
  }

  // Every drawable of the world receives the pair.
  game.createMap(1);
  game.buildLevel();
  game.createFiles();
  ASSERT_FALSE(game.spawnPoints.empty());
  ASSERT_FALSE(game.files.empty());
  game.spawnEnemy(game.spawnPoints.front()->path.data(), "cube", 0.0f, 0.0f, 5, 1);
  game.resources = 1000;
  game.buildTower("tris", 5.0f, -5.0f, 1, 1, 1);
  ASSERT_EQ(game.towers.size(), 1u);
  applyTextureFilters(GL_NEAREST, GL_LINEAR_MIPMAP_LINEAR);
  const GLint pairs[][2] = {{game.minFilter, game.magFilter},
                            {game.map->material.minFilter, game.map->material.magFilter},
                            {game.spawnPoints.back()->material.minFilter, game.spawnPoints.back()->material.magFilter},
                            {game.files.back()->material.minFilter, game.files.back()->material.magFilter},
                            {game.enemies.back()->material.minFilter, game.enemies.back()->material.magFilter},
                            {game.towers.back()->material.minFilter, game.towers.back()->material.magFilter},
                            {game.textRenderer.minFilter, game.textRenderer.magFilter},
                            {game.hud.minFilter, game.hud.magFilter}};
  for (const auto& pair : pairs) {
    EXPECT_EQ(pair[0], GL_NEAREST_MIPMAP_LINEAR);
    EXPECT_EQ(pair[1], GL_NEAREST);
  }
  // An unknown texture filter keeps the last pair and hands it out again.
  game.hud.minFilter = game.hud.magFilter = 0;
  applyTextureFilters(12345, 0);
  EXPECT_EQ(game.hud.minFilter, GL_NEAREST_MIPMAP_LINEAR);
  EXPECT_EQ(game.hud.magFilter, GL_NEAREST);
}

TEST_F(Keys, ASecondCommandReplacesTheMessageForAFullThreeSeconds) {
  press(platform::KEY_F3);
  platform::advanceTime(2.0);
  press(platform::KEY_F6);
  EXPECT_EQ(std::string(game.screenMessage.text), "VBOs: ON");
  EXPECT_DOUBLE_EQ(game.screenMessage.expiry, 105.0);
  press(platform::KEY_F3);  // restores the polygon mode; its message replaces the VBO one
  EXPECT_EQ(std::string(game.screenMessage.text), "Wireframe mode OFF");
  EXPECT_DOUBLE_EQ(game.screenMessage.expiry, 105.0);
  press(platform::KEY_F6);
}

TEST_F(Keys, PauseStopsTheGameClockAndResumeSetsItBack) {
  platform::setTime(50.0);
  lastFrameTime = 49.98;
  EXPECT_EQ(press('P'), "Pause mode: true\n");
  EXPECT_EQ(game.gameState, Paused);
  EXPECT_DOUBLE_EQ(pauseStartTime, 50.0);
  platform::advanceTime(10.0);
  EXPECT_EQ(press('P'), "Pause mode: false\n");
  EXPECT_EQ(game.gameState, Running);
  EXPECT_DOUBLE_EQ(platform::getTime(), 50.0);
  EXPECT_DOUBLE_EQ(lastFrameTime, 50.0);
  expectNoMessage();

  // After the end of a match P sets the clock back to the last pause and lets the game run again.
  platform::setTime(80.0);
  game.gameState = Lost;
  EXPECT_EQ(press('P'), "Pause mode: false\n");
  EXPECT_EQ(game.gameState, Running);
  EXPECT_DOUBLE_EQ(platform::getTime(), 50.0);
  game.gameState = Won;
  press('P');
  EXPECT_EQ(game.gameState, Running);
}

// The real program: X key events reach the callback, and a held key's auto-repeat toggles only once.
TEST(KeysInTheGame, HeldKeysToggleOnce) {
  GameProcess game;
  ASSERT_TRUE(game.start());
  ASSERT_TRUE(game.waitForWindow(30.0)) << game.output();
  game.sendKey("F6");
  EXPECT_TRUE(game.waitForOutput("[VBO] ENABLED!\n", 10.0)) << game.output();
  // The X server repeats a held key after 660 ms, 25 times a second: 2 s of F2 sends dozens of repeats.
  game.holdKey("F2", 2.0);
  EXPECT_TRUE(game.waitForOutput("FPS mode: true\n", 10.0)) << game.output();
  game.sendKey("F8");
  EXPECT_TRUE(game.waitForOutput("[VIEW FRUSTUM] ENABLED!\n", 10.0)) << game.output();
  game.sendKey("F1");
  game.sendKey("F7");
  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0) << game.output();
  const std::string out = game.output();
  EXPECT_EQ(out.find("FPS mode: false"), std::string::npos) << out;
  size_t start = out.find("[VBO] ENABLED!");
  ASSERT_NE(start, std::string::npos);
  EXPECT_EQ(out.substr(start), "[VBO] ENABLED!\nFPS mode: true\n[VIEW FRUSTUM] ENABLED!\n");
}
