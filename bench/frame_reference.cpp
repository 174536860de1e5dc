// Reference frames: renders fixed scenes at fixed times on the manual clock and writes them as PNG
// ("write DIR"), or compares them with the PNGs in DIR ("compare DIR [OUT_DIR]"), where every frame must be
// identical, bit for bit: llvmpipe renders the same picture on every machine. A frame that differs is
// written to OUT_DIR (by default "differing-frames" beside this program) for a look. "floor DIR DB" (run with
// another quality through $BENCH_SETTINGS) prints every frame's PSNR against DIR and fails when the start or
// the busy frame, the scenes the presets' frame rates are taken in, falls below DB. The scenes, in the
// order they are played: the game as it starts (waves walking, 20 s in); the busy scene (60 enemies, 20
// firing towers, frame rate shown), in wireframe, and with buffer objects; then, from the busy scene, a
// tower clicked, upgraded and shown selected; nearest texture filtering without mipmaps; the spectator
// camera flown in low with view-frustum culling on; a new match without towers, lost; over it the levels
// screen (a record on Classic, a level of the player's and a file that cannot be played) and the help screen.
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/HelpScreen.h"
#include "app/LevelsScreen.h"
#include "game/LevelLibrary.h"
#include "game/MatchRecords.h"
#include "platform/Core.h"
#include "platform/FrameClock.h"
#include "game/DebugSwitches.h"
#include "render/RenderFrame.h"
#include "bench/bench_scene.h"
#include "game/Game.h"
#include "input/Camera.h"
#include "input/Keyboard.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Tower.h"

namespace {

namespace fs = std::filesystem;

// Steps the game without drawing: updateFrame only, one clock step each.
void play(int frames) {
  for (int i = 0; i < frames; ++i) {
    platform::advanceTime(kFrameStep);
    updateFrame();
  }
}

// Plays the given number of frames, then renders two frames and reads the last one back from the back
// buffer, rows top first.
// A screen given is open and drawn over the frame.
std::vector<unsigned char> frameAfter(int frames, Screen* over = nullptr) {
  play(frames);
  runFrame();
  platform::advanceTime(kFrameStep);
  updateFrame();
  drawFrame();
  if (over) over->draw();
  const int rowBytes = 3 * core.windowWidth;
  std::vector<unsigned char> bottomUp(static_cast<size_t>(rowBytes) * core.windowHeight);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, core.windowWidth, core.windowHeight, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  glUseProgram(0);
  platform::swapBuffers();
  std::vector<unsigned char> topDown(bottomUp.size());
  for (int y = 0; y < core.windowHeight; ++y)
    std::memcpy(&topDown[static_cast<size_t>(y) * rowBytes], &bottomUp[static_cast<size_t>(core.windowHeight - 1 - y) * rowBytes],
                rowBytes);
  return topDown;
}

void press(int key) { onKey(key, platform::PRESS); }

// A home folder of the same name on every machine, so that the levels screen shows the same folder: a level of
// the player's, a file that cannot be played and a record on Classic.
std::string playerHome() {
  const fs::path home = fs::temp_directory_path() / ("varrow-frame-reference-" + std::to_string(getpid()));
  const fs::path levels = home / ".local/share/varrow/levels";
  fs::remove_all(home);
  fs::create_directories(levels);
  fs::copy_file(std::string(kLevelFolder) + "/serpent.json", levels / "serpent-long.json");
  std::ofstream(levels / "unfinished.json") << "{\"name\": \"Unfinished\", \"money\": -5}";
  Records records;
  MatchResult result;
  result.filesKept = 14, result.won = true, result.seconds = 372.0;
  records.update(loadLevel(kClassicLevelFile).identity, Difficulty::Normal, "Classic", result);
  saveRecordsFile((home / ".local/share/varrow/records.json").string(), records);
  return home.string();
}

class Frames {
 public:
  Frames(std::string mode, std::string dir, std::string outDir, double floorDb)
      : mode_(std::move(mode)), dir_(std::move(dir)), outDir_(std::move(outDir)), floorDb_(floorDb) {}

