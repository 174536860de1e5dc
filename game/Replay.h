// A recorded match as a value, and its file: the level's text, the difficulty, the game's version, every time
// step of the rules and every command that changed the match, and the world at the last step. Format and
// limits in docs/replays.md.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/Command.h"

namespace replayLimits {
constexpr int kVersion = 1;                       // the format this game writes and the newest it reads
constexpr size_t kFileBytes = 64 << 20;           // the whole file
constexpr std::uint64_t kSteps = 1ull << 26;      // about 13 days of steps at 60 a second
constexpr std::uint64_t kCommands = 1000000;
constexpr double kLongestStep = 86400.0;          // seconds: one frame may take long, never more than a day
constexpr size_t kTextBytes = 64;                 // the difficulty and the game's version
}  // namespace replayLimits

// Steps of one length taken one after another: the steps of a match at a steady frame rate are few runs.
struct StepRun {
  double dt = 0.0;
  std::uint64_t count = 0;
};

// A command applied before the step of that index (counted from 0); an index equal to the number of steps
// means after the last one.
struct RecordedCommand {
  std::uint64_t beforeStep = 0;
  Command command{CommandKind::Build};
};

// The world at the last step: the state of the match (GameState), its time and what the player had left.
struct ReplayOutcome {
  int state = 0;
  double time = 0.0;
  int files = 0;
  int money = 0;
};

bool operator==(const ReplayOutcome& a, const ReplayOutcome& b);

struct Replay {
  std::string levelText;  // the level file's text as the match was played
  std::string difficulty = "Normal";
  std::string gameVersion;
  std::vector<StepRun> steps;
  std::uint64_t stepCount = 0;  // the sum of the runs' counts
  std::vector<RecordedCommand> commands;
  std::optional<ReplayOutcome> outcome;

  // Appends one step, lengthening the last run when dt is the same to the bit.
  void addStep(double dt);
};

// The whole file as bytes: a JSON header line, then the steps and the commands.
std::string replayFileText(const Replay& replay);

struct ReplayReading {
  Replay replay;        // meaningful only when problem is empty
  std::string problem;  // "place: what is wrong"
};

// Reads a replay from its bytes: the format, the version, the limits, the body's length and checksum, every
// step and command, and the level, which must still be a valid level.
ReplayReading readReplay(const std::string& bytes);
// Reads the file at path; a file that cannot be read, or is too large, is the problem.
ReplayReading readReplayFile(const std::string& path);
// Writes the file whole: a temporary file in the same folder renamed over it, the folder made when needed.
// Empty, or one line that says what went wrong.
std::string writeReplayFile(const std::string& path, const Replay& replay);

// "Running", "Paused", "Lost" or "Won".
const char* gameStateName(int state);
