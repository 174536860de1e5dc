// The real three-pass frame read back from the window (the board's ambient, diffuse and specular levels
// against the lighting uniforms, cast shadow, spilling glow, wireframe gaps, both draw paths, culling), spawn
// point lines, enemy movement, shader failure reports, and buffers freed once through moves and removals and
// never once the context is gone.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "CaptureStdout.h"
#include "WorldTest.h"
#include "platform/Core.h"
#include "input/Camera.h"
#include "render/Light.h"
#include "render/RenderTargets.h"
#include "config/Settings.h"
#include "render/RenderFrame.h"
#include "render/ShaderPrograms.h"
#include "render/TextureCatalogue.h"
#include "app/Window.h"
#include "input/Keyboard.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/MatchClock.h"
#include "scene/Enemy.h"
#include "scene/Mesh.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace fs = std::filesystem;

namespace {

// Mean brightness (0 ... 255) of the (2n+1) x (2n+1) block around a window pixel, origin bottom-left.
double brightness(const std::string& rgba, glm::vec2 at, int n = 2) {
  double sum = 0;
  for (int y = static_cast<int>(at.y) - n; y <= static_cast<int>(at.y) + n; ++y)
    for (int x = static_cast<int>(at.x) - n; x <= static_cast<int>(at.x) + n; ++x)
      for (int c = 0; c < 3; ++c) sum += static_cast<unsigned char>(rgba[(y * 1024 + x) * 4 + c]);
  return sum / (3.0 * (2 * n + 1) * (2 * n + 1));
}

glm::vec2 toWindow(const glm::vec3& world) {
  glm::vec4 clip = camera.projectionMatrix * camera.viewMatrix * glm::vec4(world, 1.0f);
  return {(clip.x / clip.w * 0.5f + 0.5f) * core.windowWidth, (clip.y / clip.w * 0.5f + 0.5f) * core.windowHeight};
}

// Share of pure black pixels in the middle of the window.
double blackShare(const std::string& rgba) {
  int black = 0;
  for (int y = 250; y < 500; ++y)
    for (int x = 250; x < 750; ++x) black += rgba.compare((y * 1024 + x) * 4, 3, std::string(3, '\0')) == 0;
  return black / (250.0 * 500.0);
}

const float kPath[] = {0, 0, 1, 0};

// The board alone under the start camera and light, with the frame's render targets made once.
class Frame : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    if (!renderTargets.shadowFramebuffer) {
      CaptureStdout quiet;
      setInitialGlState();
      light.lightProjectionMatrix = glm::perspective(glm::radians(120.0f), 1.0f, 0.1f, 150.0f);
      createRenderTargets();
      createScreenQuad();
    }
    clearWorld(g);
    g.createMap(textures.textureTable[SlotBoard]);
    light.lightPosition = glm::vec3(-10.0f, 40.0f, 10.0f);
    light.lightViewMatrix = glm::lookAt(light.lightPosition, glm::vec3(0.0f), glm::vec3(0, 0, 1));
  }
  std::string frame() {
    drawFrame();
    return readPixelsRgba(0, 0, 1024, 768);
  }
  std::string frameLitFrom(glm::vec3 position) {
    light.lightPosition = position;
    light.lightViewMatrix = glm::lookAt(light.lightPosition, glm::vec3(0.0f), glm::vec3(0, 0, 1));
    return frame();
  }
};

// Levels (0 ... 255) of the terms of shadow2.frag on a lit, unshadowed point of the board, textured in
// grey 128: the light colours the draw sets times the board's material, with the board's up normal.
struct Terms {
  double ambient, diffuse, specular;
};

