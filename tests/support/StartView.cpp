// The start view built from the eye and the line of sight, for aiming clicks at the board.
#include "StartView.h"

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float kWidth = 1024.0f;
constexpr float kHeight = 768.0f;

glm::mat4 view() {
  const glm::vec3 eye(20.0f, 20.0f, 20.0f);
  const float down = glm::radians(30.0f);
  const glm::vec3 sight(0.0f, -std::sin(down), -std::cos(down));
  return glm::lookAt(eye, eye + sight, glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 projection() { return glm::perspective(glm::radians(60.0f), kWidth / kHeight, 0.1f, 150.0f); }

}  // namespace

glm::ivec2 startWindowPoint(const glm::vec3& world) {
  glm::vec3 p = glm::project(world, view(), projection(), glm::vec4(0.0f, 0.0f, kWidth, kHeight));
  return glm::ivec2(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(kHeight - p.y)));
}

glm::vec3 startGroundPoint(int x, int y) {
  const glm::vec4 viewport(0.0f, 0.0f, kWidth, kHeight);
  const glm::vec3 window(static_cast<float>(x), kHeight - static_cast<float>(y), 0.0f);
  glm::vec3 nearPoint = glm::unProject(window, view(), projection(), viewport);
  glm::vec3 farPoint = glm::unProject(glm::vec3(window.x, window.y, 1.0f), view(), projection(), viewport);
  glm::vec3 d = farPoint - nearPoint;
  return nearPoint + (-nearPoint.y / d.y) * d;
}
