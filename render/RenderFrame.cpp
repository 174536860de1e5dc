// Render targets, the full-screen quad and the per-frame drawing: the world is drawn three times through
// game.draw, each pass with its own program, target and texture table. The quality settings make the
// shadow map smaller, leave the glow out and draw the lit picture smaller and stretched.
#include "render/RenderFrame.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <iterator>
#include <sstream>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "platform/Core.h"
#include "platform/FrameClock.h"
#include "game/DebugSwitches.h"
#include "input/Camera.h"
#include "render/Light.h"
#include "render/ShaderPrograms.h"
#include "render/RenderTargets.h"
#include "config/Settings.h"
#include "render/SceneTarget.h"
#include "render/ScaledPasses.h"
#include "render/TextureCatalogue.h"
#include "game/Game.h"
#include "platform/Platform.h"

RenderTargets renderTargets;
Light light;

namespace {

constexpr int kGlowSize = 256;
// The blur's nine weights and its steps of one texel of the 256-pixel glow image, across and then down.
const float blurKernel[9] = {0.05f, 0.09f, 0.12f, 0.15f, 0.16f, 0.15f, 0.12f, 0.09f, 0.05f};
const glm::vec2 blurOffsetsHorizontal[9] = {
    {-4.0f / 256, 0.0f}, {-3.0f / 256, 0.0f}, {-2.0f / 256, 0.0f}, {-1.0f / 256, 0.0f}, {0.0f, 0.0f},
    {1.0f / 256, 0.0f},  {2.0f / 256, 0.0f},  {3.0f / 256, 0.0f},  {4.0f / 256, 0.0f}};
const glm::vec2 blurOffsetsVertical[9] = {
    {0.0f, -4.0f / 256}, {0.0f, -3.0f / 256}, {0.0f, -2.0f / 256}, {0.0f, -1.0f / 256}, {0.0f, 0.0f},
    {0.0f, 1.0f / 256},  {0.0f, 2.0f / 256},  {0.0f, 3.0f / 256},  {0.0f, 4.0f / 256}};

// Texels a side of the shadow map as it is allocated now.
int shadowMapSize = 0;
SceneTarget sceneTarget;
ScaledPasses scaledPasses;

void allocateShadowMap(int size) {
  glBindTexture(GL_TEXTURE_2D, renderTargets.shadowDepthTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, size, size, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, nullptr);
  shadowMapSize = size;
}

void clearTarget() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glEnable(GL_DEPTH_TEST);
}

void attachGlowColour(GLuint texture) {
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
}

}  // namespace

void bindScreenQuad(GLuint program) {
  GLint vertex = glGetAttribLocation(program, "vertex");
  GLint texCoord = glGetAttribLocation(program, "texCoord");
  if (vertex >= 0) {
    glEnableVertexAttribArray(vertex);
    glVertexAttribPointer(vertex, 4, GL_FLOAT, GL_FALSE, 0, renderTargets.screenQuadVertices);
  }
  if (texCoord >= 0) {
    glEnableVertexAttribArray(texCoord);
    glVertexAttribPointer(texCoord, 2, GL_FLOAT, GL_FALSE, 0, renderTargets.screenQuadTexCoords);
  }
}

void unbindScreenQuad(GLuint program) {
  GLint vertex = glGetAttribLocation(program, "vertex");
  GLint texCoord = glGetAttribLocation(program, "texCoord");
  if (vertex >= 0) glDisableVertexAttribArray(vertex);
  if (texCoord >= 0) glDisableVertexAttribArray(texCoord);
}

void createRenderTargets() {
  glGenRenderbuffers(1, &renderTargets.glowDepthRenderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, renderTargets.glowDepthRenderbuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, kGlowSize, kGlowSize);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);

  glGenFramebuffers(1, &renderTargets.glowFramebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, renderTargets.glowFramebuffer);
  attachGlowColour(textures.textureTable[SlotGlowImage]);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, renderTargets.glowDepthRenderbuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  glGenFramebuffersEXT(1, &renderTargets.shadowFramebuffer);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderTargets.shadowFramebuffer);
  glGenTextures(1, &renderTargets.shadowDepthTexture);
  glBindTexture(GL_TEXTURE_2D, renderTargets.shadowDepthTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
  allocateShadowMap(settings.shadowMapSize);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, renderTargets.shadowDepthTexture, 0);
  glDrawBuffer(GL_NONE);
  glReadBuffer(GL_NONE);
  GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
  if (status != GL_FRAMEBUFFER_COMPLETE_EXT) std::cout << "error" << static_cast<unsigned>(status) << std::endl;
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void createScreenQuad() {
  const float hw = core.windowWidth * 0.5f;
  const float hh = core.windowHeight * 0.5f;
  const float vertices[16] = {-hw, -hh, 0.0f, 1.0f, hw, -hh, 0.0f, 1.0f, hw, hh, 0.0f, 1.0f, -hw, hh, 0.0f, 1.0f};
  const float texCoords[8] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};
  const unsigned int indices[6] = {1, 3, 0, 1, 2, 3};
  std::copy(std::begin(vertices), std::end(vertices), renderTargets.screenQuadVertices);
  std::copy(std::begin(texCoords), std::end(texCoords), renderTargets.screenQuadTexCoords);
  std::copy(std::begin(indices), std::end(indices), renderTargets.screenQuadIndices);
}

