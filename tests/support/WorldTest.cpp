// The shared fresh-world fixture: what start-up builds, rebuilt on the global game before every test.
#include "WorldTest.h"

#include <glm/gtc/matrix_transform.hpp>

#include "CaptureStdout.h"
#include "app/Globals.h"
#include "app/ShaderPrograms.h"
#include "app/TextureCatalogue.h"
#include "input/Camera.h"
#include "input/Keyboard.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

void clearWorld(Game& g) {
  for (Tower* t : g.towers) delete t;
  for (Enemy* e : g.enemies) delete e;
  for (File* f : g.files) delete f;
  for (SpawnPoint* s : g.spawnPoints) delete s;
  g.towers.clear();
  g.enemies.clear();
  g.files.clear();
  g.spawnPoints.clear();
  delete g.map;
  g.map = nullptr;
  g.waves = nullptr;  // the level's wave table is a shared constant
  g.selectedTower = nullptr;
  g.currentTower = nullptr;
  g.currentEnemy = nullptr;
  g.currentFile = nullptr;
  g.currentSpawnPoint = nullptr;
}

void buildWorld(Game& g) {
  g.activeTextures = textureTable;
  g.createMap(textureTable[SlotBoard]);
  g.program = simpleProgram;
  g.lightPos = &lightPosition;
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
    hudProjection = glm::ortho(-512.0f, 512.0f, -384.0f, 384.0f, -1.0f, 1.0f);
    game.textRenderer.init(hudProgram, textureTable[SlotFont], hudProjection);
    game.hud.init(hudProgram, hudProjection);
    started = true;
  }
  platform::useManualClock(true);
  platform::setTime(0.0);
  platform::useInjectedInput(true);
  platform::clearInjectedInput();
  platform::setKeyCallback(onKey);
  platform::setMouseButtonCallback(onMouseButton);

  windowWidth = 1024;
  windowHeight = 768;
  spectatorMode = fpsMode = wireframeMode = false;
  textureFilter = GL_LINEAR;
  mipmapMode = GL_LINEAR_MIPMAP_LINEAR;
  lastFrameTime = pauseStartTime = 0.0;
  mouseX = mouseY = 0;
  selectedTowerType.clear();
  initCamera();

  clearWorld(game);
  game.gameState = Running;
  game.resources = 1000;
  game.superGlowReadyTime = 325.0;
  game.selectionMode = true;
  game.useVbo = game.frustumCulling = false;
  game.drawSpawnPoints = true;
  game.minFilter = game.magFilter = 0;
  game.screenMessage = {" ", 0.0};
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
  auto* e = new Enemy(kind, x, z, path, pathLength, 0);
  g.enemies.push_back(e);
  return e;
}

Tower* WorldTest::addTower(const std::string& kind, float x, float z) {
  g.loadTowerModel("tris");
  auto* t = new Tower(kind, x, z, textureTable[SlotTowerStandard], textureTable[SlotTowerSpare],
                      textureTable[SlotMark], g.towerModel);
  g.towers.push_back(t);
  return t;
}

int WorldTest::takenFiles() const {
  int n = 0;
  for (File* f : g.files) n += f->isIntact() ? 0 : 1;
  return n;
}
