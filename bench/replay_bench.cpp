// What recording costs the frame and what a replay weighs: recording a long match's steps and commands, and a
// defended match of the classic level at 60 frames a second of a real clock, recorded as the game records it,
// with its file's size, its end (won, files left) and the time of its headless re-play.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "game/Game.h"
#include "game/LevelFile.h"
#include "game/MatchRecording.h"
#include "game/PlayerActions.h"
#include "game/Recorder.h"
#include "game/ReplayPlayer.h"
#include "input/Mouse.h"

namespace {

// Frame lengths of a 60 Hz display read from a nanosecond timer that counts from start-up: differences of
// two readings, about 1/60 s with a jitter of up to 0.2 ms, never two quite the same.
std::vector<double> realClockSteps(size_t count) {
  std::vector<double> steps;
  long long ns = 1'500'000'000;
  unsigned jitter = 12345;
  double last = static_cast<double>(ns) / 1e9;
  for (size_t i = 0; i < count; ++i) {
    jitter = jitter * 1103515245u + 12345u;
    ns += 16'666'667 + static_cast<long long>(jitter >> 16) % 400'000 - 200'000;
    const double now = static_cast<double>(ns) / 1e9;
    steps.push_back(now - last);
    last = now;
  }
  return steps;
}

std::string levelText() {
  std::ifstream in("levels/classic.json");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Plays the classic level on the game world as the game does, recorded as the game records it (Game::update
// hands it each step, applyCommand each command): the level tests' winning defence, 32 standard towers beside
// the four roads' last legs, each bought as soon as the money allows, every step a frame of the real clock.
Replay recordWonMatch(const Level& level) {
  std::ostringstream sink;
  std::streambuf* console = std::cout.rdbuf(sink.rdbuf());
  matchRecording.enable("", "");
  game.level = level;
  if (!game.map) game.createMap(0);
  game.newMatch();
  applyCommand(Command{CommandKind::ChooseTowerKind, 0});
  std::vector<glm::vec3> spots;
  for (float k = 0; k < 4; ++k)
    for (float side : {0.0f, 6.0f})
      spots.insert(spots.end(), {{28 - side, 0, -27 + 4 * k}, {27 - 4 * k, 0, -54 + side}, {51 + 4 * k, 0, -46 - side},
                                 {42 - side, 0, -27 + 4 * k}});
  size_t next = 0;
  for (double dt : realClockSteps(60 * 600)) {
    if (game.gameState != Running) break;
    // The next free spot beside a path whenever a standard tower is affordable.
    for (; game.resources >= 100 && next < spots.size(); ++next) {
      if (!onBuildArea(spots[next].x, spots[next].z) || !isBuildSpotFree(spots[next].x, spots[next].z)) continue;
      Command build{CommandKind::Build, 0};
      build.point = spots[next];
      applyCommand(build);
    }
    game.update(dt);
  }
  const Replay replay = matchRecording.replay();
  matchRecording.disable();
  std::cout.rdbuf(console);
  return replay;
}

void BM_RecordSteps(benchmark::State& state) {
  const std::vector<double> steps = realClockSteps(60 * 600);
  const Command build{CommandKind::Build, 0};
  for (auto _ : state) {
    Recorder recorder;
    recorder.begin("", "Normal");
    for (size_t i = 0; i < steps.size(); ++i) {
      if (i % 600 == 0) recorder.command(build);
      recorder.step(steps[i]);
    }
    benchmark::DoNotOptimize(recorder.replay().stepCount);
  }
  state.SetItemsProcessed(static_cast<int64_t>(steps.size()) * state.iterations());
}
BENCHMARK(BM_RecordSteps)->Unit(benchmark::kMillisecond);

void BM_ReplayWonClassicMatch(benchmark::State& state) {
  if (chdir(VARROW_RUN_DIR) != 0) std::perror(VARROW_RUN_DIR);
  const Level level = readLevel(levelText()).level;
  const Replay replay = recordWonMatch(level);
  bool same = true;
  for (auto _ : state) same = same && replayHeadless(replay, level) == *replay.outcome;
  if (!same) state.SkipWithError("the re-play did not end as the recording");
  state.counters["file_kB"] = replayFileText(replay).size() / 1000.0;
  state.counters["steps"] = static_cast<double>(replay.stepCount);
  state.counters["commands"] = static_cast<double>(replay.commands.size());
  state.counters["match_s"] = replay.outcome->time;
  state.counters["won"] = replay.outcome->state == Won ? 1 : 0;
  state.counters["files_left"] = replay.outcome->files;
}
BENCHMARK(BM_ReplayWonClassicMatch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