Terms boardTerms(glm::vec3 point, glm::vec3 light) {
  const double surface = 128.0 / 255.0;
  const glm::vec3 eye(glm::inverse(camera.viewMatrix) * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
  const glm::vec3 l = glm::normalize(light - point), e = glm::normalize(eye - point);
  const double nl = std::max(l.y, 0.0f);
  const double nh = nl > 0.0 ? std::max(glm::normalize(l + e).y, 0.0f) : 0.0;
  return {255.0 * surface * 0.3 * 0.5, 255.0 * surface * 1.0 * 1.0 * nl, 255.0 * 0.8 * 0.5 * std::pow(nh, 10.0)};
}

glm::ivec2 pixelOf(const glm::vec3& world) { return glm::ivec2(toWindow(world)); }

// The board point seen through the middle of a window pixel.
glm::vec3 groundAt(glm::ivec2 pixel) {
  const glm::vec4 viewport(0.0f, 0.0f, core.windowWidth, core.windowHeight);
  const glm::vec3 at(pixel.x + 0.5f, pixel.y + 0.5f, 0.0f);
  const glm::vec3 nearPoint = glm::unProject(at, camera.viewMatrix, camera.projectionMatrix, viewport);
  const glm::vec3 farPoint = glm::unProject(at + glm::vec3(0, 0, 1), camera.viewMatrix, camera.projectionMatrix, viewport);
  return nearPoint + nearPoint.y / (nearPoint.y - farPoint.y) * (farPoint - nearPoint);
}

double level(const std::string& rgba, glm::ivec2 pixel) { return brightness(rgba, glm::vec2(pixel), 0); }

class SceneObjects : public WorldTest {};

}  // namespace

TEST_F(Frame, TheBoardsLevelsAreTheAmbientDiffuseAndSpecularTermsOfTheLightingUniforms) {
  // The board in plain grey and without glow: a pixel is the lighting alone.
  GLuint grey = 0;
  const unsigned char texel[4] = {128, 128, 128, 255};
  glGenTextures(1, &grey);
  glBindTexture(GL_TEXTURE_2D, grey);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  const GLuint savedMain = textures.textureTable[SlotBoard], savedGlow = textures.glowTextureTable[SlotBoard];
  textures.textureTable[SlotBoard] = grey;
  textures.glowTextureTable[SlotBoard] = 0;  // the default texture has no image, so it samples as opaque black

  // Far up the board under the start light, where the highlight has faded; in the highlight of a light
  // placed to cast it in view near the board's front edge; and both with the light under the board, which
  // leaves the ambient term alone.
  const glm::vec3 startLight = light.lightPosition, highlightLight(20.0f, 30.0f, -40.0f), below(-10.0f, -40.0f, 10.0f);
  const glm::ivec2 far = pixelOf({60.0f, 0.0f, -60.0f}), highlight = pixelOf({20.0f, 0.0f, -4.0f});
  const Terms farTerms = boardTerms(groundAt(far), startLight);
  const Terms highlightTerms = boardTerms(groundAt(highlight), highlightLight);
  const double lit = level(frameLitFrom(startLight), far);
  const double shining = level(frameLitFrom(highlightLight), highlight);
  const std::string unlit = frameLitFrom(below);
  const double ambientFar = level(unlit, far), ambientHighlight = level(unlit, highlight);
  textures.textureTable[SlotBoard] = savedMain;
  textures.glowTextureTable[SlotBoard] = savedGlow;
  glDeleteTextures(1, &grey);

  ASSERT_GT(farTerms.diffuse, 30.0);
  ASSERT_LT(farTerms.specular, 0.1);
  ASSERT_GT(highlightTerms.specular, 100.0);
  EXPECT_NEAR(ambientFar, farTerms.ambient, 1.5)
      << "the ambient term (ambient_color 0.3 x the board's ambient 0.5 on grey 128) differs";
  EXPECT_EQ(ambientFar, ambientHighlight) << "the ambient term is the same everywhere";
  const double diffuse = lit - ambientFar;
  EXPECT_NEAR(diffuse, farTerms.diffuse, 2.0)
      << "the diffuse term (diffuse_color 1.0 x the board's diffuse 1.0 x n.l on grey 128) differs, or the board "
         "shadows itself there";
  // The highlight's diffuse share follows from the one measured far away, so a changed diffuse term is not
  // blamed on the specular one.
  const double specular = shining - ambientHighlight - diffuse * highlightTerms.diffuse / farTerms.diffuse;
  EXPECT_NEAR(specular, highlightTerms.specular, 3.0)
      << "the specular term (specular_color 0.8 x the board's specular 0.5 x (n.h)^10) differs, or the board "
         "shadows itself there";
}

