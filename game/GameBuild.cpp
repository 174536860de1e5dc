// Building towers: the price check, the shared tower model cache, and removing sold towers.
#include <iostream>
#include <memory>
#include <utility>

#include "game/Game.h"
#include "scene/Md2Model.h"
#include "scene/Tower.h"

void Game::buildTower(std::string kind, float x, float z, GLuint skinTexture, GLuint texture5, GLuint markTexture) {
  // The kinds table holds the one price list; a name that is no tower kind is refused like a lack of money.
  if (!canAffordTower(resources, kind)) {
    std::cout << "[BUILD]: Not enough Resources!" << std::endl;
    return;
  }
  resources -= findTowerKind(kind)->price;
  // Every kind wears its own skin over the one "tris" figure.
  loadTowerModel("tris");
  towers.push_back(std::make_unique<Tower>(kind, x, z, skinTexture, texture5, markTexture, towerModel));
}

void Game::loadTowerModel(std::string name) {
  auto found = towerModels.find(name);
  if (found != towerModels.end()) {
    towerModel = found->second.get();
    return;
  }
  auto model = std::make_unique<Md2Model>();
  // A file that cannot be read leaves the model empty: towers still stand, fire and can be picked, but
  // draw no figure.
  loadMd2(*model);
  towerModel = model.get();
  towerModels[name] = std::move(model);
}

void Game::removeSelectedTowers() {
  for (auto it = towers.begin(); it != towers.end();) {
    if ((*it)->selected) {
      if (currentTower == it->get()) currentTower = nullptr;
      if (selectedTower == it->get()) selectedTower = nullptr;
      it = towers.erase(it);
    } else {
      ++it;
    }
  }
}
