// Plays a match without a screen: a GL context for the objects' buffers, a manual clock starting at 0,
// the built-in level, and fixed-rate frames of Game::advance (at the match clock's speed) while the match
// is running.
#pragma once

#include <functional>

#include "game/Game.h"

class MatchRunner {
 public:
  using FrameHook = std::function<void(Game&)>;

  // The game must outlive the runner. framesPerSecond fixes dt = 1 / framesPerSecond.
  explicit MatchRunner(Game& game, int framesPerSecond = 60);

  // Makes sure a context exists, sets the manual clock to 0 and builds board, level and files with
  // texture 0 and the simple program (the runner itself never draws).
  void buildWorld();

  // Called before each update (after the clock has moved), e.g. to build towers.
  FrameHook beforeUpdate;
  // Called after each update, e.g. to kill enemies or record what happened.
  FrameHook afterUpdate;

  // Runs frames until the match leaves Running or the given simulated seconds have passed.
  // Returns the number of frames run.
  int runFor(double seconds);
  // Runs frames until stop answers true (checked after each frame), the match leaves Running, or
  // maxSeconds have passed. Returns the number of frames run.
  int runUntil(const std::function<bool(Game&)>& stop, double maxSeconds);

  double dt() const { return dt_; }
  long long frames() const { return frames_; }  // frames run since buildWorld

 private:
  Game& game_;
  double dt_;
  long long frames_ = 0;
};
