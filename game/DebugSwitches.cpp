// The debugging switches as every start has them, and the view commands that flip them.
#include "game/DebugSwitches.h"

#include <iostream>

#include "game/Game.h"
#include "game/PlayerActions.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

DebugSwitches debugSwitches;

void toggleSpectator() {
  debugSwitches.spectatorMode = !debugSwitches.spectatorMode;
  std::cout << "Spectator mode: " << (debugSwitches.spectatorMode ? "true" : "false") << std::endl;
}

void toggleFrameRate() {
  debugSwitches.fpsMode = !debugSwitches.fpsMode;
  std::cout << "FPS mode: " << (debugSwitches.fpsMode ? "true" : "false") << std::endl;
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

void toggleOverlay() {
  game.overlay.shown = !game.overlay.shown;
  const char* text = game.overlay.shown ? "Overlay: ON" : "Overlay: OFF";
  std::cout << text << std::endl;
  showMessage(text);
}

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
