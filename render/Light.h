// The light: its position, which the I/J/K/L/U/O keys move, and the matrices of the view from it that the
// shadow pass draws with and the lit pass looks the shadow map up with.
#pragma once

#include <glm/glm.hpp>

struct Light {
  glm::vec3 lightPosition = glm::vec3(-10.0f, 40.0f, 10.0f);
  glm::mat4 lightViewMatrix = glm::mat4(1.0f);
  glm::mat4 lightProjectionMatrix = glm::mat4(1.0f);
  glm::mat4 shadowTextureMatrix = glm::mat4(1.0f);
};

extern Light light;