TEST_F(Frame, TheBoardIsDrawnBothDrawPathsAgreeCulledFromBelowAndWireframeShowsTheClearColour) {
  while (glGetError() != GL_NO_ERROR) {
  }
  std::string lit = frame();
  GLint shadowSize = 0;
  glBindTexture(GL_TEXTURE_2D, renderTargets.shadowDepthTexture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &shadowSize);
  EXPECT_EQ(std::make_pair(glGetError(), shadowSize), std::make_pair(static_cast<GLenum>(GL_NO_ERROR), 2048));
  EXPECT_LT(blackShare(lit), 0.01);

  // Files and enemies in view: buffer objects and client arrays paint the same picture in every pass.
  g.createFiles();
  for (float x : {16.0f, 20.0f, 24.0f}) addEnemy("cube_or", x, -12.0f, kPath, 2);
  std::string arrays = frame();
  g.useVbo = true;
  EXPECT_TRUE(arrays == frame());
  EXPECT_FALSE(arrays == lit);
  glm::mat4 start = camera.viewMatrix;
  camera.viewMatrix = glm::lookAt(glm::vec3(65, -30, -65), glm::vec3(65, 0, -65), glm::vec3(0, 0, -1));  // beside the files
  EXPECT_GT(blackShare(frame()), 0.99) << "seen from below with buffer objects";
  g.useVbo = false;
  EXPECT_GT(blackShare(frame()), 0.99) << "seen from below with client arrays";
  camera.viewMatrix = start;

  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  const double gaps = blackShare(frame());
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  EXPECT_TRUE(gaps > 0.3 && gaps < 0.99) << gaps << " black: above 0.99 no lines were drawn at all";
}

TEST_F(Frame, AFloatingBoxCastsItsShadowAndGlowSpillsPastAGlowingBox) {
  // A box 5 units up: its shadow falls on the board clear of where the camera sees the box.
  glm::vec3 middle(21.0f, 6.0f, -9.0f);
  glm::vec3 shadow = light.lightPosition + light.lightPosition.y / (light.lightPosition.y - middle.y) * (middle - light.lightPosition);
  glm::vec2 at = toWindow(shadow), beside = toWindow(shadow + glm::vec3(-2.5f, 0.0f, 3.5f));
  ASSERT_TRUE(at.x > 10 && at.x < 1014 && glm::distance(toWindow(middle), at) > 40.0f);
  std::string bare = frame();
  addEnemy("cube", 21.0f, -9.0f, kPath, 2)->modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(21.0f, 5.0f, -9.0f));
  std::string shaded = frame();
  EXPECT_LT(brightness(shaded, at), 0.75 * brightness(bare, at)) << "at " << at.x << "," << at.y;
  EXPECT_NEAR(brightness(shaded, beside), brightness(bare, beside), 0.1 * brightness(bare, beside) + 2);

  // A white enemy on the board: left of its picture (where no shadow falls) the glow lights the board; the
  // same frame with its glow image black does not, and far away the glow changes nothing.
  clearWorld(g);
  g.createMap(textures.textureTable[SlotBoard]);
  Enemy* white = addEnemy("cube_w", 20.0f, -14.0f, kPath, 2);
  float left = 1e9f, low = 1e9f, high = -1e9f;
  for (int i = 0; i < 8; ++i) {
    glm::vec2 c = toWindow(glm::vec3(white->modelMatrix * white->boundingBox[i]));
    left = std::min(left, c.x), low = std::min(low, c.y), high = std::max(high, c.y);
  }
  glm::vec2 near(left - 5, (low + high) / 2), far = near - glm::vec2(150, 0);
  std::string glowing = frame();
  const GLuint saved = textures.glowTextureTable[SlotEnemyWhite];
  textures.glowTextureTable[SlotEnemyWhite] = 0;  // the default texture has no image, so it samples as opaque black
  std::string dark = frame();
  textures.glowTextureTable[SlotEnemyWhite] = saved;
  EXPECT_GT(brightness(glowing, near, 1), brightness(dark, near, 1) + 8.0) << "at " << near.x << "," << near.y;
  EXPECT_NEAR(brightness(glowing, far, 1), brightness(dark, far, 1), 1.0);
}

namespace {

// The overlay's colours in the final picture, glow added: a reach where a click builds, or where it would not.
bool plainReach(const unsigned char* p) { return p[0] > 180 && p[1] > 140 && p[2] < 120; }
bool warningReach(const unsigned char* p) { return p[0] > 180 && p[1] < 110 && p[2] < 110; }

// Whether a pixel within two of where a world point lands has the colour.
bool shows(const std::string& rgba, const glm::vec3& world, bool (*colour)(const unsigned char*)) {
  const glm::vec2 at = toWindow(world);
  for (int y = int(at.y) - 2; y <= int(at.y) + 2; ++y)
    for (int x = int(at.x) - 2; x <= int(at.x) + 2; ++x)
      if (colour(reinterpret_cast<const unsigned char*>(&rgba[(y * 1024 + x) * 4]))) return true;
  return false;
}

}  // namespace

