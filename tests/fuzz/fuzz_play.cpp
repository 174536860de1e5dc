// Plays the game: reads its input as a sequence of player actions (keys, clicks, right drags, the wheel,
// cursor moves, window resizes, frames, waves called early, target priorities) and drives the real game world
// through the callbacks and the frame update the window drives, checking the rules of a match after every
// action. Nothing is drawn; the GL context (Mesa's surfaceless EGL platform, no X server) is there for the
// buffers scene objects make. Every
// match is recorded as the game records it, and its recording re-played headless must end in the same world.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glew.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include <glm/glm.hpp>

#include "app/Application.h"
#include "platform/Core.h"
#include "platform/FrameClock.h"
#include "game/DebugSwitches.h"
#include "render/Light.h"
#include "render/TextureCatalogue.h"
#include "config/Settings.h"
#include "app/InputRouter.h"
#include "app/OptionsScreen.h"
#include "app/Window.h"
#include "game/Game.h"
#include "game/LevelFile.h"
#include "game/MatchRecording.h"
#include "game/ReplayPlayer.h"
#include "input/Camera.h"
#include "input/Keyboard.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/MatchClock.h"
#include "scene/File.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"
#include "../support/MatchFields.h"

namespace {

// Every key the player may press: the commands, the held camera and light keys, Escape, the options screen
// (whose Left and Right change the settings), and keys without a command. startsNewMatch marks a key that may begin a new match (R, once a match is over), after which the
// rules start counting afresh.
struct KeyEntry {
  int code;
  bool startsNewMatch;
};
const KeyEntry kKeys[] = {
    {'C', false},
    {'P', false},
    {'R', true},
    {'F', false},
    {platform::KEY_F1, false},
    {platform::KEY_F2, false},
    {platform::KEY_F3, false},
    {platform::KEY_F4, false},
    {platform::KEY_F5, false},
    {platform::KEY_F6, false},
    {platform::KEY_F7, false},
    {platform::KEY_F8, false},
    {platform::KEY_F9, false},
    {platform::KEY_UP, false},
    {platform::KEY_DOWN, false},
    {platform::KEY_LEFT, false},
    {platform::KEY_RIGHT, false},
    {platform::KEY_PAGEUP, false},
    {platform::KEY_PAGEDOWN, false},
    {'I', false},
    {'J', false},
    {'K', false},
    {'L', false},
    {'U', false},
    {'O', false},
    {platform::KEY_ESC, false},
    {platform::KEY_SPACE, false},
    {'A', false},
    {'Z', false},
    {'0', false},
    {platform::KEY_F10, false},
    {platform::KEY_F1 + 10, false},
    {platform::KEY_LAST, false},
};
constexpr int kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);

const HudButtonRect kButtons[] = {kUpgradeButton, kSellButton,   kSelectionButton, kTrisButton,
                                  kTrisGrButton,  kTrisBlButton, kSuperGlowButton};
constexpr int kFileCount = 16;
constexpr int kMostEnemies = 144;  // four spawn points, 4 + 7 + 5 + 10 + 5 + 5 enemies each
constexpr int kMostSpawnsPerFrame = 4;
// One input plays at most this much, so that every input stays quick.
constexpr int kMostActions = 2048;
constexpr int kMostFrames = 1000;

// The level every match is played on: the level in code, as its shipped file, whose text a replay carries.
Level classicFromFile;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_play: rule broken: %s\n", what);
  std::fflush(stderr);
  __builtin_trap();
}

void check(bool ok, const char* what) {
  if (!ok) fail(what);
}

// Reads the input front to back; past the end every read gives 0.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const { return pos_ >= size_; }
  int byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  int word() { return byte() << 8 | byte(); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

void startGlContext() {
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) fail("no eglGetPlatformDisplayEXT");
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0, minor = 0;
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) fail("no surfaceless EGL display");
  if (!eglBindAPI(EGL_OPENGL_API)) fail("EGL offers no desktop OpenGL");
  const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configs = 0;
  eglChooseConfig(display, configAttributes, &config, 1, &configs);
  EGLContext context = eglCreateContext(display, configs > 0 ? config : nullptr, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) fail("no EGL context");
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) fail("EGL context not made current");
  // GLEW loads the GL entry points first and only then looks for a GLX display, which an EGL context lacks.
  GLenum glew = glewInit();
  if ((glew != GLEW_OK && glew != GLEW_ERROR_NO_GLX_DISPLAY) || !glGenBuffers) fail("GLEW found no GL");
  platform::useExternalContext(true);
}

