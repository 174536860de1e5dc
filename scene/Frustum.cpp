// The conservative clip-space box test used by frustum culling.
#include "scene/Frustum.h"

bool isInFrustum(const glm::vec4* corners, glm::mat4 model, glm::mat4 projection, glm::mat4 view) {
  if (!corners) return true;
  const glm::mat4 toClip = projection * view * model;
  int beyond[6] = {};
  for (int i = 0; i < 8; ++i) {
    const glm::vec4 q = toClip * corners[i];
    if (q.x > q.w) ++beyond[0];
    if (q.x < -q.w) ++beyond[1];
    if (q.y > q.w) ++beyond[2];
    if (q.y < -q.w) ++beyond[3];
    if (q.z > q.w) ++beyond[4];
    if (q.z < -q.w) ++beyond[5];
  }
  for (int count : beyond)
    if (count == 8) return false;
  return true;
}
