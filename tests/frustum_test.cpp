// The frustum test: boxes inside, beyond one plane, straddling two planes, on a plane, and in the start view.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "input/Frustum.h"

namespace {

struct Box {
  glm::vec4 corners[8];
  Box(glm::vec3 lo, glm::vec3 hi) {
    const glm::vec3 c[8] = {{lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z},
                            {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}};
    for (int i = 0; i < 8; ++i) corners[i] = glm::vec4(c[i], 1.0f);
  }
};

const glm::mat4 kIdentity(1.0f);

TEST(FrustumTest, ClipSpaceCubeWithIdentityMatrices) {
  // With every matrix the identity, clip space is the box -1..1 itself.
  EXPECT_TRUE(isInFrustum(Box({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}).corners, kIdentity, kIdentity, kIdentity));
  // Beyond each of the six planes in turn.
  const glm::vec3 offsets[6] = {{3, 0, 0}, {-3, 0, 0}, {0, 3, 0}, {0, -3, 0}, {0, 0, 3}, {0, 0, -3}};
  for (const glm::vec3& o : offsets) {
    Box box(o - glm::vec3(0.5f), o + glm::vec3(0.5f));
    EXPECT_FALSE(isInFrustum(box.corners, kIdentity, kIdentity, kIdentity)) << o.x << "," << o.y << "," << o.z;
    // The same box brought back by its model matrix is inside.
    EXPECT_TRUE(isInFrustum(box.corners, glm::translate(kIdentity, -o), kIdentity, kIdentity));
  }
  // A box touching the plane x = 1 from outside is not beyond it; a hair further out it is.
  EXPECT_TRUE(isInFrustum(Box({1, 0, 0}, {3, 0.5f, 0.5f}).corners, kIdentity, kIdentity, kIdentity));
  EXPECT_FALSE(isInFrustum(Box({1.001f, 0, 0}, {3, 0.5f, 0.5f}).corners, kIdentity, kIdentity, kIdentity));
  // A box wider than the view on every side is drawn.
  EXPECT_TRUE(isInFrustum(Box(glm::vec3(-5), glm::vec3(5)).corners, kIdentity, kIdentity, kIdentity));
}

TEST(FrustumTest, PerspectiveBoxesBeyondOnePlaneOrStraddlingTwo) {
  const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 1.0f, 0.1f, 150.0f);
  EXPECT_TRUE(isInFrustum(Box({-1, -1, -11}, {1, 1, -9}).corners, kIdentity, projection, kIdentity));
  // Wholly left of the view, wholly beyond the far plane, wholly behind the eye.
  EXPECT_FALSE(isInFrustum(Box({-60, -1, -11}, {-40, 1, -9}).corners, kIdentity, projection, kIdentity));
  EXPECT_FALSE(isInFrustum(Box({-1, -1, -300}, {1, 1, -200}).corners, kIdentity, projection, kIdentity));
  EXPECT_FALSE(isInFrustum(Box({-1, -1, 5}, {1, 1, 9}).corners, kIdentity, projection, kIdentity));
  // The near corners lie beyond the left plane and the far ones beyond the far plane: no single plane
  // has all eight, so the box is drawn.
  Box straddling({-300, -1, -160}, {-50, 1, -20});
  EXPECT_TRUE(isInFrustum(straddling.corners, kIdentity, projection, kIdentity));
  // One corner inside is enough.
  EXPECT_TRUE(isInFrustum(Box({-60, -1, -11}, {-5, 1, -9}).corners, kIdentity, projection, kIdentity));
}

TEST(FrustumTest, StartCameraSeesTheCentreButNotTheFarSideOfTheWorld) {
  const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 1024.0f / 768.0f, 0.1f, 150.0f);
  const glm::mat4 tilt = glm::rotate(kIdentity, glm::radians(30.0f), glm::vec3(1, 0, 0));
  const glm::mat4 view = tilt * glm::translate(kIdentity, glm::vec3(-20, -20, -20));
  Box enemy({0, 0, 0}, {2, 2, 2});
  // The line of sight meets the ground about 34.6 units ahead of the eye, at z = -14.6.
  EXPECT_TRUE(isInFrustum(enemy.corners, glm::translate(kIdentity, glm::vec3(19, 0, -15.6f)), projection, view));
  EXPECT_FALSE(isInFrustum(enemy.corners, glm::translate(kIdentity, glm::vec3(19, 0, 60)), projection, view));
  EXPECT_FALSE(isInFrustum(enemy.corners, glm::translate(kIdentity, glm::vec3(-80, 0, -15)), projection, view));
  // A missing box cannot be tested and is drawn.
  EXPECT_TRUE(isInFrustum(nullptr, kIdentity, projection, view));
}

}  // namespace
