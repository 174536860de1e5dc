// The render switches of the game world that the keyboard flips: buffer objects and view-frustum culling.
#include <iostream>

#include "game/Game.h"

void Game::toggleVbo() {
  useVbo = !useVbo;
  std::cout << (useVbo ? "[VBO] ENABLED!" : "[VBO] DISABLED!") << std::endl;
}

void Game::toggleFrustumCulling() {
  frustumCulling = !frustumCulling;
  std::cout << (frustumCulling ? "[VIEW FRUSTUM] ENABLED!" : "[VIEW FRUSTUM] DISABLED!") << std::endl;
}
