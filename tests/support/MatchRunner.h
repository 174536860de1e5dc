// Plays a match without a screen: fixed-rate frames of Game::advance (at the match clock's speed) on the
// manual clock while the match is running, with hooks before and after each frame.
#pragma once

#include <functional>

#include "game/Game.h"

class MatchRunner {
 public:
  using FrameHook = std::function<void(Game&)>;

  // The game must outlive the runner.
  explicit MatchRunner(Game& game, int framesPerSecond = 60) : game_(game), dt_(1.0 / framesPerSecond) {}

  // Makes sure a context exists, sets the manual clock to 0 and builds board, level and files as start-up
  // does. Not needed on a WorldTest's game, which is built already.
  void buildWorld();

  FrameHook beforeUpdate;  // after the clock has moved, e.g. to build towers
  FrameHook afterUpdate;   // e.g. to kill enemies or record what happened

  // Runs frames until the match leaves Running or the given simulated seconds have passed; returns the
  // number of frames run.
  int runFor(double seconds);
  long long frames() const { return frames_; }

 private:
  Game& game_;
  double dt_;
  long long frames_ = 0;
};
