// Which level a match is played on: the level the settings remember, read at start-up, and a new match on a
// level chosen on the levels screen.
#pragma once

#include <iosfwd>
#include <string>

#include "game/Level.h"
#include "game/Records.h"

// Reads the remembered level (a name as the levels screen writes it) into game.level. A level that no longer
// exists or no longer reads gets one warning on `errors` and the game keeps Classic; false then.
bool playRememberedLevel(const std::string& name, std::ostream& errors);

// A new match on the level, as R starts one (its money, sixteen files, no towers, the waves from the start,
// normal speed), with "Level: NAME" on the console; its results count for the level of that identity.
void startLevelMatch(const Level& level, const LevelIdentity& identity);
