// Putting a chosen level into the one game world, at start-up or from the levels screen.
#include "app/LevelStart.h"

#include <iostream>
#include <sstream>

#include "config/CommandLine.h"
#include "config/Settings.h"
#include "game/Game.h"
#include "game/LevelLibrary.h"
#include "game/MatchRecords.h"
#include "platform/FrameClock.h"
#include "platform/Platform.h"

bool playRememberedLevel(const std::string& name, std::ostream& errors) {
  LaunchOptions lookup;
  lookup.level = name;
  // A remembered name is looked for in the levels folders only; levelFileOf's own complaint names --level.
  std::ostringstream unused;
  const std::string file = levelFileOf(lookup, unused);
  if (file.empty()) {
    errors << "varrow: the level '" << name << "' that the settings remember no longer exists; playing Classic"
           << std::endl;
    return false;
  }
  LevelLoad load = loadLevel(file);
  if (!load.problems.empty()) {
    errors << "varrow: the level '" << name << "' that the settings remember cannot be played (" << file << ": "
           << load.problems.front() << "); playing Classic" << std::endl;
    return false;
  }
  game.level = std::move(load.level);
  matchRecords.playing(load.identity);
  return true;
}

void startLevelMatch(const Level& level, const LevelIdentity& identity) {
  // The spawn points walk the level's wave lists: they go before the level changes.
  game.clearMatchObjects();
  game.level = level;
  game.difficulty = settings.difficulty;
  game.newMatch();
  // A lost match unhooked the mouse; a resume without a pause goes back to the match's start.
  platform::setMouseButtonCallback(game.clickHandler);
  frameClock.pauseStartTime = platform::getTime();
  matchRecords.playing(identity);
  std::cout << "Level: " << game.level.name << std::endl;
}
