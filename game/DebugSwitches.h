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
