// The headless match runner: steps a built level frame by frame on the manual clock.
#include "MatchRunner.h"

#include "GlTestContext.h"
#include "WorldTest.h"
#include "platform/Platform.h"

void MatchRunner::buildWorld() {
  ensureGlContext();
  platform::useManualClock(true);
  platform::setTime(0.0);
  frames_ = 0;
  ::buildWorld(game_);
}

int MatchRunner::runFor(double seconds) {
  const long long limit = static_cast<long long>(seconds / dt_ + 0.5);
  int run = 0;
  for (; run < limit && game_.gameState == Running; ++run, ++frames_) {
    platform::advanceTime(dt_);
    if (beforeUpdate) beforeUpdate(game_);
    game_.advance(dt_);
    if (afterUpdate) afterUpdate(game_);
  }
  return run;
}
