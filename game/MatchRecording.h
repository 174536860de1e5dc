// The live game's recording of the match it plays: begun with every match, fed every step of the rules and
// every command that changes the match, saved among the replays when the match ends, and saved as the match in
// progress when the player quits before its end. Off until the game turns it on: the headless re-player, the
// level checker and the tests play unrecorded.
#pragma once

#include <string>

#include "game/Difficulty.h"
#include "game/Recorder.h"

class Game;
struct Level;

class MatchRecording {
 public:
  // Recording on: finished matches go to replaysFolder, the match in progress at quitting to lastMatch.
  void enable(std::string replaysFolder, std::string lastMatch);
  void disable();
  bool enabled() const { return enabled_; }
  // Whether a match is being recorded now: on, and begun, and not yet over.
  bool recording() const { return recording_; }

  // A new match of the level: start-up's, R's, a level chosen on a screen, or the match a resume re-plays.
  void begin(const Level& level, Difficulty difficulty);
  void step(double dt) {
    if (recording_) recorder_.step(dt);
  }
  // A command about to be applied; one the rules will refuse without a change is not kept (a SuperGlow that
  // is not ready).
  void command(const Command& command, const Game& world);
  // After a step: a match that has just ended is finished with its outcome and saved among the replays, and
  // the match in progress that a quit saved is gone.
  void afterStep(const Game& world);
  // The player quits: a match still running or paused, with a command of the player's in it, is saved as the
  // match in progress; otherwise none is left behind.
  void quit(const Game& world);

  const Replay& replay() const { return recorder_.replay(); }
  const std::string& lastMatchFile() const { return lastMatch_; }

 private:
  Recorder recorder_;
  bool enabled_ = false;
  bool recording_ = false;
  std::string folder_;
  std::string lastMatch_;
  std::string levelName_;
};

extern MatchRecording matchRecording;

// The text a replay carries for a level: its file's text, or for the level in code the shipped file of it.
std::string replayLevelText(const Level& level);
