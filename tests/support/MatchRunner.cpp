// The headless match runner: builds the level on a given Game and steps it frame by frame on a manual clock.
#include "MatchRunner.h"

#include "GlTestContext.h"
#include "app/Globals.h"
#include "platform/Platform.h"

MatchRunner::MatchRunner(Game& game, int framesPerSecond) : game_(game), dt_(1.0 / framesPerSecond) {}

void MatchRunner::buildWorld() {
  ensureGlContext();
  platform::useManualClock(true);
  platform::setTime(0.0);
  frames_ = 0;
  game_.activeTextures = textureTable;
  game_.createMap(0);
  game_.program = simpleProgram;
  game_.lightPos = &lightPosition;
  game_.buildLevel();
  game_.createFiles();
}

int MatchRunner::runFor(double seconds) {
  return runUntil([](Game&) { return false; }, seconds);
}

int MatchRunner::runUntil(const std::function<bool(Game&)>& stop, double maxSeconds) {
  long long limit = static_cast<long long>(maxSeconds / dt_ + 0.5);
  int run = 0;
  while (run < limit && game_.gameState == Running) {
    platform::advanceTime(dt_);
    if (beforeUpdate) beforeUpdate(game_);
    game_.advance(dt_);
    if (afterUpdate) afterUpdate(game_);
    ++run;
    ++frames_;
    if (stop(game_)) break;
  }
  return run;
}