TEST_F(Frame, TheOverlayOutlinesReachesAndBarsDamageInTheFinalPictureAndF9TakesItAllAway) {
  // Build mode with the cursor over (20, -20): the near side of the reach square runs through (20, -15).
  const glm::vec2 cursor = toWindow(glm::vec3(20.0f, 0.0f, -20.0f));
  core.mouseX = int(cursor.x + 0.5f), core.mouseY = 768 - int(cursor.y + 0.5f);
  g.selectionMode = false, game.selectedTowerType = "tris", g.overlay.shown = true;
  const glm::vec3 nearSide(20.0f, 0.15f, -15.0f);
  EXPECT_TRUE(shows(frame(), nearSide, plainReach));
  addTower("tris", 20.0f, -20.0f);
  EXPECT_TRUE(shows(frame(), nearSide, warningReach)) << "the spot is taken";
  g.towers.clear();
  for (int money : {99, 100}) {
    g.resources = money;
    EXPECT_TRUE(shows(frame(), nearSide, money < 100 ? warningReach : plainReach)) << money << " $";
  }
  core.mouseX = 512, core.mouseY = 650;  // over the Standard button, which takes the click
  const std::string overButton = frame();
  g.overlay.shown = false;
  EXPECT_TRUE(overButton == frame()) << "nothing over a HUD button";

  // No bar over an undamaged enemy; at 100 of 250 hit points, 40 % of the bar that faces the camera is green.
  Enemy* enemy = addEnemy("cube_or", 14.0f, -8.0f, kPath, 2);
  const std::string whole = frame();
  g.overlay.shown = true;
  EXPECT_TRUE(whole == frame());
  enemy->hitPoints = 100.0;
  const std::string damaged = frame();
  const glm::vec2 middle = toWindow(glm::vec3(14.0f, 2.8f, -8.0f));
  int kept = 0, lost = 0;
  for (int i = (int(middle.y) * 1024 + int(middle.x) - 80) * 4, end = i + 160 * 4; i < end; i += 4)
    if (damaged.compare(i, 3, whole, i, 3) != 0) ++(uint8_t(damaged[i + 1]) > uint8_t(damaged[i]) ? kept : lost);
  EXPECT_GT(kept + lost, 20);
  EXPECT_NEAR(kept / double(kept + lost), 0.4, 0.05) << kept << " kept, " << lost << " lost";

  // The selected tower's square; an upgrade widens it by one.
  g.selectedTower = addTower("tris", 40.0f, -24.0f);
  CaptureStdout quiet;
  for (float side : {45.0f, 46.0f}) {
    const std::string seen = frame();
    EXPECT_TRUE(shows(seen, {side, 0.15f, -24.0f}, plainReach)) << side;
    EXPECT_FALSE(shows(seen, {side == 45.0f ? 46.0f : 45.0f, 0.15f, -24.0f}, plainReach)) << side;
    g.selectedTower->upgrade();
  }

  // With all of it on at once, F9 hides it: the plain game's frame again.
  core.mouseX = int(cursor.x + 0.5f), core.mouseY = 768 - int(cursor.y + 0.5f);
  g.overlay.shown = false;
  const std::string plainGame = frame();
  for (bool shown : {true, false}) {
    onKey(platform::KEY_F9, platform::PRESS);
    g.screenMessage = {" ", 0.0};
    EXPECT_EQ(frame() == plainGame, !shown);
  }
}

