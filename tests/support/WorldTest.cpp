// The shared fresh-world fixture: what start-up builds, rebuilt on the global game before every test.
#include "WorldTest.h"

#include <glm/gtc/matrix_transform.hpp>

#include "CaptureStdout.h"
#include "platform/Core.h"
#include "platform/FrameClock.h"
#include "game/DebugSwitches.h"
#include "render/Light.h"
#include "config/Settings.h"
#include "app/InputRouter.h"
#include "app/HelpScreen.h"
#include "app/LevelsScreen.h"
#include "app/OptionsScreen.h"
#include "game/MatchRecords.h"
#include "render/ShaderPrograms.h"
#include "render/TextureCatalogue.h"
#include "input/Camera.h"
#include "input/Keyboard.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/MatchClock.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

void clearWorld(Game& g) {
  g.clearMatchObjects();
  g.map.reset();
}

void buildWorld(Game& g) {
  g.activeTextures = textures.textureTable;
  g.createMap(textures.textureTable[SlotBoard]);
  g.buildLevel();
  g.createFiles();
}

void WorldTest::SetUp() {
  GlTest::SetUp();
  // Programs, textures and the text and HUD set-up are made once per process, as start-up makes them once.
  static bool started = false;
  if (!started) {
    CaptureStdout quiet;
    buildShaderPrograms();
    loadTextureTables();
    camera.hudProjection = glm::ortho(-512.0f, 512.0f, -384.0f, 384.0f, -1.0f, 1.0f);
    game.textRenderer.init(shaders.hudProgram, textures.textureTable[SlotFont], camera.hudProjection);
    game.hud.init(shaders.hudProgram, camera.hudProjection);
    started = true;
  }
  platform::useManualClock(true);
  platform::setTime(0.0);
  matchClock.restart();
  platform::useInjectedInput(true);
  platform::clearInjectedInput();
  platform::setKeyCallback(routeKey);
  platform::setMouseButtonCallback(routeMouseButton);
  game.clickHandler = routeMouseButton;
  inputRouter.removeAllScreens();
  inputRouter.addScreen(&optionsScreen);
  inputRouter.addScreen(&levelsScreen);
  inputRouter.addScreen(&helpScreen);

  core.windowWidth = 1024;
  core.windowHeight = 768;
  for (Screen* screen : {static_cast<Screen*>(&optionsScreen), static_cast<Screen*>(&levelsScreen),
                         static_cast<Screen*>(&helpScreen)})
    if (screen->isOpen()) screen->close();
  matchRecords.keepIn("");
  matchRecords.playing(LevelIdentity{});
  optionsScreen.keepIn("", Settings());
  settings = Settings();
  debugSwitches.spectatorMode = debugSwitches.fpsMode = debugSwitches.wireframeMode = false;
  debugSwitches.textureFilter = GL_LINEAR;
  debugSwitches.mipmapMode = GL_LINEAR_MIPMAP_LINEAR;
  frameClock.lastFrameTime = frameClock.pauseStartTime = 0.0;
  core.mouseX = core.mouseY = 0;
  game.selectedTowerType.clear();
  initCamera();

  clearWorld(game);
  game.gameState = Running;
  game.level = classicLevel();
  game.difficulty = Difficulty::Normal;
  game.superGlowReadyTime = kSuperGlowCooldown;
  game.selectionMode = true;
  game.useVbo = game.frustumCulling = false;
  game.minFilter = game.magFilter = 0;
  game.screenMessage = {" ", 0.0};
  game.overlay.shown = false;
  game.musicVolume = game.effectsVolume = 1.0f;
  buildWorld(game);
}

void WorldTest::TearDown() {
  clearWorld(game);
  game.gameState = Running;
  platform::clearInjectedInput();
  platform::useInjectedInput(false);
  platform::useManualClock(false);
}

Enemy* WorldTest::addEnemy(const std::string& kind, float x, float z, const float* path, int pathLength) {
  g.enemies.push_back(std::make_unique<Enemy>(kind, x, z, path, pathLength, 0));
  return g.enemies.back().get();
}

Tower* WorldTest::addTower(const std::string& kind, float x, float z) {
  g.loadTowerModel("tris");
  g.towers.push_back(std::make_unique<Tower>(kind, x, z, textures.textureTable[SlotTowerStandard],
                                             textures.textureTable[SlotTowerSpare], textures.textureTable[SlotMark], g.towerModel));
  return g.towers.back().get();
}

int WorldTest::takenFiles() const {
  int n = 0;
  for (auto& f : g.files) n += f->isIntact() ? 0 : 1;
  return n;
}
