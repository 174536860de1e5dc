// The camera step with injected keys, buttons, cursor and wheel: start view, every move and turn, the
// screen-edge bands at 1024 x 768, wheel limits, and the spectator's height test and dead zone.
#include <gtest/gtest.h>

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "app/Globals.h"
#include "input/Camera.h"
#include "platform/Platform.h"

namespace {

glm::vec3 eye() { return glm::vec3(glm::inverse(viewMatrix) * glm::vec4(0, 0, 0, 1)); }
glm::vec3 sight() { return glm::vec3(glm::inverse(viewMatrix) * glm::vec4(0, 0, -1, 0)); }

void expectNear(const glm::vec3& got, const glm::vec3& want, float tolerance = 1e-4f) {
  EXPECT_NEAR(got.x, want.x, tolerance);
  EXPECT_NEAR(got.y, want.y, tolerance);
  EXPECT_NEAR(got.z, want.z, tolerance);
}

float fieldOfViewDegrees() { return glm::degrees(2.0f * std::atan(1.0f / projectionMatrix[1][1])); }

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::useInjectedInput(true);
    platform::clearInjectedInput();
    platform::setMouseWheel(0);
    windowWidth = 1024;
    windowHeight = 768;
    spectatorMode = false;
    centreCursor();
    initCamera();
  }
  void TearDown() override {
    platform::clearInjectedInput();
    platform::useInjectedInput(false);
    spectatorMode = false;
  }
  void centreCursor() { cursor(512, 384); }
  void cursor(int x, int y) {
    mouseX = x;
    mouseY = y;
  }
  // One camera step with one key held for it.
  void stepWith(int key, double dt) {
    platform::injectKey(key, true);
    updateCamera(dt);
    platform::injectKey(key, false);
  }
};

TEST_F(CameraTest, StartsAboveTheCornerLookingThirtyDegreesDown) {
  expectNear(eye(), {20, 20, 20});
  glm::vec3 s = glm::normalize(sight());
  expectNear(s, {0, -0.5f, -std::sqrt(3.0f) / 2});
  EXPECT_NEAR(fieldOfViewDegrees(), 60.0f, 1e-3f);
  EXPECT_NEAR(projectionMatrix[1][1] / projectionMatrix[0][0], 1024.0f / 768.0f, 1e-4f);
  // A still cursor in the middle and no input leave the view alone.
  glm::mat4 before = viewMatrix;
  updateCamera(0.5);
  EXPECT_EQ(viewMatrix, before);
}

TEST_F(CameraTest, KeysMoveTenUnitsPerSecondAlongTheGroundAndUpDown) {
  stepWith(platform::KEY_UP, 0.1);
  expectNear(eye(), {20, 20, 19});
  stepWith(platform::KEY_DOWN, 0.2);
  expectNear(eye(), {20, 20, 21});
  stepWith(platform::KEY_LEFT, 0.1);
  expectNear(eye(), {19, 20, 21});
  stepWith(platform::KEY_RIGHT, 0.3);
  expectNear(eye(), {22, 20, 21});
  stepWith(platform::KEY_PAGEUP, 0.5);
  expectNear(eye(), {22, 25, 21});
  stepWith(platform::KEY_PAGEDOWN, 0.1);
  expectNear(eye(), {22, 24, 21});
  // Moves keep the 30-degree look down.
  expectNear(glm::normalize(sight()), {0, -0.5f, -std::sqrt(3.0f) / 2});
}

