// The match clock: the sum of the match's steps and the game speed.
#include "scene/MatchClock.h"

MatchClock matchClock;

int nextGameSpeed(int speed) { return speed == 1 ? 2 : speed == 2 ? 4 : speed == 4 ? 8 : 1; }

void MatchClock::restart() {
  time_ = 0.0;
  speed_ = 1;
}