// Each quality setting changes the picture but keeps the board where it is: in 32 x 32 blocks of the window,
// the ones the board lights at High are the ones it lights at that quality. Back at High, the picture is the
// same as before to the last bit.
TEST_F(Frame, EveryQualitySettingDrawsTheBoardInItsPlaceAndHighAgainIsTheSamePicture) {
  addTower("tris_gr", 21.0f, -9.0f);
  const std::string high = frame();
  auto litBlocks = [](const std::string& rgba) {
    std::vector<bool> lit;
    for (int y = 16; y < 768; y += 32)
      for (int x = 16; x < 1024; x += 32) lit.push_back(brightness(rgba, {x, y}, 15) > 12.0);
    return lit;
  };
  const std::vector<bool> board = litBlocks(high);
  const struct { const char* name; int shadowMapSize; bool glow; int renderScale; } qualities[] = {
      {"shadow 1024", 1024, true, 100}, {"shadow 512", 512, true, 100}, {"no glow", 2048, false, 100},
      {"75 %", 2048, true, 75}, {"50 %", 2048, true, 50}, {"Low", 512, false, 50}};
  for (const auto& q : qualities) {
    settings.shadowMapSize = q.shadowMapSize, settings.glow = q.glow, settings.renderScale = q.renderScale;
    const std::string picture = frame();
    const std::vector<bool> blocks = litBlocks(picture);
    int agree = 0;
    for (size_t i = 0; i < blocks.size(); ++i) agree += blocks[i] == board[i];
    EXPECT_NE(picture, high) << q.name;
    EXPECT_GT(agree, 0.97 * blocks.size()) << q.name;
  }
  GLint shadowSize = 0;
  glBindTexture(GL_TEXTURE_2D, renderTargets.shadowDepthTexture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &shadowSize);
  EXPECT_EQ(shadowSize, 512);
  settings = Settings();
  EXPECT_TRUE(frame() == high);
}

TEST_F(SceneObjects, PathLinesFloatAndSwellAfterASuperGlow) {
  SpawnPoint& sp = *g.spawnPoints.front();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(sp.getVertices()[4 * i + 1], 0.1f) << "path lines float above the board";
  const double widths[][3] = {{0.0, 0.25, 7.5}, {50.0, 50.0, 9.0}, {50.0, 50.5, 6.0}, {50.0, 51.0, 3.0}, {50.0, 80.0, 3.0}};
  for (const auto& w : widths) {  // pulse time, game clock, width
    sp.pulseTime = w[0], matchClock.jumpTo(w[1]), sp.draw(shaders.simpleProgram);
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_FLOAT_EQ(width, w[2]) << "at " << w[1];
  }
  glLineWidth(1.0f);
}

TEST_F(SceneObjects, EnemiesWalkOneAxisAtATimeSnapOntoPointsAndCoverTheirKindsSpeed) {
  const float path[] = {0, 0, 10, 0, 10, -5, 4, -5};  // +x, then -z, then -x
  Enemy& e = *addEnemy("cube_yl", 0.0f, 0.0f, path, 4);
  // Where it stands before a step of 0.3 (from its speed of 3), then 0.5; where it ends; its path index then.
  const float steps[][5] = {
      {0, 0, 0.3f, 0, 1},
      {9.8f, 0, 10, 0, 2},     // 0.2 short: on the point, the rest of the step lost
      {10, 0, 10, -0.5f, 2},   // x matches: only z moves, toward negative z
      {10, -4.9f, 10, -5, 3},  // overshooting toward negative z snaps too
      {10, -5, 9.5f, -5, 3},   // toward negative x
      {4.3f, -5, 4, -5, 4},
      {4, -5, 4, -5, 4},       // past the last point it stands still
  };
  for (const auto& s : steps) {
    e.modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(s[0], 0, s[1]));
    e.worldX = 123.0f;
    e.update(0.1);
    EXPECT_NEAR(glm::distance(glm::vec2(e.worldX, e.worldZ), glm::vec2(s[2], s[3])), 0, 1e-5) << s[0] << "," << s[1];
    EXPECT_EQ(e.pathIndex, static_cast<int>(s[4])) << s[0] << "," << s[1];
    e.speed = 5.0;
  }
  const float repeated[] = {2, 2, 2, 2, 6, 2};  // standing on the point it heads for: no move, no advance
  Enemy& stuck = *addEnemy("cube", 2.0f, 2.0f, repeated, 3);
  stuck.update(0.5);
  EXPECT_EQ(std::make_pair(stuck.pathIndex, stuck.worldX), std::make_pair(1, 2.0f));

  const float straight[] = {0, 0, 100, 0};
  const struct { const char* kind; double hitPoints, speed; } kinds[] = {{"cube", 100, 1.7}, {"cube_or", 250, 1.0}, {"cube_yl", 50, 3.0}, {"cube_w", 1000, 0.5},
               {"dragon", 100, 1.7}, {"cube_orange", 100, 1.7}};
  for (const auto& k : kinds) {
    Enemy& walker = *addEnemy(k.kind, 0.0f, 0.0f, straight, 2);
    for (int frame = 0; frame < 600; ++frame) walker.update(1.0 / 60.0);  // ten seconds
    EXPECT_EQ(walker.hitPoints, k.hitPoints) << k.kind;
    EXPECT_NEAR(walker.worldX, 10.0 * k.speed, 1e-3) << k.kind;
  }
}

