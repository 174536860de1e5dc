// Records and the levels folders: the order of results, the update after a match and its message, the records
// file on disk (read back, bad files moved aside and never overwritten), a lost match read off the world, and
// a player's levels folder full of bad entries listed by the library and by --list-levels.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/Game.h"
#include "game/LevelCheck.h"
#include "game/LevelLibrary.h"
#include "game/MatchEnd.h"
#include "game/PlayerFolder.h"
#include "game/Records.h"
#include "scene/MatchClock.h"

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

// Runs of spaces as one: columns that widen compare equal.
std::string squeezed(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  return out;
}

// A scratch folder of this process that the player's XDG_DATA_HOME points at while the test runs.
struct ScratchDataHome {
  fs::path root = fs::temp_directory_path() / ("varrow-data-" + std::to_string(getpid()));
  ScratchDataHome() {
    fs::remove_all(root);
    fs::create_directories(root / "varrow");
    setenv("XDG_DATA_HOME", root.c_str(), 1);
  }
  ~ScratchDataHome() {
    unsetenv("XDG_DATA_HOME");
    fs::remove_all(root);
  }
};

TEST(Records, ResultsOrderWonThenFilesAndTimeLostThenWavesAndTime) {
  struct Case {
    MatchResult a, b;
    bool better;
  };
  const Case cases[] = {
      {{true, 1, 6, 900}, {false, 0, 9, 999}, true},  // any win beats any loss
      {{true, 14, 6, 400}, {true, 13, 6, 100}, true},  // more files kept beats a quicker win
      {{true, 14, 6, 371}, {true, 14, 6, 372}, true},  // then the quicker win
      {{true, 14, 6, 372}, {true, 14, 6, 372}, false},
      {{false, 0, 5, 10}, {false, 0, 4, 300}, true},  // more waves reached beats a longer loss
      {{false, 0, 4, 301}, {false, 0, 4, 300}, true},  // then surviving longer
      {{false, 3, 4, 300}, {false, 0, 4, 300}, false},  // files kept do not count for a loss
  };
  for (const Case& c : cases) {
    EXPECT_EQ(betterResult(c.a, c.b), c.better) << c.a.won << c.a.filesKept << ' ' << c.a.seconds;
    if (c.better) {
      EXPECT_FALSE(betterResult(c.b, c.a));
    }
  }

  Records records;
  const LevelIdentity serpent{"serpent.json", contentHash("serpent's bytes")};
  const RecordUpdate first = records.update(serpent, Difficulty::Normal, "Serpent", {false, 0, 3, 200});
  EXPECT_TRUE(first.newRecord && !first.hadRecord && first.message.empty());
  const RecordUpdate worse = records.update(serpent, Difficulty::Normal, "Serpent", {false, 0, 2, 500});
  EXPECT_TRUE(!worse.newRecord && worse.hadRecord && worse.message.empty());
  const RecordUpdate better = records.update(serpent, Difficulty::Normal, "Serpent", {true, 14, 8, 372.9});
  EXPECT_TRUE(better.newRecord && better.hadRecord);
  EXPECT_EQ(better.message, "New record on Serpent: won with 14 files in 6:12");
  // An edited file is another level; another difficulty is another record.
  EXPECT_EQ(records.find({"serpent.json", contentHash("serpent's bytes edited")}, Difficulty::Normal), nullptr);
  EXPECT_FALSE(records.update(serpent, Difficulty::Hard, "Serpent", {false, 0, 1, 9}).hadRecord);
  EXPECT_EQ(records.all().size(), 2u);
}

