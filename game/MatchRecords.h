// The records of this run: the records file read the first time it is needed, the level being played by the
// identity of its file, and every finished match kept as a record once.
#pragma once

#include <optional>
#include <string>

#include "game/Records.h"

class Game;
class MatchClock;

// The shipped file of the level in code, relative to the data folder: its identity is Classic's.
extern const char* const kClassicLevelFile;

class MatchRecords {
 public:
  // Where the records are read from and saved to (empty: nowhere); forgets what was read before.
  void keepIn(const std::string& path);
  // The level the matches from now on are played on. Until this is called they are Classic's.
  void playing(const LevelIdentity& level);
  const LevelIdentity& level();
  // The record on a level at a difficulty, or null. The first call reads the file.
  const MatchResult* recordOn(const LevelIdentity& level, Difficulty difficulty);
  // Called after every frame's update: the first time it sees a match ended, the match's result is kept and
  // the file saved. Answers the message the screen is to show, or null: a record that existed was beaten.
  const std::string* noteEnd(const Game& world, const MatchClock& clock);

 private:
  void load();

  std::string path_;
  bool loaded_ = false;
  RecordsFile file_;
  std::optional<LevelIdentity> level_;
  bool ended_ = false;
  std::string message_;
};

extern MatchRecords matchRecords;

// The frame's look at the one game: a match that has just ended leaves its record, and a beaten record's
// message is shown.
void keepMatchRecord();
