// The debugging switches of the F-keys and the spectator camera: every start begins without them and they
// are never saved. The view commands flip them; the camera, the frame's passes and the texture filters read
// them. Buffer objects and culling stay the game's own switches (`game.useVbo`, `game.frustumCulling`).
#pragma once

#include <GL/glew.h>

struct DebugSwitches {
  bool spectatorMode = false;
  bool fpsMode = false;
  bool wireframeMode = false;
  GLint textureFilter = GL_LINEAR;
  GLint mipmapMode = GL_LINEAR_MIPMAP_LINEAR;
};

extern DebugSwitches debugSwitches;

// The view commands: each flips its switch, says so on the console and, most of them, on screen.
void toggleSpectator();
void toggleFrameRate();
void toggleWireframe();
void toggleTextureFilter();
void cycleMipmapMode();
void toggleOverlay();

// Recomputes the filter pair from the texture filter (F4) and the mipmap mode (F5) and hands it to every
// drawable of the game.
void applyTextureFilters(GLint filter, GLint mipmaps);
// The pair for a texture filter and mipmap mode; an unknown texture filter leaves both unchanged.
void computeTextureFilters(GLint filter, GLint mipmaps, GLint& minFilter, GLint& magFilter);
