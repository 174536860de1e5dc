// Starting a game for a player-like test, and the clicks and screenshots such a test makes.
#include "PlayerSession.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "StartView.h"

const char* const kCleanStartOutput =
    "GLFW 2.7 SVN 2010-03-16 Successfull \n"
    "GLEW 1.5.3 Successfull \n"
    "OpenGL 3.2 Successfull \n"
    "Mathematics by GLM 0.8.4.4  \n"
    "Vertex-shader loaded and compiled successfully.\n"
    "Hud Vertex-shader loaded and compiled successfully.\n"
    "Glow Vertex-shader loaded and compiled successfully.\n"
    "Shadow-Mapping 1 Vertex-shader loaded and compiled successfully.\n"
    "Shadow-Mapping 2 Vertex-shader loaded and compiled successfully.\n"
    "Fragment-shader loaded and compiled successfully.\n"
    "Hud Fragment-shader loaded and compiled successfully.\n"
    "Glow Fragment-shader loaded and compiled successfully.\n"
    "Shadow Mapping 1 Fragment-Shader loaded and compiled successfully.\n"
    "Shadow Mapping 2 Fragment-Shader loaded and compiled successfully.\n"
    "Shader-program linked successfully.\n"
    "Hud Shader-program linked successfully.\n"
    "Glow Shader-program linked successfully.\n\n"
    "Shadow 1 Shader-program linked successfully.\n\n"
    "Shadow 2 Shader-program linked successfully.\n\n";

void sleepSeconds(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

std::string PlayerSession::shotPath(const std::string& name) {
  return std::string(VARROW_BINARY_DIR) + "/e2e_" + name + ".png";
}

bool PlayerSession::start(const std::string& runDir, bool waitForPicture) {
  if (!game.start(true, runDir)) return false;
  if (!game.waitForWindow(60.0)) return false;
  game.moveMouse(kWindowCentre.x, kWindowCentre.y);
  if (!waitForPicture) return true;
  // Each session photographs into its own file: sessions may run side by side.
  const std::string path = shotPath("first_frame_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
  bool drawn = false;
  for (int attempt = 0; attempt < 300 && !drawn && game.running(); ++attempt) {
    ScreenImage money;
    drawn = game.screenshot(path, kMoneyBox[0], kMoneyBox[1], kMoneyBox[2], kMoneyBox[3]) && money.load(path) &&
            money.countBright(0, 0, money.width(), money.height()) > 0;
    if (!drawn) sleepSeconds(0.2);
  }
  std::remove(path.c_str());
  return drawn;
}

void PlayerSession::clickButton(WindowPoint button) {
  game.click(button.x, button.y);
  game.moveMouse(kWindowCentre.x, kWindowCentre.y);
}

glm::ivec2 PlayerSession::clickGround(const glm::vec3& ground) {
  glm::ivec2 p = startWindowPoint(ground);
  game.click(p.x, p.y);
  game.moveMouse(kWindowCentre.x, kWindowCentre.y);
  return p;
}

ScreenImage PlayerSession::shot(const std::string& name) {
  ScreenImage image;
  if (game.screenshot(shotPath(name))) image.load(shotPath(name));
  return image;
}
