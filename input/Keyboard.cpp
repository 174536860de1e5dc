// The key callback: toggles for spectator camera, pause, frame rate, wireframe, texture filtering,
// mipmapping, buffer objects, culling and the overlay, each reported on the console and most on screen for
// 3 s; the game speed; a new match once the last one has ended; and F10, the options screen, which takes every
// key while it is open.
#include "input/Keyboard.h"

#include <iostream>

#include "platform/FrameClock.h"
#include "game/DebugSwitches.h"
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
    frameClock.pauseStartTime = platform::getTime();
    std::cout << "Pause mode: true" << std::endl;
    return;
  }
  // Game time resumes from the moment of the pause, so the first step after it is short.
  platform::setTime(frameClock.pauseStartTime);
  frameClock.lastFrameTime = frameClock.pauseStartTime;
  game.gameState = Running;
  std::cout << "Pause mode: false" << std::endl;
}

void toggleWireframe() {
  debugSwitches.wireframeMode = !debugSwitches.wireframeMode;
  if (platform::hasCurrentContext()) glPolygonMode(GL_FRONT_AND_BACK, debugSwitches.wireframeMode ? GL_LINE : GL_FILL);
  std::cout << "Wireframe mode: " << (debugSwitches.wireframeMode ? "true" : "false") << std::endl;
  showMessage(debugSwitches.wireframeMode ? "Wireframe mode ON" : "Wireframe mode OFF");
}

void toggleTextureFilter() {
  if (debugSwitches.textureFilter == GL_LINEAR) {
    debugSwitches.textureFilter = GL_NEAREST;
    applyTextureFilters(debugSwitches.textureFilter, debugSwitches.mipmapMode);
    std::cout << "Texture mode: NEAREST" << std::endl;
    showMessage("Texture mode: NEAREST ");
  } else {
    debugSwitches.textureFilter = GL_LINEAR;
    applyTextureFilters(debugSwitches.textureFilter, debugSwitches.mipmapMode);
    std::cout << "Texture mode: LINEAR" << std::endl;
    showMessage("Texture mode: LINEAR");
  }
}

void cycleMipmapMode() {
  if (debugSwitches.mipmapMode == GL_LINEAR_MIPMAP_LINEAR) {
    debugSwitches.mipmapMode = 0;
    applyTextureFilters(debugSwitches.textureFilter, debugSwitches.mipmapMode);
    std::cout << "Mipmap mode: OFF" << std::endl;
    showMessage("Mipmap mode: OFF");
  } else if (debugSwitches.mipmapMode == 0) {
    debugSwitches.mipmapMode = GL_NEAREST_MIPMAP_NEAREST;
    applyTextureFilters(debugSwitches.textureFilter, debugSwitches.mipmapMode);
    std::cout << "Mipmap mode: NEAREST" << std::endl;
    showMessage("Mipmap mode: NEAREST");
  } else {
    debugSwitches.mipmapMode = GL_LINEAR_MIPMAP_LINEAR;
    applyTextureFilters(debugSwitches.textureFilter, debugSwitches.mipmapMode);
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
  frameClock.pauseStartTime = platform::getTime();
  std::cout << "[GAME STATUS]: NEW GAME" << std::endl;
  showMessage("[GAME STATUS]: NEW GAME");
}

void cycleGameSpeed() {
  matchClock.setSpeed(nextGameSpeed(matchClock.speed()));
  const char* text = matchClock.speed() == 4 ? "Speed: x4" : matchClock.speed() == 2 ? "Speed: x2" : "Speed: x1";
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

void computeTextureFilters(GLint filter, GLint mipmaps, GLint& minFilter, GLint& magFilter) {
  if (filter == GL_LINEAR) {
    magFilter = GL_LINEAR;
    if (mipmaps == 0)
      minFilter = GL_LINEAR;
    else if (mipmaps == GL_NEAREST_MIPMAP_NEAREST)
      minFilter = GL_LINEAR_MIPMAP_NEAREST;
    else
      minFilter = mipmaps;
  } else if (filter == GL_NEAREST) {
    magFilter = GL_NEAREST;
    if (mipmaps == 0)
      minFilter = GL_NEAREST;
    else if (mipmaps == GL_LINEAR_MIPMAP_LINEAR)
      minFilter = GL_NEAREST_MIPMAP_LINEAR;
    else
      minFilter = mipmaps;
  }
}

void applyTextureFilters(GLint filter, GLint mipmaps) {
  computeTextureFilters(filter, mipmaps, game.minFilter, game.magFilter);
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
      debugSwitches.spectatorMode = !debugSwitches.spectatorMode;
      std::cout << "Spectator mode: " << (debugSwitches.spectatorMode ? "true" : "false") << std::endl;
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
      debugSwitches.fpsMode = !debugSwitches.fpsMode;
      std::cout << "FPS mode: " << (debugSwitches.fpsMode ? "true" : "false") << std::endl;
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
