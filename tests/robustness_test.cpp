// Play that goes off the usual road: clicks whose ray never meets the board, a window with no area, and
// questions asked of the platform layer after it has shut down.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "CaptureStdout.h"
#include "WorldTest.h"
#include "app/Application.h"
#include "platform/Core.h"
#include "input/Camera.h"
#include "app/Window.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"

namespace {

void click(int x, int y) {
  platform::injectCursor(x, y);
  platform::mouseButtonCallback()(platform::MOUSE_BUTTON_LEFT, platform::PRESS);
}

// The start view's kind of camera, pitched down by the given angle (negative: up into the sky).
glm::mat4 lookingFrom(float pitchDegrees, glm::vec3 eye) {
  return glm::rotate(glm::mat4(1.0f), glm::radians(pitchDegrees), glm::vec3(1, 0, 0)) *
         glm::translate(glm::mat4(1.0f), -eye);
}

TEST(Robustness, OnlyARayGoingDownFromAboveMeetsTheGround) {
  const struct { glm::vec3 eye, dir; bool meets; } rays[] = {
      {{4, 10, -4}, {1, -2, 0}, true},  {{4, 10, -4}, {1, 0, 0}, false}, {{4, 10, -4}, {1, 2, 0}, false},
      {{4, -1, -4}, {0, -1, 0}, false}, {{4, 0, -4}, {0, -1, 0}, false}};
  for (const auto& r : rays) {
    glm::vec3 p(-1.0f);
    EXPECT_EQ(groundPointOfRay(r.eye, r.dir, &p), r.meets) << r.dir.y << " from height " << r.eye.y;
    EXPECT_TRUE(!r.meets || p == glm::vec3(9, 0, -4));
  }
}

TEST_F(WorldTest, AClickIntoTheSkyOrFromBelowTheGroundBuildsNothing) {
  // From the first two eyes the ground point behind the eye lies on the board; the last view builds.
  const struct { float pitch; glm::vec3 eye; size_t towers; } views[] = {
      {-30.0f, {20, 20, -60}, 0}, {30.0f, {20, -5, -60}, 0}, {30.0f, {20, 20, 20}, 1}};
  for (const auto& v : views) {
    camera.viewMatrix = lookingFrom(v.pitch, v.eye);
    click(512, 653);  // the Standard tower
    CaptureStdout out;
    click(512, 300);
    EXPECT_EQ(g.towers.size(), v.towers) << "pitch " << v.pitch << " height " << v.eye.y;
    EXPECT_EQ(out.text().find("Tower at: ") != std::string::npos, v.towers == 1) << out.text();
    EXPECT_EQ(g.resources, 1000 - 100 * static_cast<int>(v.towers));
  }
}

TEST_F(WorldTest, AWindowWithNoAreaKeepsTheLastViewportAndProjection) {
  updateFrame();
  const glm::mat4 before = camera.projectionMatrix;
  for (glm::ivec2 size : {glm::ivec2(1024, 0), glm::ivec2(0, 768), glm::ivec2(0, 0)}) {
    onWindowSize(size.x, size.y);
    platform::advanceTime(0.1);
    updateFrame();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(glm::ivec4(viewport[0], viewport[1], viewport[2], viewport[3]), glm::ivec4(0, 0, 1024, 768));
    EXPECT_EQ(camera.projectionMatrix, before) << size.x << " x " << size.y;
  }
  onWindowSize(640, 240);
  updateFrame();
  EXPECT_EQ(core.windowWidth, 640);
  EXPECT_FLOAT_EQ(camera.projectionMatrix[1][1] / camera.projectionMatrix[0][0], 640.0f / 240.0f);
}

// It ends the process's GL context, so its suite is defined last and a run of the whole file ends with it.
TEST(RobustnessAtExit, TheWorldTornDownAfterShutdownAsksGlfwNothing) {
  ensureGlContext();
  auto world = std::make_unique<Game>();
  buildWorld(*world);
  testing::internal::CaptureStderr();
  platform::terminate();
  EXPECT_FALSE(platform::hasCurrentContext());
  world.reset();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
