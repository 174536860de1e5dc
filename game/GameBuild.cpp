// Building towers: the price check, the shared tower model cache, and removing sold towers.
#include <iostream>
#include <memory>
#include <vector>

#include "game/Game.h"
#include "scene/Md2Model.h"
#include "scene/Tower.h"

namespace {

// Tower models live until the program ends. A game world only caches pointers to them, so this list
// holds them; nothing in it touches GL, so it may be destroyed in any order at exit.
std::vector<std::unique_ptr<Md2Model>>& keptModels() {
  static std::vector<std::unique_ptr<Md2Model>> models;
  return models;
}

}  // namespace

void Game::buildTower(std::string kind, float x, float z, GLuint skinTexture, GLuint texture5, GLuint markTexture) {
  if (resources >= 100 && kind == "tris") {
    resources -= 100;
  } else if (resources >= 250 && kind == "tris_gr") {
    resources -= 250;
  } else if (resources >= 500 && kind == "tris_bl") {
    resources -= 500;
  } else {
    std::cout << "[BUILD]: Not enough Resources!" << std::endl;
    return;
  }
  // Every kind wears its own skin over the one "tris" figure.
  loadTowerModel("tris");
  towers.push_back(new Tower(kind, x, z, skinTexture, texture5, markTexture, towerModel));
}

void Game::loadTowerModel(std::string name) {
  auto found = towerModels.find(name);
  if (found != towerModels.end()) {
    towerModel = found->second;
    return;
  }
  keptModels().push_back(std::make_unique<Md2Model>());
  Md2Model* model = keptModels().back().get();
  // A file that cannot be read leaves the model empty: towers still stand, fire and can be picked, but
  // draw no figure.
  loadMd2(*model);
  towerModels[name] = model;
  towerModel = model;
}

void Game::removeSelectedTowers() {
  for (auto it = towers.begin(); it != towers.end();) {
    if ((*it)->selected) {
      if (currentTower == *it) currentTower = nullptr;
      if (selectedTower == *it) selectedTower = nullptr;
      delete *it;
      it = towers.erase(it);
    } else {
      ++it;
    }
  }
}
