// Keys, clicks and the camera on the fresh world through the registered callbacks, with injected input and
// the manual clock: exact console and screen texts, HUD button edges, building, selecting, SuperGlow, the camera
// step, the frustum test, the frame update and the options screen.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include <glm/gtc/matrix_transform.hpp>

#include "CaptureStdout.h"
#include "WorldTest.h"
#include "app/Application.h"
#include "platform/Core.h"
#include "platform/FrameClock.h"
#include "game/DebugSwitches.h"
#include "render/TextureCatalogue.h"
#include "config/Settings.h"
#include "app/InputRouter.h"
#include "app/HelpScreen.h"
#include "app/LevelsScreen.h"
#include "app/OptionsScreen.h"
#include "game/MatchRecords.h"
#include "scene/File.h"
#include "input/Camera.h"
#include "scene/MatchClock.h"
#include "scene/Frustum.h"
#include "input/Keyboard.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/Map.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"
#include "hud/Hud.h"

namespace {

using namespace platform;
using glm::vec3;

const float kPath[] = {39, -39, 39, -39};

class Input : public WorldTest {
 protected:
  void SetUp() override { WorldTest::SetUp(); setMouseWheel(0); core.mouseX = 512, core.mouseY = 384; }
  static std::string press(int key, int how = PRESS) { CaptureStdout out; keyCallback()(key, how); return out.text(); }
  // Clicks in order, and what they printed; a lost match takes the callback away.
  static std::string clicks(std::initializer_list<glm::ivec2> points, int button = MOUSE_BUTTON_LEFT,
                            int action = PRESS) {
    CaptureStdout out;
    for (glm::ivec2 p : points) {
      injectCursor(p.x, p.y);
      if (MouseButtonCallback callback = mouseButtonCallback()) callback(button, action);
    }
    return out.text();
  }
  static std::string click(int x, int y) { return clicks({{x, y}}); }
  // The eye 60 above the board centre, screen up along -z: the ground under a pixel is a plain function of it.
  static void lookStraightDown() {
    camera.viewMatrix = glm::lookAt(vec3(39, 60, -39), vec3(39, 0, -39), vec3(0, 0, -1));
    camera.projectionMatrix = glm::perspective(glm::radians(60.0f), 1024.0f / 768.0f, 0.1f, 150.0f);
  }
  static glm::vec2 groundUnder(int x, int y) {
    const double half = 60.0 * std::tan(glm::radians(30.0));
    return {39.0 + (2.0 * x / 1024 - 1) * half * 1024 / 768, -39.0 - (2.0 * (768 - y) / 768 - 1) * half};
  }
  // out starts with the "Tower at: x, y, z" line of the ground under pixel (x, y).
  static void expectTowerAt(const std::string& out, int x, int y) {
    float px = 0, py = 1, pz = 0;
    EXPECT_EQ(std::sscanf(out.c_str(), "Tower at: %f, %f, %f\n", &px, &py, &pz), 3) << out;
    EXPECT_EQ(out.find('\n') + 1, out.size()) << out;
    EXPECT_LT(glm::distance(glm::vec2(px, pz), groundUnder(x, y)), 3e-3) << out;
    EXPECT_EQ(py, 0.0f);
  }
  static vec3 eye() { return vec3(glm::inverse(camera.viewMatrix) * glm::vec4(0, 0, 0, 1)); }
  static vec3 sight() { return glm::normalize(vec3(glm::inverse(camera.viewMatrix) * glm::vec4(0, 0, -1, 0))); }
  static void expectNear(const vec3& got, const vec3& want, float tolerance = 1e-4f) {
    EXPECT_LT(glm::distance(got, want), tolerance) << got.x << "," << got.y << "," << got.z;
  }
  // One camera step with a key held for it.
  static void stepWith(int key, double dt) { injectKey(key, true), updateCamera(dt), injectKey(key, false); }
};

}  // namespace

TEST(ClickAreas, EveryHudButtonEdgeMissesInEveryWindowSizeAndTheBoardEdges) {
  const struct { HudButtonRect rect; int left, right, top, bottom; } buttons[] = {
      {kUpgradeButton, 862, 962, 655, 703}, {kSellButton, 862, 961, 603, 655}, {kSelectionButton, 762, 862, 603, 703},
      {kTrisButton, 462, 562, 603, 703},    {kTrisGrButton, 562, 662, 603, 703}, {kTrisBlButton, 662, 762, 603, 703},
      {kSuperGlowButton, 462, 562, 64, 164}};
  for (int s = 1; s <= 3; ++s)
    for (const auto& b : buttons) {
      const int x = (b.left + b.right) / 2 * s, y = (b.top + b.bottom) / 2 * s, w = 1024 * s, h = 768 * s;
      for (int edge : {b.left * s, b.right * s}) EXPECT_FALSE(insideHudButton(b.rect, edge, y, w, h)) << edge;
      for (int edge : {b.top * s, b.bottom * s}) EXPECT_FALSE(insideHudButton(b.rect, x, edge, w, h)) << edge;
      for (int in : {b.left * s + 1, b.right * s - 1}) EXPECT_TRUE(insideHudButton(b.rect, in, y, w, h)) << in;
      for (int in : {b.top * s + 1, b.bottom * s - 1}) EXPECT_TRUE(insideHudButton(b.rect, x, in, w, h)) << in;
    }
  // Towers stand where 1 <= x <= 77 and -77 < z <= -1.
  const struct { float x, z; bool on; } points[] = {{1, -1, true},         {77, -76.99f, true},   {77, -77, false},
                                                    {0.999f, -10, false},  {77.001f, -10, false}, {10, -0.999f, false},
                                                    {NAN, -10, false}};
  for (const auto& p : points) EXPECT_EQ(onBuildArea(p.x, p.z), p.on) << p.x << "," << p.z;
}

