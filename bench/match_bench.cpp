// Cost of the game step over whole matches of the built-in level, played headless at 60 updates per
// simulated second: once with no defence (lost after about a minute) and once with towers bought at the
// path corners whenever money allows (won after the last wave). Also reports the process's peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "render/Light.h"
#include "render/ShaderPrograms.h"
#include "render/TextureCatalogue.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "scene/MatchClock.h"
#include "scene/File.h"

namespace {

constexpr double kUpdateStep = 1.0 / 60.0;
constexpr double kMatchLimit = 600.0;

// Corners of the four paths where a cluster of towers covers two legs at once.
const float kDefenceSpots[8][2] = {
    {23.0f, -12.0f}, {15.0f, -75.0f}, {75.0f, -51.0f}, {53.0f, -3.0f},
    {23.0f, -37.0f}, {19.0f, -53.0f}, {50.0f, -51.0f}, {49.0f, -17.0f},
};

// The objects keep their geometry in GL buffers, so a context must exist; the window stays hidden.
bool openContext() {
  static bool ready = false;
  if (ready) return true;
  if (chdir(VARROW_RUN_DIR) != 0) std::perror(VARROW_RUN_DIR);
  if (!std::getenv("DISPLAY") || !platform::init() || !platform::openWindow(1024, 768, 24, 8, false) ||
      glewInit() != GLEW_OK)
    return false;
  ready = true;
  return true;
}

struct MatchResult {
  long long updates = 0;
  double seconds = 0.0;  // wall time spent inside Game::update
  int state = Running;
  int towers = 0;
  int intactFiles = 0;
};

// Plays one match the way the game's frame does: the clock moves, then the game steps once.
MatchResult playMatch(bool defend) {
  Game g;
  platform::useManualClock(true);
  platform::setTime(0.0);
  matchClock.restart();
  g.activeTextures = textures.textureTable;
  g.createMap(0);
  g.buildLevel();
  g.createFiles();

  // The console lines of the match (kills, builds) are formatted as usual but not written out.
  std::ostringstream sink;
  std::streambuf* console = std::cout.rdbuf(sink.rdbuf());
  MatchResult r;
  int nextSpot = 0;
  const long long limit = static_cast<long long>(kMatchLimit / kUpdateStep);
  while (r.updates < limit && g.gameState == Running) {
    platform::advanceTime(kUpdateStep);
    while (defend && g.resources >= 100) {
      const float* spot = kDefenceSpots[nextSpot % 8];
      float offset = static_cast<float>((nextSpot / 8) % 3) - 1.0f;
      g.buildTower("tris", spot[0] + offset, spot[1] - offset, 0, 0, 0);
      ++nextSpot;
    }
    auto start = std::chrono::steady_clock::now();
    g.update(kUpdateStep);
    r.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++r.updates;
    if (r.updates % 3600 == 0) sink.str("");
  }
  std::cout.rdbuf(console);
  r.state = g.gameState;
  r.towers = static_cast<int>(g.towers.size());
  for (auto& f : g.files) r.intactFiles += f->isIntact() ? 1 : 0;
  return r;
}

double peakRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

void BM_Match(benchmark::State& state) {
  if (!openContext()) {
    state.SkipWithError("no GL context (run under an X server, e.g. xvfb-run)");
    return;
  }
  const bool defend = state.range(0) != 0;
  MatchResult last;
  double totalSeconds = 0.0;
  long long totalUpdates = 0;
  for (auto _ : state) {
    last = playMatch(defend);
    state.SetIterationTime(last.seconds);
    totalSeconds += last.seconds;
    totalUpdates += last.updates;
  }
  state.counters["updates"] = static_cast<double>(last.updates);
  state.counters["simulated_s"] = last.updates * kUpdateStep;
  state.counters["per_update_us"] = totalSeconds / totalUpdates * 1e6;
  state.counters["won"] = last.state == Won ? 1 : 0;
  state.counters["towers"] = last.towers;
  state.counters["files_left"] = last.intactFiles;
  state.counters["peak_rss_MB"] = peakRssMegabytes();
}
BENCHMARK(BM_Match)->ArgName("towers")->Arg(0)->Arg(1)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
