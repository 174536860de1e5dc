// View-frustum test of an object's bounding box against the view volume of one render pass.
#pragma once

#include <glm/glm.hpp>

// False only when all eight corners lie beyond one and the same clipping plane, so an object is culled only
// when it is certainly out of view; corners exactly on a plane count as inside.
bool isInFrustum(const glm::vec4* corners, glm::mat4 model, glm::mat4 projection, glm::mat4 view);
