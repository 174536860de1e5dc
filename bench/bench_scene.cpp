// Setting up the benchmark scenes through the game's own start-up, level and build operations.
#include "bench/bench_scene.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <glm/gtc/matrix_transform.hpp>

#include "app/Application.h"
#include "platform/Core.h"
#include "platform/FrameClock.h"
#include "input/Camera.h"
#include "render/TextureCatalogue.h"
#include "config/Settings.h"
#include "render/RenderFrame.h"
#include "game/Game.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace {

const char* const kKinds[] = {"cube", "cube_or", "cube_yl", "cube_w"};
bool started = false;

}  // namespace

void startGame() {
  if (started) return;
  started = true;
  // Another run directory (an older build's shaders, say) can be named for before/after comparisons.
  const char* runDir = std::getenv("VARROW_RUN_DIR");
  if (!runDir) runDir = VARROW_RUN_DIR;
  if (chdir(runDir) != 0) std::perror(runDir);
  // BENCH_SETTINGS names a settings file to draw every scene with ("quality = low", "glow = off", ...).
  if (const char* file = std::getenv("BENCH_SETTINGS")) {
    const SettingsRead read = readSettingsFile(file);
    for (const std::string& warning : read.warnings) std::fprintf(stderr, "%s\n", warning.c_str());
    settings = read.settings;
  }
  initApplication();
  platform::useManualClock(true);
  platform::setTime(10.0);
  frameClock.lastFrameTime = 10.0;
  platform::useInjectedInput(true);
  platform::injectCursor(core.windowWidth / 2, core.windowHeight / 2);
}

void placeEnemies() {
  for (auto& sp : game.spawnPoints) sp->waveIndex = sp->waveCount;
  game.enemies.clear();
  int n = 0;
  for (auto& sp : game.spawnPoints) {
    for (int i = 0; i < kEnemyCount / 4; ++i, ++n) {
      game.spawnEnemy(sp->path.data(), kKinds[n % 4], sp->spawnX, sp->spawnZ, sp->pathLength, game.activeTextures[1]);
      Enemy* e = game.enemies.back().get();
      for (int step = 0; step < i * 40; ++step) e->update(0.05);
    }
  }
}

void refillEnemies() {
  if (game.enemies.size() >= static_cast<size_t>(kEnemyCount) * 9 / 10 && game.gameState == Running) return;
  game.gameState = Running;
  placeEnemies();
}

// Spots at the middle and near both ends of every leg, on both sides, kept only where building is allowed
// and no tower stands yet.
void buildBusyTowers() {
  const char* const kinds[] = {"tris", "tris_gr", "tris_bl"};
  const GLuint skins[] = {textures.textureTable[SlotTowerStandard], textures.textureTable[SlotTowerGreen], textures.textureTable[SlotTowerBlue]};
  game.resources = 1000000;
  int built = 0;
  for (double along : {0.5, 0.2, 0.8}) {
    for (auto& sp : game.spawnPoints) {
      for (int leg = 0; leg + 1 < sp->pathLength; ++leg) {
        const float* a = sp->path.data() + 2 * leg;
        const float* b = a + 2;
        float x = a[0] + static_cast<float>(along) * (b[0] - a[0]);
        float z = a[1] + static_cast<float>(along) * (b[1] - a[1]);
        // Legs run along one axis: step sideways across it.
        bool alongX = a[1] == b[1];
        for (float side : {4.0f, -4.0f}) {
          float tx = alongX ? x : x + side;
          float tz = alongX ? z + side : z;
          if (built == kBusyTowerCount || !onBuildArea(tx, tz) || !isBuildSpotFree(tx, tz)) continue;
          game.buildTower(kinds[built % 3], tx, tz, skins[built % 3], textures.textureTable[SlotTowerSpare], textures.textureTable[SlotMark]);
          ++built;
        }
      }
    }
  }
  game.resources = 1000;
}

void clickAt(int x, int y) {
  platform::injectCursor(x, y);
  if (platform::MouseButtonCallback callback = platform::mouseButtonCallback())
    callback(platform::MOUSE_BUTTON_LEFT, platform::PRESS);
  platform::injectCursor(core.windowWidth / 2, core.windowHeight / 2);
}

void towerOnScreen(const Tower& tower, int* x, int* y) {
  const glm::vec3 at = glm::project(glm::vec3(tower.posX, 0.0f, tower.posZ), camera.viewMatrix, camera.projectionMatrix,
                                    glm::vec4(0.0f, 0.0f, core.windowWidth, core.windowHeight));
  *x = static_cast<int>(at.x);
  *y = core.windowHeight - static_cast<int>(at.y);
}

void playUntilLost() {
  game.newMatch();
  // Bounded, so that a match that is never lost still ends: its frame then shows why.
  for (int frame = 0; frame < 10 * 60 * 60 && game.gameState == Running; ++frame) {
    platform::advanceTime(kFrameStep);
    updateFrame();
  }
}

void runFrame() {
  platform::advanceTime(kFrameStep);
  updateFrame();
  renderFrame();
}

void stopGame() {
  if (started) shutdownApplication();
  started = false;
}
