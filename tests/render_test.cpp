// The real three-pass frame on Xvfb, read back from the window's back buffer: complete render targets, a lit
// board, a shadow cast on it, glow spilling past a glowing object, and wireframe gaps showing the clear colour.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "CaptureStdout.h"
#include "GlTestContext.h"
#include "app/Globals.h"
#include "app/RenderFrame.h"
#include "app/ShaderPrograms.h"
#include "app/TextureCatalogue.h"
#include "app/Window.h"
#include "game/Game.h"
#include "input/Camera.h"
#include "scene/Enemy.h"
#include "scene/Map.h"

namespace {

const float kPath[] = {0, 0, 1, 0};

// Start-up as the program does it, minus the window (the test context has one of 1024 x 768).
void startUp() {
  static bool done = false;
  if (done) return;
  done = true;
  CaptureStdout quiet;
  setInitialGlState();
  buildShaderPrograms();
  initCamera();
  lightProjectionMatrix = glm::perspective(glm::radians(120.0f), 1.0f, 0.1f, 150.0f);
  hudProjection = glm::ortho(-512.0f, 512.0f, -384.0f, 384.0f, -1.0f, 1.0f);
  onWindowSize(1024, 768);
  loadTextureTables();
  createRenderTargets();
  createScreenQuad();
  game.createMap(textureTable[0]);
  game.program = simpleProgram;
  applyTextureTable(textureTable);
  game.textRenderer.init(hudProgram, textureTable[3], hudProjection);
  game.hud.init(hudProgram, hudProjection);
  game.lightPos = &lightPosition;
}

struct Pixel {
  double r, g, b;
  double brightness() const { return (r + g + b) / 3.0; }
};

// Mean colour of the (2n+1) x (2n+1) block around a window pixel (origin bottom-left).
Pixel meanAround(const std::string& rgba, int x, int y, int n = 2) {
  Pixel p{0, 0, 0};
  int count = 0;
  for (int yy = y - n; yy <= y + n; ++yy)
    for (int xx = x - n; xx <= x + n; ++xx) {
      const unsigned char* t = reinterpret_cast<const unsigned char*>(&rgba[(yy * 1024 + xx) * 4]);
      p.r += t[0];
      p.g += t[1];
      p.b += t[2];
      ++count;
    }
  p.r /= count;
  p.g /= count;
  p.b /= count;
  return p;
}

glm::vec2 toWindow(const glm::vec3& world) {
  glm::vec4 clip = projectionMatrix * viewMatrix * glm::vec4(world, 1.0f);
  glm::vec3 ndc = glm::vec3(clip) / clip.w;
  return {(ndc.x * 0.5f + 0.5f) * windowWidth, (ndc.y * 0.5f + 0.5f) * windowHeight};
}

class RenderTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    startUp();
    initCamera();
    lightPosition = glm::vec3(-10.0f, 40.0f, 10.0f);
    lightViewMatrix = glm::lookAt(lightPosition, glm::vec3(0.0f), glm::vec3(0, 0, 1));
    wireframeMode = false;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  }
  void TearDown() override {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    game.enemies.clear();
  }
  std::string frame(const char* pngName = nullptr) {
    drawFrame();
    std::string pixels = readPixelsRgba(0, 0, 1024, 768);
    if (pngName && std::getenv("VARROW_KEEP_PICTURES"))
      writePng(std::string("/tmp/") + pngName + ".png", 1024, 768, pixels);
    return pixels;
  }
  Enemy* addEnemy(const char* kind, glm::vec3 at) {
    game.enemies.push_back(std::make_unique<Enemy>(kind, at.x, at.z, kPath, 2, textureTable[SlotEnemy]));
    Enemy* e = game.enemies.back().get();
    e->modelMatrix = glm::translate(glm::mat4(1.0f), at);
    return e;
  }
};

TEST_F(RenderTest, RenderTargetsAreComplete) {
  glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
  EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
  GLint depthSize = 0;
  glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &depthSize);
  EXPECT_EQ(depthSize, 2048);
  GLint compare = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, &compare);
  EXPECT_EQ(compare, GL_COMPARE_REF_TO_TEXTURE);
  glBindFramebuffer(GL_FRAMEBUFFER, glowFramebuffer);
  EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
  GLint attached = 0;
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                        GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &attached);
  EXPECT_EQ(static_cast<GLuint>(attached), textureTable[SlotGlowImage]);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  // A frame leaves the glow framebuffer on the glow image again, and GL without errors.
  while (glGetError() != GL_NO_ERROR) {
  }
  frame();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  glBindFramebuffer(GL_FRAMEBUFFER, glowFramebuffer);
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                        GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &attached);
  EXPECT_EQ(static_cast<GLuint>(attached), textureTable[SlotGlowImage]);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

