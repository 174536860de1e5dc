// Camera start values; the per-frame camera step moves viewMatrix by multiplying moves and turns into it.
#include "input/Camera.h"

#include <glm/gtc/matrix_transform.hpp>

#include "app/Globals.h"

void initCamera() {
  projectionMatrix = glm::perspective(glm::radians(60.0f), static_cast<float>(windowWidth) / windowHeight, 0.1f,
                                      150.0f);
  tiltMatrix = glm::rotate(glm::mat4(1.0f), glm::radians(30.0f), glm::vec3(1.0f, 0.0f, 0.0f));
  viewMatrix = tiltMatrix * glm::translate(glm::mat4(1.0f), glm::vec3(-20.0f, -20.0f, -20.0f));
}
