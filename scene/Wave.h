// One wave of the level: when it starts, how often it sends an enemy, which kind, and how many.
#pragma once

#include <string>

struct Wave {
  double startTime;
  double spawnInterval;
  std::string kind;
  int count;
};

inline bool operator==(const Wave& a, const Wave& b) {
  return a.startTime == b.startTime && a.spawnInterval == b.spawnInterval && a.kind == b.kind && a.count == b.count;
}
