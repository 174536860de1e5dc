// The difficulty table: each difficulty's factors and names.
#include "game/Difficulty.h"

#include <cctype>
#include <cmath>

namespace {

struct Row {
  Difficulty difficulty;
  const char* name;
  const char* title;
  DifficultyFactors factors;
};

const Row kRows[] = {
    {Difficulty::Easy, "easy", "Easy", {0.75, 1.5}},
    {Difficulty::Normal, "normal", "Normal", {1.0, 1.0}},
    {Difficulty::Hard, "hard", "Hard", {1.25, 0.9}},
};

const Row& rowOf(Difficulty difficulty) {
  for (const Row& row : kRows)
    if (row.difficulty == difficulty) return row;
  return kRows[1];
}

}  // namespace

DifficultyFactors difficultyFactors(Difficulty difficulty) { return rowOf(difficulty).factors; }

int startingMoney(int levelMoney, Difficulty difficulty) {
  return static_cast<int>(std::floor(levelMoney * rowOf(difficulty).factors.money));
}

const char* difficultyName(Difficulty difficulty) { return rowOf(difficulty).name; }

const char* difficultyTitle(Difficulty difficulty) { return rowOf(difficulty).title; }

bool parseDifficulty(const std::string& text, Difficulty* difficulty) {
  std::string lower;
  for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const Row& row : kRows)
    if (lower == row.name) return *difficulty = row.difficulty, true;
  return false;
}
