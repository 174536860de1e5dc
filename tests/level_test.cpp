// Levels: the shipped classic against the level in code, each new level lost without towers and won by a
// defence bought as the money comes in and played again with R, every kind of bad file, and the level
// options of the real binary.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>
#include <vector>

#include "CaptureStdout.h"
#include "GameProcess.h"
#include "Pattern.h"
#include "WorldTest.h"
#include "game/LevelCheck.h"
#include "game/LevelFile.h"
#include "hud/Overlay.h"
#include "input/Keyboard.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/MatchClock.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

LevelReading shipped(const std::string& name) { return readLevelFile(VARROW_RUN_DIR "/levels/" + name + ".json"); }

TEST(Levels, TheShippedClassicIsTheLevelInCodeLostAtTheSameUpdate) {
  const LevelReading classic = shipped("classic");
  ASSERT_EQ(classic.problems, std::vector<std::string>());
  EXPECT_TRUE(classic.level == classicLevel());
  const LevelCheck check = checkLevel(classic.level);
  EXPECT_EQ(std::tuple(check.state, check.updates, check.enemies, check.hitPoints),
            std::tuple(int(Lost), 3357, 144, 36400.0));
  EXPECT_EQ(classic.level.waveStartTimes(), (std::vector<double>{3, 60, 125, 200, 270, 340}));
  EXPECT_EQ(classic.level.lastSendTime(), 368.0);
}

using Spots = std::vector<std::pair<float, float>>;

// Standard towers at the spots in order, each built as soon as 100 $ are there, at 30 steps a second, on the
// global game built from the level at a difficulty; once all stand and `upgrades`, the least upgraded, first
// built first, is upgraded whenever the money is there. Returns how the match ended, the towers built and
// whether every spot was free.
std::tuple<int, size_t, bool> playDefence(Game& g, const Level& level, Difficulty difficulty, const Spots& spots,
                                          bool upgrades = false) {
  clearWorld(g);
  g.level = level;
  g.difficulty = difficulty;
  buildWorld(g);
  g.gameState = Running;
  platform::setTime(0.0);
  matchClock = MatchClock();
  CaptureStdout quiet;
  size_t built = 0;
  bool free = true;
  for (int frame = 0; frame < 1200 * 30 && g.gameState == Running; ++frame) {
    for (; built < spots.size() && g.resources >= 100; ++built) {
      free = free && isBuildSpotFree(spots[built].first, spots[built].second);
      g.buildTower("tris", spots[built].first, spots[built].second, 0, 0, 0);
    }
    if (upgrades && built == spots.size()) {
      g.selectedTower = g.towers.front().get();
      for (auto& tower : g.towers)
        if (tower->level < g.selectedTower->level) g.selectedTower = tower.get();
      upgradeSelectedTower();
    }
    platform::advanceTime(1.0 / 30);
    g.update(1.0 / 30);
  }
  g.selectedTower = nullptr;
  return {g.gameState, built, free};
}

// The first `count` spots.
Spots firstSpots(const Spots& spots, size_t count) { return Spots(spots.begin(), spots.begin() + count); }

struct Defence {
  const char* name;
  Spots spots;
  const char* firstWaveLine;  // the overlay's wave line as the match starts: this level's own waves
};

// The defences that win the new levels on Normal.
std::vector<Defence> newLevelDefences() {
  // Standard towers where one reaches two roads.
  Spots gates;
  for (float k = 12; k < 38; k += 3)
    gates.insert(gates.end(), {{37, k - 39}, {39 + k, -37}, {41, -39 - k}, {39 - k, -41}});
  return {{"serpent",
           {{6, -5},   {6, -21},  {20, -13}, {34, -5},  {34, -21}, {48, -13}, {62, -5},
            {62, -21}, {72, -13}, {14, -5},  {14, -21}, {28, -13}, {42, -5},  {42, -21},
            {56, -13}, {70, -5},  {70, -21}, {20, -5},  {20, -21}, {56, -5},  {56, -21}},
           "Wave 1/8 \xC2\xB7 next in 5 s"},
          {"gates", gates, "Wave 1/12 \xC2\xB7 next in 5 s"}};
}

