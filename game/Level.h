// A level as a plain value: its name, the money a match starts with, and the spawn points with their paths
// and wave lists. The game world builds every match from one; the level in code is one such value.
#pragma once

#include <string>
#include <vector>

#include "scene/Wave.h"

// A point of a path on the ground, in world units: x from 0 to 78, z from 0 to -78.
struct Waypoint {
  float x = 0.0f;
  float z = 0.0f;
};

struct LevelSpawnPoint {
  Waypoint position;
  // From the spawn point's own position to the goal (39, -39); every leg runs along one axis.
  std::vector<Waypoint> path;
  // Which of the level's wave lists this spawn point sends; several may share one.
  size_t waveList = 0;
};

struct Level {
  std::string name;
  std::string description;  // one line
  int money = 1000;
  std::vector<std::vector<Wave>> waveLists;
  std::vector<LevelSpawnPoint> spawnPoints;
  // The level file's whole text when the level was read from one: a replay carries it. Empty for the level in
  // code, and no part of a level's equality.
  std::string text;

  const std::vector<Wave>& wavesOf(const LevelSpawnPoint& spawnPoint) const { return waveLists[spawnPoint.waveList]; }
  // The times the waves start, in match seconds, each time once, earliest first: what a wave counter shows.
  std::vector<double> waveStartTimes() const;
  // The match time at which the last enemy leaves its spawn point, by the schedule.
  double lastSendTime() const;
};

bool operator==(const Waypoint& a, const Waypoint& b);
bool operator==(const LevelSpawnPoint& a, const LevelSpawnPoint& b);
bool operator==(const Level& a, const Level& b);

// The level the game plays when none is chosen: four spawn points in the board's corners, each with its
// path to the goal, all sending one shared list of six waves.
Level classicLevel();
