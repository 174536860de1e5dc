// The command line: the options the game takes, read in one place before anything else starts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/Settings.h"

struct LaunchOptions {
  enum class Action { Play, Help, Version, Fail, ListLevels, CheckLevel, CheckReplay, Watch };
  Action action = Action::Play;
  int width = 0;  // window size asked for with --size; 0 keeps the size of the settings
  int height = 0;
  bool fullscreen = false;
  bool mute = false;
  std::optional<Quality> quality;  // --quality
  bool noVsync = false;
  std::optional<Difficulty> difficulty;  // --difficulty
  std::string dataDir;    // --data, made absolute against the directory the game was started in
  std::string level;      // --level or --check-level as given: a shipped level's name or a level file
  std::string levelFile;  // the same made absolute against the directory the game was started in
  std::string replayFile;  // --check-replay or --replay, absolute like levelFile
  std::string error;      // with Fail: one line that names the option
};

// Reads the arguments that follow the program name, left to right. --help and --version end the reading;
// so does the first option that is unknown or has a missing or malformed value.
LaunchOptions parseCommandLine(const std::vector<std::string>& args);
// The settings for this run: those given, with what the command line asks for over them.
Settings applyCommandLine(Settings settings, const LaunchOptions& options);
// What --help prints, and what follows an error: one line per option, from the same table the parser reads.
std::string usageText();
// The program's name and version, one line without its line end.
std::string versionText();
