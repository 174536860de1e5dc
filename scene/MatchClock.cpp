// The match clock: an offset over the platform clock and the game speed.
#include "scene/MatchClock.h"

#include "platform/Platform.h"

MatchClock matchClock;

int nextGameSpeed(int speed) { return speed == 1 ? 2 : speed == 2 ? 4 : speed == 4 ? 8 : 1; }

double MatchClock::now() const { return at(platform::getTime()); }

void MatchClock::restart() {
  offset_ = -platform::getTime();
  speed_ = 1;
}