TEST_F(Input, ButtonsSwitchModeAndTypeOnLeftPressesAndATypeDropsTheSelection) {
  lookStraightDown();
  Tower* t = addTower("tris", 39.0f, -39.0f);
  for (auto [x, type] : {std::pair(512, "tris"), std::pair(612, "tris_gr"), std::pair(712, "tris_bl")}) {
    EXPECT_EQ(click(x, 650), "");
    EXPECT_EQ(std::make_pair(g.selectionMode, game.selectedTowerType), std::make_pair(false, std::string(type)));
  }
  // The type is kept across mode changes; choosing a type drops the selection; only left-button presses count.
  EXPECT_EQ(clicks({{812, 650}, {512, 384}}), "SelectionMode!\n");
  EXPECT_EQ(std::make_tuple(g.selectionMode, game.selectedTowerType, g.selectedTower), std::make_tuple(true, "tris_bl", t));
  click(512, 650);
  EXPECT_EQ(std::make_pair(g.selectedTower, t->selected), std::make_pair(static_cast<Tower*>(nullptr), false));
  EXPECT_EQ(clicks({{812, 650}}, MOUSE_BUTTON_LEFT, RELEASE) + clicks({{812, 650}}, MOUSE_BUTTON_RIGHT), "");
  EXPECT_FALSE(g.selectionMode);
}

TEST_F(Input, BuildClicksReportTheGroundPointAndBuildThere) {
  lookStraightDown();
  g.selectionMode = false;
  expectTowerAt(click(400, 300), 400, 300);
  EXPECT_TRUE(g.towers.empty()) << "no type chosen yet";
  // Every kind, by its button: built where clicked for its price, wearing the skin its row names, which the
  // glow table's retexturing follows too; its panel icon is its own.
  const struct { const char* kind; int button, x, y; } builds[] = {
      {"tris", 512, 300, 200}, {"tris_gr", 612, 700, 200}, {"tris_bl", 712, 300, 500}};
  std::set<int> icons;
  for (const auto& b : builds) {
    const TowerKind& kind = *findTowerKind(b.kind);
    const int money = g.resources;
    expectTowerAt(clicks({{b.button, 650}, {b.x, b.y}}), b.x, b.y);
    ASSERT_FALSE(g.towers.empty());
    Tower& t = *g.towers.back();
    EXPECT_LT(glm::distance(glm::vec2(t.posX, t.posZ), groundUnder(b.x, b.y)), 3e-3);
    EXPECT_EQ(std::make_tuple(t.kind, t.material.texture, t.texture5, t.markTexture, g.resources),
              std::make_tuple(std::string(b.kind), textures.textureTable[kind.skinSlot],
                              textures.textureTable[SlotTowerSpare], textures.textureTable[SlotMark], money - kind.price));
    applyTextureTable(textures.glowTextureTable);
    EXPECT_EQ(t.material.texture, textures.glowTextureTable[kind.skinSlot]) << b.kind;
    applyTextureTable(textures.textureTable);
    EXPECT_EQ(towerIconSlot(b.kind), kind.iconSlot);
    icons.insert(kind.iconSlot);
  }
  EXPECT_EQ(icons.size(), 3u) << "each kind shows its own icon";
  // The same spot again, and one a little off it, are taken; off the board (x below 1 under pixel 10) nothing
  // happens at all.
  EXPECT_EQ(clicks({{300, 200}, {303, 202}}), "Can't build a tower here!\nCan't build a tower here!\n");
  EXPECT_EQ(click(10, 300), "");
}

TEST_F(Input, PickingTakesTheNearerTowerAndBuildSpotsCloserThanOneBoxAreTaken) {
  Tower* centre = addTower("tris", 39.0f, -39.0f);
  Tower* west = addTower("tris", 20.0f, -39.0f);
  // A level ray through both boxes: the tower whose foot is nearer the origin wins, whatever the list order.
  const float y = (centre->worldMin[1] + centre->worldMax[1]) / 2;
  EXPECT_TRUE(pickTower(vec3(0.0f, y, -39.0f), vec3(1, 0, 0)));
  EXPECT_EQ(std::make_tuple(g.selectedTower, west->selected, centre->selected), std::make_tuple(west, true, false));
  EXPECT_TRUE(pickTower(vec3(70.0f, y, -39.0f), vec3(-1, 0, 0)));
  EXPECT_EQ(std::make_tuple(g.selectedTower, west->selected, centre->selected), std::make_tuple(centre, false, true));
  EXPECT_FALSE(pickTower(vec3(0.0f, y, -60.0f), vec3(1, 0, 0)));
  EXPECT_EQ(std::make_tuple(g.selectedTower, centre->selected), std::make_tuple(static_cast<Tower*>(nullptr), false));

  const float width = west->worldMax[0] - west->worldMin[0], depth = west->worldMax[2] - west->worldMin[2];
  const float cx = (west->worldMax[0] + west->worldMin[0]) / 2, cz = (west->worldMax[2] + west->worldMin[2]) / 2;
  EXPECT_EQ(std::make_tuple(isBuildSpotFree(cx, cz), isBuildSpotFree(cx - 0.99f * width, cz + 0.99f * depth),
                            isBuildSpotFree(cx - 1.01f * width, cz), isBuildSpotFree(cx, cz - 1.01f * depth)),
            std::make_tuple(false, false, true, true));
}

