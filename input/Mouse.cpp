// The left button: which HUD button or board point a click hits, and the command it stands for (choose a
// kind, select, build, upgrade, sell, the SuperGlow).
#include "input/Mouse.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include <glm/gtc/matrix_transform.hpp>

#include "platform/Core.h"
#include "input/Camera.h"
#include "game/Game.h"
#include "game/PlayerActions.h"
#include "game/Rules.h"
#include "scene/MatchClock.h"
#include "platform/Platform.h"
#include "scene/Map.h"
#include "scene/Tower.h"

namespace {

constexpr long long kReferenceWidth = 1024;
constexpr long long kReferenceHeight = 768;

}  // namespace

bool insideHudButton(const HudButtonRect& b, int x, int y, int width, int height) {
  // Compared as exact products so that a click on a scaled edge misses in every window size.
  const long long sx = x * kReferenceWidth, sy = y * kReferenceHeight;
  const long long w = width, h = height;
  return b.left * w < sx && sx < b.right * w && b.top * h < sy && sy < b.bottom * h;
}

bool groundPointOfRay(glm::vec3 eye, glm::vec3 direction, glm::vec3* point) {
  if (!(direction.y < 0.0f)) return false;
  const float t = -eye.y / direction.y;
  if (!(t > 0.0f)) return false;
  *point = eye + t * direction;
  return true;
}

bool onBuildArea(float x, float z) { return 1.0f <= x && x <= 77.0f && -77.0f < z && z <= -1.0f; }

void cursorRay(int x, int y, glm::vec3* eye, glm::vec3* direction) {
  const int w = core.windowWidth, h = core.windowHeight;
  *eye = glm::vec3(glm::inverse(camera.viewMatrix) * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
  const glm::vec3 farPoint = glm::unProject(glm::vec3(static_cast<float>(x), static_cast<float>(h - y), 1.0f),
                                            camera.viewMatrix, camera.projectionMatrix, glm::vec4(0.0f, 0.0f, w, h));
  *direction = farPoint - *eye;
}

ClickTarget clickTarget(int x, int y, int width, int height) {
  if (game.selectionMode && insideHudButton(kUpgradeButton, x, y, width, height)) return ClickTarget::Upgrade;
  if (game.selectionMode && insideHudButton(kSellButton, x, y, width, height)) return ClickTarget::Sell;
  if (insideHudButton(kSelectionButton, x, y, width, height)) return ClickTarget::SelectionTool;
  if (insideHudButton(kTrisButton, x, y, width, height)) return ClickTarget::TypeTris;
  if (insideHudButton(kTrisGrButton, x, y, width, height)) return ClickTarget::TypeTrisGr;
  if (insideHudButton(kTrisBlButton, x, y, width, height)) return ClickTarget::TypeTrisBl;
  if (insideHudButton(kSuperGlowButton, x, y, width, height) &&
      superGlowReady(game.gameState, matchClock.now(), game.superGlowReadyTime))
    return ClickTarget::SuperGlow;
  return ClickTarget::Board;
}

bool buildPreviewAt(int x, int y, BuildPreview* preview) {
  // A lost match has unhooked the clicks: none builds any more.
  if (game.selectionMode || !game.map || !platform::mouseButtonCallback() ||
      clickTarget(x, y, core.windowWidth, core.windowHeight) != ClickTarget::Board)
    return false;
  glm::vec3 eye, direction, ground;
  cursorRay(x, y, &eye, &direction);
  const float board = 2.0f * game.map->getGridSize();
  if (!groundPointOfRay(eye, direction, &ground) || ground.x < 0.0f || ground.x > board || ground.z > 0.0f ||
      ground.z < -board)
    return false;
  preview->x = ground.x;
  preview->z = ground.z;
  preview->builds = onBuildArea(ground.x, ground.z) && isBuildSpotFree(ground.x, ground.z) &&
                    canAffordTower(game.resources, game.selectedTowerType);
  return true;
}

void onMouseButton(int button, int action) {
  if (button != platform::MOUSE_BUTTON_LEFT || action != platform::PRESS) return;
  int x = 0, y = 0;
  platform::getMousePos(&x, &y);
  Command command{CommandKind::Select};
  if (commandForClick(x, y, &command)) applyCommand(command);
}

bool commandForClick(int x, int y, Command* command) {
  // Ray from the eye through the cursor to the far plane, and where it meets the ground.
  glm::vec3 eye, dir, ground(0.0f);
  cursorRay(x, y, &eye, &dir);
  const bool meetsGround = groundPointOfRay(eye, dir, &ground);

  switch (clickTarget(x, y, core.windowWidth, core.windowHeight)) {
    case ClickTarget::Upgrade: *command = Command{CommandKind::Upgrade}; return true;
    case ClickTarget::Sell: *command = Command{CommandKind::Sell}; return true;
    case ClickTarget::SelectionTool: *command = Command{CommandKind::SelectionTool}; return true;
    case ClickTarget::TypeTris: *command = Command{CommandKind::ChooseTowerKind, towerKindIndex("tris")}; return true;
    case ClickTarget::TypeTrisGr:
      *command = Command{CommandKind::ChooseTowerKind, towerKindIndex("tris_gr")};
      return true;
    case ClickTarget::TypeTrisBl:
      *command = Command{CommandKind::ChooseTowerKind, towerKindIndex("tris_bl")};
      return true;
    case ClickTarget::SuperGlow: *command = Command{CommandKind::SuperGlow}; return true;
    case ClickTarget::Board: break;
  }
  if (game.selectionMode) {
    *command = Command{CommandKind::Select, -1, eye, dir};
    return true;
  }
  // A click into the sky is off the board like any other point outside it.
  if (!meetsGround || !onBuildArea(ground.x, ground.z)) return false;
  *command = Command{CommandKind::Build, towerKindIndex(game.selectedTowerType), ground};
  return true;
}
