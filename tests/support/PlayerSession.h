// One game played through its window as a player would: started on its own X server, the HUD buttons
// and the board clicked where they are drawn, the screen photographed.
#pragma once

#include <string>

#include <glm/glm.hpp>

#include "GameProcess.h"
#include "ScreenImage.h"

struct WindowPoint {
  int x, y;
};

// Centres of the HUD buttons in the 1024 x 768 window.
namespace hudButton {
constexpr WindowPoint tris{512, 653};
constexpr WindowPoint trisGr{612, 653};
constexpr WindowPoint trisBl{712, 653};
constexpr WindowPoint selection{812, 653};
constexpr WindowPoint sell{912, 628};
constexpr WindowPoint upgrade{912, 679};
}  // namespace hudButton

// The middle of the window, where the cursor makes the camera neither scroll nor turn.
constexpr WindowPoint kWindowCentre{512, 384};
// Where the money is drawn, right-aligned left of "$$" in the top right corner (x, y, w, h).
constexpr int kMoneyBox[] = {840, 20, 80, 50};

// Everything a clean start prints, in order.
extern const char* const kCleanStartOutput;

class PlayerSession {
 public:
  // Starts the game in runDir and waits for its window; with waitForPicture also for the first drawn frame
  // (the money shows), which needs the font and the shaders intact.
  bool start(const std::string& runDir = VARROW_RUN_DIR, bool waitForPicture = true);
  // Clicks a HUD button and puts the cursor back in the middle, away from the scrolling edges.
  void clickButton(WindowPoint button);
  // Clicks where the ground point is seen from the start camera; returns the window point clicked.
  glm::ivec2 clickGround(const glm::vec3& ground);
  // A full screenshot, also kept as e2e_<name>.png in the build directory for looking at.
  ScreenImage shot(const std::string& name);
  static std::string shotPath(const std::string& name);

  GameProcess game;
};

void sleepSeconds(double s);
