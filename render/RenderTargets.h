// The frame's own render targets, private to the passes: the glow image's framebuffer and depth, the shadow
// map's framebuffer and depth texture, and the full-screen quad the blur and the glow overlay draw.
#pragma once

#include <GL/glew.h>

struct RenderTargets {
  GLuint glowFramebuffer = 0;
  GLuint glowDepthRenderbuffer = 0;
  GLuint shadowFramebuffer = 0;
  GLuint shadowDepthTexture = 0;
  float screenQuadVertices[16] = {};
  float screenQuadTexCoords[8] = {};
  unsigned int screenQuadIndices[6] = {};
};

extern RenderTargets renderTargets;

// Points a program's "vertex" and "texCoord" at the quad arrays and leaves both arrays enabled.
void bindScreenQuad(GLuint program);
void unbindScreenQuad(GLuint program);
