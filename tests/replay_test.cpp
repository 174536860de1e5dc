// Play again, fast-forward and the command line: a new match after the end, the game speed on the match
// clock, a lost match at 4x in a quarter of the frames, the option parser (over the settings file) and the
// binary's answer to options.
#include <gtest/gtest.h>

#include <cmath>

#include <filesystem>

#include "CaptureStdout.h"
#include "GameProcess.h"
#include "WorldTest.h"
#include "app/Application.h"
#include "config/CommandLine.h"
#include "platform/FrameClock.h"
#include "config/Settings.h"
#include "scene/MatchClock.h"
#include "input/Keyboard.h"
#include "platform/Platform.h"
#include "scene/SpawnPoint.h"

namespace {

namespace fs = std::filesystem;

TEST_F(WorldTest, ReplayFSpeedsUpOnlyTheMatchAndRPlaysAgainOnlyAfterTheEnd) {
  soundForceSilent(true);
  g.initSound();
  auto frames = [&](int count, double dt) {
    for (int i = 0; i < count && g.gameState == Running; ++i) platform::advanceTime(dt), updateFrame();
  };
  addTower("tris", 20.0f, -12.0f);
  CaptureStdout out;
  for (const char* text : {"Speed: x2", "Speed: x4", "Speed: x8", "Speed: x1", "Speed: x2", "Speed: x4"}) {
    onKey('F', platform::PRESS);
    EXPECT_STREQ(g.screenMessage.text, text);
  }
  for (int key : {'R', 'P', 'R', 'P'}) onKey(key, platform::PRESS);
  EXPECT_EQ(out.text(), "Speed: x2\nSpeed: x4\nSpeed: x8\nSpeed: x1\nSpeed: x2\nSpeed: x4\nPause mode: true\nPause mode: false\n");

  // 1.1 s at 4x: the match is 4.4 s on, while the frame rate (first sampled in this fresh process) keeps real time.
  frames(11, 0.1);
  EXPECT_NEAR(matchClock.now(), 4.4, 1e-9);
  EXPECT_NEAR(frameClock.framesPerSecond, 10.0, 1e-6);

  frames(100000, 1.0 / 30.0);
  ASSERT_EQ(g.gameState, Lost);
  addEnemy("cube_w", 1.0f, -1.0f, nullptr, 0);
  g.musicStep();  // the end tune starts
  g.useVbo = g.frustumCulling = true;
  g.minFilter = g.magFilter = GL_NEAREST;
  g.superGlowReadyTime = 999.0;
  out.clear();
  onKey('R', platform::PRESS);
  EXPECT_EQ(out.text(), "[GAME STATUS]: NEW GAME\n");
  EXPECT_STREQ(g.screenMessage.text, "[GAME STATUS]: NEW GAME");
  // State, money, towers, enemies, files and taken files, SuperGlow, match clock, speed and the paths' width
  // (no SuperGlow pulse), as at start-up.
  EXPECT_EQ(std::make_tuple(g.gameState, g.resources, g.towers.size(), g.enemies.size(), g.files.size(), takenFiles(),
                            g.superGlowReadyTime, matchClock.now(), matchClock.speed(),
                            pathLineWidth(g.spawnPoints.back()->pulseTime, matchClock.now())),
            std::make_tuple(int{Running}, 1000, size_t{0}, size_t{0}, size_t{16}, 0, 325.0, 0.0, 1, 3.0f));
  EXPECT_TRUE(g.useVbo && g.frustumCulling && !g.selectedTower && g.spawnPoints.back()->material.minFilter == GL_NEAREST);
  SoundBool endPlaying = 1, musicPlaying = 0;
  soundChannelIsPlaying(g.endChannel, &endPlaying);
  g.musicStep();
  soundChannelIsPlaying(g.musicChannel, &musicPlaying);
  EXPECT_TRUE(!endPlaying && musicPlaying);
  frames(29, 0.1);
  EXPECT_TRUE(g.enemies.empty()) << "the first wave comes again at 3 s";
  frames(2, 0.1);
  EXPECT_EQ(g.enemies.size(), 4u);
}

TEST_F(WorldTest, AMatchWithoutTowersIsLostAtTheSameUpdateAtEverySpeedInThatShareOfTheFrames) {
  const int speeds[4] = {1, 2, 4, 8};
  int frames[4] = {};  // a match not lost in 200 s fails the comparison
  long long updates[4] = {};
  for (int run = 0; run < 4; ++run) {
    clearWorld(g);
    buildWorld(g);
    g.gameState = Running;
    platform::setTime(0.0);
    matchClock = MatchClock();
    matchClock.setSpeed(speeds[run]);
    for (; frames[run] < 200 * 60 && g.gameState == Running; ++frames[run])
      platform::advanceTime(1.0 / 60), g.advance(1.0 / 60);
    updates[run] = std::llround(matchClock.now() * 60);
  }
  matchClock = MatchClock();
  // Every speed takes the same steps of 1/60 s, so the match ends at the same update, in that share of the frames.
  for (int run = 1; run < 4; ++run) {
    EXPECT_EQ(updates[run], updates[0]) << "x" << speeds[run];
    EXPECT_NEAR(frames[run], double(frames[0]) / speeds[run], 1.0) << "x" << speeds[run];
  }
}

// The options as the parser read them: action, size, switches and the error line.
std::string parsed(const std::vector<std::string>& args) {
  const LaunchOptions o = parseCommandLine(args);
  return std::to_string(static_cast<int>(o.action)) + " " + std::to_string(o.width) + "x" +
         std::to_string(o.height) + (o.fullscreen ? " full" : "") + (o.mute ? " mute" : "") +
         (o.quality ? std::string(" ") + qualityName(*o.quality) : "") + (o.noVsync ? " no-vsync" : "") +
         (o.difficulty ? std::string(" ") + difficultyName(*o.difficulty) : "") +
         (o.dataDir.empty() ? "" : " data " + o.dataDir) +
         (o.level.empty() ? "" : " level " + o.level + " " + o.levelFile) + " " + o.error;
}

TEST(ReplayOptions, TheParserTakesEachOptionAndNamesTheFirstBadOneAndTheBinaryStopsBeforeTheWindow) {
  const std::pair<std::vector<std::string>, std::string> table[] = {
      {{"--mute", "--size", "1x16384", "--fullscreen", "--size", "1280x720"}, "0 1280x720 full mute "},
      {{"--help", "--bogus"}, "1 0x0 "},
      {{"--mute", "--version"}, "2 0x0 mute "},
      {{"--fullscreen", "--size"}, "3 0x0 varrow: --size needs a value WIDTHxHEIGHT, for example 1280x720"},
      {{"--bogus", "--help"}, "3 0x0 varrow: unknown option '--bogus'"},
      {{"--data", "a/../b", "--data=/c//d/", "--mute"}, "0 0x0 mute data /c/d/ "},
      {{"--data", "a/./b"}, "0 0x0 data " + fs::current_path().string() + "/a/b "},
      {{"--mute", "--data"}, "3 0x0 varrow: --data needs a value DIR"},
      {{"x", "--size", "1", "--data"}, "3 0x0 varrow: unknown option 'x'"},
      {{"--level", "my.json", "--mute"}, "0 0x0 mute level my.json " + fs::current_path().string() + "/my.json "},
      {{"--list-levels", "--data", "/d"}, "4 0x0 data /d "},
      {{"--level", "a", "--check-level", "/b/../c.json"}, "5 0x0 level /b/../c.json /c.json "},
      {{"--level", ""}, "3 0x0 varrow: --level: the level's name is empty"},
      {{"--quality", "low", "--no-vsync", "--quality=Medium"}, "0 0x0 medium no-vsync "},
      {{"--quality", "ultra", "--mute"}, "3 0x0 varrow: --quality: 'ultra' is not high, medium or low"},
      {{"--quality"}, "3 0x0 varrow: --quality needs a value LEVEL: high, medium or low"},
      {{"--difficulty", "easy", "--difficulty=HARD"}, "0 0x0 hard "},
      {{"--difficulty", "medium"}, "3 0x0 varrow: --difficulty: 'medium' is not easy, normal or hard"},
      {{"--difficulty"}, "3 0x0 varrow: --difficulty needs a value LEVEL: easy, normal or hard"},
  };
  for (const auto& row : table) EXPECT_EQ(parsed(row.first), row.second) << row.second;
  for (std::string bad : {"1280", "1280x", "x720", "0x720", "1280x0", "16385x720", "1280x-720", "+1280x720",
                          "12a0x720", "1280x720x2", "1280X720", "001280x720", "99999999999x1", ""})
    EXPECT_EQ(parsed({"--size", bad}), "3 0x0 varrow: --size: '" + bad + "' is not WIDTHxHEIGHT (sides 1 to 16384)");

  // The command line over the settings file, for what it names only.
  Settings file;
  file.width = 1600, file.height = 900, file.musicVolume = 30;
  applyQuality(file, Quality::Low);
  Settings want = file;
  want.width = 1280, want.height = 720, want.vsync = false, want.difficulty = Difficulty::Easy;
  applyQuality(want, Quality::High);
  EXPECT_TRUE(applyCommandLine(file, parseCommandLine({"--quality", "high", "--size", "1280x720", "--no-vsync",
                                                        "--difficulty", "easy"})) == want);
  EXPECT_TRUE(applyCommandLine(file, parseCommandLine({"--mute"})) == file);

  const std::string varrow = "cd " VARROW_RUN_DIR " && env -u DISPLAY ./varrow ";
  EXPECT_EQ(runCommand(varrow + "--help 2>&1; echo $?"), usageText() + "0\n");
  EXPECT_EQ(runCommand(varrow + "-x 2>&1 >/dev/null; echo $?"), "varrow: unknown option '-x'\n" + usageText() + "2\n");
}

}  // namespace