TEST_F(CameraTest, RightButtonTurnsOnTheSpotByTheCursorOffset) {
  platform::injectMouseButton(platform::MOUSE_BUTTON_RIGHT, true);
  cursor(512 + 100, 384);
  updateCamera(1.0);  // 100 px * 0.2 deg/s/px * 1 s = 20 degrees to the right
  expectNear(eye(), {20, 20, 20});
  glm::vec3 s = sight();
  glm::vec3 flat = glm::normalize(glm::vec3(s.x, 0, s.z));
  expectNear(flat, {std::sin(glm::radians(20.0f)), 0, -std::cos(glm::radians(20.0f))});
  EXPECT_NEAR(glm::normalize(s).y, -0.5f, 1e-4f);
  // Left of the centre turns back.
  cursor(512 - 50, 384);
  updateCamera(2.0);
  expectNear(glm::normalize(glm::vec3(sight().x, 0, sight().z)), {0, 0, -1});
  // Without the button the cursor offset does nothing.
  platform::injectMouseButton(platform::MOUSE_BUTTON_RIGHT, false);
  cursor(512 + 300, 384);
  glm::mat4 before = viewMatrix;
  updateCamera(1.0);
  EXPECT_EQ(viewMatrix, before);
}

TEST_F(CameraTest, ScreenEdgeBandsAt1024x768) {
  struct Band {
    int x, y;
    glm::vec3 move;  // eye movement for dt 0.1, or zero when the cursor is just outside the band
  };
  const Band bands[] = {
      {512, 55, {0, 0, -1}}, {512, 56, {0, 0, 0}},  {512, 713, {0, 0, 1}}, {512, 712, {0, 0, 0}},
      {59, 384, {-1, 0, 0}}, {60, 384, {0, 0, 0}},  {965, 384, {1, 0, 0}}, {964, 384, {0, 0, 0}},
      {0, 0, {-1, 0, -1}},   {1023, 767, {1, 0, 1}}};
  for (const Band& band : bands) {
    SCOPED_TRACE(std::to_string(band.x) + "," + std::to_string(band.y));
    initCamera();
    cursor(band.x, band.y);
    updateCamera(0.1);
    expectNear(eye(), glm::vec3(20, 20, 20) + band.move);
  }
  // Up held with the cursor in the top band moves once, not twice.
  initCamera();
  cursor(512, 10);
  stepWith(platform::KEY_UP, 0.1);
  expectNear(eye(), {20, 20, 19});
  // The right button stops the side bands (it turns instead) but not the top and bottom ones.
  platform::injectMouseButton(platform::MOUSE_BUTTON_RIGHT, true);
  initCamera();
  cursor(10, 10);
  updateCamera(0.1);
  expectNear(eye(), {20, 20, 19});
  platform::injectMouseButton(platform::MOUSE_BUTTON_RIGHT, false);
  // The bands follow a resized window.
  windowWidth = 2000;
  windowHeight = 1000;
  initCamera();
  cursor(1000, 79);  // top band 8 * (1000 / 100) = 80
  updateCamera(0.1);
  expectNear(eye(), {20, 20, 19});
  EXPECT_NEAR(projectionMatrix[1][1] / projectionMatrix[0][0], 2.0f, 1e-4f);
}

TEST_F(CameraTest, WheelNarrowsTheFieldOfViewWithinItsLimits) {
  platform::setMouseWheel(-3);
  updateCamera(0.0);
  EXPECT_EQ(platform::getMouseWheel(), 0);
  EXPECT_NEAR(fieldOfViewDegrees(), 60.0f, 1e-3f);
  platform::setMouseWheel(5);
  updateCamera(0.0);
  EXPECT_EQ(platform::getMouseWheel(), 5);
  EXPECT_NEAR(fieldOfViewDegrees(), 50.0f, 1e-3f);
  platform::setMouseWheel(25);
  updateCamera(0.0);
  EXPECT_EQ(platform::getMouseWheel(), 25);
  EXPECT_NEAR(fieldOfViewDegrees(), 10.0f, 1e-3f);
  platform::setMouseWheel(30);
  updateCamera(0.0);
  EXPECT_EQ(platform::getMouseWheel(), 25);
  EXPECT_NEAR(fieldOfViewDegrees(), 10.0f, 1e-3f);
}

