// Reading the match's fields off the game world.
#include "MatchFields.h"

#include <cstdio>

#include "game/Game.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/MatchClock.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace {

double kindNumber(const std::string& kind) {
  double n = 0.0;
  for (char c : kind) n = n * 131.0 + static_cast<unsigned char>(c);
  return n;
}

}  // namespace

MatchFields matchFields(const Game& world) {
  MatchFields f;
  auto add = [&f](std::string name, double value) { f.emplace_back(std::move(name), value); };
  add("state", world.gameState == Paused ? Running : world.gameState);
  add("money", world.resources);
  add("clock", matchClock.now());
  add("superGlowReadyTime", world.superGlowReadyTime);
  add("selectionMode", world.selectionMode);
  // The chosen kind builds only outside selection mode; a new match keeps the last one shown but selects.
  add("towerKindChosen", world.selectionMode ? 0.0 : kindNumber(world.selectedTowerType));
  int i = 0;
  for (auto& sp : world.spawnPoints) {
    const std::string at = "spawnPoint[" + std::to_string(i++) + "].";
    add(at + "waveIndex", sp->waveIndex);
    add(at + "spawnedInWave", sp->spawnedInWave);
    add(at + "nextSpawnTime", sp->nextSpawnTime);
  }
  i = 0;
  for (auto& file : world.files) add("file[" + std::to_string(i++) + "].intact", file->intact);
  i = 0;
  for (auto& e : world.enemies) {
    const std::string at = "enemy[" + std::to_string(i++) + "].";
    add(at + "kind", kindNumber(e->kind));
    add(at + "x", e->worldX);
    add(at + "z", e->worldZ);
    add(at + "hitPoints", e->hitPoints);
    add(at + "pathIndex", e->pathIndex);
  }
  add("enemies", world.enemies.size());
  i = 0;
  for (auto& t : world.towers) {
    const std::string at = "tower[" + std::to_string(i++) + "].";
    add(at + "kind", kindNumber(t->kind));
    add(at + "x", t->posX);
    add(at + "z", t->posZ);
    add(at + "level", t->level);
    add(at + "lastShotTime", t->lastShotTime);
    add(at + "selected", t.get() == world.selectedTower);
  }
  add("towers", world.towers.size());
  return f;
}

std::string firstDifference(const MatchFields& a, const MatchFields& b) {
  char line[256];
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] == b[i]) continue;
    std::snprintf(line, sizeof line, "%s: %.17g then %s: %.17g", a[i].first.c_str(), a[i].second,
                  b[i].first.c_str(), b[i].second);
    return line;
  }
  if (a.size() != b.size()) return "fields: " + std::to_string(a.size()) + " then " + std::to_string(b.size());
  return "";
}
