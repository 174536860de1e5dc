// Keeping the player's records as matches end: the lazily read records file and the level's identity.
#include "game/MatchRecords.h"

#include <iostream>

#include "game/Game.h"
#include "game/LevelLibrary.h"
#include "game/MatchEnd.h"
#include "game/PlayerActions.h"
#include "scene/MatchClock.h"

const char* const kClassicLevelFile = "levels/classic.json";

MatchRecords matchRecords;

void MatchRecords::keepIn(const std::string& path) {
  path_ = path;
  loaded_ = false;
  file_ = RecordsFile{};
}

void MatchRecords::playing(const LevelIdentity& level) {
  level_ = level;
  ended_ = false;
}

const LevelIdentity& MatchRecords::level() {
  if (!level_) level_ = loadLevel(kClassicLevelFile).identity;
  return *level_;
}

void MatchRecords::load() {
  if (loaded_) return;
  loaded_ = true;
  if (!path_.empty()) file_ = loadRecordsFile(path_, std::cerr);
}

const MatchResult* MatchRecords::recordOn(const LevelIdentity& level, Difficulty difficulty) {
  load();
  return file_.records.find(level, difficulty);
}

const std::string* MatchRecords::noteEnd(const Game& world, const MatchClock& clock) {
  const bool ended = world.gameState == Won || world.gameState == Lost;
  const bool justEnded = ended && !ended_;
  ended_ = ended;
  // A level whose file could not be read has no identity to keep a record under.
  if (!justEnded || level().content.empty()) return nullptr;
  load();
  const RecordUpdate update =
      file_.records.update(level(), world.difficulty, world.level.name, matchResultOf(world, clock));
  if (update.newRecord && file_.saving && !path_.empty()) {
    const std::string warning = saveRecordsFile(path_, file_.records);
    if (!warning.empty()) std::cerr << warning << std::endl;
  }
  if (update.message.empty()) return nullptr;
  message_ = update.message;
  return &message_;
}

void keepMatchRecord() {
  if (const std::string* message = matchRecords.noteEnd(game, matchClock)) showMessage(message->c_str());
}
