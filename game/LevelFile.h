// Level files: JSON read with nlohmann-json and checked against the board, the rules and the limits below,
// with one line per problem that says where in the file it lies.
#pragma once

#include <string>
#include <vector>

#include "game/Level.h"

// What a level file may hold. The limits keep every valid level quick to read, to check and to play.
namespace levelLimits {
constexpr size_t kFileBytes = 1 << 20;
constexpr size_t kNameBytes = 40;
constexpr size_t kDescriptionBytes = 200;
constexpr int kMoney = 100000;
constexpr size_t kSpawnPoints = 16;
constexpr size_t kWaypoints = 64;        // per path, both ends included
constexpr double kPathLength = 1000.0;   // world units along one path
constexpr size_t kWaves = 100;           // per wave list
constexpr int kEnemies = 10000;          // per level, over every spawn point
constexpr double kScheduleEnd = 3600.0;  // seconds: every wave has sent its last enemy and is over by then
constexpr size_t kProblems = 10;         // problems reported per file; a line after them says how many more
constexpr double kTimeTolerance = 1e-6;  // seconds: times closer than this are the same time, far below one step
}  // namespace levelLimits

// The board's extent and the goal every path ends at, in world units.
constexpr float kBoardSide = 78.0f;
constexpr float kGoalX = 39.0f;
constexpr float kGoalZ = -39.0f;

struct LevelReading {
  Level level;                        // meaningful only when problems is empty
  // "place: what is wrong", at most levelLimits::kProblems, then "and N more problems not shown" if needed
  std::vector<std::string> problems;
};

// Reads a level from the text of a level file.
LevelReading readLevel(const std::string& text);
// Reads the level file at path; a file that cannot be read, is not a regular file or is too large is one
// problem.
LevelReading readLevelFile(const std::string& path);