TEST(Shaders, MissingAndBrokenSourcesReportTheirPrefixAndLogAndSpareTheOthers) {
  ensureGlContext();
  const fs::path root = fs::temp_directory_path() / ("varrow_shaders_" + std::to_string(getpid()));
  fs::create_directories(root);
  fs::copy(fs::path(VARROW_RUN_DIR) / "shader", root / "shader");
  fs::remove(root / "shader" / "hud_shader.frag");
  std::ofstream(root / "shader" / "glow_shader.vert") << "#version 150\nvoid main() { this is not glsl }\n";
  std::string raw("line one\r\nline two\n\0tail", 24);
  std::ofstream(root / "raw.txt", std::ios::binary) << raw;
  fs::current_path(root);
  EXPECT_EQ(readShaderSource("raw.txt"), raw) << "read whole, line ends and all";
  CaptureStdout out;
  buildShaderPrograms();
  const std::string text = out.text();
  fs::current_path(VARROW_RUN_DIR);
  fs::remove_all(root);

  // The missing file compiles as an empty source, which the driver rejects with a log of its own.
  const std::string hud = "Hud Fragment-shader compile error:\n\n", glow = "Glow Vertex-shader compile error:\n\n";
  ASSERT_NE(text.find(hud), std::string::npos) << text;
  EXPECT_NE(text[text.find(hud) + hud.size()], '\n') << "empty log after the prefix: " << text;
  ASSERT_NE(text.find(glow), std::string::npos) << text;
  EXPECT_NE(text.find("error", text.find(glow) + glow.size()), std::string::npos) << text;
  for (const char* line : {"Hud Shader-program link error:\n\n", "Glow Shader-program link error:\n\n",
                           "\nShader-program linked successfully.\n", "\nShadow 1 Shader-program linked successfully.\n\n",
                           "\nShadow 2 Shader-program linked successfully.\n\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in " << text;
  size_t compiled = 0;
  for (size_t at = 0; (at = text.find("compiled successfully.", at)) != std::string::npos; ++at) ++compiled;
  EXPECT_EQ(compiled, 8u);
}

namespace {

std::multiset<GLuint> deleted;
PFNGLDELETEBUFFERSPROC realDeleteBuffers = nullptr;
void recordingDeleteBuffers(GLsizei n, const GLuint* buffers) {
  deleted.insert(buffers, buffers + n);
  if (realDeleteBuffers) realDeleteBuffers(n, buffers);
}

// Last in this file: the recording hook stays in place.
class Teardown : public WorldTest {};

}  // namespace

TEST_F(Teardown, BuffersAreFreedOnceThroughMovesAndRemovalAndNeverWithoutAContext) {
  realDeleteBuffers = __glewDeleteBuffers;
  __glewDeleteBuffers = recordingDeleteBuffers;
  std::multiset<GLuint> kept, replaced;
  {
    Mesh first(3, 3, false), target(3, 3, false);
    first.createBuffers(), target.createBuffers();
    kept = {first.vbo, first.ibo}, replaced = {target.vbo, target.ibo};
    Mesh moved(std::move(first));
    target = std::move(moved);
    EXPECT_EQ(deleted, replaced) << "an assigned mesh frees its own, a moved-from one nothing";
  }
  replaced.insert(kept.begin(), kept.end());
  EXPECT_EQ(deleted, replaced) << "the mesh that holds them last frees them";
  const float path[] = {0, 0, 10, 0};
  Enemy* killed = addEnemy("cube", 0, 0, path, 2);
  const std::multiset<GLuint> enemyBuffers{killed->mesh.vbo, killed->mesh.ibo};
  killed->hitPoints = 0.0;
  deleted.clear();
  g.update(0.0);
  EXPECT_TRUE(g.enemies.empty() && deleted == enemyBuffers) << "a killed enemy goes with its mesh in the same step";

  // The static game is destroyed after shutdown: with no context, no object deletes a buffer.
  addTower("tris", 10, -10);
  platform::terminate();
  realDeleteBuffers = nullptr;
  deleted.clear();
  clearWorld(g);  // board, files, spawn points and the tower
  EXPECT_TRUE(deleted.empty());
}
