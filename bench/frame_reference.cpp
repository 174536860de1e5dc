// Reference frames: renders fixed scenes at fixed times on the manual clock and writes them as PNG
// ("write DIR"), or compares them with the PNGs in DIR ("compare DIR [OUT_DIR]"): identical, or a PSNR of at
// least 45 dB where only float rounding may differ. Scenes: the game as it starts (waves walking, 20 s in),
// the busy scene (60 enemies, 20 firing towers, frame rate shown), the busy scene in wireframe, and the
// busy scene with buffer objects switched on.
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Globals.h"
#include "app/RenderFrame.h"
#include "bench/bench_scene.h"
#include "input/Keyboard.h"
#include "platform/Platform.h"

namespace {

constexpr double kMinimumPsnr = 45.0;

// Steps the game (updateFrame only) for the given number of frames, then renders two frames and reads the
// last one back from the back buffer, rows top first.
std::vector<unsigned char> frameAfter(int frames) {
  for (int i = 0; i < frames; ++i) {
    platform::advanceTime(kFrameStep);
    updateFrame();
  }
  runFrame();
  platform::advanceTime(kFrameStep);
  updateFrame();
  drawFrame();
  const int rowBytes = 3 * windowWidth;
  std::vector<unsigned char> bottomUp(static_cast<size_t>(rowBytes) * windowHeight);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  glUseProgram(0);
  platform::swapBuffers();
  std::vector<unsigned char> topDown(bottomUp.size());
  for (int y = 0; y < windowHeight; ++y)
    std::memcpy(&topDown[static_cast<size_t>(y) * rowBytes], &bottomUp[static_cast<size_t>(windowHeight - 1 - y) * rowBytes],
                rowBytes);
  return topDown;
}

// Infinite for identical pictures.
double psnr(const std::vector<unsigned char>& a, const unsigned char* b) {
  double sum = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    double d = static_cast<double>(a[i]) - b[i];
    sum += d * d;
  }
  if (sum == 0.0) return INFINITY;
  return 10.0 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(a.size())));
}

// Writes the frame, or compares it; false when it differs more than float rounding could explain.
bool handle(const std::string& mode, const std::string& dir, const std::string& outDir, const char* name,
            const std::vector<unsigned char>& pixels) {
  const std::string file = dir + "/" + name + ".png";
  if (mode == "write" || !outDir.empty()) {
    const std::string out = (mode == "write" ? dir : outDir) + "/" + name + ".png";
    if (!stbi_write_png(out.c_str(), windowWidth, windowHeight, 3, pixels.data(), 3 * windowWidth)) {
      std::printf("%s: cannot write %s\n", name, out.c_str());
      return false;
    }
    if (mode == "write") {
      std::printf("%s: written to %s\n", name, out.c_str());
      return true;
    }
  }
  int w = 0, h = 0, channels = 0;
  unsigned char* reference = stbi_load(file.c_str(), &w, &h, &channels, 3);
  if (!reference || w != windowWidth || h != windowHeight) {
    std::printf("%s: no %dx%d reference at %s\n", name, windowWidth, windowHeight, file.c_str());
    stbi_image_free(reference);
    return false;
  }
  double db = psnr(pixels, reference);
  stbi_image_free(reference);
  bool same = db >= kMinimumPsnr;
  if (std::isinf(db))
    std::printf("%s: identical\n", name);
  else
    std::printf("%s: PSNR %.2f dB%s\n", name, db, same ? "" : " (below 45 dB)");
  return same;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode != "write" && mode != "compare") {
    std::fprintf(stderr, "usage: %s write DIR | compare DIR [OUT_DIR]\n", argv[0]);
    return 2;
  }
  // The game changes into its run directory: the folders are taken as they are named from here.
  const std::string dir = std::filesystem::absolute(argv[2]).string();
  const std::string outDir = argc > 3 ? std::filesystem::absolute(argv[3]).string() : "";

  startGame();
  bool ok = true;
  // The game as a player starts it: the waves on, the first ones walking 20 s after the start.
  platform::setTime(0.0);
  lastFrameTime = 0.0;
  ok &= handle(mode, dir, outDir, "start", frameAfter(20 * 60));

  placeEnemies();
  buildBusyTowers();
  fpsMode = true;
  ok &= handle(mode, dir, outDir, "busy", frameAfter(90));
  onKey(platform::KEY_F3, platform::PRESS);
  ok &= handle(mode, dir, outDir, "busy_wireframe", frameAfter(30));
  onKey(platform::KEY_F3, platform::PRESS);
  onKey(platform::KEY_F6, platform::PRESS);
  ok &= handle(mode, dir, outDir, "busy_vbo", frameAfter(30));
  stopGame();
  return ok ? 0 : 1;
}
