// The key callback: toggles for spectator camera, pause, frame rate, wireframe, texture filtering,
// mipmapping, buffer objects, culling and the overlay, each reported on the console and most on screen for
// 3 s; the game speed; a new match once the last one has ended; and F10, the options screen, which takes every
// key while it is open.
#include "input/Keyboard.h"

#include <iostream>

#include "app/Globals.h"
#include "app/OptionsScreen.h"
#include "game/Game.h"
#include "scene/MatchClock.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace {

void showMessage(const char* text) {
  setScreenMessage(ScreenMessage{text, platform::getTime() + kScreenMessageSeconds});
}

void togglePause() {
  if (game.gameState == Running) {
    game.gameState = Paused;
    pauseStartTime = platform::getTime();
    std::cout << "Pause mode: true" << std::endl;
    return;
  }
  // Game time resumes from the moment of the pause, so the first step after it is short.
  platform::setTime(pauseStartTime);
  lastFrameTime = pauseStartTime;
  game.gameState = Running;
  std::cout << "Pause mode: false" << std::endl;
}

void toggleWireframe() {
  wireframeMode = !wireframeMode;
  if (platform::hasCurrentContext()) glPolygonMode(GL_FRONT_AND_BACK, wireframeMode ? GL_LINE : GL_FILL);
  std::cout << "Wireframe mode: " << (wireframeMode ? "true" : "false") << std::endl;
  showMessage(wireframeMode ? "Wireframe mode ON" : "Wireframe mode OFF");
}

void toggleTextureFilter() {
  if (textureFilter == GL_LINEAR) {
    textureFilter = GL_NEAREST;
    applyTextureFilters(textureFilter, mipmapMode);
    std::cout << "Texture mode: NEAREST" << std::endl;
    showMessage("Texture mode: NEAREST ");
  } else {
    textureFilter = GL_LINEAR;
    applyTextureFilters(textureFilter, mipmapMode);
    std::cout << "Texture mode: LINEAR" << std::endl;
    showMessage("Texture mode: LINEAR");
  }
}

void cycleMipmapMode() {
  if (mipmapMode == GL_LINEAR_MIPMAP_LINEAR) {
    mipmapMode = 0;
    applyTextureFilters(textureFilter, mipmapMode);
    std::cout << "Mipmap mode: OFF" << std::endl;
    showMessage("Mipmap mode: OFF");
  } else if (mipmapMode == 0) {
    mipmapMode = GL_NEAREST_MIPMAP_NEAREST;
    applyTextureFilters(textureFilter, mipmapMode);
    std::cout << "Mipmap mode: NEAREST" << std::endl;
    showMessage("Mipmap mode: NEAREST");
  } else {
    mipmapMode = GL_LINEAR_MIPMAP_LINEAR;
    applyTextureFilters(textureFilter, mipmapMode);
    std::cout << "Mipmap mode: LINEAR" << std::endl;
    showMessage("Mipmap mode LINEAR");
  }
}

// Only a finished match can be started again; the camera, the light and the player's switches stay.
void playAgain() {
  if (game.gameState != Lost && game.gameState != Won) return;
  game.newMatch();
  // A lost match unhooked the mouse.
  platform::setMouseButtonCallback(onMouseButton);
  // A resume without a pause in this match goes back to its start, as in the first match.
  pauseStartTime = platform::getTime();
  std::cout << "[GAME STATUS]: NEW GAME" << std::endl;
  showMessage("[GAME STATUS]: NEW GAME");
}

void cycleGameSpeed() {
  matchClock.setSpeed(nextGameSpeed(matchClock.speed()));
  const char* text = matchClock.speed() == 8   ? "Speed: x8"
                     : matchClock.speed() == 4 ? "Speed: x4"
                     : matchClock.speed() == 2 ? "Speed: x2"
                                               : "Speed: x1";
  std::cout << text << std::endl;
  showMessage(text);
}

void toggleOverlay() {
  game.overlay.shown = !game.overlay.shown;
  const char* text = game.overlay.shown ? "Overlay: ON" : "Overlay: OFF";
  std::cout << text << std::endl;
  showMessage(text);
}

}  // namespace

void setScreenMessage(ScreenMessage message) { game.screenMessage = message; }

void computeTextureFilters(GLint textureFilter, GLint mipmapMode, GLint& minFilter, GLint& magFilter) {
  if (textureFilter == GL_LINEAR) {
    magFilter = GL_LINEAR;
    if (mipmapMode == 0)
      minFilter = GL_LINEAR;
    else if (mipmapMode == GL_NEAREST_MIPMAP_NEAREST)
      minFilter = GL_LINEAR_MIPMAP_NEAREST;
    else
      minFilter = mipmapMode;
  } else if (textureFilter == GL_NEAREST) {
    magFilter = GL_NEAREST;
    if (mipmapMode == 0)
      minFilter = GL_NEAREST;
    else if (mipmapMode == GL_LINEAR_MIPMAP_LINEAR)
      minFilter = GL_NEAREST_MIPMAP_LINEAR;
    else
      minFilter = mipmapMode;
  }
}

void applyTextureFilters(GLint textureFilter, GLint mipmapMode) {
  computeTextureFilters(textureFilter, mipmapMode, game.minFilter, game.magFilter);
  const GLint minFilter = game.minFilter;
  const GLint magFilter = game.magFilter;
  auto setFilters = [&](Material& material) {
    material.minFilter = minFilter;
    material.magFilter = magFilter;
  };
  if (game.map) setFilters(game.map->material);
  for (auto& spawnPoint : game.spawnPoints) setFilters(spawnPoint->material);
  for (auto& file : game.files) setFilters(file->material);
  for (auto& enemy : game.enemies) setFilters(enemy->material);
  for (auto& tower : game.towers) setFilters(tower->material);
  game.textRenderer.minFilter = minFilter;
  game.textRenderer.magFilter = magFilter;
  game.hud.minFilter = minFilter;
  game.hud.magFilter = magFilter;
}

void onKey(int key, int action) {
  if (action != platform::PRESS || optionsScreen.handleKey(key)) return;
  switch (key) {
    case 'C':
      spectatorMode = !spectatorMode;
      std::cout << "Spectator mode: " << (spectatorMode ? "true" : "false") << std::endl;
      break;
    case 'P':
      togglePause();
      break;
    case 'R':
      playAgain();
      break;
    case 'F':
      cycleGameSpeed();
      break;
    case platform::KEY_F2:
      fpsMode = !fpsMode;
      std::cout << "FPS mode: " << (fpsMode ? "true" : "false") << std::endl;
      break;
    case platform::KEY_F3:
      toggleWireframe();
      break;
    case platform::KEY_F4:
      toggleTextureFilter();
      break;
    case platform::KEY_F5:
      cycleMipmapMode();
      break;
    case platform::KEY_F6:
      game.toggleVbo();
      showMessage(game.useVbo ? "VBOs: ON" : "VBOs: OFF");
      break;
    case platform::KEY_F8:
      game.toggleFrustumCulling();
      showMessage(game.frustumCulling ? "Viewfrustum Culling: ON" : "Viewfrustum Culling: OFF");
      break;
    case platform::KEY_F9:
      toggleOverlay();
      break;
    default:
      break;
  }
}
