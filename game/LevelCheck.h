// The level checker: a level played with no towers and no window, as fast as the machine goes but in the
// steps of a 60-frame second, and the summary a level maker reads.
#pragma once

#include <functional>
#include <string>

#include "game/Difficulty.h"
#include "game/Level.h"

class Game;

constexpr double kCheckStep = 1.0 / 60.0;

struct LevelCheck {
  int enemies = 0;
  int enemiesOfKind[4] = {};  // cube, cube_or, cube_yl, cube_w
  double hitPoints = 0.0;  // as the level writes them, whatever the difficulty played
  double lastWaveStart = 0.0;
  double lastSendTime = 0.0;
  double firstArrival = -1.0;  // match seconds; -1 when no enemy arrived
  int updates = 0;             // steps played until the match was over
  int state = 0;               // GameState at the end: Lost, or Won when the level cannot be lost without towers
  int filesTaken = 0;
};

// Plays the level with no towers in a world of its own, without GL and with the world's console lines dropped,
// at a difficulty, from match time 0 on the manual clock: an update of `step` seconds while the match runs
// and goOn, which sees the world before the first update and after each one, answers true. The platform clock
// is left manual and the match clock where the play stopped.
void playWithoutTowers(const Level& level, double step, const std::function<bool(const Game&)>& goOn,
                       Difficulty difficulty = Difficulty::Normal);

// The checker's play: in steps of kCheckStep until the match is over, at a difficulty.
LevelCheck checkLevel(const Level& level, Difficulty difficulty = Difficulty::Normal);

// The summary, one fact a line.
std::string levelCheckReport(const Level& level, const LevelCheck& check);
