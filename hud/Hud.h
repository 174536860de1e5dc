// The heads-up display: tower buttons, selection tool, Upgrade/Sell panel, SuperGlow and the selected
// tower's panel, drawn as screen-space quads.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>
#include <string>
#include <vector>

#include "scene/Targeting.h"

class Hud {
 public:
  GLuint program = 0;
  glm::mat4 view = glm::mat4(1.0f);
  GLint minFilter = 0;
  GLint magFilter = 0;
  std::vector<float> texCoords;
  std::vector<unsigned int> indices;

  Hud() = default;
  Hud(const Hud&) = delete;
  Hud& operator=(const Hud&) = delete;
  virtual ~Hud() = default;

  void init(GLuint program, glm::mat4 view);
  // One textured rectangle with its lower-left corner at (x, y).
  void drawQuad(GLuint texture, float width, float height, float x, float y);
};

// Draws the whole HUD for the game's current state; called at the end of every scene draw.
void drawHud();

// Slot of the selected tower's icon, by its kind; a name that is no tower kind shows the standard icon.
int towerIconSlot(const std::string& kind);
// The four texts of the selected tower's panel: power, reach, seconds between shots, upgrade price.
std::vector<std::string> towerPanelTexts(double power, double distance, double fireInterval, double level);
// The panel's line for the tower's target priority: shown once it is not the default, and always with the
// overlay on; empty otherwise.
std::string targetPanelText(TargetPriority priority, bool overlayShown);
