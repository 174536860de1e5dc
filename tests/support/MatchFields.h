// The match as named numbers, for comparing two worlds field by field: money, state, clock, SuperGlow, each
// spawn point's progress, each file, each enemy's kind, place and hit points, each tower's kind, place, level
// and last shot, and the selection. Used by the tests and by the game-playing fuzzer.
#pragma once

#include <string>
#include <utility>
#include <vector>

class Game;

using MatchFields = std::vector<std::pair<std::string, double>>;

// A paused match counts as running: the pause is the player's, not the match's.
MatchFields matchFields(const Game& world);
// "enemy[3].x: 41.25 then 41.5", or empty when the two are the same to the bit.
std::string firstDifference(const MatchFields& a, const MatchFields& b);
