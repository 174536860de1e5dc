// The level checker: a level played with no towers and no window, as fast as the machine goes but in the
// steps of a 60-frame second, and the summary a level maker reads.
#pragma once

#include <string>

#include "game/Level.h"

constexpr double kCheckStep = 1.0 / 60.0;

struct LevelCheck {
  int enemies = 0;
  int enemiesOfKind[4] = {};  // cube, cube_or, cube_yl, cube_w
  double hitPoints = 0.0;
  double lastWaveStart = 0.0;
  double lastSendTime = 0.0;
  double firstArrival = -1.0;  // match seconds; -1 when no enemy arrived
  int updates = 0;             // steps played until the match was over
  int state = 0;               // GameState at the end: Lost, or Won when the level cannot be lost without towers
  int filesTaken = 0;
};

// Plays the level in a world of its own, without GL; the platform clock is left manual and the match clock
// at the match's end.
LevelCheck checkLevel(const Level& level);

// The summary, one fact a line.
std::string levelCheckReport(const Level& level, const LevelCheck& check);