TEST_F(Input, SuperGlowOnlyWhenReadyAndRunningOtherwiseTheBoardGetsTheClick) {
  lookStraightDown();
  Enemy* enemy = addEnemy("cube_w", 1.0f, -1.0f, kPath, 2);
  click(512, 650);
  matchClock.jumpTo(325.0);
  expectTowerAt(click(512, 114), 512, 114);
  matchClock.jumpTo(325.5);
  EXPECT_EQ(click(512, 114), "SuperGlow\n");
  for (auto& s : g.spawnPoints) EXPECT_EQ(s->pulseTime, 325.5);
  EXPECT_EQ(std::make_pair(enemy->hitPoints, g.superGlowReadyTime), std::make_pair(700.0, 650.5));
  // Not ready again until after 650.5.
  matchClock.jumpTo(650.5);
  EXPECT_EQ(click(512, 114), "Can't build a tower here!\n");
  EXPECT_EQ(std::make_pair(enemy->hitPoints, g.towers.size()), std::make_pair(700.0, size_t(1)));
}

TEST_F(Input, EveryKeyPrintsAndShowsItsExactTextsTheFilterPairsReachTheDrawablesAndTheClockPauses) {
  // Key, console, screen message (null: the slot is left alone), then spectator, frame rate, wireframe, buffer
  // objects, culling, overlay, and the filter pair handed out: F4 and F5 go through every combination.
  const struct { int key; const char* console; const char* screen; int flags[6]; GLint min, mag; } keys[] = {
      {'C', "Spectator mode: true\n", nullptr, {1, 0, 0, 0, 0}, 0, 0},
      {'C', "Spectator mode: false\n", nullptr, {0, 0, 0, 0, 0}, 0, 0},
      {KEY_F2, "FPS mode: true\n", nullptr, {0, 1, 0, 0, 0}, 0, 0},
      {KEY_F2, "FPS mode: false\n", nullptr, {0, 0, 0, 0, 0}, 0, 0},
      {KEY_F3, "Wireframe mode: true\n", "Wireframe mode ON", {0, 0, 1, 0, 0}, 0, 0},
      {KEY_F3, "Wireframe mode: false\n", "Wireframe mode OFF", {0, 0, 0, 0, 0}, 0, 0},
      {KEY_F4, "Texture mode: NEAREST\n", "Texture mode: NEAREST ", {}, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
      {KEY_F5, "Mipmap mode: OFF\n", "Mipmap mode: OFF", {}, GL_NEAREST, GL_NEAREST},
      {KEY_F5, "Mipmap mode: NEAREST\n", "Mipmap mode: NEAREST", {}, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
      {KEY_F4, "Texture mode: LINEAR\n", "Texture mode: LINEAR", {}, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR},
      {KEY_F5, "Mipmap mode: LINEAR\n", "Mipmap mode LINEAR", {}, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
      {KEY_F5, "Mipmap mode: OFF\n", "Mipmap mode: OFF", {}, GL_LINEAR, GL_LINEAR},
      {KEY_F6, "[VBO] ENABLED!\n", "VBOs: ON", {0, 0, 0, 1, 0}, GL_LINEAR, GL_LINEAR},
      {KEY_F6, "[VBO] DISABLED!\n", "VBOs: OFF", {}, GL_LINEAR, GL_LINEAR},
      {KEY_F8, "[VIEW FRUSTUM] ENABLED!\n", "Viewfrustum Culling: ON", {0, 0, 0, 0, 1}, GL_LINEAR, GL_LINEAR},
      {KEY_F8, "[VIEW FRUSTUM] DISABLED!\n", "Viewfrustum Culling: OFF", {}, GL_LINEAR, GL_LINEAR},
      {KEY_F9, "Overlay: ON\n", "Overlay: ON", {0, 0, 0, 0, 0, 1}, GL_LINEAR, GL_LINEAR},
      {KEY_F9, "Overlay: OFF\n", "Overlay: OFF", {}, GL_LINEAR, GL_LINEAR},
      {KEY_F1, "", nullptr, {}, GL_LINEAR, GL_LINEAR},
      {KEY_F7, "", nullptr, {}, GL_LINEAR, GL_LINEAR},
      {KEY_ESC, "", nullptr, {}, GL_LINEAR, GL_LINEAR}};
  addEnemy("cube", 5.0f, -5.0f, kPath, 2);
  addTower("tris", 5.0f, -5.0f);
  for (const auto& k : keys) {
    SCOPED_TRACE(k.console);
    advanceTime(1.0);
    g.screenMessage = {" ", 0.0};
    EXPECT_EQ(press(k.key, RELEASE) + press(k.key), k.console);
    EXPECT_EQ(std::string(g.screenMessage.text), k.screen ? k.screen : " ");
    EXPECT_EQ(g.screenMessage.expiry, k.screen ? getTime() + 3.0 : 0.0);
    EXPECT_EQ(std::vector<int>({debugSwitches.spectatorMode, debugSwitches.fpsMode, debugSwitches.wireframeMode, g.useVbo, g.frustumCulling, g.overlay.shown}),
              std::vector<int>(k.flags, k.flags + 6));
    EXPECT_EQ(std::make_pair(g.minFilter, g.magFilter), std::make_pair(k.min, k.mag));
    GLint polygon[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, polygon);
    EXPECT_EQ(polygon[0], k.flags[2] ? GL_LINE : GL_FILL);
  }
  // Every drawable has the last pair; an unknown texture filter keeps it and hands it out again.
  applyTextureFilters(GL_NEAREST, GL_LINEAR_MIPMAP_LINEAR);
  g.hud.minFilter = g.hud.magFilter = 0;
  applyTextureFilters(12345, 0);
  auto filters = [](const auto& drawable) { return std::make_pair(drawable.minFilter, drawable.magFilter); };
  for (auto pair : {filters(g), filters(g.map->material), filters(g.spawnPoints.back()->material),
                    filters(g.towers.back()->material), filters(g.textRenderer), filters(g.hud)})
    EXPECT_EQ(pair, std::make_pair(GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST));

  // A second command within 3 s replaces the message at once, for a full 3 s of its own.
  setTime(100.0), press(KEY_F3), advanceTime(2.0), press(KEY_F6);
  EXPECT_EQ(std::make_pair(std::string(g.screenMessage.text), g.screenMessage.expiry),
            std::make_pair(std::string("VBOs: ON"), 105.0));

  // The pause keeps the moment it began; resuming sets the clock and the last frame time back to it, also
  // after the end of a match, which then runs again.
  setTime(50.0);
  EXPECT_EQ(press('P'), "Pause mode: true\n");
  for (int state : {Paused, Lost, Won}) {
    setTime(80.0);
    g.gameState = state;
    EXPECT_EQ(press('P'), "Pause mode: false\n");
    EXPECT_EQ(std::make_tuple(g.gameState, getTime(), frameClock.lastFrameTime), std::make_tuple(int(Running), 50.0, 50.0));
  }
}

TEST_F(Input, CameraMovesTurnsScrollsAndZoomsWithinItsLimits) {
  // One step from the start (above the corner at 20, 20, 20, looking 30 degrees down): cursor, key held, dt, how
  // far the eye goes, right button, window size. Still input leaves the view alone; ten units per second along
  // the ground and straight up and down; screen-edge bands of 56 and 60 pixels at 1024 x 768; Up with the cursor
  // in the top band moves once; the right button stops the side bands, not the top one (and turns, as below);
  // the bands (top: 8 * 1000 / 100 = 80) and the aspect ratio follow a resized window.
  const vec3 down(0, -0.5f, -std::sqrt(3.0f) / 2);
  struct Step { int x, y, key; double dt; vec3 move; bool right = false; int width = 1024, height = 768; };
  const Step steps[] = {
      {512, 384, 0, 0.5, vec3(0)}, {512, 384, KEY_UP, 0.1, {0, 0, -1}}, {512, 384, KEY_DOWN, 0.2, {0, 0, 2}},
      {512, 384, KEY_LEFT, 0.1, {-1, 0, 0}}, {512, 384, KEY_RIGHT, 0.3, {3, 0, 0}}, {512, 10, KEY_UP, 0.1, {0, 0, -1}},
      {512, 384, KEY_PAGEUP, 0.5, {0, 5, 0}}, {512, 384, KEY_PAGEDOWN, 0.1, {0, -1, 0}}, {512, 55, 0, 0.1, {0, 0, -1}},
      {512, 56, 0, 0.1, vec3(0)}, {512, 713, 0, 0.1, {0, 0, 1}}, {512, 712, 0, 0.1, vec3(0)},
      {59, 384, 0, 0.1, {-1, 0, 0}}, {60, 384, 0, 0.1, vec3(0)}, {965, 384, 0, 0.1, {1, 0, 0}},
      {964, 384, 0, 0.1, vec3(0)}, {0, 0, 0, 0.1, {-1, 0, -1}}, {1023, 767, 0, 0.1, {1, 0, 1}},
      {10, 10, 0, 0.1, {0, 0, -1}, true}, {1000, 79, 0, 0.1, {0, 0, -1}, false, 2000, 1000},
      {1000, 80, 0, 0.1, vec3(0), false, 2000, 1000}};
  for (const Step& s : steps) {
    initCamera();
    core.mouseX = s.x, core.mouseY = s.y, core.windowWidth = s.width, core.windowHeight = s.height;
    injectMouseButton(MOUSE_BUTTON_RIGHT, s.right);
    s.key ? stepWith(s.key, s.dt) : updateCamera(s.dt);
    expectNear(eye() - vec3(20), s.move);
    if (!s.right) expectNear(sight(), down);
  }
  EXPECT_NEAR(camera.projectionMatrix[1][1] / camera.projectionMatrix[0][0], 2.0f, 1e-4f);
  core.windowWidth = 1024, core.windowHeight = 768;
  // The wheel narrows the field of view 2 degrees a notch, within 0 ... 25 notches.
  for (auto [set, kept, degrees] : {std::tuple(-3, 0, 60), std::tuple(5, 5, 50), std::tuple(25, 25, 10),
                                    std::tuple(30, 25, 10)}) {
    setMouseWheel(set), updateCamera(0.0);
    EXPECT_EQ(getMouseWheel(), kept);
    EXPECT_NEAR(glm::degrees(2.0f * std::atan(1.0f / camera.projectionMatrix[1][1])), degrees, 1e-3f) << set;
  }
}

TEST_F(Input, EyeFloorAndTheSpectatorsFlightAndDeadZone) {
  // Page Down tests the height before the step: from 1.05 one step to 0.05, then no more until it rises.
  camera.viewMatrix = camera.tiltMatrix * glm::translate(glm::mat4(1.0f), vec3(-20, -1.05f, -20));
  for (auto [key, height] : {std::pair(KEY_PAGEDOWN, 0.05f), std::pair(KEY_PAGEDOWN, 0.05f),
                             std::pair(KEY_PAGEUP, 2.05f), std::pair(KEY_PAGEDOWN, 1.05f)}) {
    stepWith(key, key == KEY_PAGEUP ? 0.2 : 0.1);
    EXPECT_NEAR(eye().y, height, 1e-4f);
  }
  // A spectator flies along the sight (30 degrees down): a step ending at 1.0 is dropped whole, 1.01 taken;
  // sideways it strafes.
  debugSwitches.spectatorMode = true;
  camera.viewMatrix = camera.tiltMatrix * glm::translate(glm::mat4(1.0f), vec3(-20, -2, -20));
  const std::tuple<int, double, vec3> flights[] = {{KEY_UP, 0.2, {20, 2, 20}},
      {KEY_UP, 0.198, {20, 1.01f, 20 - 0.99f * std::sqrt(3.0f)}}, {KEY_DOWN, 0.198, {20, 2, 20}},
      {KEY_LEFT, 0.1, {19, 2, 20}}};
  for (const auto& [key, dt, to] : flights) {
    stepWith(key, dt);
    expectNear(eye(), to);
  }
  // Within 20 pixels of the centre on both axes the view stays still, the right button playing no part.
  initCamera();
  const glm::mat4 startView = camera.viewMatrix;
  injectMouseButton(MOUSE_BUTTON_RIGHT, true);
  for (glm::ivec2 offset : {glm::ivec2(20, 20), glm::ivec2(-20, -20), glm::ivec2(0, 20), glm::ivec2(20, 0)}) {
    core.mouseX = 512 + offset.x, core.mouseY = 384 + offset.y;
    updateCamera(1.0);
    EXPECT_EQ(camera.viewMatrix, startView);
  }
  // 21 pixels off on one axis turns on both, each by its own offset, on the spot: 4.2 degrees to the right and,
  // below the centre, 1 degree further down.
  core.mouseX = 512 + 21, core.mouseY = 384 + 5;
  updateCamera(1.0);
  expectNear(eye(), {20, 20, 20});
  const float yaw = glm::radians(4.2f), pitch = glm::radians(31.0f);
  expectNear(sight(), {std::sin(yaw) * std::cos(pitch), -std::sin(pitch), -std::cos(yaw) * std::cos(pitch)});
  // The tilt keeps the new pitch, so ground moves after leaving spectator mode stay level.
  debugSwitches.spectatorMode = false;
  stepWith(KEY_UP, 0.1);
  EXPECT_NEAR(eye().y, 20.0f, 1e-4f);
}

TEST(Frustum, CulledOnlyWhenAllCornersAreBeyondOnePlane) {
  const glm::mat4 id(1.0f), persp = glm::perspective(glm::radians(60.0f), 1.0f, 0.1f, 150.0f);
  const glm::mat4 startView = glm::rotate(id, glm::radians(30.0f), vec3(1, 0, 0)) * glm::translate(id, vec3(-20));
  auto drawn = [](vec3 lo, vec3 hi, const glm::mat4& model, const glm::mat4& projection, const glm::mat4& view) {
    glm::vec4 corners[8];
    for (int i = 0; i < 8; ++i) corners[i] = {i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z, 1};
    return isInFrustum(corners, model, projection, view);
  };
  // With identity matrices clip space is the box -1 ... 1: a box touching one of its planes from outside is
  // drawn, a hair further out it is culled, and its model matrix can bring it back.
  for (int axis = 0; axis < 3; ++axis)
    for (float side : {-1.0f, 1.0f}) {
      vec3 lo(-0.5f), hi(0.5f), back(0.0f);
      lo[axis] = side, hi[axis] = 3 * side, back[axis] = -2 * side;
      EXPECT_TRUE(drawn(lo, hi, id, id, id)) << axis << " " << side;
      lo[axis] = 1.001f * side;
      EXPECT_FALSE(drawn(lo, hi, id, id, id)) << axis << " " << side;
      EXPECT_TRUE(drawn(lo, hi, glm::translate(id, back), id, id)) << axis << " " << side;
    }
  // In perspective: behind the eye; near corners beyond the left plane and far ones beyond the far plane (no
  // single plane has all eight). The start view sees the ground ahead of it, not behind it.
  const std::tuple<vec3, vec3, glm::mat4, bool> cases[] = {
      {{-1, -1, 5}, {1, 1, 9}, id, false}, {{-300, -1, -160}, {-50, 1, -20}, id, true},
      {{19, 0, -16}, {21, 2, -14}, startView, true}, {{19, 0, 60}, {21, 2, 62}, startView, false}};
  for (const auto& [lo, hi, view, in] : cases) EXPECT_EQ(drawn(lo, hi, id, persp, view), in) << lo.x << "," << lo.z;
  EXPECT_TRUE(isInFrustum(nullptr, id, persp, startView));
}

TEST_F(Input, FrameRateSampledStrictlyAfterOneSecondAndStoppedGamesHoldAllButTheCamera) {
  injectCursor(512, 384);
  double t = 100.0;
  auto frameAt = [](double now) { setTime(now), updateFrame(); };
  // At 60 frames per second the frame exactly one second on takes no sample; the next one does.
  frameClock.lastFrameTime = frameClock.fpsLastTime = t;
  frameClock.frameCount = frameClock.framesPerSecond = 0;
  for (int k = 1; k <= 60; ++k) frameAt(t + k / 60.0);
  EXPECT_EQ(std::make_pair(frameClock.framesPerSecond, frameClock.frameCount), std::make_pair(0.0, 60.0));
  frameAt(t += 61 / 60.0);
  EXPECT_NEAR(frameClock.framesPerSecond, 60.0, 1e-9);
  EXPECT_NEAR(frameClock.msPerFrame, 1000.0 / 60.0, 1e-9);
  EXPECT_EQ(std::make_pair(frameClock.fpsLastTime, frameClock.frameCount), std::make_pair(t, 0.0));
  // Stopped games count no frames, keep the last rate and hold the enemies, while the camera keeps moving: ten
  // seconds of Up, 100 units.
  while (g.enemies.empty()) frameAt(t += 0.1);
  frameAt(t += 0.5);
  const Enemy& e = *g.enemies.front();
  auto stopped = [&] { return std::make_tuple(frameClock.framesPerSecond, frameClock.frameCount, g.enemies.size(), e.worldX, e.worldZ); };
  const auto before = stopped();
  const vec3 from = eye();
  injectKey(KEY_UP, true);
  for (int state : {Paused, Lost, Won}) {
    g.gameState = state;
    for (int k = 0; k < 100; ++k) frameAt(t += 0.1 / 3);
    EXPECT_EQ(stopped(), before) << state;
  }
  injectKey(KEY_UP, false);
  expectNear(eye() - from, {0, 0, -100}, 1e-2f);
}

TEST_F(Input, TheOptionsScreenStopsTheMatchTakesEveryKeyChangesAtOnceAndSavesWhatThePlayerChanged) {
  const std::filesystem::path home = std::filesystem::temp_directory_path() / ("varrow_options_" + std::to_string(getpid()));
  const std::string path = settingsFilePath(home.c_str(), nullptr);
  // The file says music at 50 %; this run's command line asked for Low.
  Settings fromFile;
  fromFile.musicVolume = 50;
  settings = fromFile;
  applyQuality(settings, Quality::Low);
  optionsScreen.keepIn(path, fromFile);
  injectCursor(512, 384);
  auto frameAt = [](double now) { setTime(now), updateFrame(); };
  double t = 0.0;
  while (g.enemies.empty()) frameAt(t += 0.1);
  const Enemy& e = *g.enemies.front();
  auto match = [&] { return std::make_tuple(e.worldX, e.worldZ, g.gameState, g.resources, g.towers.size(), debugSwitches.wireframeMode); };
  const auto before = match();
  const glm::mat4 view = camera.viewMatrix;

  // Open, nothing printed, and nothing moves for five seconds: no enemy, no camera (Up held), no command, no click.
  const double openedAt = t;
  EXPECT_EQ(press(KEY_F10), "");
  injectKey(KEY_UP, true);
  EXPECT_EQ(press('P') + press(KEY_F3) + click(512, 653) + click(512, 300), "");
  for (int k = 0; k < 50; ++k) frameAt(t += 0.1);
  injectKey(KEY_UP, false);
  EXPECT_TRUE(match() == before && camera.viewMatrix == view);

  // Down to the music, a step left (heard at once); the quality from Low up to Medium, then a smaller shadow
  // map, which is no preset.
  for (int key : {KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_LEFT, KEY_DOWN, KEY_DOWN, KEY_RIGHT, KEY_DOWN, KEY_LEFT}) press(key);
  EXPECT_EQ(std::make_tuple(settings.musicVolume, g.musicVolume, optionValue(settings, LineQuality)),
            std::make_tuple(40, 0.4f, std::string("Custom")));
  EXPECT_EQ(std::make_tuple(settings.shadowMapSize, settings.glow, settings.renderScale), std::make_tuple(512, true, 75));
  // Up from the top line wraps to the last, the difficulty, and on to the overlay, which shows at once.
  for (int k = 0; k < 8; ++k) press(KEY_UP);
  press(KEY_RIGHT);
  EXPECT_EQ(std::make_tuple(optionsScreen.line(), settings.overlay, g.overlay.shown), std::make_tuple(int(LineOverlay), true, true));

  // Escape closes the screen, and the press that closed it does not quit, held or not; the next one does.
  EXPECT_EQ(press(KEY_ESC), "");
  EXPECT_FALSE(optionsScreen.isOpen() || inputRouter.escapeQuits(true));
  press(KEY_ESC, RELEASE), press(KEY_ESC);
  EXPECT_TRUE(!inputRouter.escapeQuits(false) && inputRouter.escapeQuits(true));
  // The clock is back at the moment the screen opened, and the match goes on from there.
  EXPECT_EQ(std::make_pair(getTime(), frameClock.lastFrameTime), std::make_pair(openedAt, openedAt));
  frameAt(openedAt + 0.1);
  EXPECT_NE(match(), before);

  // Saved: what the player changed over what the file had, not the command line's Low.
  Settings want = fromFile;
  applyQuality(want, Quality::Medium);
  want.musicVolume = 40, want.shadowMapSize = 512, want.overlay = true;
  const SettingsRead saved = readSettingsFile(path);
  EXPECT_TRUE(saved.settings == want && saved.warnings.empty());
  // Opened and closed without a change: the file is not written.
  std::filesystem::remove(path);
  press(KEY_F10), press(KEY_F10);
  EXPECT_FALSE(std::filesystem::exists(path));
  std::filesystem::remove_all(home);
}

// Every click and key that acts is one command: applied alone to a fresh world, the command the input stood
// for prints and changes the world exactly as the input did, so a command is all a replay needs to keep.
TEST_F(Input, EveryClickAndKeyIsOneCommandThatAloneChangesTheWorldTheSameWay) {
  struct Step {
    std::function<void()> before;  // puts the world where the input can act, in both worlds alike
    int key;                       // a key, or 0 for a click at (x, y)
    int x, y;
  };
  const auto lost = [] { game.gameState = Lost; };
  const auto ready = [] { matchClock.jumpTo(kSuperGlowCooldown + 1.0); };
  const Step steps[] = {{{}, 0, 512, 650}, {{}, 0, 300, 200},  {{}, 0, 612, 650},  {{}, 0, 700, 200},
                        {{}, 0, 812, 650}, {{}, 0, 300, 200},  {{}, 0, 912, 680},  {{}, 0, 912, 630},
                        {{}, 0, 700, 200}, {{}, 'T', 0, 0},    {{}, 'T', 0, 0},    {{}, 'N', 0, 0},
                        {ready, 0, 512, 114}, {{}, 'P', 0, 0},  {{}, 'P', 0, 0},
                        {{}, 'F', 0, 0},   {{}, 'C', 0, 0},    {{}, KEY_F2, 0, 0}, {{}, KEY_F3, 0, 0},
                        {{}, KEY_F4, 0, 0}, {{}, KEY_F5, 0, 0}, {{}, KEY_F6, 0, 0}, {{}, KEY_F8, 0, 0},
                        {{}, KEY_F9, 0, 0}, {lost, 'R', 0, 0}};
  const auto world = [this] {
    std::ostringstream s;
    s << g.resources << ' ' << g.gameState << ' ' << g.selectionMode << ' ' << g.selectedTowerType << ' '
      << g.superGlowReadyTime << ' ' << matchClock.speed() << ' ' << g.useVbo << g.frustumCulling << g.overlay.shown
      << debugSwitches.spectatorMode << debugSwitches.fpsMode << debugSwitches.wireframeMode << ' '
      << debugSwitches.textureFilter << ' ' << debugSwitches.mipmapMode << ' ' << g.screenMessage.text;
    for (auto& t : g.towers)
      s << " tower " << t->kind << ' ' << t->posX << ' ' << t->posZ << ' ' << t->level << t->selected << ' '
        << targetPriorityName(t->priority);
    s << " waves " << g.waveShift;
    for (auto& e : g.enemies) s << " enemy " << e->hitPoints;
    return s.str();
  };
  const float path[] = {39, -39, 40, -39};
  lookStraightDown();
  addEnemy("cube", 39, -39, path, 2);
  std::vector<Command> commands;
  std::vector<std::string> byInput;
  std::set<CommandKind> kinds;
  for (const Step& step : steps) {
    if (step.before) step.before();
    Command command{CommandKind::Pause};
    ASSERT_TRUE(step.key ? commandForKey(step.key, &command) : commandForClick(step.x, step.y, &command));
    commands.push_back(command);
    kinds.insert(command.kind);
    const std::string printed = step.key ? press(step.key) : click(step.x, step.y);
    byInput.push_back(printed + world());
  }
  EXPECT_EQ(kinds.size(), static_cast<size_t>(kLastCommandKind) + 1) << "a kind no click or key makes";

  TearDown();
  SetUp();
  lookStraightDown();
  addEnemy("cube", 39, -39, path, 2);
  for (size_t i = 0; i < commands.size(); ++i) {
    if (steps[i].before) steps[i].before();
    std::string printed;
    {
      CaptureStdout out;
      applyCommand(commands[i]);
      printed = out.text();
    }
    EXPECT_EQ(printed + world(), byInput[i]) << "step " << i;
  }
}

TEST_F(Input, TheLevelsScreenStartsTheChosenLevelRemembersItAndItsMatchesKeepRecords) {
  namespace fs = std::filesystem;
  const fs::path home = fs::temp_directory_path() / ("varrow_levels_" + std::to_string(getpid()));
  fs::create_directories(home / "varrow/levels");
  std::ofstream(home / "varrow/levels/broken.json") << "{";
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const std::string savedDataHome = dataHome ? dataHome : "";
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  const std::string settingsPath = (home / "settings.ini").string();
  Settings fromFile;
  fromFile.musicVolume = 50;
  optionsScreen.keepIn(settingsPath, fromFile);
  matchRecords.keepIn((home / "records.json").string());
  auto frameAt = [](double now) { setTime(now), updateFrame(); };
  frameAt(0.5);

  // Tab opens the listing: the shipped levels, then the player's file that cannot be played, with its problem.
  EXPECT_EQ(press(KEY_TAB), "");
  ASSERT_TRUE(levelsScreen.isOpen());
  std::vector<std::string> files;
  for (const LevelEntry& entry : levelsScreen.entries()) files.push_back(entry.fileName);
  EXPECT_EQ(files, (std::vector<std::string>{"classic.json", "gates.json", "serpent.json", "broken.json"}));
  EXPECT_EQ(levelsScreen.rows()[3].value, "cannot be played");
  EXPECT_FALSE(levelsScreen.rows()[3].detail.empty());
  EXPECT_EQ(levelsScreen.rows()[2].value, "no record yet");
  // Up from the top wraps to the broken file, which Enter cannot start; Down twice more is Serpent.
  press(KEY_UP);
  EXPECT_EQ(press(KEY_ENTER), "");
  EXPECT_TRUE(levelsScreen.isOpen());
  for (int k = 0; k < 3; ++k) press(KEY_DOWN);
  EXPECT_EQ(press(KEY_ENTER), "Level: Serpent\n");
  EXPECT_FALSE(levelsScreen.isOpen());
  EXPECT_EQ(std::make_tuple(g.level.name, g.resources, g.files.size(), takenFiles(), g.towers.size(), g.gameState,
                            matchClock.speed(), matchClock.now()),
            std::make_tuple(std::string("Serpent"), 500, size_t{16}, 0, size_t{0}, int(Running), 1, 0.0));
  // Remembered over what the settings file had.
  const SettingsRead saved = readSettingsFile(settingsPath);
  EXPECT_EQ(std::make_tuple(saved.settings.level, saved.settings.musicVolume, saved.warnings.size()),
            std::make_tuple(std::string("serpent"), 50, size_t{0}));

  // The first end sets the record quietly; a better one replaces it with a message, once.
  g.screenMessage = {" ", 0.0};
  matchClock.jumpTo(40.0);
  g.gameState = Lost;
  frameAt(1.0);
  EXPECT_EQ(std::string(g.screenMessage.text), " ");
  press('R');
  frameAt(1.05);
  matchClock.jumpTo(90.0);
  g.gameState = Won;
  frameAt(1.1);
  const std::string message = g.screenMessage.text;
  EXPECT_NE(message.find("Serpent"), std::string::npos) << message;
  g.screenMessage = {" ", 0.0};
  frameAt(1.2);
  EXPECT_EQ(std::string(g.screenMessage.text), " ");
  RecordsFile records = loadRecordsFile((home / "records.json").string(), std::cerr);
  ASSERT_EQ(records.records.all().size(), size_t{1});
  EXPECT_EQ(std::make_tuple(records.records.all()[0].level.fileName, records.records.all()[0].best.won),
            std::make_tuple(std::string("serpent.json"), true));
  // The screen shows the record when it opens again, on the level being played.
  press(KEY_TAB);
  EXPECT_EQ(std::make_pair(levelsScreen.chosen(), levelsScreen.rows()[2].value),
            std::make_pair(2, resultText(records.records.all()[0].best)));
  press(KEY_ESC);

  setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
  fs::remove_all(home);
}

TEST_F(Input, TheHelpListsEveryKeyTheGameHandlesAndNoOther) {
  std::set<int> commandKeys, screenKeys, heldKeys;
  for (const Control& control : controls()) {
    EXPECT_EQ(control.use == ControlUse::Mouse, control.keys.empty()) << control.input;
    for (int key : control.keys) {
      (control.use == ControlUse::Command ? commandKeys : control.use == ControlUse::Screen ? screenKeys : heldKeys)
          .insert(key);
    }
  }
  std::set<int> mapped;
  Command command{CommandKind::Pause};
  for (int key = 0; key < 512; ++key)
    if (commandForKey(key, &command)) mapped.insert(key);
  EXPECT_EQ(commandKeys, mapped);
  EXPECT_EQ(screenKeys, (std::set<int>{optionsScreen.openKey(), levelsScreen.openKey(), helpScreen.openKey()}));
  // F1 opens the help over the stopped match; Escape closes it without quitting.
  EXPECT_EQ(press(KEY_F1), "");
  EXPECT_TRUE(helpScreen.isOpen());
  press(KEY_ESC);
  EXPECT_FALSE(helpScreen.isOpen() || inputRouter.escapeQuits(true));
}