TEST(Records, FileReadBackAndBadFilesMovedAsideWithOneWarningNeverOverwriting) {
  ScratchDataHome home;
  const std::string path = recordsFilePath();
  ASSERT_EQ(path, (home.root / "varrow/records.json").string());
  std::ostringstream errors;
  EXPECT_EQ(loadRecordsFile(path, errors).records.all().size(), 0u);  // no file yet: nothing said
  Records records;
  records.update({"serpent.json", contentHash("a")}, Difficulty::Normal, "Serpent", {true, 14, 8, 372.25});
  records.update({"gates.json", contentHash("b")}, Difficulty::Hard, "Eight Gates", {false, 0, 3, 61.5});
  ASSERT_EQ(saveRecordsFile(path, records), "");
  const RecordsFile back = loadRecordsFile(path, errors);
  EXPECT_EQ(errors.str(), "");
  EXPECT_EQ(formatRecords(back.records), formatRecords(records));
  EXPECT_EQ(back.records.find({"gates.json", contentHash("b")}, Difficulty::Hard)->seconds, 61.5);

  const std::string good = readText(path);
  const std::string record = R"({"file": "a.json", "content": "0123456789abcdef", "difficulty": "Normal", )";
  const std::string bad[] = {
      "\x89garbage{{",
      R"([1, 2])",
      R"({"version": "1", "records": []})",
      R"({"version": 1, "records": {}})",
      R"({"version": 1, "records": [)" + record + R"("won": 1, "filesKept": 3, "wavesReached": 2, "seconds": 9}]})",
      R"({"version": 1, "records": [)" + record + R"("won": true, "filesKept": -3, "wavesReached": 2, "seconds": 9}]})",
      R"({"version": 1, "records": [)" + record + R"("won": true, "filesKept": 3, "wavesReached": 2, "seconds": "9"}]})",
      good.substr(0, good.size() / 2),
  };
  std::ofstream(path + ".bad") << "an earlier bad file";
  for (const std::string& text : bad) {
    std::ofstream(path) << text;
    std::ostringstream errors;
    const RecordsFile loaded = loadRecordsFile(path, errors);
    const std::string warning = errors.str();
    EXPECT_TRUE(loaded.records.all().empty() && loaded.saving) << text;
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
    EXPECT_NE(warning.find("moved to " + path + ".bad-2 and the game goes on without records"), std::string::npos)
        << warning;
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(readText(path + ".bad-2"), text);
    fs::remove(path + ".bad-2");
  }
  EXPECT_EQ(readText(path + ".bad"), "an earlier bad file");

  // A newer game's file is left alone and not saved over.
  std::ofstream(path) << R"({"version": 2, "records": "whatever comes"})";
  std::ostringstream warning;
  EXPECT_FALSE(loadRecordsFile(path, warning).saving);
  EXPECT_TRUE(fs::exists(path) && warning.str().find("version 2") != std::string::npos) << warning.str();
}

TEST(Records, ALostMatchReadOffTheWorld) {
  // The classic level without towers: every file taken, the waves the spawn points began by then.
  const std::vector<double> starts = classicLevel().waveStartTimes();
  MatchResult result;
  playWithoutTowers(classicLevel(), kCheckStep, [&result](const Game& world) {
    if (world.gameState == Running) return true;
    result = matchResultOf(world, matchClock);
    return false;
  });
  EXPECT_FALSE(result.won);
  EXPECT_EQ(result.filesKept, 0);
  EXPECT_EQ(result.seconds, matchClock.now());
  EXPECT_EQ(result.wavesReached, std::count_if(starts.begin(), starts.end(), [&](double t) { return t < result.seconds; }));
  EXPECT_EQ(wavesReached(starts, -1.0), 0);
  EXPECT_EQ(wavesBegun(2, 6, 0) + wavesBegun(2, 6, 1) + wavesBegun(6, 6, 0), 2 + 3 + 6);
}