// A new match as start-up makes it: the global game built afresh, the application's state at its start
// values, the clock manual at 0, input injected and the game's callbacks registered.
void startMatch() {
  // Tower models live for the whole run and the cache keeps its entries, as at start-up.
  auto models = std::move(game.towerModels);
  game.~Game();
  new (&game) Game();
  game.towerModels = std::move(models);

  if (optionsScreen.isOpen()) optionsScreen.close();
  settings = Settings();
  platform::useManualClock(true);
  platform::setTime(0.0);
  matchClock = MatchClock();
  platform::useInjectedInput(true);
  platform::clearInjectedInput();
  platform::setMouseWheel(0);
  platform::setKeyCallback(routeKey);
  platform::setMouseButtonCallback(routeMouseButton);
  game.clickHandler = routeMouseButton;
  inputRouter.removeAllScreens();
  inputRouter.addScreen(&optionsScreen);
  platform::setWindowSizeCallback(onWindowSize);
  core.windowWidth = 1024;
  core.windowHeight = 768;
  glViewport(0, 0, core.windowWidth, core.windowHeight);
  debugSwitches.spectatorMode = debugSwitches.fpsMode = debugSwitches.wireframeMode = false;
  debugSwitches.textureFilter = GL_LINEAR;
  debugSwitches.mipmapMode = GL_LINEAR_MIPMAP_LINEAR;
  frameClock.lastFrameTime = frameClock.pauseStartTime = frameClock.fpsLastTime = frameClock.frameCount = 0.0;
  core.mouseX = core.mouseY = 0;
  light.lightPosition = glm::vec3(-10.0f, 40.0f, 10.0f);
  game.selectedTowerType.clear();
  initCamera();

  game.createMap(textures.textureTable[0]);
  game.activeTextures = textures.textureTable;
  game.level = classicFromFile;
  game.buildLevel();
  game.createFiles();
  matchRecording.begin(game.level, game.difficulty);
}

// The recording of the last match, re-played headless from its start, ends in the world the play ended in
// (at its end, when it has ended: what follows an end is no part of it).
void checkReplay(const MatchFields& played) {
  const Replay replay = matchRecording.replay();
  replayHeadless(replay, classicFromFile);
  if (!firstDifference(played, matchFields(game)).empty()) {
    std::fprintf(stderr, "fuzz_play: %s\n", firstDifference(played, matchFields(game)).c_str());
    fail("the re-played recording ended in another world");
  }
}

// What the rules compare from one action to the next.
struct Snapshot {
  int money = 0;
  int state = Running;
  int takenFiles = 0;
  std::set<const Enemy*> enemies;
  std::vector<std::pair<const Tower*, double>> towers;  // with their levels, in list order
  const Tower* selected = nullptr;
};

Snapshot snapshot() {
  Snapshot s;
  s.money = game.resources;
  s.state = game.gameState;
  for (auto& f : game.files) s.takenFiles += f->isIntact() ? 0 : 1;
  for (auto& e : game.enemies) s.enemies.insert(&*e);
  for (auto& t : game.towers) s.towers.emplace_back(&*t, t->level);
  s.selected = game.selectedTower;
  return s;
}

int towerPrice(const std::string& kind) {
  if (kind == "tris") return 100;
  if (kind == "tris_gr") return 250;
  if (kind == "tris_bl") return 500;
  fail("a tower of an unknown kind");
}

bool finite(const glm::mat4& m) {
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      if (!std::isfinite(m[c][r])) return false;
  return true;
}

