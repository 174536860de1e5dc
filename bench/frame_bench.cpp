// Frame benchmark: the real start-up and main-loop iteration (updateFrame + renderFrame, buffer swap
// included) at 1024x768 with the level built, the sixteen files and 60 enemies spread along the paths,
// and a busy variant with 20 firing towers and the frame rate shown, also with the overlay in every other
// frame, all with the settings of the file $BENCH_SETTINGS names (the defaults, High quality, when unset).
// Reports the median and 95th-percentile frame time and the share of each frame spent in game.update and
// game.draw (wall time, and CPU time of the main thread).
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "game/DebugSwitches.h"
#include "config/Settings.h"
#include "bench/bench_scene.h"
#include "game/Game.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/SpawnPoint.h"

namespace {

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
    // Walking enemies reach the goal (or are shot) over time; a fresh set is put on the paths outside the timing.
    refillEnemies();
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
  if (game.towers.empty()) placeEnemies();
  measureFrames(state);
}

// Where a frame's time goes: every framebuffer bind marks a pass boundary. Finishing the GL work at each
// mark serialises the passes, so the sum is a little above the frame time of BM_Frame. Which marks there are
// depends on the quality: without glow there is no glow scene and no blur, and below 100 % render scale the
// world goes into a smaller target that is stretched onto the window, the glow added in the same pass, before
// the texts and the HUD.
constexpr int kMostMarks = 16;
std::vector<const char*> passNames() {
  std::vector<const char*> names = {"update_ms", "shadow_ms"};
  if (settings.glow) names.insert(names.end(), {"", "glow_scene_ms", "", "blur_h_ms", "", "blur_v_ms"});
  if (settings.renderScale < 100)
    names.insert(names.end(), {"", "final_scene_ms", "stretch_glow_interface_ms"});
  else
    names.push_back("final_overlay_ms");
  names.push_back("swap_ms");
  return names;
}
bool marking = false;
double passTotals[kMostMarks];
int markIndex = 0;
int markCount = 0;
double lastMark = 0.0;
PFNGLBINDFRAMEBUFFERPROC realBindFramebuffer = nullptr;
PFNGLBINDFRAMEBUFFEREXTPROC realBindFramebufferExt = nullptr;

void mark() {
  glFinish();
  double now = wallNow();
  if (markIndex < markCount) passTotals[markIndex] += now - lastMark;
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
  const std::vector<const char*> names = passNames();
  markCount = static_cast<int>(names.size());
  for (double& t : passTotals) t = 0.0;
  int frames = 0;
  for (auto _ : state) {
    refillEnemies();
    double start = wallNow();
    markIndex = 0;
    lastMark = start;
    runFrame();
    markIndex = markCount - 1;
    mark();
    state.SetIterationTime(wallNow() - start);
    ++frames;
  }
  __glewBindFramebuffer = realBindFramebuffer;
  __glewBindFramebufferEXT = realBindFramebufferExt;
  marking = false;
  for (int i = 0; i < markCount; ++i)
    if (names[i][0]) state.counters[names[i]] = passTotals[i] * 1000.0 / frames;
}

void BM_FramePasses(benchmark::State& state) {
  startGame();
  if (game.towers.empty()) placeEnemies();
  measurePasses(state);
}

// The busy scene: the 60 enemies, 20 towers of the three kinds shooting at them, and the frame rate
// shown. Runs last, since the towers stay.
void BM_BusyFrame(benchmark::State& state) {
  startGame();
  if (game.towers.empty()) {
    placeEnemies();
    buildBusyTowers();
  }
  debugSwitches.fpsMode = true;
  measureFrames(state);
  debugSwitches.fpsMode = false;
}

// The busy scene with the overlay, all of it at once: bars over the damaged enemies, the reach under the cursor
// in build mode, a selected tower's square and the wave line (one spawn point back before its first wave,
// which never comes). The overlay is shown in every other frame, so a changing load on the machine weighs on
// both halves alike; reported: the CPU per frame with it hidden and shown, and the main thread's CPU inside
// the overlay's own two draws.
Stopwatch overlayTime;

void BM_BusyFrameOverlay(benchmark::State& state) {
  startGame();
  if (game.towers.empty()) {
    placeEnemies();
    buildBusyTowers();
  }
  debugSwitches.fpsMode = true;
  game.selectionMode = false;
  game.selectedTowerType = "tris_gr";
  game.selectedTower = game.towers.front().get();
  SpawnPoint& waiting = *game.spawnPoints.front();
  for (int i = 0; i < 30; ++i) runFrame();
  overlayTime = {};
  double mainCpu[2] = {}, processCpu[2] = {};
  int frames[2] = {};
  for (auto _ : state) {
    refillEnemies();
    waiting.waveIndex = 0;
    waiting.nextSpawnTime = 1e9;
    const int shown = (frames[0] + frames[1]) % 2;
    game.overlay.shown = shown;
    double wall = wallNow(), cpu = threadCpuNow(), process = processCpuNow();
    runFrame();
    mainCpu[shown] += threadCpuNow() - cpu;
    processCpu[shown] += processCpuNow() - process;
    ++frames[shown];
    state.SetIterationTime(wallNow() - wall);
  }
  for (int shown : {0, 1}) {
    const std::string half = shown ? "_shown" : "_hidden";
    state.counters["main_cpu_ms" + half] = mainCpu[shown] * 1000.0 / frames[shown];
    state.counters["process_cpu_ms" + half] = processCpu[shown] * 1000.0 / frames[shown];
  }
  state.counters["overlay_draws_cpu_ms"] = overlayTime.cpu * 1000.0 / frames[1];
  waiting.waveIndex = waiting.waveCount;
  game.selectedTower = nullptr;
  game.selectionMode = true;
  game.overlay.shown = false;
  debugSwitches.fpsMode = false;
}

