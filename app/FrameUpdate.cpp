// The first half of every main-loop iteration: cursor, frame time, the game step while running (faster when
// fast-forwarded), frame-rate statistics, the camera step and the light keys, which keep real time; all of
// it stands still while the options screen is open.
#include <glm/gtc/matrix_transform.hpp>

#include "app/Application.h"
#include "platform/Core.h"
#include "platform/FrameClock.h"
#include "render/Light.h"
#include "app/InputRouter.h"
#include "app/ReplayWatch.h"
#include "game/Game.h"
#include "game/MatchRecords.h"
#include "input/Camera.h"
#include "platform/Platform.h"

namespace {

constexpr double kLightStep = 0.01;
constexpr double kFpsSampleInterval = 1.0;

// Sums are formed in double and stored as float, so a held key advances the light by 0.01 each frame.
void nudge(float* component, int key, double step) {
  if (platform::getKey(key) == platform::PRESS) *component = static_cast<float>(*component + step);
}

}  // namespace

void updateFrame() {
  platform::getMousePos(&core.mouseX, &core.mouseY);
  const double now = platform::getTime();
  const double dt = now - frameClock.lastFrameTime;
  frameClock.lastFrameTime = now;

  // Under the options screen the game, the camera and the light stand still; only a new window size
  // reaches the projection.
  if (inputRouter.openScreen()) {
    fitProjectionToWindow();
    return;
  }

  if (game.gameState == Running) {
    if (replayWatch.active())
      replayWatch.frame(dt);
    else
      game.advance(dt);
    frameClock.frameCount += 1.0;
    if (now - frameClock.fpsLastTime > kFpsSampleInterval) {
      frameClock.msPerFrame = (now - frameClock.fpsLastTime) * 1000.0 / frameClock.frameCount;
      frameClock.framesPerSecond = 1000.0 / frameClock.msPerFrame;
      frameClock.fpsLastTime = now;
      frameClock.frameCount = 0.0;
    }
  }
  // A match ends inside the game step; its record is kept once, at the first frame that sees it ended.
  keepMatchRecord();

  // The camera reads the eye height before it moves anything, which is the frame's starting height.
  updateCamera(dt);

  nudge(&light.lightPosition.z, 'I', kLightStep);
  nudge(&light.lightPosition.x, 'J', kLightStep);
  nudge(&light.lightPosition.z, 'K', -kLightStep);
  nudge(&light.lightPosition.x, 'L', -kLightStep);
  nudge(&light.lightPosition.y, 'U', kLightStep);
  nudge(&light.lightPosition.y, 'O', -kLightStep);
  light.lightViewMatrix = glm::lookAt(light.lightPosition, glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, 1.0f));
}
