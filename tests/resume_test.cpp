// The live recording and what is built on it: a re-play gives the world of the original field by field for
// every command kind at every speed; quitting saves the match and the next start resumes it exactly or starts
// anew; a bad saved match is moved aside; watching a replay drives the match with its steps alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CaptureStdout.h"
#include "GameProcess.h"
#include "MatchFields.h"
#include "WorldTest.h"
#include "app/Application.h"
#include "app/InputRouter.h"
#include "app/ReplayWatch.h"
#include "app/ResumeScreen.h"
#include "game/LevelFile.h"
#include "input/Mouse.h"
#include "game/MatchRecording.h"
#include "game/PlayerActions.h"
#include "game/ReplayPlayer.h"
#include "platform/Platform.h"
#include "scene/MatchClock.h"
#include "scene/Tower.h"

namespace {

namespace fs = std::filesystem;

fs::path scratchFolder(const char* name) {
  const fs::path folder = fs::temp_directory_path() / (std::string(name) + "-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// Frames of the main loop of about 1/60 s with the jitter of a real clock, never two the same.
void frames(int count, unsigned* seed) {
  for (int i = 0; i < count && game.gameState != Won && game.gameState != Lost; ++i) {
    *seed = *seed * 1103515245u + 12345u;
    platform::advanceTime(1.0 / 60.0 + ((*seed >> 16) % 400) * 1e-6 - 2e-4);
    updateFrame();
  }
}

Command at(CommandKind kind, glm::vec3 point, int towerKind = -1) {
  Command c{kind, towerKind};
  c.point = point;
  return c;
}

// A match with every kind of command, the player's and the view's, at the given speed, defended to be won as
// the benchmark defends it; after each part the recording so far and the world it led to are kept.
void playEveryCommand(int speed, std::vector<std::pair<Replay, MatchFields>>* checkpoints) {
  unsigned seed = 77u * speed;
  // P after the end sets a finished match running again, past its recording, which ended with it.
  auto keep = [&] {
    if (matchRecording.recording()) checkpoints->emplace_back(matchRecording.replay(), matchFields(game));
  };
  // Beside the middle, then both ends, of every leg of every path.
  std::vector<glm::vec3> spots;
  for (float along : {0.5f, 0.2f, 0.8f})
    for (const LevelSpawnPoint& sp : game.level.spawnPoints)
      for (size_t leg = 0; leg + 1 < sp.path.size(); ++leg) {
        const Waypoint a = sp.path[leg], b = sp.path[leg + 1];
        const float x = a.x + along * (b.x - a.x), z = a.z + along * (b.z - a.z);
        for (float side : {4.0f, -4.0f})
          spots.push_back(a.z == b.z ? glm::vec3(x, 0.0f, z + side) : glm::vec3(x + side, 0.0f, z));
      }
  size_t next = 0;
  // Frames until the match time, a tower bought at the next free spot whenever one is affordable (once a
  // sniper tower).
  auto defendUntil = [&](double seconds) {
    while (game.gameState == Running && matchClock.now() < seconds) {
      for (; game.resources >= 100 && next < spots.size(); ++next) {
        if (!onBuildArea(spots[next].x, spots[next].z) || !isBuildSpotFree(spots[next].x, spots[next].z)) continue;
        const int kind = next == 9 && game.resources >= 250 ? 1 : 0;
        applyCommand(Command{CommandKind::ChooseTowerKind, kind});
        applyCommand(at(CommandKind::Build, spots[next], kind));
      }
      frames(20, &seed);
    }
  };
  while (matchClock.speed() != speed) applyCommand(Command{CommandKind::Speed});
  applyCommand(Command{CommandKind::SuperGlow});  // not ready: refused, and so not recorded
  defendUntil(60.0);
  applyCommand(at(CommandKind::Build, spots[0], 0));  // a taken spot
  keep();
  applyCommand(Command{CommandKind::SelectionTool});
  applyCommand(Command{CommandKind::Spectator});
  for (size_t k = 0; k < 12; k += 5) {
    Command select = at(CommandKind::Select, spots[k] + glm::vec3(0.0f, 30.0f, 0.0f));
    select.direction = glm::vec3(0.0f, -1.0f, 0.0f);
    applyCommand(select);
    applyCommand(Command{CommandKind::Upgrade});
    applyCommand(Command{CommandKind::CycleTargeting});
    defendUntil(matchClock.now() + 10.0);
  }
  applyCommand(Command{CommandKind::Sell});
  applyCommand(Command{CommandKind::Wireframe});
  defendUntil(200.0);
  keep();
  applyCommand(Command{CommandKind::Pause});
  applyCommand(Command{CommandKind::CallWave});  // refused while paused
  frames(50, &seed);
  applyCommand(Command{CommandKind::Pause});
  applyCommand(Command{CommandKind::CallWave});
  defendUntil(330.0);
  applyCommand(Command{CommandKind::Pause});
  applyCommand(Command{CommandKind::SuperGlow});  // refused while paused
  applyCommand(Command{CommandKind::Pause});
  applyCommand(Command{CommandKind::SuperGlow});
  applyCommand(Command{CommandKind::PlayAgain});  // refused while the match runs
  frames(100, &seed);
  keep();
  defendUntil(1e9);
  checkpoints->emplace_back(matchRecording.replay(), matchFields(game));
}

TEST_F(WorldTest, ReplayingARecordingGivesTheOriginalsWorldFieldByFieldForEveryCommandKindAtEverySpeed) {
  CaptureStdout quiet;
  matchRecording.enable("", "");
  for (int speed : {1, 2, 4, 8}) {
    game.newMatch();
    std::vector<std::pair<Replay, MatchFields>> checkpoints;
    playEveryCommand(speed, &checkpoints);
    EXPECT_TRUE(game.gameState == Won || game.gameState == Lost);
    ASSERT_TRUE(matchRecording.replay().outcome);
    EXPECT_EQ(*matchRecording.replay().outcome, outcomeOf(game));
    for (auto& [replay, fields] : checkpoints) {
      replayHeadless(replay, readLevel(replay.levelText).level);
      EXPECT_EQ(firstDifference(fields, matchFields(game)), "")
          << "x" << speed << " after " << replay.stepCount << " steps";
    }
    const auto& kinds = checkpoints.back().first.commands;
    for (CommandKind kept : {CommandKind::SuperGlow, CommandKind::CallWave})
      EXPECT_EQ(std::count_if(kinds.begin(), kinds.end(), [&](auto& c) { return c.command.kind == kept; }), 1);
  }
  matchRecording.disable();
}

TEST_F(WorldTest, QuittingKeepsTheMatchTheNextStartResumesItExactlyOrStartsAnewAndABadFileIsMovedAside) {
  CaptureStdout out;
  const fs::path folder = scratchFolder("varrow-resume");
  const std::string lastMatch = (folder / "state/last-match").string();
  matchRecording.enable((folder / "replays").string(), lastMatch);
  inputRouter.addScreen(&resumeScreen);
  unsigned seed = 5;
  auto quitAndStartAgain = [&] {
    matchRecording.quit(game);
    game.level = classicLevel();
    game.newMatch();
    return resumeScreen.offer(lastMatch);
  };

  // Nothing done, nothing kept.
  frames(100, &seed);
  EXPECT_FALSE(quitAndStartAgain());
  EXPECT_FALSE(fs::exists(lastMatch));

  game.level = readLevelFile("levels/serpent.json").level;
  game.newMatch();
  applyCommand(at(CommandKind::Build, {20.0f, 0.0f, -8.0f}, 1));
  frames(1500, &seed);
  const MatchFields left = matchFields(game);
  const ReplayOutcome outcome = outcomeOf(game);
  ASSERT_TRUE(quitAndStartAgain());
  EXPECT_EQ(resumeScreen.line(), resumeLine("Serpent", outcome.time, outcome.files));
  EXPECT_EQ(firstDifference(left, matchFields(game)), "");
  // Keys go to the prompt first, and only Enter and N answer it.
  routeKey('F', platform::PRESS);
  routeKey(platform::KEY_ESC, platform::PRESS);
  EXPECT_TRUE(resumeScreen.isOpen());
  EXPECT_EQ(matchClock.speed(), 1);
  routeKey(platform::KEY_ENTER, platform::PRESS);
  EXPECT_FALSE(resumeScreen.isOpen());
  frames(60, &seed);
  const MatchFields goneOn = matchFields(game);
  ASSERT_TRUE(quitAndStartAgain()) << "the recording went on from the resumed match";
  EXPECT_EQ(firstDifference(goneOn, matchFields(game)), "");
  routeKey('N', platform::PRESS);
  EXPECT_FALSE(resumeScreen.isOpen());
  EXPECT_FALSE(fs::exists(lastMatch));
  EXPECT_EQ(std::make_tuple(game.level.name, game.resources, game.towers.size(), matchClock.now()),
            std::make_tuple(std::string("Classic"), 1000, size_t{0}, 0.0));

  // A file that does not load is moved aside to a free name, with one warning, and the game starts as usual.
  for (const char* aside : {"last-match.bad", "last-match.bad-2"}) {
    std::ofstream(lastMatch) << "not a replay";
    std::ostringstream errors;
    std::streambuf* saved = std::cerr.rdbuf(errors.rdbuf());
    const bool offered = resumeScreen.offer(lastMatch);
    std::cerr.rdbuf(saved);
    EXPECT_FALSE(offered);
    const std::string warning = errors.str();
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
    EXPECT_NE(warning.find(lastMatch + ": header"), std::string::npos) << warning;
    EXPECT_TRUE(fs::exists(folder / "state" / aside));
    EXPECT_FALSE(fs::exists(lastMatch));
  }

  // A match played to its end leaves a replay and no match to resume.
  applyCommand(Command{CommandKind::ChooseTowerKind, 0});
  frames(100000, &seed);
  ASSERT_EQ(game.gameState, Lost);
  EXPECT_FALSE(quitAndStartAgain());
  int replays = 0;
  for (auto& entry : fs::directory_iterator(folder / "replays")) {
    const ReplayReading reading = readReplayFile(entry.path().string());
    EXPECT_EQ(reading.problem, "");
    EXPECT_EQ(reading.replay.outcome->state, Lost);
    ++replays;
  }
  EXPECT_EQ(replays, 1);
  matchRecording.disable();
  fs::remove_all(folder);
}

TEST_F(WorldTest, AWatchedReplayIsDrivenByItsStepsWhateverTheFramesAndThePlayersCommandsAreIgnored) {
  CaptureStdout quiet;
  matchRecording.enable("", "");
  game.newMatch();
  unsigned seed = 9;
  std::vector<std::pair<Replay, MatchFields>> checkpoints;
  playEveryCommand(2, &checkpoints);
  const Replay replay = checkpoints.back().first;
  matchRecording.disable();

  game.newMatch();
  replayWatch.start(replay, "Classic");
  inputRouter.watchOnly(true);
  // Frames of another length than the recording's, a speed-up and a pause on the way, and the player's
  // attempts to change the match.
  routeKey('F', platform::PRESS);
  for (int i = 0; i < 2000; ++i) platform::advanceTime(1.0 / 24.0), updateFrame();
  routeKey('P', platform::PRESS);
  const double paused = matchClock.now();
  for (int key : {'R', 'F'}) routeKey(key, platform::PRESS);
  platform::injectCursor(500, 300);
  routeMouseButton(platform::MOUSE_BUTTON_LEFT, platform::PRESS);
  for (int i = 0; i < 100; ++i) platform::advanceTime(1.0 / 24.0), updateFrame();
  EXPECT_EQ(matchClock.now(), paused);
  routeKey('P', platform::PRESS);
  frames(100000, &seed);
  EXPECT_EQ(firstDifference(checkpoints.back().second, matchFields(game)), "");
  inputRouter.watchOnly(false);
  replayWatch.stop();

  // A file that cannot be read: status 2 and its place, no window.
  EXPECT_EQ(runCommand("env -u DISPLAY " VARROW_RUN_DIR "/varrow --replay /nonexistent 2>&1; echo $?"),
            "varrow: /nonexistent: file: cannot be read\n2\n");
}

}  // namespace