TEST_F(WorldTest, EachNewLevelIsLostWithoutTowersWonByADefenceBoughtAsTheMoneyComesInAndPlayedAgainWithR) {
  const std::vector<Defence> defences = newLevelDefences();
  for (const auto& [name, spots, firstWaveLine] : defences) {
    const LevelReading reading = shipped(name);
    ASSERT_EQ(reading.problems, std::vector<std::string>()) << name;
    const Level& level = reading.level;
    EXPECT_EQ(checkLevel(level).state, Lost) << name;
    clearWorld(g);
    g.level = level;
    buildWorld(g);
    platform::setTime(0.0);
    matchClock = MatchClock();
    EXPECT_EQ(currentWaveLine(), firstWaveLine);
    EXPECT_EQ(playDefence(g, level, Difficulty::Normal, spots), std::tuple(int(Won), spots.size(), true)) << name;
    CaptureStdout quiet;
    onKey('R', platform::PRESS);
    EXPECT_EQ(std::tuple(g.resources, g.spawnPoints.size(), g.spawnPoints.back()->spawnX, g.towers.size()),
              std::tuple(level.money, level.spawnPoints.size(), level.spawnPoints.back().position.x, size_t(0)));
  }
}

TEST_F(WorldTest, EveryLevelIsLostWithoutTowersOnEasyAndWonOnHardAndHardClassicNeedsMoreThanNormalClassic) {
  // On Classic, towers three units beside the four roads' last legs, nearest the goal first, a road at a time.
  Spots classic;
  for (float k = 0; k < 4; ++k) {
    classic.insert(classic.end(), {{28, -27 + 4 * k}, {27 - 4 * k, -54}, {51 + 4 * k, -46}, {42, -27 + 4 * k}});
    classic.insert(classic.end(), {{22, -27 + 4 * k}, {27 - 4 * k, -48}, {51 + 4 * k, -52}, {36, -27 + 4 * k}});
  }
  const Level level = shipped("classic").level;
  // 24 of them do not win Normal; 32 do, but not Hard; the same 32 upgraded as the money comes in win Hard.
  EXPECT_EQ(std::get<0>(playDefence(g, level, Difficulty::Normal, firstSpots(classic, 24))), Lost);
  EXPECT_EQ(playDefence(g, level, Difficulty::Normal, classic), std::tuple(int(Won), size_t(32), true));
  EXPECT_EQ(std::get<0>(playDefence(g, level, Difficulty::Hard, classic)), Lost);
  EXPECT_EQ(playDefence(g, level, Difficulty::Hard, classic, true), std::tuple(int(Won), size_t(32), true));
  // The new levels' Normal defences, upgraded as the money comes in, win Hard.
  for (const auto& [name, spots, firstWaveLine] : newLevelDefences()) {
    std::ignore = firstWaveLine;
    EXPECT_EQ(playDefence(g, shipped(name).level, Difficulty::Hard, spots, true),
              std::tuple(int(Won), spots.size(), true))
        << name;
  }
  for (const char* name : {"classic", "serpent", "gates"}) {
    const LevelCheck easy = checkLevel(shipped(name).level, Difficulty::Easy);
    EXPECT_EQ(easy.state, Lost) << name;
    EXPECT_EQ(easy.updates, checkLevel(shipped(name).level).updates) << name << ": hit points never matter without towers";
  }
}