void releaseSceneTarget() {
  sceneTarget.release();
  scaledPasses.release();
}

namespace {

// Every surface in its glow image, from the camera, into the glow target bound.
void drawGlowScene() {
  applyTextureTable(textures.glowTextureTable);
  game.draw(DrawPass{shaders.simpleProgram, true, false, &light.lightPosition}, camera.projectionMatrix,
            camera.viewMatrix);
}

// The glow scene into the small image, then the horizontal blur into its twin and the vertical one back.
void drawGlow() {
  glBindFramebuffer(GL_FRAMEBUFFER, renderTargets.glowFramebuffer);
  glViewport(0, 0, kGlowSize, kGlowSize);
  clearTarget();
  drawGlowScene();
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  glUseProgram(shaders.glowProgram);
  glBindFramebuffer(GL_FRAMEBUFFER, renderTargets.glowFramebuffer);
  attachGlowColour(textures.glowTextureTable[SlotGlowImage]);
  glViewport(0, 0, kGlowSize, kGlowSize);
  clearTarget();
  glUniform1i(glGetUniformLocation(shaders.glowProgram, "vert"), 0);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, textures.textureTable[SlotGlowImage]);
  glUniform1i(glGetUniformLocation(shaders.glowProgram, "colorTexture"), 0);
  glUniformMatrix4fv(glGetUniformLocation(shaders.glowProgram, "view"), 1, GL_FALSE, glm::value_ptr(camera.hudProjection));
  glUniform1fv(glGetUniformLocation(shaders.glowProgram, "kernel"), 9, blurKernel);
  glUniform2fv(glGetUniformLocation(shaders.glowProgram, "offset"), 9, glm::value_ptr(blurOffsetsHorizontal[0]));
  bindScreenQuad(shaders.glowProgram);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, renderTargets.screenQuadIndices);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  glBindFramebuffer(GL_FRAMEBUFFER, renderTargets.glowFramebuffer);
  attachGlowColour(textures.textureTable[SlotGlowImage]);
  glViewport(0, 0, kGlowSize, kGlowSize);
  clearTarget();
  glUniform1i(glGetUniformLocation(shaders.glowProgram, "vert"), 1);
  glUniform2fv(glGetUniformLocation(shaders.glowProgram, "offset"), 9, glm::value_ptr(blurOffsetsVertical[0]));
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, textures.glowTextureTable[SlotGlowImage]);
  glUniform1i(glGetUniformLocation(shaders.glowProgram, "colorTexture"), 0);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, renderTargets.screenQuadIndices);
  unbindScreenQuad(shaders.glowProgram);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// The blurred glow added over the whole window.
void drawGlowOverlay() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glUseProgram(shaders.hudProgram);
  glViewport(0, 0, core.windowWidth, core.windowHeight);
  glActiveTexture(GL_TEXTURE1);
  glBindTexture(GL_TEXTURE_2D, textures.textureTable[SlotGlowImage]);
  glUniform1i(glGetUniformLocation(shaders.hudProgram, "colorTexture"), 1);
  glUniformMatrix4fv(glGetUniformLocation(shaders.hudProgram, "view"), 1, GL_FALSE, glm::value_ptr(camera.hudProjection));
  bindScreenQuad(shaders.hudProgram);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, renderTargets.screenQuadIndices);
  unbindScreenQuad(shaders.hudProgram);
  glDisable(GL_BLEND);
}

// The bias every texture lookup on unit 0, where the objects bind theirs, adds to its mipmap level.
void setLodBias(float bias) {
  glActiveTexture(GL_TEXTURE0);
  glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, bias);
}

// Texts and HUD over the stretched picture: with the glow on, they draw with the program that adds it to their own
// pixels, as the full-size frame's overlay adds it over everything drawn before it.
void drawInterfaceOverStretch(const DrawPass& pass, GLuint glowImage) {
  const GLuint program =
      glowImage ? scaledPasses.interfaceProgram(glowImage, core.windowWidth, core.windowHeight) : 0;
  if (!program) {
    game.drawInterface(pass);
    return;
  }
  const GLuint hudProgram = game.hud.program;
  const GLuint textProgram = game.textRenderer.program;
  game.hud.program = game.textRenderer.program = program;
  game.drawInterface(pass);
  game.hud.program = hudProgram;
  game.textRenderer.program = textProgram;
}

}  // namespace

