// Entry point: reads the command line, finds the game's data and changes into it, reads the chosen level,
// runs the game, then exits so that the game world is torn down by the static destructors.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/Application.h"
#include "app/ReplayWatch.h"
#include "config/CommandLine.h"
#include "config/DataDirectory.h"
#include "game/LevelFile.h"
#include "game/LevelLibrary.h"
#include "game/MatchRecords.h"
#include "game/ReplayPlayer.h"
#include "game/Game.h"

int main(int argc, char** argv) {
  const LaunchOptions options = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (options.action) {
    case LaunchOptions::Action::Help:
      std::cout << usageText();
      return 0;
    case LaunchOptions::Action::Version:
      std::cout << versionText() << std::endl;
      return 0;
    case LaunchOptions::Action::Fail:
      std::cerr << options.error << std::endl << usageText();
      return 2;
    case LaunchOptions::Action::CheckLevel: {
      // A level maker's own file needs nothing of the game's data.
      std::error_code error;
      if (std::filesystem::is_regular_file(options.levelFile, error))
        return checkLevelFile(options.levelFile, options.level, std::cout, std::cerr);
      break;
    }
    case LaunchOptions::Action::Play:
    case LaunchOptions::Action::CheckReplay:
    case LaunchOptions::Action::Watch:
    case LaunchOptions::Action::ListLevels:
      break;
  }

  // Every file is read by its name relative to the data folder, so the game works from any directory.
  const DataSearch data = findDataDirectory(options.dataDir, std::getenv("VARROW_DATA_DIR"), programDirectory());
  for (const std::string& warning : data.warnings) std::cerr << warning << std::endl;
  if (data.directory.empty() || chdir(data.directory.c_str()) != 0) {
    std::cerr << (data.directory.empty() ? data.failure : "varrow: cannot enter " + data.directory) << std::endl;
    return 1;
  }
  if (options.action == LaunchOptions::Action::ListLevels) return listLevels(std::cout, std::cerr);
  // A replay carries its level, but its towers take their size from the model in the data folder.
  if (options.action == LaunchOptions::Action::CheckReplay) return checkReplayFile(options.replayFile, std::cout, std::cerr);
  if (options.action == LaunchOptions::Action::Watch) {
    ReplayReading reading = readReplayFile(options.replayFile);
    if (!reading.problem.empty()) {
      std::cerr << "varrow: " << options.replayFile << ": " << reading.problem << std::endl;
      return 2;
    }
    game.level = readLevel(reading.replay.levelText).level;
    replayWatch.start(std::move(reading.replay), game.level.name);
    std::exit(runApplication(options));
  }
  // A level that cannot be played stops the game before its window opens; without --level nothing of the
  // levels folder is read.
  if (!options.level.empty()) {
    const std::string file = levelFileOf(options, std::cerr);
    if (file.empty()) return 2;
    if (options.action == LaunchOptions::Action::CheckLevel) return checkLevelFile(file, file, std::cout, std::cerr);
    if (!readLevelOrSay(file, file == options.levelFile ? options.level : file, &game.level, std::cerr)) return 2;
    matchRecords.playing(loadLevel(file).identity);
  }
  std::exit(runApplication(options));
}
