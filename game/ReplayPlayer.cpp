// Re-playing a recorded match without a window: the level built as the level checker builds it, the
// commands applied through the same entry the keyboard and mouse use, the steps taken one by one.
#include "game/ReplayPlayer.h"

#include <cstdio>
#include <iostream>
#include <sstream>
#include <utility>

#include "game/Difficulty.h"
#include "game/Game.h"
#include "game/LevelFile.h"
#include "game/ReplayFeed.h"
#include "scene/File.h"
#include "scene/MatchClock.h"

namespace {

std::string describe(const ReplayOutcome& outcome) {
  char time[32];
  std::snprintf(time, sizeof time, "%.2f s", outcome.time);
  return std::string(gameStateName(outcome.state)) + ", " + time + ", " + std::to_string(outcome.files) +
         " files left, money " + std::to_string(outcome.money);
}

}  // namespace

ReplayOutcome outcomeOf(const Game& world) {
  int files = 0;
  for (auto& file : world.files) files += file->isIntact() ? 1 : 0;
  return ReplayOutcome{world.gameState, matchClock.now(), files, world.resources};
}

ReplayOutcome replayHeadless(const Replay& replay, const Level& level) {
  std::ostringstream sink;
  std::streambuf* console = std::cout.rdbuf(sink.rdbuf());
  // Silent too: a re-play in the window would fire every shot of the match at once.
  SoundSystem* sound = std::exchange(game.soundSystem, nullptr);
  game.level = level;
  // The reader has checked the difficulty's name.
  parseDifficulty(replay.difficulty, &game.difficulty);
  if (!game.map) game.createMap(0);
  game.newMatch();
  ReplayFeed feed(replay);
  feed.playAll();
  game.soundSystem = sound;
  std::cout.rdbuf(console);
  return outcomeOf(game);
}

int checkReplayFile(const std::string& path, std::ostream& out, std::ostream& errors) {
  const ReplayReading reading = readReplayFile(path);
  if (!reading.problem.empty()) {
    errors << "varrow: " << path << ": " << reading.problem << std::endl;
    return 2;
  }
  const Replay& replay = reading.replay;
  const Level level = readLevel(replay.levelText).level;
  const ReplayOutcome end = replayHeadless(replay, level);
  char time[32];
  std::snprintf(time, sizeof time, "%.2f s", end.time);
  out << "Level: " << level.name << "\n"
      << "Difficulty: " << replay.difficulty << "\n"
      << "Outcome: " << gameStateName(end.state) << "\n"
      << "Game time: " << time << "\n"
      << "Files left: " << end.files << "\n"
      << "Money: " << end.money << "\n"
      << "Recorded: " << (replay.outcome ? describe(*replay.outcome) : "nothing") << "\n";
  const bool same = replay.outcome && *replay.outcome == end;
  out << (same ? "Same as recorded" : "Not as recorded") << std::endl;
  return same ? 0 : 1;
}
