// Where the game's data lives: the folder named on the command line or in the environment, the program's own
// folder (the build tree), or the installed layout beside it. The game changes into the folder it finds, so
// every file keeps the relative name it has always had.
#pragma once

#include <string>
#include <vector>

struct DataSearch {
  std::string directory;              // the first candidate that holds the data; empty when none does
  std::vector<std::string> warnings;  // a folder the player named that holds no data, one line each
  std::string failure;                // with no directory: one line naming every place tried
};

// True when the folder holds the game's data, which its shader/ folder tells.
bool holdsGameData(const std::string& directory);

// The candidates in order, each taken only when it holds the data: fromOption (--data, empty when not
// given), fromEnvironment (VARROW_DATA_DIR, null or empty when unset), programDirectory itself, and
// programDirectory/../share/games/varrow.
DataSearch findDataDirectory(const std::string& fromOption, const char* fromEnvironment,
                             const std::string& programDirectory);

// The folder of the running executable, through /proc/self/exe (argv[0] may be a bare name found on PATH).
std::string programDirectory();
