// Playing a replay back frame by frame in the window.
#include "app/ReplayWatch.h"

#include "game/Game.h"
#include "scene/MatchClock.h"

ReplayWatch replayWatch;

void ReplayWatch::start(Replay replay, const std::string& levelName) {
  replay_ = std::move(replay);
  feed_ = std::make_unique<ReplayFeed>(replay_);
  line_ = "Replay: " + levelName;
}

void ReplayWatch::frame(double dt) {
  if (feed_) feed_->play(dt * matchClock.speed());
}

void ReplayWatch::draw() {
  if (!feed_) return;
  game.textRenderer.drawText(line_.c_str(), true, -450.0f, 320.0f);
}
