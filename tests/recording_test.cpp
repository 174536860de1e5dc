// Recording and re-playing matches: match time as the sum of the steps, the replay file read back as written,
// every kind of bad file refused with its place, the replays folder, and the headless re-player and
// --check-replay against the level checker's match.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "CaptureStdout.h"
#include "GameProcess.h"
#include "WorldTest.h"
#include "app/Application.h"
#include "platform/FrameClock.h"
#include "config/CommandLine.h"
#include "game/LevelCheck.h"
#include "game/LevelFile.h"
#include "game/Recorder.h"
#include "game/Replay.h"
#include "game/ReplayPlayer.h"
#include "input/Keyboard.h"
#include "platform/Platform.h"
#include "scene/MatchClock.h"

namespace {

namespace fs = std::filesystem;

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

fs::path scratchFolder(const char* name) {
  const fs::path folder = fs::temp_directory_path() / (std::string(name) + "-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// A match of every command kind, steps at a steady rate, steps of a real clock (differences of readings in
// whole nanoseconds, nearly equal but never the same), a zero step and a long one.
Replay everyKindOfReplay() {
  Recorder recorder;
  recorder.begin(fileText("levels/serpent.json"), "Normal");
  for (int i = 0; i < 100; ++i) recorder.step(1.0 / 60.0);
  double last = 200.0;
  for (long long ns = 200'000'000'000; ns < 200'000'000'000 + 2'000'000'000LL; ns += 16'600'000 + (ns * 7919) % 90'000) {
    const double now = static_cast<double>(ns) / 1e9;
    recorder.step(now - last);
    last = now;
  }
  recorder.step(0.0);
  recorder.step(600.0);
  for (int k = 0; k <= static_cast<int>(kLastCommandKind); ++k) {
    // Each kind with the values it carries.
    Command c{static_cast<CommandKind>(k)};
    if (c.kind == CommandKind::Build || c.kind == CommandKind::ChooseTowerKind) c.towerKind = k % 3;
    if (c.kind == CommandKind::Build || c.kind == CommandKind::Select) c.point = glm::vec3(10.5f + k, 0.0f, -20.25f);
    if (c.kind == CommandKind::Select) c.direction = glm::vec3(0.1f, -1.0f, -0.3f * k);
    recorder.command(c);
    recorder.step(1.0 / 30.0);
  }
  recorder.finish(ReplayOutcome{Won, 1234.5678, 11, 4350});
  return recorder.replay();
}

std::string problemOf(const std::string& bytes) { return readReplay(bytes).problem; }

// The file with its header changed by `change`; the body as it was.
std::string withHeader(const std::string& bytes, const std::function<void(nlohmann::json&)>& change) {
  const size_t end = bytes.find('\n');
  nlohmann::json header = nlohmann::json::parse(bytes.substr(0, end));
  change(header);
  return header.dump() + bytes.substr(end);
}

}  // namespace

TEST_F(WorldTest, MatchTimeIsTheSumOfTheStepsWhateverThePlatformClockDoes) {
  CaptureStdout quiet;
  auto frames = [](int count, double dt) {
    for (int i = 0; i < count; ++i) platform::advanceTime(dt), updateFrame();
  };
  frames(3000, 1.0 / 60.0);
  EXPECT_EQ(matchClock.now(), platform::getTime()) << "at normal speed the steps add up to the manual clock exactly";

  // In steps that add up exactly: twice the steps at x2, none in a pause, and the short step after it.
  platform::setTime(0.0);
  frameClock.lastFrameTime = 0.0;
  matchClock.jumpTo(0.0);
  frames(64, 1.0 / 64);
  onKey('F', platform::PRESS);
  frames(64, 1.0 / 64);
  EXPECT_EQ(std::pair(matchClock.now(), platform::getTime()), std::pair(3.0, 2.0));
  onKey('P', platform::PRESS);
  frames(600, 1.0 / 8);
  EXPECT_EQ(matchClock.now(), 3.0);
  onKey('P', platform::PRESS);
  frames(1, 1.0 / 32);
  EXPECT_EQ(matchClock.now(), 3.0 + 2.0 / 32);
}

TEST(ReplayFile, WhatTheWriterWritesTheReaderReadsBackBitForBit) {
  const Replay written = everyKindOfReplay();
  const fs::path folder = scratchFolder("varrow-replay-roundtrip");
  const std::string path = (folder / "sub" / "a.varrow-replay").string();
  ASSERT_EQ(writeReplayFile(path, written), "");
  EXPECT_FALSE(fs::exists(path + ".new"));
  const ReplayReading read = readReplayFile(path);
  ASSERT_EQ(read.problem, "");
  const Replay& r = read.replay;
  EXPECT_EQ(std::tie(r.levelText, r.difficulty, r.gameVersion, r.stepCount),
            std::tie(written.levelText, written.difficulty, written.gameVersion, written.stepCount));
  EXPECT_EQ(r.gameVersion, versionText().substr(std::string("Varrow ").size()));
  ASSERT_EQ(r.steps.size(), written.steps.size());
  EXPECT_LT(written.steps.size(), written.stepCount) << "steady steps share one run";
  for (size_t i = 0; i < r.steps.size(); ++i)
    EXPECT_TRUE(std::memcmp(&r.steps[i], &written.steps[i], sizeof(StepRun)) == 0) << "run " << i;
  ASSERT_EQ(r.commands.size(), written.commands.size());
  EXPECT_LT(r.commands.size(), size_t(kLastCommandKind) + 1) << "view switches are not recorded";
  for (size_t i = 0; i < r.commands.size(); ++i) {
    const RecordedCommand &a = r.commands[i], &b = written.commands[i];
    EXPECT_EQ(std::tie(a.beforeStep, a.command.kind, a.command.towerKind, a.command.point, a.command.direction),
              std::tie(b.beforeStep, b.command.kind, b.command.towerKind, b.command.point, b.command.direction));
  }
  EXPECT_TRUE(r.outcome && *r.outcome == *written.outcome);
  fs::remove_all(folder);
}

TEST(ReplayFile, BadFilesAreRefusedWithThePlaceNamed) {
  const Replay good = everyKindOfReplay();
  const std::string bytes = replayFileText(good);
  ASSERT_EQ(problemOf(bytes), "");
  std::string corrupted = bytes;
  corrupted[corrupted.size() - 20] ^= 0x10;
  Replay outOfOrder = good, pastTheEnd = good, badLevel = good;
  std::swap(outOfOrder.commands[1].beforeStep, outOfOrder.commands[2].beforeStep);
  pastTheEnd.commands.back().beforeStep = good.stepCount + 1;
  badLevel.levelText = R"({"name": "B", "description": "", "money": -5, "spawnPoints": []})";

  const std::pair<std::string, const char*> cases[] = {
      {"", "header: no end of line"},
      {bytes.substr(0, bytes.find('\n')), "header: no end of line"},
      {bytes.substr(0, bytes.size() - 1), "body: cut short: "},
      {bytes + "x", "body: 1 bytes after its end"},
      {corrupted, "body: corrupted"},
      {"PK\x03\x04 zip\n", "header: not a JSON object"},
      {withHeader(bytes, [](nlohmann::json& h) { h["format"] = "other"; }), "header: format is not"},
      {withHeader(bytes, [](nlohmann::json& h) { h["version"] = 2; }), "header: version 2 is newer than this game reads (1)"},
      {withHeader(bytes, [](nlohmann::json& h) { h["version"] = 0; }), "header: version is missing or unknown"},
      {withHeader(bytes, [](nlohmann::json& h) { h.erase("level"); }), "header: level is missing"},
      {withHeader(bytes, [](nlohmann::json& h) { h["steps"] = replayLimits::kSteps + 1; }), "header: steps 67108865 is more than"},
      {withHeader(bytes, [](nlohmann::json& h) { h["commands"] = -1; }), "header: commands is missing or not a whole number"},
      {withHeader(bytes, [](nlohmann::json& h) { h["steps"] = h["steps"].get<int>() - 1; }), "a count past the header's step count"},
      {withHeader(bytes, [](nlohmann::json& h) { h["outcome"]["state"] = "Drawn"; }), "header: outcome.state"},
      {withHeader(bytes, [](nlohmann::json& h) { h["difficulty"] = "Brutal"; }), "header: difficulty is not Easy, Normal or Hard"},
      {replayFileText(outOfOrder), "command 3 (byte "},
      {replayFileText(pastTheEnd), ", past the last step"},
      {replayFileText(badLevel), "level: money: -5 is negative"},
      {std::string(replayLimits::kFileBytes + 1, ' '), "file: 67108865 bytes, more than the 67108864"},
  };
  for (const auto& [file, problem] : cases) EXPECT_NE(problemOf(file).find(problem), std::string::npos) << problem << " / " << problemOf(file);
  EXPECT_NE(problemOf(replayFileText(outOfOrder)).find(": out of order"), std::string::npos);
  // A view switch has no byte of its own: the reader refuses the kind.
  Replay withView = good;
  withView.commands.push_back(RecordedCommand{good.stepCount, Command{CommandKind::Wireframe}});
  EXPECT_NE(problemOf(replayFileText(withView)).find("is no command of the match"), std::string::npos);
}

TEST(ReplayFolder, NamedByDateAndLevelTheNewestFiftyKeptUnderTheXdgFolders) {
  EXPECT_EQ(std::tuple(replayFolder("/d", "/h"), replayFolder("", "/h"), replayFolder("rel", nullptr),
                       lastMatchPath("/s", "/h"), lastMatchPath(nullptr, "/h"), lastMatchPath("", "")),
            std::tuple(std::string("/d/varrow/replays"), std::string("/h/.local/share/varrow/replays"), std::string(),
                       std::string("/s/varrow/last-match"), std::string("/h/.local/state/varrow/last-match"),
                       std::string()));
  std::tm when{};
  when.tm_year = 126, when.tm_mon = 11, when.tm_mday = 8, when.tm_hour = 21, when.tm_min = 4, when.tm_sec = 5;
  when.tm_isdst = -1;
  const std::time_t t = std::mktime(&when);
  EXPECT_EQ(replayFileName(t, "Serpent"), "2026-12-08-21-04-05-serpent.varrow-replay");
  EXPECT_EQ(replayFileName(t, " Eight Gates!"), "2026-12-08-21-04-05-eight-gates.varrow-replay");

  const fs::path folder = scratchFolder("varrow-replays");
  const Replay replay = everyKindOfReplay();
  for (int i = 0; i < 52; ++i) ASSERT_EQ(saveReplay(replay, folder.string(), "Serpent", t + 60 * (i / 2)), "");
  std::vector<std::string> names;
  for (auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), kKeptReplays);
  EXPECT_EQ(names.front().substr(0, 19), "2026-12-08-21-05-05") << "the two oldest are gone";
  EXPECT_EQ(names.back(), "2026-12-08-21-29-05-serpent.varrow-replay") << "the same second keeps both";
  EXPECT_EQ(readReplayFile((folder / names.back()).string()).problem, "");
  fs::remove_all(folder);
}

// Needs applyCommand, the game's one entry for commands.
TEST(ReplayPlayer, AReplayWithoutTowersEndsAsTheLevelCheckersMatchAndTheBinaryChecksIt) {
  const std::string text = fileText("levels/classic.json");
  const Level level = readLevel(text).level;
  const LevelCheck check = checkLevel(level);
  Replay replay;
  replay.levelText = text;
  for (int i = 0; i < check.updates + 100; ++i) replay.addStep(kCheckStep);
  replay.addStep(0.5);
  replay.outcome = replayHeadless(replay, level);
  double sum = 0.0;
  for (int i = 0; i < check.updates; ++i) sum += kCheckStep;
  EXPECT_EQ(*replay.outcome, (ReplayOutcome{Lost, sum, 0, 0})) << "the steps after the loss are not taken";

  const fs::path folder = scratchFolder("varrow-check-replay");
  const std::string path = (folder / "lost.varrow-replay").string();
  ASSERT_EQ(writeReplayFile(path, replay), "");
  const std::string varrow = "env -u DISPLAY " VARROW_RUN_DIR "/varrow --check-replay ";
  EXPECT_EQ(runCommand(varrow + path + " 2>&1; echo $?"),
            "Level: Classic\nDifficulty: Normal\nOutcome: Lost\nGame time: 55.95 s\nFiles left: 0\nMoney: 0\n"
            "Recorded: Lost, 55.95 s, 0 files left, money 0\nSame as recorded\n0\n");
  replay.outcome->money = 100;
  ASSERT_EQ(writeReplayFile(path, replay), "");
  const std::string differs = runCommand(varrow + path + " 2>&1; echo $?");
  EXPECT_NE(differs.find("Not as recorded\n1\n"), std::string::npos) << differs;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << replayFileText(replay).substr(0, 100);
  EXPECT_EQ(runCommand(varrow + path + " 2>&1; echo $?"), "varrow: " + path + ": header: no end of line: the file is cut short or no replay\n2\n");
  fs::remove_all(folder);
}
