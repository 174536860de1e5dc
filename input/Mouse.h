// Left-button clicks: the HUD buttons (tower types, selection tool, Upgrade, Sell, SuperGlow), tower
// selection by ray picking, and building on the ground point under the cursor, each as a command.
#pragma once

#include <glm/glm.hpp>
#include <string>

#include "game/Command.h"

// A HUD button in pixels of the 1024 x 768 start-up window, origin top-left. Buttons scale with the
// window; a click exactly on an edge misses.
struct HudButtonRect {
  int left, right, top, bottom;
};
constexpr HudButtonRect kUpgradeButton{862, 962, 655, 703};
constexpr HudButtonRect kSellButton{862, 961, 603, 655};
constexpr HudButtonRect kSelectionButton{762, 862, 603, 703};
constexpr HudButtonRect kTrisButton{462, 562, 603, 703};
constexpr HudButtonRect kTrisGrButton{562, 662, 603, 703};
constexpr HudButtonRect kTrisBlButton{662, 762, 603, 703};
constexpr HudButtonRect kSuperGlowButton{462, 562, 64, 164};

// Whether window pixel (x, y) lies strictly inside the button in a window of width x height pixels.
bool insideHudButton(const HudButtonRect& button, int x, int y, int width, int height);

// The board square where towers may stand: 1 <= x <= 77 and -77 < z <= -1.
bool onBuildArea(float x, float z);

// Where the ray from eye along direction meets the ground plane y = 0. False when it meets it nowhere
// ahead of the eye: a ray pointing level or upward (into the sky), or an eye below the ground.
bool groundPointOfRay(glm::vec3 eye, glm::vec3 direction, glm::vec3* point);

// The ray from the eye through window pixel (x, y) to the far plane, with this frame's camera.
void cursorRay(int x, int y, glm::vec3* eye, glm::vec3* direction);

// What a left click at window pixel (x, y) in a window of width x height acts on: a HUD button that takes
// the click in the game's present state, or else the board.
enum class ClickTarget { Upgrade, Sell, SelectionTool, TypeTris, TypeTrisGr, TypeTrisBl, SuperGlow, Board };
ClickTarget clickTarget(int x, int y, int width, int height);

// Where a build click at window pixel (x, y) would land and whether it would build a tower of the chosen type
// there: in the build area, on a free spot and with the money for it.
struct BuildPreview {
  float x, z;
  bool builds;
};
// False when such a click would not reach the board: selection mode, clicks unhooked by a lost match, a HUD
// button that takes the click, or a ground point off the board (or none, in the sky).
bool buildPreviewAt(int x, int y, BuildPreview* preview);

// The command a left click at window pixel (x, y) stands for, with this frame's camera; false for a click that
// does nothing (a build click off the build area or into the sky).
bool commandForClick(int x, int y, Command* command);

// The mouse-button callback of the game itself: a left-button press is applied as its command.
void onMouseButton(int button, int action);
