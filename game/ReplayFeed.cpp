// Taking a replay's steps and commands in order on the game world.
#include "game/ReplayFeed.h"

#include "game/Game.h"

void ReplayFeed::applyDue() {
  for (; nextCommand_ < replay_.commands.size() && replay_.commands[nextCommand_].beforeStep <= index_; ++nextCommand_)
    applyCommand(replay_.commands[nextCommand_].command);
}

void ReplayFeed::takeStep() {
  // The game takes no step outside a running match; a recording that does has gone its own way.
  if (game.gameState == Running) game.update(nextStep());
  ++index_;
  if (++inRun_ == replay_.steps[run_].count) ++run_, inRun_ = 0;
}

void ReplayFeed::playAll() {
  while (!finished()) {
    applyDue();
    takeStep();
  }
  applyDue();
}

void ReplayFeed::play(double seconds) {
  owed_ += seconds;
  while (!finished() && game.gameState == Running && owed_ >= nextStep()) {
    applyDue();
    owed_ -= nextStep();
    takeStep();
  }
  if (finished()) applyDue();
}
