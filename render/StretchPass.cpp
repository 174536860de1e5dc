// The stretch of the smaller picture with the glow, and the HUD program that adds the glow, built on first use
// from shader/stretch.frag and shader/hud_glow.frag with the HUD's vertex shader.
#include "render/StretchPass.h"

#include <iostream>
#include <string>

#include <glm/gtc/type_ptr.hpp>

#include "game/DebugSwitches.h"
#include "input/Camera.h"
#include "platform/Platform.h"
#include "render/RenderTargets.h"
#include "render/ShaderPrograms.h"

namespace {

// Compiles and links quietly: the start-up lines stay those of the five programs. A failure is said once.
GLuint buildProgram(const char* fragmentPath, const char* output) {
  const std::string source = readShaderSource(fragmentPath);
  const char* text = source.c_str();
  GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
  glShaderSource(fragment, 1, &text, nullptr);
  glCompileShader(fragment);
  GLuint program = glCreateProgram();
  glAttachShader(program, shaders.hudVertexShader);
  glAttachShader(program, fragment);
  glBindFragDataLocation(program, 0, output);
  glLinkProgram(program);
  glDeleteShader(fragment);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked) return program;
  std::cout << fragmentPath << " could not be built: the smaller picture is stretched without the glow" << std::endl;
  glDeleteProgram(program);
  return 0;
}

}  // namespace

void StretchPass::build() {
  built_ = true;
  stretchProgram_ = buildProgram("shader/stretch.frag", "stretchColor");
  interfaceProgram_ = buildProgram("shader/hud_glow.frag", "hudColor");
}

void StretchPass::draw(GLuint picture, GLuint readFramebuffer, int pictureWidth, int pictureHeight,
                       GLuint glowTexture, int windowWidth, int windowHeight) {
  if (!built_) build();
  if (!stretchProgram_) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, pictureWidth, pictureHeight, 0, 0, windowWidth, windowHeight, GL_COLOR_BUFFER_BIT,
                      GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    return;
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, windowWidth, windowHeight);
  // Every window pixel is written, so nothing needs clearing and no depth is tested.
  glDisable(GL_DEPTH_TEST);
  glUseProgram(stretchProgram_);
  glActiveTexture(GL_TEXTURE2);
  glBindTexture(GL_TEXTURE_2D, glowTexture);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, picture);
  glUniform1i(glGetUniformLocation(stretchProgram_, "colorTexture"), 0);
  glUniform1i(glGetUniformLocation(stretchProgram_, "glowTexture"), 2);
  glUniform1i(glGetUniformLocation(stretchProgram_, "glow"), glowTexture ? 1 : 0);
  glUniformMatrix4fv(glGetUniformLocation(stretchProgram_, "view"), 1, GL_FALSE, glm::value_ptr(camera.hudProjection));
  // Client-side arrays: a buffer object left bound by a scene draw would turn the pointers into offsets.
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  bindScreenQuad(stretchProgram_);
  // The whole picture, whatever the wireframe switch says.
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, renderTargets.screenQuadIndices);
  glPolygonMode(GL_FRONT_AND_BACK, debugSwitches.wireframeMode ? GL_LINE : GL_FILL);
  unbindScreenQuad(stretchProgram_);
}

GLuint StretchPass::interfaceProgram(GLuint glowTexture, int windowWidth, int windowHeight) {
  if (!built_) build();
  if (!interfaceProgram_) return 0;
  glUseProgram(interfaceProgram_);
  glActiveTexture(GL_TEXTURE2);
  glBindTexture(GL_TEXTURE_2D, glowTexture);
  glActiveTexture(GL_TEXTURE0);
  glUniform1i(glGetUniformLocation(interfaceProgram_, "glowTexture"), 2);
  glUniform2f(glGetUniformLocation(interfaceProgram_, "windowSize"), static_cast<float>(windowWidth),
              static_cast<float>(windowHeight));
  return interfaceProgram_;
}

void StretchPass::release() {
  if (built_ && platform::hasCurrentContext()) {
    if (stretchProgram_) glDeleteProgram(stretchProgram_);
    if (interfaceProgram_) glDeleteProgram(interfaceProgram_);
  }
  built_ = false;
  stretchProgram_ = interfaceProgram_ = 0;
}
