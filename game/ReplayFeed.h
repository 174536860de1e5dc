// A replay handed to the game world in its order: each command before its step, each step through
// Game::update with its recorded length. The headless re-player takes every step at once; watching a replay
// takes as many as each frame's time covers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/Replay.h"

class ReplayFeed {
 public:
  // The replay stays its owner's and must outlive the feed.
  explicit ReplayFeed(const Replay& replay) : replay_(replay) {}

  // Every step and command left; steps after the match has ended are passed over.
  void playAll();
  // The steps whose lengths fit in `seconds` and whatever time earlier calls left over, while the match runs.
  void play(double seconds);
  bool finished() const { return index_ == replay_.stepCount; }

 private:
  // Applies the commands recorded before the next step.
  void applyDue();
  double nextStep() const { return replay_.steps[run_].dt; }
  void takeStep();

  const Replay& replay_;
  size_t run_ = 0;           // the run of the next step
  std::uint64_t inRun_ = 0;  // steps of that run already taken
  std::uint64_t index_ = 0;  // steps taken
  size_t nextCommand_ = 0;
  double owed_ = 0.0;  // seconds of play asked for and not yet a whole step
};
