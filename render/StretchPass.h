// Finishing a picture drawn below full size: the stretch over the window with the glow added in the same
// pass, and the program the texts and the HUD then draw with to get the glow on their own pixels. Its two
// programs are built the first time a scaled frame needs them, so a full-size game compiles nothing more.
#pragma once

#include <GL/glew.h>

class StretchPass {
 public:
  StretchPass() = default;
  StretchPass(const StretchPass&) = delete;
  StretchPass& operator=(const StretchPass&) = delete;

  // Draws the picture texture over the whole window (framebuffer 0, viewport set here), with the glow image
  // added when glowTexture is not 0. Without its program it falls back on a plain stretch of readFramebuffer.
  void draw(GLuint picture, GLuint readFramebuffer, int pictureWidth, int pictureHeight, GLuint glowTexture,
            int windowWidth, int windowHeight);
  // The HUD program that adds the glow to each pixel it draws, with the glow on texture unit 2; 0 when it
  // could not be built, and the texts and HUD then draw as they are.
  GLuint interfaceProgram(GLuint glowTexture, int windowWidth, int windowHeight);
  // Deletes the programs while a context is current; the next scaled frame builds them again.
  void release();

 private:
  void build();

  bool built_ = false;
  GLuint stretchProgram_ = 0;
  GLuint interfaceProgram_ = 0;
};