void BM_BusyFramePasses(benchmark::State& state) {
  startGame();
  if (game.towers.empty()) {
    placeEnemies();
    buildBusyTowers();
  }
  debugSwitches.fpsMode = true;
  measurePasses(state);
  debugSwitches.fpsMode = false;
}

}  // namespace

// The linker sends the frame's calls of Game::update, Game::draw, the overlay's two draws and the buffer swap here
// (see bench/CMakeLists.txt).
extern "C" {
void __real__ZN8platform11swapBuffersEv();
void __wrap__ZN8platform11swapBuffersEv() {
  if (marking) mark();
  __real__ZN8platform11swapBuffersEv();
}

void __real__ZN4Game6updateEd(Game* self, double dt);
void __real__ZN4Game4drawERK8DrawPassN3glm3matILi4ELi4EfLNS3_9qualifierE0EEES6_(Game* self, const DrawPass& pass,
                                                                                 glm::mat4 projection, glm::mat4 view);
void __real__ZN4Game9drawWorldERK8DrawPassN3glm3matILi4ELi4EfLNS3_9qualifierE0EEES6_(Game* self, const DrawPass& pass,
                                                                                      glm::mat4 projection,
                                                                                      glm::mat4 view);
void __real__ZN4Game13drawInterfaceERK8DrawPass(Game* self, const DrawPass& pass);

void __real__ZN7Overlay9drawWorldEjRKN3glm3matILi4ELi4EfLNS0_9qualifierE0EEES5_(Overlay* self, GLuint program,
                                                                             const glm::mat4& projection,
                                                                             const glm::mat4& view);
void __real__ZN7Overlay12drawWaveLineER12TextRenderer(Overlay* self, TextRenderer& text);

void __wrap__ZN7Overlay9drawWorldEjRKN3glm3matILi4ELi4EfLNS0_9qualifierE0EEES5_(Overlay* self, GLuint program,
                                                                             const glm::mat4& projection,
                                                                             const glm::mat4& view) {
  timed(overlayTime, [&] {
    __real__ZN7Overlay9drawWorldEjRKN3glm3matILi4ELi4EfLNS0_9qualifierE0EEES5_(self, program, projection, view);
  });
}

void __wrap__ZN7Overlay12drawWaveLineER12TextRenderer(Overlay* self, TextRenderer& text) {
  timed(overlayTime, [&] { __real__ZN7Overlay12drawWaveLineER12TextRenderer(self, text); });
}

void __wrap__ZN4Game6updateEd(Game* self, double dt) {
  timed(updateTime, [&] { __real__ZN4Game6updateEd(self, dt); });
}

void __wrap__ZN4Game4drawERK8DrawPassN3glm3matILi4ELi4EfLNS3_9qualifierE0EEES6_(Game* self, const DrawPass& pass,
                                                                                 glm::mat4 projection, glm::mat4 view) {
  timed(drawTime, [&] {
    __real__ZN4Game4drawERK8DrawPassN3glm3matILi4ELi4EfLNS3_9qualifierE0EEES6_(self, pass, projection, view);
  });
}

void __wrap__ZN4Game9drawWorldERK8DrawPassN3glm3matILi4ELi4EfLNS3_9qualifierE0EEES6_(Game* self, const DrawPass& pass,
                                                                                      glm::mat4 projection,
                                                                                      glm::mat4 view) {
  timed(drawTime, [&] {
    __real__ZN4Game9drawWorldERK8DrawPassN3glm3matILi4ELi4EfLNS3_9qualifierE0EEES6_(self, pass, projection, view);
  });
}

void __wrap__ZN4Game13drawInterfaceERK8DrawPass(Game* self, const DrawPass& pass) {
  timed(drawTime, [&] { __real__ZN4Game13drawInterfaceERK8DrawPass(self, pass); });
}
}

// FRAME_BENCH_FRAMES shortens the runs for quick before/after comparisons (the pass splits get a third).
int main(int argc, char** argv) {
  const char* frames = std::getenv("FRAME_BENCH_FRAMES");
  const int n = frames ? std::max(3, std::atoi(frames)) : 600;
  const std::pair<const char*, void (*)(benchmark::State&)> benches[] = {
      {"BM_Frame", BM_Frame}, {"BM_FramePasses", BM_FramePasses},
      {"BM_BusyFrame", BM_BusyFrame}, {"BM_BusyFrameOverlay", BM_BusyFrameOverlay},
      {"BM_BusyFramePasses", BM_BusyFramePasses}};
  for (const auto& [name, run] : benches) {
    bool passes = std::string(name).find("Passes") != std::string::npos;
    benchmark::RegisterBenchmark(name, run)->UseManualTime()->Iterations(passes ? n / 3 : n)->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  stopGame();
  return 0;
}
