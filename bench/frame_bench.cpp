// Frame benchmark: the real start-up and main-loop iteration (updateFrame + renderFrame, buffer swap
// included) at 1024x768 with the level built, the sixteen files and 60 enemies spread along the paths,
// and a busy variant with 20 firing towers and the frame rate shown. Reports the median and
// 95th-percentile frame time and the share of each frame spent in game.update and game.draw (wall time,
// and CPU time of the main thread).
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <vector>

#include "app/Application.h"
#include "app/Globals.h"
#include "game/Game.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace {

constexpr int kEnemyCount = 60;
constexpr int kBusyTowerCount = 20;
constexpr double kFrameStep = 1.0 / 60.0;

struct Stopwatch {
  double wall = 0.0;
  double cpu = 0.0;
};
Stopwatch updateTime;
Stopwatch drawTime;

double wallNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double threadCpuNow() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

// All threads of the process, the renderer's rasteriser threads included: less disturbed than the wall
// clock when other programs share the cores.
double processCpuNow() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

template <typename F>
void timed(Stopwatch& into, F&& call) {
  double wall = wallNow();
  double cpu = threadCpuNow();
  call();
  into.cpu += threadCpuNow() - cpu;
  into.wall += wallNow() - wall;
}

const char* const kKinds[] = {"cube", "cube_or", "cube_yl", "cube_w"};

// Fifteen enemies per path, each walked a different distance from its spawn point.
void placeEnemies() {
  game.enemies.clear();
  int n = 0;
  for (auto& sp : game.spawnPoints) {
    for (int i = 0; i < kEnemyCount / 4; ++i, ++n) {
      game.spawnEnemy(sp->path.data(), kKinds[n % 4], sp->spawnX, sp->spawnZ, sp->pathLength, game.activeTextures[1]);
      Enemy* e = game.enemies.back().get();
      for (int step = 0; step < i * 40; ++step) e->update(0.05);
    }
  }
}

bool started = false;

void startGame() {
  if (started) return;
  started = true;
  if (chdir(VARROW_RUN_DIR) != 0) std::perror(VARROW_RUN_DIR);
  initApplication();
  // The game runs on a fixed 60 Hz clock so every run plays the same frames; the benchmark times them
  // on the wall clock.
  platform::useManualClock(true);
  platform::setTime(10.0);
  lastFrameTime = 10.0;
  // No waves: the board holds exactly the enemies placed here.
  for (auto& sp : game.spawnPoints) sp->waveIndex = sp->waveCount;
  placeEnemies();
}

void runFrame() {
  platform::advanceTime(kFrameStep);
  updateFrame();
  renderFrame();
}

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  size_t index = static_cast<size_t>(p * (values.size() - 1) + 0.5);
  return values[index];
}

// Times the main-loop iteration once per benchmark iteration and reports its statistics.
void measureFrames(benchmark::State& state) {
  for (int i = 0; i < 30; ++i) runFrame();  // shaders are compiled by the driver on first use
  updateTime = {};
  drawTime = {};
  std::vector<double> frames;
  double cpuTotal = 0.0;
  double processCpuTotal = 0.0;
  for (auto _ : state) {
    // Walking enemies reach the goal (or are shot) over time; put a fresh set on the paths, outside
    // the timing.
    if (game.enemies.size() < static_cast<size_t>(kEnemyCount) * 9 / 10 || game.gameState != Running) {
      game.gameState = Running;
      placeEnemies();
    }
    double wall = wallNow();
    double cpu = threadCpuNow();
    double processCpu = processCpuNow();
    runFrame();
    cpuTotal += threadCpuNow() - cpu;
    processCpuTotal += processCpuNow() - processCpu;
    double seconds = wallNow() - wall;
    frames.push_back(seconds);
    state.SetIterationTime(seconds);
  }
  double wallTotal = 0.0;
  for (double f : frames) wallTotal += f;
  state.counters["median_ms"] = percentile(frames, 0.5) * 1000.0;
  state.counters["p95_ms"] = percentile(frames, 0.95) * 1000.0;
  state.counters["enemies"] = static_cast<double>(game.enemies.size());
  state.counters["towers"] = static_cast<double>(game.towers.size());
  state.counters["update_wall_%"] = 100.0 * updateTime.wall / wallTotal;
  state.counters["draw_wall_%"] = 100.0 * drawTime.wall / wallTotal;
  state.counters["main_cpu_%"] = 100.0 * cpuTotal / wallTotal;
  state.counters["process_cpu_ms"] = processCpuTotal * 1000.0 / static_cast<double>(frames.size());
  state.counters["update_cpu_%"] = 100.0 * updateTime.cpu / cpuTotal;
  state.counters["draw_cpu_%"] = 100.0 * drawTime.cpu / cpuTotal;
}

void BM_Frame(benchmark::State& state) {
  startGame();
  measureFrames(state);
}
BENCHMARK(BM_Frame)->UseManualTime()->Iterations(600)->Unit(benchmark::kMillisecond);

// Where a frame's time goes: every framebuffer bind marks a pass boundary. Finishing the GL work at each
// mark serialises the passes, so the sum is a little above the frame time of BM_Frame.
const char* const kPassNames[] = {"update_ms", "shadow_ms", "",          "glow_scene_ms", "",
                                  "blur_h_ms", "",          "blur_v_ms", "final_overlay_ms", "swap_ms"};
