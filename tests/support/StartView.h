// Where the player sees a world point in the 1024 x 768 window before the camera has moved: the eye
// above (20, 20, 20), looking along -z and 30 degrees down, with a 60 degree field of view.
#pragma once

#include <glm/glm.hpp>

// Window pixel (x right, y down from the top) under which the world point appears.
glm::ivec2 startWindowPoint(const glm::vec3& world);
// Ground point (y = 0) under the window pixel.
glm::vec3 startGroundPoint(int x, int y);
