// The match's difficulty: Normal is the level as written; Easy and Hard scale the enemies' hit points and the
// starting money by fixed factors (the reasoning and the matches behind them are in docs/rules.md).
#pragma once

#include <string>

enum class Difficulty { Easy, Normal, Hard };

struct DifficultyFactors {
  double hitPoints;
  double money;
};

DifficultyFactors difficultyFactors(Difficulty difficulty);
// The level's starting money at a difficulty, rounded down to whole dollars.
int startingMoney(int levelMoney, Difficulty difficulty);
// "easy", "normal" or "hard".
const char* difficultyName(Difficulty difficulty);
// "Easy", "Normal" or "Hard", as a title shows it.
const char* difficultyTitle(Difficulty difficulty);
// Reads "easy", "normal" or "hard" in any case.
bool parseDifficulty(const std::string& text, Difficulty* difficulty);
