// The recorder of the match being played: the game loop hands it the level and the difficulty when a match
// begins, every step of the rules, every command it applied and the world at the end; it keeps them as a
// replay and says where replays and the match in progress are saved.
#pragma once

#include <ctime>
#include <string>

#include "game/Replay.h"

class Recorder {
 public:
  // A new recording: the text of the level file being played, and the difficulty.
  void begin(std::string levelText, std::string difficulty);
  // One step of the rules, in the order they ran: a fast-forwarded frame is several.
  void step(double dt) { replay_.addStep(dt); }
  // A command the game applied before the next step; only those keptInReplay are kept.
  void command(const Command& command);
  // The world at the last step, once the match is over or when the match so far is saved.
  void finish(const ReplayOutcome& outcome) { replay_.outcome = outcome; }
  const Replay& replay() const { return replay_; }

 private:
  Replay replay_;
};

// Whether a replay keeps commands of this kind: those that change what the match holds. View switches are no
// part of a match; the pause and the game speed change only which steps run, and the steps are recorded; a new
// match ends the recording.
bool keptInReplay(CommandKind kind);

// How many replays the replays folder keeps: saving another removes the oldest.
constexpr size_t kKeptReplays = 50;

// $XDG_DATA_HOME/varrow/replays, else $HOME/.local/share/varrow/replays; empty when neither names an absolute
// folder (an empty variable counts as unset).
std::string replayFolder(const char* xdgDataHome, const char* home);
// $XDG_STATE_HOME/varrow/last-match, else $HOME/.local/state/varrow/last-match; empty as above.
std::string lastMatchPath(const char* xdgStateHome, const char* home);
// "2026-12-08-21-04-05-serpent.varrow-replay": the local time the match ended and the level's name in lower
// case, with a dash for every run of other characters than letters and digits.
std::string replayFileName(std::time_t when, const std::string& levelName);
// Saves a finished match in the folder under its name and removes the oldest replays past kKeptReplays.
// Empty, or one line that says what went wrong.
std::string saveReplay(const Replay& replay, const std::string& folder, const std::string& levelName, std::time_t when);
