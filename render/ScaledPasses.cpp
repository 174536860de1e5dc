// The paired-lookup glow blur, the stretch of the smaller picture with the glow, and the HUD program that adds
// the glow, built on first use from shader/glow_paired.frag, shader/stretch.frag and shader/hud_glow.frag.
#include "render/ScaledPasses.h"

#include <glm/gtc/type_ptr.hpp>

#include "game/DebugSwitches.h"
#include "input/Camera.h"
#include "platform/Platform.h"
#include "render/RenderTargets.h"
#include "render/ShaderPrograms.h"

namespace {

// The quad is drawn from client memory: a buffer object left bound by a scene draw would turn the pointers
// into offsets.
void bindQuad(GLuint program) {
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  bindScreenQuad(program);
  glUniformMatrix4fv(glGetUniformLocation(program, "view"), 1, GL_FALSE, glm::value_ptr(camera.hudProjection));
}

void drawQuad() { glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, renderTargets.screenQuadIndices); }

}  // namespace

void ScaledPasses::build() {
  built_ = true;
  blurProgram_ = buildQuietProgram(shaders.glowVertexShader, "shader/glow_paired.frag", "outColor");
  stretchProgram_ = buildQuietProgram(shaders.hudVertexShader, "shader/stretch.frag", "stretchColor");
  interfaceProgram_ = buildQuietProgram(shaders.hudVertexShader, "shader/hud_glow.frag", "hudColor");
}

void ScaledPasses::blurGlow(GLuint framebuffer, GLuint image, GLuint spare, int size) {
  if (!built_) build();
  if (!blurProgram_) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return;
  }
  glUseProgram(blurProgram_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glViewport(0, 0, size, size);
  // Every texel is written: no clear and no depth test.
  glDisable(GL_DEPTH_TEST);
  glActiveTexture(GL_TEXTURE0);
  glUniform1i(glGetUniformLocation(blurProgram_, "colorTexture"), 0);
  bindQuad(blurProgram_);
  const GLint texel = glGetUniformLocation(blurProgram_, "texel");
  const GLint gain = glGetUniformLocation(blurProgram_, "gain");

  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, spare, 0);
  glBindTexture(GL_TEXTURE_2D, image);
  glUniform2f(texel, 1.0f / size, 0.0f);
  glUniform1f(gain, 1.0f);
  drawQuad();
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  // As the full-size blur, the second direction lifts the twice-spread image a little.
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, image, 0);
  glBindTexture(GL_TEXTURE_2D, spare);
  glUniform2f(texel, 0.0f, 1.0f / size);
  glUniform1f(gain, 1.6f);
  drawQuad();
  unbindScreenQuad(blurProgram_);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void ScaledPasses::stretch(GLuint picture, GLuint readFramebuffer, int pictureWidth, int pictureHeight,
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
  bindQuad(stretchProgram_);
  // The whole picture, whatever the wireframe switch says.
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  drawQuad();
  glPolygonMode(GL_FRONT_AND_BACK, debugSwitches.wireframeMode ? GL_LINE : GL_FILL);
  unbindScreenQuad(stretchProgram_);
}

GLuint ScaledPasses::interfaceProgram(GLuint glowTexture, int windowWidth, int windowHeight) {
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

void ScaledPasses::release() {
  if (built_ && platform::hasCurrentContext()) {
    for (GLuint program : {blurProgram_, stretchProgram_, interfaceProgram_})
      if (program) glDeleteProgram(program);
  }
  built_ = false;
  blurProgram_ = stretchProgram_ = interfaceProgram_ = 0;
}
