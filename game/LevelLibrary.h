// The level library: finding the level file a name stands for, the listing of the levels, the checker, and
// the chosen level read before the window opens. Every function says what went wrong on `errors` itself.
#pragma once

#include <iosfwd>
#include <string>

#include "config/CommandLine.h"
#include "game/Level.h"

// The folder of the shipped levels, relative to the data folder.
extern const char* const kLevelFolder;

// The file --level or --check-level means: the player's own file when one exists under that name, otherwise
// the shipped level of that name (with or without ".json") in the data folder, which is the working
// directory by then. Empty, with a line on `errors`, when there is neither.
std::string levelFileOf(const LaunchOptions& options, std::ostream& errors);

// Reads the level file; a bad one gets a line per problem, each naming `shownName` and the place.
bool readLevelOrSay(const std::string& path, const std::string& shownName, Level* level, std::ostream& errors);

// --list-levels: each shipped level's file name, name and description. Exit status 0, or 1 without levels.
int listLevels(std::ostream& out, std::ostream& errors);

// --check-level: the file checked and played without towers; the summary. Exit status 0, or 2 for a bad file.
int checkLevelFile(const std::string& path, const std::string& shownName, std::ostream& out, std::ostream& errors);