TEST(Levels, EachBadFileGetsOneLinePerProblemNamingItsPlace) {
  const json good = json::parse(R"({"name": "T", "description": "", "money": 100,
    "waves": [{"startTime": 1, "spawnInterval": 1, "kind": "cube", "count": 2}],
    "spawnPoints": [{"position": [1, -1], "path": [[1, -1], [1, -39], [39, -39]]},
                    {"position": [77, -77], "path": [[77, -77], [77, -39], [39, -39]],
                     "waves": [{"startTime": 0, "spawnInterval": 0.25, "kind": "cube_w", "count": 2}]}]})");
  ASSERT_EQ(readLevel(good.dump()).problems, std::vector<std::string>());
  // A field of the good level replaced (or, with no value, removed), and the one line that says so.
  const std::tuple<const char*, const char*, std::string> changes[] = {
      {"", "[]", "a level is a JSON object {...}, not a list"},
      {"/money", "-5", "money: -5 is negative"},
      {"/money", "2.5", "money: 2.5 is not a whole number"},
      {"/name", "\"a\\tb\"", "name: holds a control character (a line break, a tab...); it is printed on one line"},
      {"/waves/0/count", "\"3\"", "waves[0].count: must be a number, not a string"},
      {"/waves/0/count", "20000", "waves[0].count: 20000 is more than 10000, the most allowed"},
      {"/spawnPoints/1/waves/0/count", "9999", "spawnPoints: the level sends 10001 enemies; at most 10000"},
      {"/waves/0/kind", "\"cube_x\"", "waves[0].kind: \"cube_x\" is no enemy kind (cube, cube_or, cube_yl or cube_w)"},
      {"/waves/0/startTime", "3599",
       "waves[0]: is over at 3601 s (startTime + count x spawnInterval); every wave is over by 3600 s"},
      {"/spawnPoints/1/waves/1", R"({"startTime": 0.25, "spawnInterval": 1, "kind": "cube", "count": 1})",
       "spawnPoints[1].waves[1].startTime: 0.25 s is before the wave before it is over "
       "(at 0.5 s: its start plus count x spawnInterval)"},
      {"/waves", nullptr,
       "spawnPoints[0]: has no waves: "
       "give it \"waves\", or give the level a \"waves\" list that every spawn point sends"},
      {"/spawnPoints/0/wave", "[]", "spawnPoints[0]: unknown field \"wave\""},
      {"/spawnPoints/0/path", nullptr, "spawnPoints[0]: missing field \"path\""},
      {"/spawnPoints/0/position", "[1, -2]",
       "spawnPoints[0].path[0]: the path starts at (1, -1), not at its spawn point (1, -2)"},
      {"/spawnPoints/0/path/1", "[2, -39]",
       "spawnPoints[0].path[1]: the leg from (1, -1) to (2, -39) is not parallel to an axis"},
      {"/spawnPoints/0/path", "[[1, -1], [1, -39], [1, -39], [39, -39]]",
       "spawnPoints[0].path[2]: repeats the point before it, (1, -39)"},
      {"/spawnPoints/0/path/2", "[1, -45]",
       "spawnPoints[0].path[2]: the path ends at (1, -45), not at the goal (39, -39)"},
      {"/spawnPoints/1/path/1", "[80, -77]",
       "spawnPoints[1].path[1]: (80, -77) is off the board (x from 0 to 78, z from -78 to 0)"},
      {"/spawnPoints", "[]", "spawnPoints: holds 0 spawn points; a level has 1 to 16"},
      {"/name", "\"a\u0085b\"", "name: holds a control character (a line break, a tab...); it is printed on one line"},
  };
  for (const auto& [at, value, problem] : changes) {
    json level = good;
    if (value)
      level[json::json_pointer(at)] = json::parse(value);
    else
      level[json::json_pointer(at).parent_pointer()].erase(json::json_pointer(at).back());
    EXPECT_EQ(readLevel(level.dump()).problems, std::vector<std::string>{problem}) << at;
  }
  const std::pair<std::string, std::vector<std::string>> texts[] = {
      {"{\"name\": \"T\",\n  \"money\": 1,,}",
       {"line 2, column 14: not valid JSON: "
        "syntax error while parsing object key - unexpected ','; expected string literal"}},
      {R"({"waves": [{"count": 2}, {"startTime": 1e400}]})",
       {"waves[1].startTime: 1e400 is too large to be a number (more than 1.8e308)"}},
      {R"({"money": -5, "spawnPoints": [{"path": [], "path": 1}], "money": 100})",
       {"spawnPoints[0]: field \"path\" is given twice", "field \"money\" is given twice",
        "missing field \"name\"", "missing field \"description\"", "spawnPoints[0]: missing field \"position\"",
        "spawnPoints[0].path: must be a list of points [[x, z], ...], not a number",
        "spawnPoints[0]: has no waves: "
        "give it \"waves\", or give the level a \"waves\" list that every spawn point sends"}},
      {"{}",
       {"missing field \"name\"", "missing field \"description\"", "missing field \"money\"",
        "missing field \"spawnPoints\""}},
      {R"({"name": 1, "description": 2, "money": "3", "spawnPoints": 4, "waves": 5, "a": 6, "b": 7, "c": 8, "d": 9, "e": 10, "f": 11})",
       {"unknown field \"a\"", "unknown field \"b\"", "unknown field \"c\"", "unknown field \"d\"",
        "unknown field \"e\"", "unknown field \"f\"", "name: must be a string, not a number",
        "description: must be a string, not a number", "money: must be a number, not a string",
        "waves: must be a list of waves [...], not a number", "and 1 more problem not shown"}},
  };
  for (const auto& [text, problems] : texts) EXPECT_EQ(readLevel(text).problems, problems) << text;

  const fs::path big = fs::temp_directory_path() / ("varrow_level_" + std::to_string(getpid()));
  std::ofstream(big) << std::string(levelLimits::kFileBytes + 1, ' ');
  EXPECT_EQ(readLevelFile(big).problems,
            std::vector<std::string>{"is larger than 1048576 bytes, the most a level file may be"});
  fs::remove(big);
  EXPECT_EQ(readLevelFile(big).problems, std::vector<std::string>{"cannot read the file: No such file or directory"});
  // A pipe would block the reader: neither it nor a folder or a device is opened.
  ASSERT_EQ(mkfifo(big.c_str(), 0600), 0);
  for (const fs::path& odd : {big, fs::temp_directory_path(), fs::path("/dev/null")})
    EXPECT_EQ(readLevelFile(odd).problems, std::vector<std::string>{"not a regular file"}) << odd;
  fs::remove(big);
}

