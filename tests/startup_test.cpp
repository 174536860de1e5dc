// Start-up reports, shader failure reports and the window-size callback, with a real GL context.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "CaptureStdout.h"
#include "GlTestContext.h"
#include "PlayerSession.h"
#include "app/Application.h"
#include "app/Globals.h"
#include "app/ShaderPrograms.h"
#include "app/Window.h"

namespace fs = std::filesystem;

namespace {

// A copy of the shader folder in a fresh directory, so single files can be broken or removed.
class ShaderDir {
 public:
  ShaderDir() {
    char pattern[] = "/tmp/varrow-shaders-XXXXXX";
    root_ = mkdtemp(pattern);
    fs::copy(fs::path(VARROW_RUN_DIR) / "shader", root_ / "shader");
    previous_ = fs::current_path();
    fs::current_path(root_);
  }
  ~ShaderDir() {
    fs::current_path(previous_);
    fs::remove_all(root_);
  }
  void remove(const char* name) { fs::remove(root_ / "shader" / name); }
  void write(const char* name, const char* text) { std::ofstream(root_ / "shader" / name) << text; }

 private:
  fs::path root_;
  fs::path previous_;
};

size_t countOf(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(Startup, CleanStartPrintsBannerThenFifteenShaderReportsInOrder) {
  ASSERT_EQ(chdir(VARROW_RUN_DIR), 0);
  CaptureStdout out;
  initApplication();
  const std::string expected = kCleanStartOutput;
  EXPECT_EQ(out.text().substr(0, expected.size()), expected);

  // The fixed GL state and the matrices start-up leaves behind.
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(windowWidth, 1024);
  EXPECT_EQ(windowHeight, 768);
  glm::vec4 corner = hudProjection * glm::vec4(512.0f, 384.0f, 0.0f, 1.0f);
  EXPECT_FLOAT_EQ(corner.x, 1.0f);
  EXPECT_FLOAT_EQ(corner.y, 1.0f);
  EXPECT_NE(simpleProgram, 0u);
  EXPECT_NE(shadow2Program, 0u);

  // A resize changes the viewport and the size globals, nothing else.
  glm::mat4 projectionBefore = projectionMatrix;
  glm::mat4 hudBefore = hudProjection;
  onWindowSize(800, 600);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);
  EXPECT_EQ(windowWidth, 800);
  EXPECT_EQ(windowHeight, 600);
  EXPECT_EQ(projectionMatrix, projectionBefore);
  EXPECT_EQ(hudProjection, hudBefore);
  onWindowSize(1024, 768);
}

TEST(Startup, MissingAndBrokenShadersReportTheirPrefixAndLogAndSpareTheOthers) {
  ASSERT_EQ(chdir(VARROW_RUN_DIR), 0);
  ensureGlContext();
  ShaderDir dir;
  dir.remove("hud_shader.frag");
  dir.write("glow_shader.vert", "#version 150\nvoid main() { this is not glsl }\n");
  CaptureStdout out;
  buildShaderPrograms();
  std::string text = out.text();

  // A missing file compiles as an empty source, which the driver rejects with a log.
  size_t hud = text.find("Hud Fragment-shader compile error:\n\n");
  ASSERT_NE(hud, std::string::npos) << text;
  EXPECT_NE(text[hud + 36], '\n') << "empty log after the prefix: " << text;
  size_t glow = text.find("Glow Vertex-shader compile error:\n\n");
  ASSERT_NE(glow, std::string::npos) << text;
  EXPECT_NE(text.find("error", glow + 35), std::string::npos) << text;
  EXPECT_NE(text.find("Hud Shader-program link error:\n\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Glow Shader-program link error:\n\n"), std::string::npos) << text;

  // The other three programs are unaffected.
  EXPECT_NE(text.find("Shader-program linked successfully.\n"), std::string::npos);
  EXPECT_NE(text.find("Shadow 1 Shader-program linked successfully.\n\n"), std::string::npos);
  EXPECT_NE(text.find("Shadow 2 Shader-program linked successfully.\n\n"), std::string::npos);
  EXPECT_EQ(countOf(text, "compiled successfully."), 8u);
  EXPECT_EQ(countOf(text, "linked successfully."), 3u);
}

TEST(Startup, ShaderSourceIsReadWholeAndAMissingFileIsEmpty) {
  char path[] = "/tmp/varrow-source-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::string content("line one\r\nline two\n\0tail", 24);
  ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  close(fd);
  EXPECT_EQ(readShaderSource(path), content);
  std::remove(path);
  EXPECT_EQ(readShaderSource("/nonexistent/shader.vert"), "");
}
