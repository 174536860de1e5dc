// The passes of a frame drawn below full render scale, where the picture only has to come close to the full-size
// one: the glow blurred with five lookups a texel instead of nine, the smaller picture stretched over the window
// with the glow added in the same pass, and the program the texts and the HUD then draw with to get the glow on
// their own pixels. The three programs are built the first time a scaled frame needs them, so a full-size game
// compiles nothing more.
#pragma once

#include <GL/glew.h>

class ScaledPasses {
 public:
  ScaledPasses() = default;
  ScaledPasses(const ScaledPasses&) = delete;
  ScaledPasses& operator=(const ScaledPasses&) = delete;

  // Blurs the glow scene in image (size x size, drawn through framebuffer) across into spare and down back
  // into image, and leaves framebuffer 0 bound. Without its program the glow stays unblurred.
  void blurGlow(GLuint framebuffer, GLuint image, GLuint spare, int size);
  // Draws the picture texture over the whole window (framebuffer 0, viewport set here), with the glow image
  // added when glowTexture is not 0. Without its program it falls back on a plain stretch of readFramebuffer.
  void stretch(GLuint picture, GLuint readFramebuffer, int pictureWidth, int pictureHeight, GLuint glowTexture,
               int windowWidth, int windowHeight);
  // The HUD program that adds the glow to each pixel it draws, with the glow on texture unit 2; 0 when it
  // could not be built, and the texts and HUD then draw as they are.
  GLuint interfaceProgram(GLuint glowTexture, int windowWidth, int windowHeight);
  // Deletes the programs while a context is current; the next scaled frame builds them again.
  void release();

 private:
  void build();

  bool built_ = false;
  GLuint blurProgram_ = 0;
  GLuint stretchProgram_ = 0;
  GLuint interfaceProgram_ = 0;
};
