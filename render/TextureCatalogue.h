// The two texture tables (main look and glow look, one slot per surface) and pointing the world at one.
#pragma once

#include <GL/glew.h>

// Slot numbers shared by both tables.
enum TextureSlot {
  SlotBoard = 0,
  SlotEnemy = 1,
  SlotSpareQuads = 2,
  SlotFont = 3,
  SlotTowerStandard = 4,
  SlotTowerSpare = 5,
  SlotGlowImage = 6,
  SlotSelectionMode = 7,
  SlotSelectionTool = 8,
  SlotTowers = 9,
  SlotMark = 10,
  SlotSuperGlow = 11,
  SlotTowerBlue = 12,
  SlotTowerGreen = 13,
  SlotEnemyOrange = 14,
  SlotEnemyYellow = 15,
  SlotEnemyWhite = 16,
  SlotSelected = 17,
  SlotSelStandard = 18,
  SlotSelSniper = 19,
  SlotSelPower = 20
};

// Creates both tables and reads their images, printing "Error passing texture." for every file that fails.
void loadTextureTables();

// Makes table the one in force and re-textures the board, files, enemies, towers and the font from it.
// Writes names only: no GL call.
void applyTextureTable(const GLuint* table);