// Rules that hold at any moment of a match.
void checkWorld(const Snapshot& now) {
  check(game.resources >= 0, "money below zero");
  check(game.files.size() == kFileCount, "the number of files changed");
  bool intactSeen = false;
  for (auto& f : game.files) {
    if (f->isIntact()) intactSeen = true;
    check(f->isIntact() || !intactSeen, "a file was taken out of list order");
  }
  int sent = 0;
  for (auto& sp : game.spawnPoints) {
    check(sp->waveIndex >= 0 && sp->waveIndex <= sp->waveCount, "a spawn point's wave index left its table");
    for (int w = 0; w < sp->waveIndex; ++w) sent += sp->waves[w].count;
    if (sp->waveIndex < sp->waveCount) sent += sp->spawnedInWave;
  }
  check(sent <= kMostEnemies, "more enemies sent than the waves hold");
  for (auto& e : game.enemies) {
    check(std::isfinite(e->worldX) && std::isfinite(e->worldZ) && finite(e->modelMatrix),
          "an enemy position is not finite");
    check(e->worldX >= 0.0f && e->worldX <= 78.0f && e->worldZ <= 0.0f && e->worldZ >= -78.0f,
          "an enemy left the board");
  }
  const auto& towers = now.towers;
  for (size_t j = 0; j < towers.size(); ++j) {
    const Tower& b = *towers[j].first;
    check(std::isfinite(b.posX) && std::isfinite(b.posZ), "a tower position is not finite");
    check(1.0f <= b.posX && b.posX <= 77.0f && -77.0f < b.posZ && b.posZ <= -1.0f, "a tower off the build area");
    for (size_t i = 0; i < j; ++i) {
      const Tower& a = *towers[i].first;
      float hx = (a.worldMax[0] - a.worldMin[0]) / 2.0f, hz = (a.worldMax[2] - a.worldMin[2]) / 2.0f;
      bool tooClose = a.worldMin[0] - hx < b.posX && b.posX < a.worldMax[0] + hx && a.worldMin[2] - hz < b.posZ &&
                      b.posZ < a.worldMax[2] + hz;
      check(!tooClose, "a tower stands too close to an older one");
    }
  }
  check(finite(camera.viewMatrix) && finite(camera.tiltMatrix) && finite(camera.projectionMatrix), "the view is not finite");
  check(core.windowWidth > 0 && core.windowHeight > 0, "the window size has no area");
  if (game.gameState == Lost) check(!platform::mouseButtonCallback(), "clicks still act after a lost match");
}

// Money after a click: one build, one sale, one upgrade or nothing, at the prices of the rules.
void checkClick(const Snapshot& before, const Snapshot& after) {
  check(after.state == before.state, "a click changed the match state");
  check(after.enemies == before.enemies, "a click added or removed enemies");
  const int delta = after.money - before.money;
  if (after.towers.size() == before.towers.size() + 1) {
    check(delta == -towerPrice(after.towers.back().first->kind), "a tower was not charged its price");
    return;
  }
  if (after.towers.size() + 1 == before.towers.size()) {
    check(before.selected != nullptr, "a tower went without being selected");
    double level = 0.0;
    for (const auto& t : before.towers)
      if (t.first == before.selected) level = t.second;
    const int paid = static_cast<int>(before.money + 100.0 * std::pow(2.0, level - 1.0) * 0.5) - before.money;
    check(delta == paid, "a sale paid the wrong amount");
    return;
  }
  check(after.towers.size() == before.towers.size(), "a click changed more than one tower");
  int upgrades = 0;
  for (size_t i = 0; i < after.towers.size(); ++i) {
    check(after.towers[i].first == before.towers[i].first, "a click reordered the towers");
    double from = before.towers[i].second, to = after.towers[i].second;
    if (to == from) continue;
    check(to == from + 1.0, "a tower's level jumped");
    check(delta == -static_cast<int>(100.0 * std::pow(2.0, from)), "an upgrade charged the wrong amount");
    ++upgrades;
  }
  check(upgrades <= 1, "one click upgraded two towers");
  if (upgrades == 0) check(delta == 0, "a click changed the money without a build, sale or upgrade");
}

// Money, enemies, files and state after a frame: +50 per kill, -100 per arrival down to 0.
void checkFrame(const Snapshot& before, const Snapshot& after, int* sentSoFar) {
  check(after.towers.size() == before.towers.size(), "a frame changed the towers");
  check(after.takenFiles >= before.takenFiles, "a taken file came back");
  if (before.state != Running) {
    check(after.state == before.state && after.money == before.money && after.enemies == before.enemies,
          "the match moved while it was not running");
    return;
  }
  check(after.state == Running || after.state == Lost || after.state == Won, "a frame paused the match");
  int removed = 0, added = 0;
  for (const Enemy* e : before.enemies) removed += after.enemies.count(e) ? 0 : 1;
  for (const Enemy* e : after.enemies) added += before.enemies.count(e) ? 0 : 1;
  // Fast-forward runs the frame's step that many times, each sending at most one enemy per spawn point.
  check(added <= kMostSpawnsPerFrame * matchClock.speed(), "a spawn point sent two enemies in one step");
  *sentSoFar += added;
  check(*sentSoFar <= kMostEnemies, "more than 144 enemies were sent");
  const int taken = after.takenFiles - before.takenFiles;
  check(taken <= removed, "a file was taken without an enemy arriving");
  // An arrival that finds no intact file takes none, so arrivals are known exactly only while files remain.
  const int mostArrivals = after.takenFiles < kFileCount ? taken : removed;
  // Several steps in one frame may each clamp the money at 0, so fast-forward frames are held to the bounds.
  bool paid = matchClock.speed() > 1 && after.money >= 0 && after.money <= before.money + 50 * removed &&
              (after.money == 0 || (after.money - before.money) % 50 == 0);
  for (int arrived = taken; arrived <= mostArrivals && !paid; ++arrived) {
    const int afterKills = before.money + 50 * (removed - arrived);
    paid = after.money == (afterKills < 100 * arrived ? 0 : afterKills - 100 * arrived);
  }
  check(paid, "a frame changed the money by other than kills and arrivals");
  if (after.state == Lost) check(after.takenFiles == kFileCount, "the match was lost with files left");
  if (after.state == Won) {
    for (auto& sp : game.spawnPoints) check(sp->waveIndex == sp->waveCount, "the match was won with waves to come");
    check(game.enemies.empty(), "the match was won with enemies on the board");
  }
}

