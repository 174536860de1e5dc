// The key commands: render and game toggles with their console and on-screen messages, the pause of the
// game clock, and the texture-filter pair shared by everything drawn.
#pragma once

#include <GL/glew.h>

#include "game/ScreenMessage.h"

// Key callback; only presses act, releases and keys without a command do nothing.
void onKey(int key, int action);
void setScreenMessage(ScreenMessage message);
// Recomputes the filter pair from the texture filter (F4) and the mipmap mode (F5) and hands it to every
// drawable of the game.
void applyTextureFilters(GLint filter, GLint mipmaps);
// The pair for a texture filter and mipmap mode; an unknown texture filter leaves both unchanged.
void computeTextureFilters(GLint filter, GLint mipmaps, GLint& minFilter, GLint& magFilter);

// How long a command's message stays on screen, seconds.
constexpr double kScreenMessageSeconds = 3.0;