TEST(Levels, DecimalTimesAddUpAndTheCheckerSaysWhichTimeIsWhich) {
  // 3 x 0.1 is a little over 0.3 in binary; the second wave starts as the first is over. The latest start
  // (0.5 s, the other spawn point's) and the last enemy (10.3 s, this one's) belong to different waves.
  const LevelReading reading = readLevel(R"({"name": "D", "description": "", "money": 0,
    "waves": [{"startTime": 0, "spawnInterval": 0.1, "kind": "cube", "count": 3},
              {"startTime": 0.3, "spawnInterval": 10, "kind": "cube", "count": 2}],
    "spawnPoints": [{"position": [1, -1], "path": [[1, -1], [1, -39], [39, -39]]},
                    {"position": [77, -77], "path": [[77, -77], [77, -39], [39, -39]],
                     "waves": [{"startTime": 0.5, "spawnInterval": 0, "kind": "cube_yl", "count": 2}]}]})");
  ASSERT_EQ(reading.problems, std::vector<std::string>());
  const std::string report = levelCheckReport(reading.level, checkLevel(reading.level));
  EXPECT_NE(report.find("\nLatest wave start: 0.5 s\nLast enemy sent: 10.3 s\n"), std::string::npos) << report;
}

TEST(LevelOptions, TheBinaryListsChecksAndRefusesLevelsBeforeAnyWindow) {
  char pattern[] = "/tmp/varrow-levels-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::ofstream(fs::path(pattern) / "bad.json")
      << R"({"name": "B", "description": "", "money": -5, "spawnPoints": []})";
  // From a folder of the player's, without a display: a window attempt would print its own error.
  const std::string varrow = std::string("cd ") + pattern + " && env -u DISPLAY " VARROW_RUN_DIR "/varrow ";
  const std::string refusal =
      "varrow: bad.json: money: -5 is negative\n"
      "varrow: bad.json: spawnPoints: holds 0 spawn points; a level has 1 to 16\n";
  EXPECT_EQ(runCommand(varrow + "--level bad.json 2>&1; echo $?"), refusal + "2\n");
  EXPECT_EQ(runCommand(varrow + "--check-level bad.json 2>&1; echo $?"), refusal + "2\n");
  EXPECT_EQ(runCommand(varrow + "--level nope 2>&1; echo $?"),
            std::string("varrow: there is no level file ") + pattern +
                "/nope and no shipped level named 'nope' (varrow --list-levels lists them)\n2\n");
  const std::string list = runCommand(varrow + "--list-levels 2>&1; echo $?");
  EXPECT_TRUE(matchesWhole(list, "classic\\.json +Classic +Four corners[^\n]+\ngates\\.json +Eight Gates +[^\n]+\n"
                                  "serpent\\.json +Serpent +[^\n]+\n0\n"))
      << list;
  const std::string check = runCommand(varrow + "--check-level gates.json 2>&1; echo $?");
  EXPECT_NE(check.find("Spawn points: 8\nEnemies: 276 (cube 72, cube_or 44, cube_yl 140, cube_w 20)\n"),
            std::string::npos)
      << check;
  EXPECT_TRUE(matchesWhole(check, "[\\s\\S]*\nEasy: [0-9]+ \\$ at start, [0-9]+ hit points\nNormal: [0-9]+ \\$ at start, "
                                  "[0-9]+ hit points\nHard: [0-9]+ \\$ at start, [0-9]+ hit points\n0\n"))
      << check;
  EXPECT_EQ(check.substr(check.size() - 2), "0\n");
  fs::remove_all(pattern);
}

}  // namespace
