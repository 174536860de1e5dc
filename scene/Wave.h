// One wave of the level: when it starts, how often it sends an enemy, which kind, and how many.
#pragma once

#include <string>

struct Wave {
  double startTime;
  double spawnInterval;
  std::string kind;
  int count;
};
