// Recording the match the game plays, and where its replay goes when it ends or the player quits.
#include "game/MatchRecording.h"

#include <ctime>
#include <filesystem>
#include <iostream>

#include "game/FileText.h"
#include "game/Game.h"
#include "game/ReplayPlayer.h"
#include "scene/MatchClock.h"

MatchRecording matchRecording;

namespace {

// The level in code ships as this file too (a test keeps the two the same level).
const char* const kClassicFile = "levels/classic.json";

bool matchOver(int state) { return state == Won || state == Lost; }

void removeFile(const std::string& path) {
  std::error_code error;
  if (!path.empty()) std::filesystem::remove(path, error);
}

}  // namespace

std::string replayLevelText(const Level& level) {
  if (!level.text.empty()) return level.text;
  return readFileText(kClassicFile, replayLimits::kFileBytes).text;
}

void MatchRecording::enable(std::string replaysFolder, std::string lastMatch) {
  enabled_ = true;
  folder_ = std::move(replaysFolder);
  lastMatch_ = std::move(lastMatch);
}

void MatchRecording::disable() { enabled_ = recording_ = false; }

void MatchRecording::begin(const Level& level, Difficulty difficulty) {
  if (!enabled_) return;
  recorder_.begin(replayLevelText(level), difficultyTitle(difficulty));
  levelName_ = level.name;
  recording_ = true;
}

void MatchRecording::command(const Command& command, const Game& world) {
  if (!recording_) return;
  // The steps after a refused SuperGlow or wave call run as if it had never been pressed, so the replay keeps no
  // trace of it: a pause, which refuses both, is no part of the replay.
  if (command.kind == CommandKind::SuperGlow && !superGlowReady(world.gameState, matchClock.now(), world.superGlowReadyTime))
    return;
  if (command.kind == CommandKind::CallWave && world.gameState != Running) return;
  recorder_.command(command);
}

void MatchRecording::afterStep(const Game& world) {
  if (!recording_ || !matchOver(world.gameState)) return;
  recording_ = false;
  recorder_.finish(outcomeOf(world));
  if (!folder_.empty()) {
    const std::string warning = saveReplay(recorder_.replay(), folder_, levelName_, std::time(nullptr));
    if (!warning.empty()) std::cerr << warning << std::endl;
  }
  removeFile(lastMatch_);
}

void MatchRecording::quit(const Game& world) {
  if (!enabled_) return;
  // A match in which the player has done nothing holds nothing to lose: a new one is the same match.
  if (!recording_ || matchOver(world.gameState) || recorder_.replay().commands.empty()) {
    removeFile(lastMatch_);
    return;
  }
  if (lastMatch_.empty()) return;
  recorder_.finish(outcomeOf(world));
  const std::string warning = writeReplayFile(lastMatch_, recorder_.replay());
  if (!warning.empty()) std::cerr << warning << std::endl;
}
