// Watching a replay in the window (--replay): the recorded steps drive the match, as many each frame as the
// frame's time at the game speed covers, each recorded command applied before its step; the player's own
// commands that would change the match never reach it (app/InputRouter), and a line says it is a replay.
#pragma once

#include <memory>
#include <string>

#include "game/Replay.h"
#include "game/ReplayFeed.h"

class ReplayWatch {
 public:
  // Watches the replay from the next frame on; the world must already hold its level.
  void start(Replay replay, const std::string& levelName);
  void stop() { feed_.reset(); }
  bool active() const { return feed_ != nullptr; }
  // "Replay: Serpent"
  const std::string& line() const { return line_; }
  // A frame of dt seconds while the match runs.
  void frame(double dt);
  // The line at the top left, under the commands' messages.
  void draw();

 private:
  Replay replay_;
  std::unique_ptr<ReplayFeed> feed_;
  std::string line_;
};

extern ReplayWatch replayWatch;