constexpr int kMarks = 10;
bool marking = false;
double passTotals[kMarks];
int markIndex = 0;
double lastMark = 0.0;
PFNGLBINDFRAMEBUFFERPROC realBindFramebuffer = nullptr;
PFNGLBINDFRAMEBUFFEREXTPROC realBindFramebufferExt = nullptr;

void mark() {
  glFinish();
  double now = wallNow();
  if (markIndex < kMarks) passTotals[markIndex] += now - lastMark;
  ++markIndex;
  lastMark = now;
}

void GLAPIENTRY markedBind(GLenum target, GLuint framebuffer) {
  mark();
  realBindFramebuffer(target, framebuffer);
}

void GLAPIENTRY markedBindExt(GLenum target, GLuint framebuffer) {
  mark();
  realBindFramebufferExt(target, framebuffer);
}

void measurePasses(benchmark::State& state) {
  realBindFramebuffer = __glewBindFramebuffer;
  realBindFramebufferExt = __glewBindFramebufferEXT;
  __glewBindFramebuffer = markedBind;
  __glewBindFramebufferEXT = markedBindExt;
  marking = true;
  for (double& t : passTotals) t = 0.0;
  int frames = 0;
  for (auto _ : state) {
    if (game.enemies.size() < static_cast<size_t>(kEnemyCount) * 9 / 10 || game.gameState != Running) {
      game.gameState = Running;
      placeEnemies();
    }
    double start = wallNow();
    markIndex = 0;
    lastMark = start;
    runFrame();
    markIndex = kMarks - 1;
    mark();
    state.SetIterationTime(wallNow() - start);
    ++frames;
  }
  __glewBindFramebuffer = realBindFramebuffer;
  __glewBindFramebufferEXT = realBindFramebufferExt;
  marking = false;
  for (int i = 0; i < kMarks; ++i)
    if (kPassNames[i][0]) state.counters[kPassNames[i]] = passTotals[i] * 1000.0 / frames;
}

void BM_FramePasses(benchmark::State& state) {
  startGame();
  measurePasses(state);
}
BENCHMARK(BM_FramePasses)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

// Tower spots a few units beside the paths: both sides of every leg at its middle and near its ends,
// kept only where building is allowed and no tower stands yet.
void buildBusyTowers() {
  const char* const kinds[] = {"tris", "tris_gr", "tris_bl"};
  const GLuint skins[] = {textureTable[4], textureTable[13], textureTable[12]};
  game.resources = 1000000;
  int built = 0;
  for (double along : {0.5, 0.2, 0.8}) {
    for (auto& sp : game.spawnPoints) {
      for (int leg = 0; leg + 1 < sp->pathLength; ++leg) {
        const float* a = sp->path.data() + 2 * leg;
        const float* b = a + 2;
        float x = a[0] + static_cast<float>(along) * (b[0] - a[0]);
        float z = a[1] + static_cast<float>(along) * (b[1] - a[1]);
        // Legs run along one axis: step sideways across it.
        bool alongX = a[1] == b[1];
        for (float side : {4.0f, -4.0f}) {
          float tx = alongX ? x : x + side;
          float tz = alongX ? z + side : z;
          if (built == kBusyTowerCount || !onBuildArea(tx, tz) || !isBuildSpotFree(tx, tz)) continue;
          game.buildTower(kinds[built % 3], tx, tz, skins[built % 3], textureTable[5], textureTable[10]);
          ++built;
        }
      }
    }
  }
  game.resources = 1000;
}

// The busy scene: the 60 enemies, 20 towers of the three kinds shooting at them, and the frame rate
// shown. Runs last, since the towers stay.
void BM_BusyFrame(benchmark::State& state) {
  startGame();
  if (game.towers.empty()) buildBusyTowers();
  fpsMode = true;
  measureFrames(state);
  fpsMode = false;
}
BENCHMARK(BM_BusyFrame)->UseManualTime()->Iterations(600)->Unit(benchmark::kMillisecond);

void BM_BusyFramePasses(benchmark::State& state) {
  startGame();
  if (game.towers.empty()) buildBusyTowers();
  fpsMode = true;
  measurePasses(state);
  fpsMode = false;
}
BENCHMARK(BM_BusyFramePasses)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace

// The linker sends the frame's calls of Game::update, Game::draw and the buffer swap here
// (see bench/CMakeLists.txt).
extern "C" {
void __real__ZN8platform11swapBuffersEv();
void __wrap__ZN8platform11swapBuffersEv() {
  if (marking) mark();
  __real__ZN8platform11swapBuffersEv();
}

void __real__ZN4Game6updateEd(Game* self, double dt);
void __real__ZN4Game4drawEN3glm3matILi4ELi4EfLNS0_9qualifierE0EEES3_(Game* self, glm::mat4 projection,
                                                                      glm::mat4 view);

void __wrap__ZN4Game6updateEd(Game* self, double dt) {
  timed(updateTime, [&] { __real__ZN4Game6updateEd(self, dt); });
}

void __wrap__ZN4Game4drawEN3glm3matILi4ELi4EfLNS0_9qualifierE0EEES3_(Game* self, glm::mat4 projection,
                                                                      glm::mat4 view) {
  timed(drawTime, [&] { __real__ZN4Game4drawEN3glm3matILi4ELi4EfLNS0_9qualifierE0EEES3_(self, projection, view); });
}
}

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (started) shutdownApplication();
  return 0;
}
