// The camera: start values and the per-frame camera step. The view is never rebuilt from angles; every
// move and turn is multiplied into viewMatrix, ground moves inside the tilt so they stay horizontal.
#include "input/Camera.h"

#include <cstdlib>

#include <glm/gtc/matrix_transform.hpp>

#include "platform/Core.h"
#include "game/DebugSwitches.h"
#include "platform/Platform.h"

CameraMatrices camera;

namespace {

constexpr double kMoveSpeed = 10.0;
constexpr double kTurnRate = 0.2;
constexpr int kDeadZone = 20;
constexpr float kLowestEye = 1.0f;

glm::mat4 translation(float x, float y, float z) { return glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z)); }

glm::mat4 rotation(double degrees, const glm::vec3& axis) {
  return glm::rotate(glm::mat4(1.0f), glm::radians(static_cast<float>(degrees)), axis);
}

float eyeHeight(const glm::mat4& view) { return (glm::inverse(view) * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f)).y; }

// Takes the tilt off, applies the ground-plane move or turn, and puts the tilt back.
void insideTilt(const glm::mat4& move) { camera.viewMatrix = camera.tiltMatrix * move * glm::inverse(camera.tiltMatrix) * camera.viewMatrix; }

bool held(int key) { return platform::getKey(key) == platform::PRESS; }

// A spectator flies along its line of sight but never through the ground: a step ending at or below the
// lowest height is dropped whole.
void flyAlongSight(float distance) {
  glm::mat4 candidate = translation(0.0f, 0.0f, distance) * camera.viewMatrix;
  if (eyeHeight(candidate) > kLowestEye) camera.viewMatrix = candidate;
}

void zoom() {
  int wheel = platform::getMouseWheel();
  int narrowing = 0;
  if (wheel < 0) {
    platform::setMouseWheel(0);
  } else {
    narrowing = 2 * wheel;
    if (narrowing > 50) {
      narrowing = 50;
      platform::setMouseWheel(25);
    }
  }
  camera.projectionMatrix = glm::perspective(glm::radians(static_cast<float>(60 - narrowing)),
                                      static_cast<float>(core.windowWidth) / static_cast<float>(core.windowHeight), 0.1f,
                                      150.0f);
}

}  // namespace

void initCamera() {
  camera.projectionMatrix = glm::perspective(glm::radians(60.0f), static_cast<float>(core.windowWidth) / core.windowHeight, 0.1f,
                                      150.0f);
  camera.tiltMatrix = glm::rotate(glm::mat4(1.0f), glm::radians(30.0f), glm::vec3(1.0f, 0.0f, 0.0f));
  camera.viewMatrix = camera.tiltMatrix * glm::translate(glm::mat4(1.0f), glm::vec3(-20.0f, -20.0f, -20.0f));
}

void fitProjectionToWindow() {
  camera.projectionMatrix[0][0] = camera.projectionMatrix[1][1] * static_cast<float>(core.windowHeight) / static_cast<float>(core.windowWidth);
}

void updateCamera(double dt) {
  const float startHeight = eyeHeight(camera.viewMatrix);
  const float d = static_cast<float>(kMoveSpeed * dt);
  const int topBand = 8 * (core.windowHeight / 100);
  const int sideBand = 6 * (core.windowWidth / 100);
  const bool rightButton = platform::getMouseButton(platform::MOUSE_BUTTON_RIGHT) == platform::PRESS;
  const bool edges = !debugSwitches.spectatorMode;

  zoom();

  if (held(platform::KEY_UP) || (edges && core.mouseY < topBand)) {
    if (debugSwitches.spectatorMode)
      flyAlongSight(d);
    else
      insideTilt(translation(0.0f, 0.0f, d));
  }
  if (held(platform::KEY_DOWN) || (edges && core.mouseY > core.windowHeight - topBand)) {
    if (debugSwitches.spectatorMode)
      flyAlongSight(-d);
    else
      insideTilt(translation(0.0f, 0.0f, -d));
  }
  // While the right button turns the view, the side bands must not also slide it.
  if (held(platform::KEY_LEFT) || (edges && !rightButton && core.mouseX < sideBand))
    camera.viewMatrix = translation(d, 0.0f, 0.0f) * camera.viewMatrix;
  if (held(platform::KEY_RIGHT) || (edges && !rightButton && core.mouseX > core.windowWidth - sideBand))
    camera.viewMatrix = translation(-d, 0.0f, 0.0f) * camera.viewMatrix;
  if (held(platform::KEY_PAGEUP)) insideTilt(translation(0.0f, -d, 0.0f));
  if (held(platform::KEY_PAGEDOWN) && startHeight > kLowestEye) insideTilt(translation(0.0f, d, 0.0f));

  const int offsetX = core.mouseX - core.windowWidth / 2;
  const int offsetY = core.mouseY - core.windowHeight / 2;
  if (!debugSwitches.spectatorMode) {
    if (rightButton) insideTilt(rotation(offsetX * kTurnRate * dt, glm::vec3(0.0f, 1.0f, 0.0f)));
  } else if (std::abs(offsetX) > kDeadZone || std::abs(offsetY) > kDeadZone) {
    insideTilt(rotation(offsetX * kTurnRate * dt, glm::vec3(0.0f, 1.0f, 0.0f)));
    glm::mat4 pitch = rotation(offsetY * kTurnRate * dt, glm::vec3(1.0f, 0.0f, 0.0f));
    camera.viewMatrix = pitch * camera.viewMatrix;
    camera.tiltMatrix = pitch * camera.tiltMatrix;
  }
}
