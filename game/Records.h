// The player's records: the best result on every level and difficulty, the order that says which result is
// better, and the records file ($XDG_DATA_HOME/varrow/records.json, described in docs/records.md).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "game/Difficulty.h"


// How one match ended.
struct MatchResult {
  bool won = false;
  int filesKept = 0;
  int wavesReached = 0;
  double seconds = 0.0;  // match time at the end
};

// Whether a is a better result than b: a won match beats a lost one; among won matches more files kept, then
// fewer seconds; among lost ones more waves reached, then more seconds survived. Equal results are not better.
bool betterResult(const MatchResult& a, const MatchResult& b);

// A level as the records know it: by its file name and by the content of the file, so that an edited file
// starts without a record. The content is the FNV-1a 64-bit hash of the file's bytes, 16 lowercase hex digits.
struct LevelIdentity {
  std::string fileName;  // "serpent.json"
  std::string content;
};

std::string contentHash(const std::string& bytes);
bool operator==(const LevelIdentity& a, const LevelIdentity& b);

struct Record {
  LevelIdentity level;
  Difficulty difficulty = Difficulty::Normal;
  MatchResult best;
};

// What a match did to the records. The message is empty unless the screen is to say so: a result better
// than a record that existed before. The first match on a level and difficulty sets the record quietly.
struct RecordUpdate {
  bool newRecord = false;
  bool hadRecord = false;
  std::string message;
};

class Records {
 public:
  // The best result on that level and difficulty, or null.
  const MatchResult* find(const LevelIdentity& level, Difficulty difficulty) const;
  // Keeps the result when it is the first or better than the record; levelName is the level's own name, for
  // the message.
  RecordUpdate update(const LevelIdentity& level, Difficulty difficulty, const std::string& levelName,
                      const MatchResult& result);
  const std::vector<Record>& all() const { return records_; }

 private:
  std::vector<Record> records_;
};

// "won with 14 files in 6:12", "lost at wave 5 after 4:37": a result in words, the time in minutes and seconds.
std::string resultText(const MatchResult& result);

// The records file's limits: a file larger than this is refused unread.
constexpr size_t kRecordsFileBytes = 4 << 20;

struct RecordsReading {
  Records records;
  std::string problem;  // empty when the text was read; otherwise what is wrong and where
  bool newerVersion = false;  // the problem is only that a newer game wrote the file
};

// Reads records from the text of a records file.
RecordsReading readRecords(const std::string& text);
// The text of a records file holding these records, which readRecords reads back to the same records.
std::string formatRecords(const Records& records);

// The records file as the game uses it.
struct RecordsFile {
  Records records;
  bool saving = true;  // false when the file on disk must be left alone this run (see loadRecordsFile)
};

// $XDG_DATA_HOME/varrow/records.json (see playerFolder); empty when there is no such folder.
std::string recordsFilePath();
// Reads the records file. A missing file is no records and no word. A file that cannot be read or is not a
// records file gets one warning on errors, is moved aside to a free name ("records.json.bad", then
// "records.json.bad-2", ...; nothing is ever overwritten), and the game goes on with no records. A file of a
// newer version is left as it is, with a warning, and not saved over.
RecordsFile loadRecordsFile(const std::string& path, std::ostream& errors);
// Writes the records whole through a temporary file in the same folder renamed over the file, making the
// folder when needed. Returns an empty string, or a warning line when it could not.
std::string saveRecordsFile(const std::string& path, const Records& records);
