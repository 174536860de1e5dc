// The HUD pictures (tower buttons, selection tool, Upgrade/Sell panel, SuperGlow) and the selected tower's
// panel, drawn as screen-space quads over the scene in every pass.
#include "hud/Hud.h"

#include <sstream>

#include "game/Game.h"
#include "scene/MatchClock.h"
#include "hud/ScreenQuads.h"
#include "scene/Tower.h"

void Hud::init(GLuint program, glm::mat4 view) {
  this->program = program;
  this->view = view;
  minFilter = GL_LINEAR_MIPMAP_LINEAR;
  magFilter = GL_LINEAR;
  texCoords = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};
  indices = {1, 3, 0, 1, 2, 3};
}

void Hud::drawQuad(GLuint texture, float width, float height, float x, float y) {
  const glm::vec4 vertices[4] = {glm::vec4(x, y, 0.0f, 1.0f), glm::vec4(x + width, y, 0.0f, 1.0f),
                                 glm::vec4(x + width, y + height, 0.0f, 1.0f), glm::vec4(x, y + height, 0.0f, 1.0f)};
  drawScreenQuads(program, 0, texture, minFilter, magFilter, view, &vertices[0].x, texCoords.data(), indices.data(),
                  6);
}

int towerIconSlot(const std::string& kind) {
  const TowerKind* tower = findTowerKind(kind);
  return tower ? tower->iconSlot : SlotSelStandard;
}

std::vector<std::string> towerPanelTexts(double power, double distance, double fireInterval, double level) {
  std::ostringstream line;
  line << power << ' ' << distance << ' ' << fireInterval << ' ' << towerUpgradeCost(level) << '\n';
  std::istringstream fields(line.str());
  std::vector<std::string> texts;
  std::string field;
  while (fields >> field) texts.push_back(field);
  return texts;
}

std::string targetPanelText(TargetPriority priority, bool overlayShown) {
  if (priority == TargetPriority::Default && !overlayShown) return "";
  return std::string("Target: ") + targetPriorityName(priority);
}

void drawHud() {
  Hud& hud = game.hud;
  // Without a texture table there is nothing to show yet.
  if (!game.activeTextures) return;
  const GLuint* textures = game.activeTextures;
  hud.minFilter = GL_LINEAR;
  hud.magFilter = GL_LINEAR;

  hud.drawQuad(textures[SlotSelectionMode], 100.0f, 100.0f, 350.0f, -320.0f);
  hud.drawQuad(textures[SlotSelectionTool], 100.0f, 100.0f, 250.0f, -320.0f);
  hud.drawQuad(textures[SlotTowers], 300.0f, 100.0f, -50.0f, -320.0f);
  if (superGlowReady(game.gameState, matchClock.now(), game.superGlowReadyTime))
    hud.drawQuad(textures[SlotSuperGlow], 100.0f, 100.0f, -50.0f, 220.0f);

  if (Tower* tower = game.selectedTower) {
    hud.drawQuad(textures[towerIconSlot(tower->kind)], 63.0f, 77.0f, -460.0f, -320.0f);
    hud.drawQuad(textures[SlotSelected], 344.0f, 77.0f, -397.0f, -320.0f);
    std::vector<std::string> texts =
        towerPanelTexts(tower->power, tower->distance, tower->fireInterval, tower->level);
    const float columns[4] = {-370.0f, -265.0f, -195.0f, -125.0f};
    for (size_t i = 0; i < texts.size() && i < 4; ++i)
      game.textRenderer.drawText(texts[i].c_str(), true, columns[i], -265.0f);
    if (const std::string target = targetPanelText(tower->priority, game.overlay.shown); !target.empty())
      game.textRenderer.drawText(target.c_str(), true, -397.0f, -214.0f);
  }

  hud.minFilter = game.minFilter;
  hud.magFilter = game.magFilter;
}
