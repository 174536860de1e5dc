// The level library: finding the level file a name stands for, the listing of the shipped levels and the
// player's own, the checker, and the chosen level read before the window opens. The command functions say
// what went wrong on `errors` themselves; the listing hands its warnings back.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "config/CommandLine.h"
#include "game/Level.h"
#include "game/Records.h"

// The folder of the shipped levels, relative to the data folder.
extern const char* const kLevelFolder;
// The most level files of the player's folder listed (the first ones by name); the rest get a warning.
constexpr size_t kMostPlayerLevels = 1000;

// The player's levels folder: levels/ in playerFolder(), empty when there is none.
std::string playerLevelFolder();

// One level file as a listing shows it.
struct LevelEntry {
  std::string fileName;           // "serpent.json"
  std::string path;               // absolute
  bool players = false;           // from the player's levels folder
  bool playable = false;
  std::string name, description;  // the level's own, when playable
  std::string problem;            // the first problem line, when not
  LevelIdentity identity;         // the file name and the hash of the bytes read; no content when unread
};

struct LevelListing {
  std::vector<LevelEntry> entries;    // the shipped levels by file name, then the player's by file name
  std::vector<std::string> warnings;  // whole lines about a folder: unreadable, or too many files
};

// Every file named *.json in the two folders, each read once, so an entry's name, description and identity
// come from the same bytes even when the file changes meanwhile. A missing player's folder is no warning.
LevelListing listLevelFolders(const std::string& shippedFolder, const std::string& playerLevels);
// The shipped levels in the data folder (the working directory) and the player's levels folder.
LevelListing levelListing();

// A level read for play with the identity of the very bytes read.
struct LevelLoad {
  Level level;                        // meaningful only when problems is empty
  LevelIdentity identity;             // no content when the file could not be read
  std::vector<std::string> problems;  // as readLevelFile gives them
};
LevelLoad loadLevel(const std::string& path);

// The file --level or --check-level means: the player's own file when one exists under that name, otherwise
// the shipped level of that name (with or without ".json") in the data folder, which is the working
// directory by then, otherwise the level of that name in the player's levels folder. Empty, with a line on
// `errors`, when there is none.
std::string levelFileOf(const LaunchOptions& options, std::ostream& errors);

// Reads the level file; a bad one gets a line per problem, each naming `shownName` and the place.
bool readLevelOrSay(const std::string& path, const std::string& shownName, Level* level, std::ostream& errors);

// --list-levels: each level's file name, name and description, the shipped ones first, then the player's under
// a line naming their folder; the listing's warnings on `errors`. Exit status 0, or 1 without levels.
int listLevels(std::ostream& out, std::ostream& errors);

// --check-level: the file checked and played without towers; the summary. Exit status 0, or 2 for a bad file.
int checkLevelFile(const std::string& path, const std::string& shownName, std::ostream& out, std::ostream& errors);