TEST(LevelListing, PlayerFolderWithBadEntriesListedAfterTheShippedOnes) {
  struct Env {
    const char *xdg, *home;
    std::string folder;
  };
  for (const Env& e : {Env{"/d", "/h", "/d/varrow"}, Env{"", "/h", "/h/.local/share/varrow"},
                       Env{"rel", nullptr, ""}, Env{nullptr, nullptr, ""}})
    EXPECT_EQ(playerFolder(e.xdg, e.home), e.folder);

  ScratchDataHome home;
  std::ostringstream shippedOnly, errors;
  ASSERT_EQ(listLevels(shippedOnly, errors), 0);
  const fs::path levels = home.root / "varrow/levels";
  fs::create_directories(levels / "c-folder.json");
  fs::copy_file("levels/serpent.json", levels / "a-mine.json");
  std::ofstream(levels / "b-big.json") << std::string(2 << 20, ' ');
  fs::create_symlink("d-loop.json", levels / "d-loop.json");
  ASSERT_EQ(mkfifo((levels / "e-fifo.json").c_str(), 0644), 0);
  // Root reads any file whatever its mode; a read that fails is then the kernel's answer for /proc/self/mem.
  if (geteuid() == 0) {
    fs::create_symlink("/proc/self/mem", levels / "f-unreadable.json");
  } else {
    std::ofstream(levels / "f-unreadable.json") << "{}";
    fs::permissions(levels / "f-unreadable.json", fs::perms::none);
  }
  std::ofstream(levels / "notes.txt") << "not a level";

  std::ostringstream out;
  ASSERT_EQ(listLevels(out, errors), 0);
  EXPECT_EQ(errors.str(), "");
  // The shipped lines come first, as without a folder of the player's but for the columns' widths.
  EXPECT_EQ(squeezed(out.str()).rfind(squeezed(shippedOnly.str()), 0), 0u) << out.str();
  EXPECT_NE(out.str().find("Your levels in " + levels.string() + ":\na-mine.json "), std::string::npos) << out.str();

  LevelListing listing = levelListing();
  ASSERT_EQ(listing.entries.size(), 9u);
  std::vector<std::string> problems;
  for (const LevelEntry& entry : listing.entries)
    if (entry.players) problems.push_back(entry.problem);
  EXPECT_EQ(problems, (std::vector<std::string>{"", "is larger than 1048576 bytes, the most a level file may be",
                                                "is a folder, not a level file",
                                                "cannot read the file: Too many levels of symbolic links",
                                                "is not a regular file",
                                                geteuid() == 0 ? "cannot read the file: Input/output error"
                                                               : "cannot read the file: Permission denied"}));
  const LevelEntry mine = listing.entries[3];
  EXPECT_TRUE(mine.players && mine.playable && mine.name == "Serpent");
  // A copy of a shipped level has its bytes but not its records.
  EXPECT_EQ(mine.identity.content, listing.entries[2].identity.content);
  EXPECT_FALSE(mine.identity == listing.entries[2].identity);
  LaunchOptions options;
  options.level = "a-mine";
  options.levelFile = "/nowhere/a-mine";
  EXPECT_EQ(levelFileOf(options, errors), mine.path);

  // The file changes after it was listed: playing it reads what is there now, under a new identity.
  std::ofstream(mine.path, std::ios::app) << "\n";
  const LevelLoad changed = loadLevel(mine.path);
  EXPECT_TRUE(changed.problems.empty() && changed.identity.fileName == "a-mine.json" &&
              changed.identity.content != mine.identity.content);
  fs::remove(mine.path);
  EXPECT_EQ(loadLevel(mine.path).problems, std::vector<std::string>{"cannot read the file: No such file or directory"});

  // A folder of more level files than are listed: the first ones by name, and one warning.
  for (size_t i = 0; i < kMostPlayerLevels; ++i) fs::copy_file("levels/gates.json", levels / ("z" + std::to_string(i) + ".json"));
  listing = levelListing();
  EXPECT_EQ(listing.entries.size(), 3 + kMostPlayerLevels);
  EXPECT_EQ(listing.warnings, std::vector<std::string>{"varrow: only the first 1000 of the 1005 level files in " +
                                                       levels.string() + " are listed"});
}

}  // namespace