TEST_F(RenderTest, TheBoardIsLitByTheLight) {
  // The start camera looks at the board around (20, 0, -14.6) in the middle of the window.
  glm::vec2 centre = toWindow({20.0f, 0.0f, -14.6f});
  EXPECT_NEAR(centre.x, 512.0f, 1.0f);
  EXPECT_NEAR(centre.y, 384.0f, 1.0f);
  std::string lit = frame("board_lit");
  // The same board with the light under it gets only the ambient term.
  lightPosition = glm::vec3(-10.0f, -40.0f, 10.0f);
  lightViewMatrix = glm::lookAt(lightPosition, glm::vec3(0.0f), glm::vec3(0, 0, 1));
  std::string unlit = frame("board_unlit");
  double litSum = 0, unlitSum = 0;
  for (int y = 250; y <= 500; y += 25)
    for (int x = 250; x <= 750; x += 25) {
      litSum += meanAround(lit, x, y).brightness();
      unlitSum += meanAround(unlit, x, y).brightness();
    }
  EXPECT_GT(litSum, 10.0 * 21 * 11) << "the lit board is nearly black";
  EXPECT_GT(litSum, 1.5 * unlitSum);
}

TEST_F(RenderTest, AFloatingBoxCastsItsShadowOnTheBoard) {
  // A box floating 5 units up: its shadow falls clear of where the camera sees the box itself.
  glm::vec3 box(21.0f, 5.0f, -9.0f);
  glm::vec3 middle = box + glm::vec3(0, 1, 0);
  float t = lightPosition.y / (lightPosition.y - middle.y);
  glm::vec3 shadow = lightPosition + t * (middle - lightPosition);
  glm::vec2 at = toWindow(shadow);
  ASSERT_GT(at.x, 10);
  ASSERT_LT(at.x, 1014);
  std::string bare = frame("shadow_bare");
  addEnemy("cube", box);
  std::string shaded = frame("shadow_cast");
  Pixel without = meanAround(bare, static_cast<int>(at.x), static_cast<int>(at.y));
  Pixel with = meanAround(shaded, static_cast<int>(at.x), static_cast<int>(at.y));
  EXPECT_LT(with.brightness(), 0.75 * without.brightness()) << "at " << at.x << "," << at.y;
  // The box itself is drawn well away from its shadow.
  glm::vec2 boxAt = toWindow(middle);
  EXPECT_GT(glm::distance(boxAt, at), 40.0f);
  // Between box and shadow the board keeps its light.
  glm::vec3 beside = shadow + glm::vec3(-2.5f, 0.0f, 3.5f);
  glm::vec2 besideAt = toWindow(beside);
  Pixel besideBare = meanAround(bare, static_cast<int>(besideAt.x), static_cast<int>(besideAt.y));
  Pixel besideShaded = meanAround(shaded, static_cast<int>(besideAt.x), static_cast<int>(besideAt.y));
  EXPECT_NEAR(besideShaded.brightness(), besideBare.brightness(), 0.1 * besideBare.brightness() + 2);
}

TEST_F(RenderTest, GlowSpillsPastTheGlowingSurface) {
  Enemy* enemy = addEnemy("cube_w", {20.0f, 0.0f, -14.0f});
  // Left of the box's screen rectangle, where its shadow cannot fall (the light comes from the left).
  float left = 1e9f, low = 1e9f, high = -1e9f;
  for (int i = 0; i < 8; ++i) {
    glm::vec2 c = toWindow(glm::vec3(enemy->modelMatrix * enemy->boundingBox[i]));
    left = std::min(left, c.x);
    low = std::min(low, c.y);
    high = std::max(high, c.y);
  }
  int x = static_cast<int>(left) - 5;
  int y = static_cast<int>((low + high) / 2);
  std::string glowing = frame("glow_on");
  // The same frame with the white enemy's glow image replaced by black.
  GLuint black = 0;
  glGenTextures(1, &black);
  glBindTexture(GL_TEXTURE_2D, black);
  const unsigned char texel[4] = {0, 0, 0, 255};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  glGenerateMipmap(GL_TEXTURE_2D);
  GLuint saved = glowTextureTable[SlotEnemyWhite];
  glowTextureTable[SlotEnemyWhite] = black;
  std::string dark = frame("glow_off");
  glowTextureTable[SlotEnemyWhite] = saved;
  glDeleteTextures(1, &black);

  Pixel on = meanAround(glowing, x, y, 1);
  Pixel off = meanAround(dark, x, y, 1);
  EXPECT_GT(on.brightness(), off.brightness() + 8.0) << "at " << x << "," << y;
  // Far from the box the glow changes nothing.
  Pixel farOn = meanAround(glowing, x - 150, y, 1);
  Pixel farOff = meanAround(dark, x - 150, y, 1);
  EXPECT_NEAR(farOn.brightness(), farOff.brightness(), 1.0);
}

TEST_F(RenderTest, WireframeShowsTheClearColourBetweenLines) {
  auto blackShare = [](const std::string& rgba) {
    int black = 0, total = 0;
    for (int y = 250; y < 500; ++y)
      for (int x = 250; x < 750; ++x, ++total) {
        const unsigned char* t = reinterpret_cast<const unsigned char*>(&rgba[(y * 1024 + x) * 4]);
        if (t[0] == 0 && t[1] == 0 && t[2] == 0) ++black;
      }
    return static_cast<double>(black) / total;
  };
  std::string filled = frame("fill");
  wireframeMode = true;
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  std::string lines = frame("wireframe");
  EXPECT_LT(blackShare(filled), 0.01);
  EXPECT_GT(blackShare(lines), 0.3);
  EXPECT_LT(blackShare(lines), 0.99) << "no lines drawn at all";
}

}  // namespace
