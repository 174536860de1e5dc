// The first half of every main-loop iteration: cursor, frame time, the game step while running (faster when
// fast-forwarded), frame-rate statistics, the camera step and the light keys, which keep real time; all of
// it stands still while the options screen is open.
#include <glm/gtc/matrix_transform.hpp>

#include "app/Application.h"
#include "app/Globals.h"
#include "app/OptionsScreen.h"
#include "game/Game.h"
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
  platform::getMousePos(&mouseX, &mouseY);
  const double now = platform::getTime();
  const double dt = now - lastFrameTime;
  lastFrameTime = now;

  // Under the options screen the game, the camera and the light stand still; only a new window size
  // reaches the projection.
  if (optionsScreen.isOpen()) {
    fitProjectionToWindow();
    return;
  }

  if (game.gameState == Running) {
    game.advance(dt);
    frameCount += 1.0;
    if (now - fpsLastTime > kFpsSampleInterval) {
      msPerFrame = (now - fpsLastTime) * 1000.0 / frameCount;
      framesPerSecond = 1000.0 / msPerFrame;
      fpsLastTime = now;
      frameCount = 0.0;
    }
  }

  // The camera reads the eye height before it moves anything, which is the frame's starting height.
  updateCamera(dt);

  nudge(&lightPosition.z, 'I', kLightStep);
  nudge(&lightPosition.x, 'J', kLightStep);
  nudge(&lightPosition.z, 'K', -kLightStep);
  nudge(&lightPosition.x, 'L', -kLightStep);
  nudge(&lightPosition.y, 'U', kLightStep);
  nudge(&lightPosition.y, 'O', -kLightStep);
  lightViewMatrix = glm::lookAt(lightPosition, glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, 1.0f));
}
