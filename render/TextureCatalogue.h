// The two texture tables (main look and glow look, one slot per surface) and pointing the world at one.
#pragma once

#include <GL/glew.h>

#include "scene/TextureSlot.h"

// The two tables, filled at start-up, one GL texture name per slot.
struct TextureTables {
  GLuint textureTable[kTextureSlots] = {};
  GLuint glowTextureTable[kTextureSlots] = {};
};

extern TextureTables textures;

// Creates both tables and reads their images, printing "Error passing texture." for every file that fails.
void loadTextureTables();

// Makes table the one in force and re-textures the board, files, enemies, towers and the font from it.
// Writes names only: no GL call.
void applyTextureTable(const GLuint* table);