// The window reports a change of a key only; a key held down repeats, which the platform layer drops.
// Returns whether the key went down now.
bool pressKey(const KeyEntry& key, bool down) {
  if ((platform::getKey(key.code) == platform::PRESS) == down) return false;
  platform::injectKey(key.code, down);
  if (platform::KeyCallback callback = platform::keyCallback())
    callback(key.code, down ? platform::PRESS : platform::RELEASE);
  return down;
}

void click(int x, int y) {
  platform::injectCursor(x, y);
  platform::injectMouseButton(platform::MOUSE_BUTTON_LEFT, true);
  if (platform::MouseButtonCallback callback = platform::mouseButtonCallback())
    callback(platform::MOUSE_BUTTON_LEFT, platform::PRESS);
  platform::injectMouseButton(platform::MOUSE_BUTTON_LEFT, false);
  if (platform::MouseButtonCallback callback = platform::mouseButtonCallback())
    callback(platform::MOUSE_BUTTON_LEFT, platform::RELEASE);
}

// Frame times from 0 to 5 s, finer near 0 where real frames are.
double frameTime(int b) { return 5.0 * b * b / (255.0 * 255.0); }

// A cursor coordinate anywhere in the window and a little beyond it, as the window reports while dragging.
int coordinate(int word, int extent) { return word % (extent + 64) - 32; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The console lines slow the search down; FUZZ_PLAY_CONSOLE=1 shows them when replaying an input.
  if (!std::getenv("FUZZ_PLAY_CONSOLE")) std::cout.rdbuf(nullptr);
  startGlContext();
  // The tower model is read once from the run directory and cached for every match; libFuzzer's own paths
  // stay relative to where it was started.
  char started[4096];
  if (!getcwd(started, sizeof started) || chdir(VARROW_RUN_DIR) != 0) fail("cannot enter the run directory");
  game.loadTowerModel("tris");
  classicFromFile = readLevelFile("levels/classic.json").level;
  matchRecording.enable("", "");
  if (chdir(started) != 0) fail("cannot go back to the starting directory");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  startMatch();
  Input in(data, size);
  int sent = 0, framesRun = 0;
  Snapshot before = snapshot();
  checkWorld(before);
  std::optional<MatchFields> atEnd;
  // One frame of the main loop's update, with the rules checked across it.
  auto runFrame = [&](double dt) {
    platform::advanceTime(dt);
    ++framesRun;
    Snapshot previous = snapshot();
    updateFrame();
    Snapshot next = snapshot();
    // The first end only: P after it sets the match running again, past its recording.
    if (!atEnd && previous.state != Lost && previous.state != Won && (next.state == Lost || next.state == Won))
      atEnd = matchFields(game);
    checkFrame(previous, next, &sent);
    checkWorld(next);
  };
  for (int actions = 0; !in.empty() && actions < kMostActions && framesRun < kMostFrames; ++actions) {
    bool frame = false, clicked = false, newMatch = false, pausePressed = false;
    int bonus = 0;
    switch (in.byte() % 11) {
      case 0:
      case 1: {  // key down or up
        const KeyEntry& key = kKeys[in.byte() % kKeyCount];
        // The options screen takes every key while it is open.
        const bool screenOpen = optionsScreen.isOpen();
        const bool pressed = pressKey(key, in.byte() % 2 == 0) && !screenOpen;
        newMatch = pressed && key.startsNewMatch && (before.state == Lost || before.state == Won);
        pausePressed = pressed && key.code == 'P';
        break;
      }
      case 2: {  // a click anywhere
        int x = in.word(), y = in.word();
        click(coordinate(x, core.windowWidth), coordinate(y, core.windowHeight));
        clicked = true;
        break;
      }
      case 3: {  // a click on or near a HUD button
        const HudButtonRect& b = kButtons[in.byte() % 7];
        int x = (b.left + in.byte() % (b.right - b.left + 1)) * core.windowWidth / 1024;
        int y = (b.top + in.byte() % (b.bottom - b.top + 1)) * core.windowHeight / 768;
        click(x, y);
        clicked = true;
        break;
      }
      case 4: {  // a right-button drag over a few frames
        int x = coordinate(in.word(), core.windowWidth), y = coordinate(in.word(), core.windowHeight);
        int dx = in.byte() - 128, dy = in.byte() - 128, steps = 1 + in.byte() % 8;
        double dt = frameTime(in.byte() / 2);
        platform::injectMouseButton(platform::MOUSE_BUTTON_RIGHT, true);
        for (int s = 0; s < steps; ++s) {
          platform::injectCursor(x + dx * s, y + dy * s);
          runFrame(dt);
        }
        platform::injectMouseButton(platform::MOUSE_BUTTON_RIGHT, false);
        frame = true;
        break;
      }
      case 5:  // wheel notches
        platform::setMouseWheel(platform::getMouseWheel() + (in.byte() % 9 - 4));
        break;
      case 6:  // cursor move
        platform::injectCursor(coordinate(in.word(), core.windowWidth), coordinate(in.word(), core.windowHeight));
        break;
      case 7: {  // window resize, an empty one included
        const int sizes[] = {0, 1, 2, 7, 100, 640, 768, 1024, 1920, 4096};
        int w = in.byte(), h = in.byte();
        onWindowSize(w < 160 ? sizes[w % 10] : w * 8, h < 160 ? sizes[h % 10] : h * 8);
        break;
      }
      case 8:
      case 9: {  // one frame, or a run of frames
        const int frames = in.byte() % 2 == 0 ? 1 : 1 + in.byte() % 64;
        const double dt = frameTime(in.byte());
        for (int f = 0; f < frames; ++f) runFrame(dt);
        frame = true;
        break;
      }
      case 10: {  // N or T, as keys: the next wave called early, or the selected tower's next target priority
        const bool call = in.byte() % 2 == 0;
        const KeyEntry key{call ? 'N' : 'T', false};
        const double shift = game.waveShift;
        const std::optional<WaveCall> due = callNextWave(game.level.waveStartTimes(), game.waveShift, matchClock.now());
        const bool screenOpen = inputRouter.openScreen() != nullptr;
        const bool pressed = pressKey(key, true);
        pressKey(key, false);
        if (!call) break;
        if (pressed && due && before.state == Running && !screenOpen) {
          check(due->secondsSaved > 0.0 && game.waveShift == due->shift, "a wave called early moved the waves wrongly");
          // The called wave has started: a second call at once would take a later one.
          const std::optional<WaveCall> again =
              callNextWave(game.level.waveStartTimes(), game.waveShift, matchClock.now());
          check(!again || again->wave > due->wave, "a wave called early did not start");
          bonus = due->bonus;
        } else {
          check(game.waveShift == shift, "a refused call moved the waves");
        }
        break;
      }
    }
    Snapshot after = snapshot();
    checkWorld(after);
    if (newMatch) {
      check(after.state == Running && after.money == 1000 && after.towers.empty() && after.enemies.empty() &&
                after.takenFiles == 0 && matchClock.speed() == 1,
            "R did not start a fresh match");
      sent = 0;
      atEnd.reset();
    } else if (clicked) {
      checkClick(before, after);
    } else if (!frame) {
      // Keys, the wheel, cursor moves, resizes, wave calls and target priorities: the board stays, the money
      // gains a wave call's bonus alone; only P moves the state.
      check(after.money == before.money + bonus && after.towers == before.towers && after.enemies == before.enemies,
            "a key, the wheel, the cursor, a resize or a wave call changed the board or the money");
      // P pauses a running match and sets any other one running again.
      const int expected = !pausePressed ? before.state : before.state == Running ? Paused : Running;
      check(after.state == expected, "the match state changed other than by a frame or the pause key");
    }
    before = after;
    // The main loop ends after a frame in which Escape is held, unless that Escape closed the options screen.
    if (frame && inputRouter.escapeQuits(platform::getKey(platform::KEY_ESC) == platform::PRESS)) break;
  }
  checkReplay(atEnd ? *atEnd : matchFields(game));
  return 0;
}