TEST_F(CameraTest, PageDownStopsOnceTheEyeIsAtOrBelowOne) {
  viewMatrix = tiltMatrix * glm::translate(glm::mat4(1.0f), glm::vec3(-20, -1.05f, -20));
  stepWith(platform::KEY_PAGEDOWN, 0.1);
  EXPECT_NEAR(eye().y, 0.05f, 1e-4f);
  stepWith(platform::KEY_PAGEDOWN, 0.1);
  EXPECT_NEAR(eye().y, 0.05f, 1e-4f);
  stepWith(platform::KEY_PAGEUP, 0.2);
  EXPECT_NEAR(eye().y, 2.05f, 1e-4f);
  stepWith(platform::KEY_PAGEDOWN, 0.1);
  EXPECT_NEAR(eye().y, 1.05f, 1e-4f);
}

TEST_F(CameraTest, SpectatorFliesAlongTheSightButNotThroughTheGround) {
  spectatorMode = true;
  viewMatrix = tiltMatrix * glm::translate(glm::mat4(1.0f), glm::vec3(-20, -2, -20));
  // Looking 30 degrees down, a step of 2 units lowers the eye by 1: ending at 1.0 is dropped whole.
  stepWith(platform::KEY_UP, 0.2);
  expectNear(eye(), {20, 2, 20});
  // A step ending at 1.01 is taken, along the line of sight.
  stepWith(platform::KEY_UP, 0.198);
  expectNear(eye(), {20, 1.01f, 20 - 1.98f * std::sqrt(3.0f) / 2});
  // Backward climbs, and strafing stays in camera space.
  stepWith(platform::KEY_DOWN, 0.198);
  expectNear(eye(), {20, 2, 20});
  stepWith(platform::KEY_LEFT, 0.1);
  expectNear(eye(), {19, 2, 20});
  // The screen edges do not scroll a spectator: the off-centre cursor only turns the view on the spot.
  cursor(0, 0);
  glm::vec3 before = eye();
  updateCamera(0.1);
  expectNear(eye(), before);
}

TEST_F(CameraTest, SpectatorLooksAroundOutsideTheDeadZone) {
  spectatorMode = true;
  glm::mat4 startView = viewMatrix;
  glm::mat4 startTilt = tiltMatrix;
  for (glm::ivec2 offset : {glm::ivec2(20, 20), glm::ivec2(-20, -20), glm::ivec2(0, 20), glm::ivec2(20, 0)}) {
    cursor(512 + offset.x, 384 + offset.y);
    updateCamera(1.0);
    EXPECT_EQ(viewMatrix, startView);
  }
  // 21 px off on one axis turns on both, each by its own offset.
  cursor(512 + 21, 384 + 5);
  updateCamera(1.0);
  glm::mat4 yaw = glm::rotate(glm::mat4(1.0f), glm::radians(21 * 0.2f), glm::vec3(0, 1, 0));
  glm::mat4 pitch = glm::rotate(glm::mat4(1.0f), glm::radians(5 * 0.2f), glm::vec3(1, 0, 0));
  glm::mat4 wantView = pitch * startTilt * yaw * glm::inverse(startTilt) * startView;
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      EXPECT_NEAR(viewMatrix[c][r], wantView[c][r], 1e-4f);
      EXPECT_NEAR(tiltMatrix[c][r], (pitch * startTilt)[c][r], 1e-4f);
    }
  // A cursor below the centre tilts the view further down; the eye stays where it was.
  expectNear(eye(), {20, 20, 20});
  EXPECT_LT(glm::normalize(sight()).y, -0.5f);
  // The right button plays no part in a spectator's turning.
  platform::injectMouseButton(platform::MOUSE_BUTTON_RIGHT, true);
  cursor(512 + 10, 384 + 10);
  glm::mat4 before = viewMatrix;
  updateCamera(1.0);
  EXPECT_EQ(viewMatrix, before);
}

}  // namespace
