// The headless re-player: a replay played again on the one game world without a window, and the replay
// checker (--check-replay) that compares its end with the outcome the file recorded.
#pragma once

#include <iosfwd>
#include <string>

#include "game/Level.h"
#include "game/Replay.h"

class Game;

// The world now, as a replay records it at its last step.
ReplayOutcome outcomeOf(const Game& world);

// Builds the match from the level on the game world, with match time 0 and no GL needed, then applies each
// command before its step and takes every step with its recorded length, as long as the match runs. The
// world's console lines are dropped. Returns the world at the end.
ReplayOutcome replayHeadless(const Replay& replay, const Level& level);

// --check-replay: re-plays the file and prints its level, difficulty, outcome, game time, files left and money
// and whether they equal the recorded outcome. Exit status 0 when equal, 1 when not, 2 for a file that cannot
// be read.
int checkReplayFile(const std::string& path, std::ostream& out, std::ostream& errors);
