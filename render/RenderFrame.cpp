// Render targets, the full-screen quad and the per-frame drawing: the world is drawn three times through
// game.draw, each pass with its own program, target and texture table. The quality settings make the
// shadow map smaller, leave the glow out and draw the lit picture smaller and stretched.
#include "render/RenderFrame.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <sstream>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "app/Globals.h"
#include "app/OptionsScreen.h"
#include "render/SceneTarget.h"
#include "render/TextureCatalogue.h"
#include "game/Game.h"
#include "platform/Platform.h"

namespace {

constexpr int kGlowSize = 256;

// Texels a side of the shadow map as it is allocated now.
int shadowMapSize = 0;
SceneTarget sceneTarget;

void allocateShadowMap(int size) {
  glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, size, size, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, nullptr);
  shadowMapSize = size;
}

void clearTarget() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glEnable(GL_DEPTH_TEST);
}

// Points a program's "vertex" and "texCoord" at the quad arrays and leaves both arrays enabled.
void bindScreenQuad(GLuint program) {
  GLint vertex = glGetAttribLocation(program, "vertex");
  GLint texCoord = glGetAttribLocation(program, "texCoord");
  if (vertex >= 0) {
    glEnableVertexAttribArray(vertex);
    glVertexAttribPointer(vertex, 4, GL_FLOAT, GL_FALSE, 0, screenQuadVertices);
  }
  if (texCoord >= 0) {
    glEnableVertexAttribArray(texCoord);
    glVertexAttribPointer(texCoord, 2, GL_FLOAT, GL_FALSE, 0, screenQuadTexCoords);
  }
}

void unbindScreenQuad(GLuint program) {
  GLint vertex = glGetAttribLocation(program, "vertex");
  GLint texCoord = glGetAttribLocation(program, "texCoord");
  if (vertex >= 0) glDisableVertexAttribArray(vertex);
  if (texCoord >= 0) glDisableVertexAttribArray(texCoord);
}

void attachGlowColour(GLuint texture) {
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
}

}  // namespace

void createRenderTargets() {
  glGenRenderbuffers(1, &glowDepthRenderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, glowDepthRenderbuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, kGlowSize, kGlowSize);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);

  glGenFramebuffers(1, &glowFramebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, glowFramebuffer);
  attachGlowColour(textureTable[SlotGlowImage]);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, glowDepthRenderbuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  glGenFramebuffersEXT(1, &shadowFramebuffer);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, shadowFramebuffer);
  glGenTextures(1, &shadowDepthTexture);
  glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
  allocateShadowMap(settings.shadowMapSize);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, shadowDepthTexture, 0);
  glDrawBuffer(GL_NONE);
  glReadBuffer(GL_NONE);
  GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
  if (status != GL_FRAMEBUFFER_COMPLETE_EXT) std::cout << "error" << static_cast<unsigned>(status) << std::endl;
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void createScreenQuad() {
  const float hw = windowWidth * 0.5f;
  const float hh = windowHeight * 0.5f;
  const float vertices[16] = {-hw, -hh, 0.0f, 1.0f, hw, -hh, 0.0f, 1.0f, hw, hh, 0.0f, 1.0f, -hw, hh, 0.0f, 1.0f};
  const float texCoords[8] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};
  const unsigned int indices[6] = {1, 3, 0, 1, 2, 3};
  std::copy(std::begin(vertices), std::end(vertices), screenQuadVertices);
  std::copy(std::begin(texCoords), std::end(texCoords), screenQuadTexCoords);
  std::copy(std::begin(indices), std::end(indices), screenQuadIndices);
}

void releaseSceneTarget() { sceneTarget.release(); }

namespace {

// The glow scene into the small image, then the horizontal blur into its twin and the vertical one back.
void drawGlow() {
  glBindFramebuffer(GL_FRAMEBUFFER, glowFramebuffer);
  glViewport(0, 0, kGlowSize, kGlowSize);
  clearTarget();
  applyTextureTable(glowTextureTable);
  game.draw(projectionMatrix, viewMatrix);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  glUseProgram(glowProgram);
  glBindFramebuffer(GL_FRAMEBUFFER, glowFramebuffer);
  attachGlowColour(glowTextureTable[SlotGlowImage]);
  glViewport(0, 0, kGlowSize, kGlowSize);
  clearTarget();
  glUniform1i(glGetUniformLocation(glowProgram, "vert"), 0);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, textureTable[SlotGlowImage]);
  glUniform1i(glGetUniformLocation(glowProgram, "colorTexture"), 0);
  glUniformMatrix4fv(glGetUniformLocation(glowProgram, "view"), 1, GL_FALSE, glm::value_ptr(hudProjection));
  glUniform1fv(glGetUniformLocation(glowProgram, "kernel"), 9, blurKernel);
  glUniform2fv(glGetUniformLocation(glowProgram, "offset"), 9, glm::value_ptr(blurOffsetsHorizontal[0]));
  bindScreenQuad(glowProgram);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, screenQuadIndices);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  glBindFramebuffer(GL_FRAMEBUFFER, glowFramebuffer);
  attachGlowColour(textureTable[SlotGlowImage]);
  glViewport(0, 0, kGlowSize, kGlowSize);
  clearTarget();
  glUniform1i(glGetUniformLocation(glowProgram, "vert"), 1);
  glUniform2fv(glGetUniformLocation(glowProgram, "offset"), 9, glm::value_ptr(blurOffsetsVertical[0]));
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, glowTextureTable[SlotGlowImage]);
  glUniform1i(glGetUniformLocation(glowProgram, "colorTexture"), 0);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, screenQuadIndices);
  unbindScreenQuad(glowProgram);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// The blurred glow added over the whole window.