  // Writes the frame, or compares it with its reference.
  void handle(const char* name, const std::vector<unsigned char>& pixels) {
    const std::string file = dir_ + "/" + name + ".png";
    if (mode_ == "write") {
      if (save(file, pixels))
        std::printf("%s: written to %s\n", name, file.c_str());
      else
        ok_ = false;
      return;
    }
    int w = 0, h = 0, channels = 0;
    unsigned char* reference = stbi_load(file.c_str(), &w, &h, &channels, 3);
    if (!reference || w != core.windowWidth || h != core.windowHeight) {
      std::printf("%s: no %dx%d reference at %s\n", name, core.windowWidth, core.windowHeight, file.c_str());
      stbi_image_free(reference);
      ok_ = false;
      return;
    }
    double sum = 0.0;
    size_t differing = 0;
    for (size_t i = 0; i < pixels.size(); i += 3) {
      bool same = true;
      for (size_t c = i; c < i + 3; ++c) {
        const double d = static_cast<double>(pixels[c]) - reference[c];
        sum += d * d;
        same &= d == 0.0;
      }
      differing += !same;
    }
    stbi_image_free(reference);
    if (mode_ == "floor") {
      const double psnr = differing ? 10.0 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(pixels.size()))) : 99.0;
      const bool judged = std::strcmp(name, "start") == 0 || std::strcmp(name, "busy") == 0;
      const bool below = judged && psnr < floorDb_;
      std::printf("%s: PSNR %.2f dB%s\n", name, psnr, below ? ", below the floor" : "");
      ok_ &= !below;
      return;
    }
    const std::string out = outDir_ + "/" + name + ".png";
    if (differing == 0) {
      std::printf("%s: identical\n", name);
      fs::remove(out);  // left by an earlier run
      return;
    }
    ok_ = false;
    const double psnr = 10.0 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(pixels.size())));
    fs::create_directories(outDir_);
    std::printf("%s: differs from %s: PSNR %.2f dB, %zu of %d pixels; the rendered frame is %s\n", name,
                file.c_str(), psnr, differing, core.windowWidth * core.windowHeight,
                save(out, pixels) ? out.c_str() : "not written");
  }

  bool ok() const { return ok_; }

 private:
  bool save(const std::string& file, const std::vector<unsigned char>& pixels) const {
    if (stbi_write_png(file.c_str(), core.windowWidth, core.windowHeight, 3, pixels.data(), 3 * core.windowWidth)) return true;
    std::printf("cannot write %s\n", file.c_str());
    return false;
  }

  std::string mode_, dir_, outDir_;
  double floorDb_;
  bool ok_ = true;
};

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  const double floorDb = mode == "floor" && argc > 3 ? std::strtod(argv[3], nullptr) : 0.0;
  if ((mode != "write" && mode != "compare" && mode != "floor") || (mode == "floor" && floorDb <= 0.0)) {
    std::fprintf(stderr, "usage: %s write DIR | compare DIR [OUT_DIR] | floor DIR DB\n", argv[0]);
    return 2;
  }
  // The game changes into its run directory: the folders are taken as they are named from here.
  const fs::path dir = fs::absolute(argv[2]);
  const fs::path outDir = argc > 3 && mode == "compare" ? fs::absolute(argv[3])
                                   : fs::read_symlink("/proc/self/exe").parent_path() / "differing-frames";
  Frames frames(mode, dir.string(), outDir.string(), floorDb);

  startGame();
  // The game as a player starts it: the waves on, the first ones walking 20 s after the start.
  platform::setTime(0.0);
  frameClock.lastFrameTime = 0.0;
  frames.handle("start", frameAfter(20 * 60));

  placeEnemies();
  buildBusyTowers();
  debugSwitches.fpsMode = true;
  frames.handle("busy", frameAfter(90));
  press(platform::KEY_F3);
  frames.handle("busy_wireframe", frameAfter(30));
  press(platform::KEY_F3);
  press(platform::KEY_F6);
  frames.handle("busy_vbo", frameAfter(30));
  press(platform::KEY_F6);
  press(platform::KEY_F2);

  // The tower nearest the middle of the window clicked, then Upgrade: its marker and the panel of its values.
  const Tower* middle = nullptr;
  int best = 0;
  for (auto& tower : game.towers) {
    int x = 0, y = 0;
    towerOnScreen(*tower, &x, &y);
    const int distance = std::abs(x - core.windowWidth / 2) + std::abs(y - core.windowHeight / 2);
    if (!middle || distance < best) middle = tower.get(), best = distance;
  }
  int x = 0, y = 0;
  towerOnScreen(*middle, &x, &y);
  clickAt(x, y);
  clickAt((kUpgradeButton.left + kUpgradeButton.right) / 2, (kUpgradeButton.top + kUpgradeButton.bottom) / 2);
  frames.handle("tower_upgraded", frameAfter(30));

  press(platform::KEY_F4);
  press(platform::KEY_F5);
  frames.handle("nearest_no_mipmaps", frameAfter(30));
  press(platform::KEY_F4);
  press(platform::KEY_F5);
  press(platform::KEY_F5);

  // Turned right and down with the cursor off the middle, then flown in along the line of sight: towers and
  // enemies cut by the window's edges, where culling must keep them.
  press('C');
  press(platform::KEY_F8);
  platform::injectCursor(core.windowWidth / 2 + 200, core.windowHeight / 2 + 100);
  play(20);
  platform::injectCursor(core.windowWidth / 2, core.windowHeight / 2);
  platform::injectKey(platform::KEY_UP, true);
  play(60);
  platform::injectKey(platform::KEY_UP, false);
  frames.handle("spectator_culled", frameAfter(10));
  press('C');
  press(platform::KEY_F8);
  initCamera();

  playUntilLost();
  frames.handle("lost", frameAfter(30));

  const std::string home = playerHome();
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_DATA_HOME");
  matchRecords.keepIn(home + "/.local/share/varrow/records.json");
  levelsScreen.open();
  frames.handle("levels_screen", frameAfter(0, &levelsScreen));
  levelsScreen.close();
  helpScreen.open();
  frames.handle("help_screen", frameAfter(0, &helpScreen));
  helpScreen.close();
  fs::remove_all(home);
  stopGame();
  return frames.ok() ? 0 : 1;
}
