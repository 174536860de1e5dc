// Drawing one view of the world: lighting and camera uniforms, then spawn points, board, files, enemies and
// towers with the pass's program, skipping boxes outside the pass's view volume when culling is on; the overlay
// in the final pass when it is shown; then the game texts and the HUD.
#include <cstdio>

#include <glm/gtc/type_ptr.hpp>

#include "game/Game.h"
#include "scene/Frustum.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace {

const glm::vec4 kDiffuseLight(1.0f, 1.0f, 1.0f, 1.0f);
const glm::vec4 kSpecularLight(0.8f, 0.8f, 0.8f, 1.0f);
const glm::vec4 kAmbientLight(0.3f, 0.3f, 0.3f, 1.0f);

}  // namespace

void Game::draw(const DrawPass& pass, glm::mat4 projection, glm::mat4 view) {
  drawWorld(pass, projection, view);
  drawInterface(pass);
}

void Game::drawWorld(const DrawPass& pass, glm::mat4 projection, glm::mat4 view) {
  musicStep();
  const GLuint program = pass.program;
  glUseProgram(program);

  GLint lightLocation = glGetUniformLocation(program, "light_position");
  GLint diffuseLocation = glGetUniformLocation(program, "diffuse_color");
  GLint specularLocation = glGetUniformLocation(program, "specular_color");
  GLint ambientLocation = glGetUniformLocation(program, "ambient_color");
  if (pass.light) glUniform3fv(lightLocation, 1, glm::value_ptr(*pass.light));
  glUniform4fv(diffuseLocation, 1, glm::value_ptr(kDiffuseLight));
  glUniform4fv(specularLocation, 1, glm::value_ptr(kSpecularLight));
  glUniform4fv(ambientLocation, 1, glm::value_ptr(kAmbientLight));

  glUniformMatrix4fv(glGetUniformLocation(program, "perspective"), 1, GL_FALSE, glm::value_ptr(projection));
  glUniformMatrix4fv(glGetUniformLocation(program, "view"), 1, GL_FALSE, glm::value_ptr(view));

  if (pass.spawnPoints) {
    for (auto& spawnPoint : spawnPoints) {
      currentSpawnPoint = spawnPoint.get();
      spawnPoint->draw(program);
    }
  }

  if (map) {
    if (useVbo)
      map->drawVBO(program);
    else
      map->draw(program);
  }

  for (auto& file : files) {
    currentFile = file.get();
    if (frustumCulling && !isInFrustum(file->boundingBox.data(), file->getModelMatrix(), projection, view)) continue;
    if (useVbo)
      file->drawVBO(program);
    else
      file->draw(program);
  }
  for (auto& enemy : enemies) {
    currentEnemy = enemy.get();
    if (frustumCulling && !isInFrustum(enemy->boundingBox.data(), enemy->getModelMatrix(), projection, view)) continue;
    if (useVbo)
      enemy->drawVBO(program);
    else
      enemy->draw(program);
  }
  // Towers have no buffer objects: always drawn from client memory.
  for (auto& tower : towers) {
    currentTower = tower.get();
    if (frustumCulling && !isInFrustum(tower->boundingBox.data(), tower->getModelMatrix(), projection, view)) continue;
    tower->draw(program);
  }

  // The overlay's outlines and bars lie in the world, drawn in the final pass only, under the texts and the HUD.
  if (pass.finalPass && overlay.shown) overlay.drawWorld(hud.program, projection, view);
}

void Game::drawInterface(const DrawPass& pass) {
  // Texts over the scene: money top right, the end of the match in the middle, the last command's message.
  char money[100];
  std::snprintf(money, sizeof money, "%d", resources);
  textRenderer.drawText(money, false, 400.0f, 350.0f);
  textRenderer.drawText("$$", false, 450.0f, 350.0f);
  if (gameState == Lost) textRenderer.drawText("GAME OVER!", true, -30.0f, 0.0f);
  if (gameState == Won) textRenderer.drawText("YOU WON!", true, -30.0f, 0.0f);
  if (platform::getTime() < screenMessage.expiry) textRenderer.drawText(screenMessage.text, true, -450.0f, 350.0f);
  if (pass.finalPass && overlay.shown) overlay.drawWaveLine(textRenderer);

  drawHud();
}