void drawGlowOverlay() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glUseProgram(hudProgram);
  glViewport(0, 0, windowWidth, windowHeight);
  glActiveTexture(GL_TEXTURE1);
  glBindTexture(GL_TEXTURE_2D, textureTable[SlotGlowImage]);
  glUniform1i(glGetUniformLocation(hudProgram, "colorTexture"), 1);
  glUniformMatrix4fv(glGetUniformLocation(hudProgram, "view"), 1, GL_FALSE, glm::value_ptr(hudProjection));
  bindScreenQuad(hudProgram);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, screenQuadIndices);
  unbindScreenQuad(hudProgram);
  glDisable(GL_BLEND);
}

}  // namespace

void drawFrame() {
  game.lightPos = &lightPosition;

  glUseProgram(simpleProgram);
  glm::vec4 eye = glm::inverse(viewMatrix) * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
  glUniform4fv(glGetUniformLocation(simpleProgram, "cam_position"), 1, glm::value_ptr(eye));

  // Shadow pass: depth only, from the light, with the depth-only program (a software rasteriser would run
  // any colour program's fragment code on every depth fragment). Spawn points and their paths cast no shadow.
  if (shadowMapSize != settings.shadowMapSize) allocateShadowMap(settings.shadowMapSize);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, shadowFramebuffer);
  glViewport(0, 0, shadowMapSize, shadowMapSize);
  glPolygonOffset(1.1f, 4.4f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  game.program = shadow1Program;
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  game.drawSpawnPoints = false;
  game.draw(lightProjectionMatrix, lightViewMatrix);
  game.drawSpawnPoints = true;
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDisable(GL_POLYGON_OFFSET_FILL);
  game.program = simpleProgram;
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);

  if (settings.glow) drawGlow();

  // Final pass: lit and shadowed into the window. Objects bind their own textures on unit 0, so the
  // shadow map stays on unit 1.
  glUseProgram(shadow2Program);
  game.program = shadow2Program;
  const glm::mat4 bias = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(0.5f)), glm::vec3(0.5f));
  shadowTextureMatrix = bias * lightProjectionMatrix * lightViewMatrix;
  glUniformMatrix4fv(glGetUniformLocation(shadow2Program, "tex_mat"), 1, GL_FALSE,
                     glm::value_ptr(shadowTextureMatrix));
  glActiveTexture(GL_TEXTURE1);
  glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
  glUniform1i(glGetUniformLocation(shadow2Program, "shadow_map"), 1);
  // Below 100 % the world goes into the smaller target and is stretched over the window, with the texts and
  // the HUD sharp on top. The stretch keeps the picture's place in the window, so clicks find what they point at.
  const bool scaled = settings.renderScale < 100;
  if (scaled)
    sceneTarget.bind(std::max(1, windowWidth * settings.renderScale / 100),
                     std::max(1, windowHeight * settings.renderScale / 100));
  else
    glViewport(0, 0, windowWidth, windowHeight);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  applyTextureTable(textureTable);
  // The overlay draws in this pass alone.
  game.finalPass = true;
  game.drawWorld(projectionMatrix, viewMatrix);
  if (scaled) sceneTarget.blitToWindow(windowWidth, windowHeight);
  game.drawInterface();
  game.finalPass = false;
  game.program = simpleProgram;

  if (settings.glow) drawGlowOverlay();

  if (fpsMode) {
    std::ostringstream text;
    text << framesPerSecond;
    TextRenderer renderer = game.textRenderer;
    renderer.drawText(text.str().c_str(), true, -450.0f, 320.0f);
  }
  if (optionsScreen.isOpen()) optionsScreen.draw();
}

void renderFrame() {
  drawFrame();
  glUseProgram(0);
  platform::swapBuffers();
}