void drawFrame() {
  glUseProgram(shaders.simpleProgram);
  glm::vec4 eye = glm::inverse(camera.viewMatrix) * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
  glUniform4fv(glGetUniformLocation(shaders.simpleProgram, "cam_position"), 1, glm::value_ptr(eye));

  // Shadow pass: depth only, from the light, with the depth-only program (a software rasteriser would run
  // any colour program's fragment code on every depth fragment). Spawn points and their paths cast no shadow.
  if (shadowMapSize != settings.shadowMapSize) allocateShadowMap(settings.shadowMapSize);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderTargets.shadowFramebuffer);
  glViewport(0, 0, shadowMapSize, shadowMapSize);
  glPolygonOffset(1.1f, 4.4f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  game.draw(DrawPass{shaders.shadow1Program, false, false, &light.lightPosition}, light.lightProjectionMatrix,
            light.lightViewMatrix);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);

  // Below full render scale the glow is blurred with five lookups a texel where the full-size frame takes nine.
  const bool scaled = settings.renderScale < 100;
  if (settings.glow) {
    if (!scaled) {
      drawGlow();
    } else {
      glBindFramebuffer(GL_FRAMEBUFFER, renderTargets.glowFramebuffer);
      glViewport(0, 0, kGlowSize, kGlowSize);
      clearTarget();
      drawGlowScene();
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      scaledPasses.blurGlow(renderTargets.glowFramebuffer, textures.textureTable[SlotGlowImage],
                            textures.glowTextureTable[SlotGlowImage], kGlowSize);
    }
  }

  // Final pass: lit and shadowed into the window. Objects bind their own textures on unit 0, so the
  // shadow map stays on unit 1.
  glUseProgram(shaders.shadow2Program);
  const glm::mat4 bias = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(0.5f)), glm::vec3(0.5f));
  light.shadowTextureMatrix = bias * light.lightProjectionMatrix * light.lightViewMatrix;
  glUniformMatrix4fv(glGetUniformLocation(shaders.shadow2Program, "tex_mat"), 1, GL_FALSE,
                     glm::value_ptr(light.shadowTextureMatrix));
  glActiveTexture(GL_TEXTURE1);
  glBindTexture(GL_TEXTURE_2D, renderTargets.shadowDepthTexture);
  glUniform1i(glGetUniformLocation(shaders.shadow2Program, "shadow_map"), 1);
  // Below 100 % the world goes into the smaller target and is stretched over the window, with the texts and
  // the HUD sharp on top. The stretch keeps the picture's place in the window, so clicks find what they point at.
  if (scaled)
    sceneTarget.bind(std::max(1, core.windowWidth * settings.renderScale / 100),
                     std::max(1, core.windowHeight * settings.renderScale / 100));
  else
    glViewport(0, 0, core.windowWidth, core.windowHeight);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  applyTextureTable(textures.textureTable);
  // The overlay draws in this pass alone.
  const DrawPass finalPass{shaders.shadow2Program, true, true, &light.lightPosition};
  // A smaller picture would otherwise take each texture from a smaller mipmap than the window's own pixels do,
  // and lose the board's lines twice: in the texture and in the stretch.
  if (scaled) setLodBias(std::log2(settings.renderScale / 100.0f));
  game.drawWorld(finalPass, camera.projectionMatrix, camera.viewMatrix);
  if (scaled) {
    setLodBias(0.0f);
    // One full-window pass stretches the picture and adds the glow; the texts and the HUD come sharp on top. In
    // wireframe the full-size overlay is the quad's outline only, so the glow is left out there too.
    const GLuint addedGlow =
        settings.glow && !debugSwitches.wireframeMode ? textures.textureTable[SlotGlowImage] : 0;
    scaledPasses.stretch(sceneTarget.colourTexture(), sceneTarget.framebuffer(), sceneTarget.width(),
                         sceneTarget.height(), addedGlow, core.windowWidth, core.windowHeight);
    drawInterfaceOverStretch(finalPass, addedGlow);
  } else {
    game.drawInterface(finalPass);
    if (settings.glow) drawGlowOverlay();
  }

  if (debugSwitches.fpsMode) {
    std::ostringstream text;
    text << frameClock.framesPerSecond;
    TextRenderer renderer = game.textRenderer;
    renderer.drawText(text.str().c_str(), true, -450.0f, 320.0f);
  }
}
