// Loading of the main and glow texture tables in their fixed order, and re-texturing the world from one.
#include "render/TextureCatalogue.h"

#include <iostream>

#include "game/Game.h"
#include "game/Rules.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/Tower.h"

TextureTables textures;

namespace {

void loadSlot(GLuint name, const char* file) {
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  if (!platform::loadTexture2D(file)) std::cout << "Error passing texture." << std::endl;
}

// The glow scene is drawn into this 256 x 256 image and blurred through its twin in the other table.
void createRenderTargetSlot(GLuint name) {
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

}  // namespace

void loadTextureTables() {
  static const char* const mainLow[] = {"quads.tga", "e_quads.tga", "t_quads.tga", "arial_0.tga", "tris.tga"};
  static const char* const mainHigh[] = {"SelectionMode.tga", "SelectionTool.tga", "Towers.tga",
                                         "markUp.tga",        "SuperGlow.tga",     "tris_bl.tga",
                                         "tris_gr.tga",       "e_quads_or.tga",    "e_quads_yl.tga",
                                         "e_quads_wh.tga",    "selected.tga",      "sel_standard.tga",
                                         "sel_sniper.tga",    "sel_power.tga"};
  static const char* const glowLow[] = {"quads_glow.tga", "e_quads_glow.tga", "t_quads_glow.tga",
                                        "arial_0_glow.tga", "tris_glow.tga"};

  glGenTextures(kTextureSlots, textures.textureTable);
  for (int slot = 0; slot <= SlotTowerStandard; ++slot) loadSlot(textures.textureTable[slot], mainLow[slot]);
  createRenderTargetSlot(textures.textureTable[SlotGlowImage]);
  for (int slot = SlotSelectionMode; slot < kTextureSlots; ++slot)
    loadSlot(textures.textureTable[slot], mainHigh[slot - SlotSelectionMode]);

  glGenTextures(kTextureSlots, textures.glowTextureTable);
  for (int slot = 0; slot <= SlotTowerStandard; ++slot) loadSlot(textures.glowTextureTable[slot], glowLow[slot]);
  createRenderTargetSlot(textures.glowTextureTable[SlotGlowImage]);
  // Surfaces without a glow image of their own wear the font's, the standard tower's or the standard enemy's.
  for (int slot = SlotSelectionMode; slot <= SlotSuperGlow; ++slot) textures.glowTextureTable[slot] = textures.glowTextureTable[SlotFont];
  textures.glowTextureTable[SlotTowerBlue] = textures.glowTextureTable[SlotTowerStandard];
  textures.glowTextureTable[SlotTowerGreen] = textures.glowTextureTable[SlotTowerStandard];
  textures.glowTextureTable[SlotEnemyOrange] = textures.glowTextureTable[SlotEnemy];
  textures.glowTextureTable[SlotEnemyYellow] = textures.glowTextureTable[SlotEnemy];
  loadSlot(textures.glowTextureTable[SlotEnemyWhite], "e_quads_wh_glow.tga");
  for (int slot = SlotSelected; slot <= SlotSelPower; ++slot) textures.glowTextureTable[slot] = textures.glowTextureTable[SlotFont];
  glBindTexture(GL_TEXTURE_2D, 0);
}

void applyTextureTable(const GLuint* table) {
  game.activeTextures = table;
  if (game.map) game.map->material.texture = table[SlotBoard];
  for (auto& file : game.files) file->material.texture = file->isIntact() ? table[SlotBoard] : table[SlotEnemy];
  for (auto& enemy : game.enemies) {
    const int slot = enemyTextureSlot(enemy->kind);
    enemy->material.texture = table[slot >= 0 ? slot : SlotEnemy];
  }
  for (auto& tower : game.towers) {
    const TowerKind* kind = findTowerKind(tower->kind);
    if (!kind) continue;
    tower->material.texture = table[kind->skinSlot];
    tower->texture5 = table[SlotTowerSpare];
    tower->markTexture = table[SlotMark];
  }
  game.textRenderer.texture = table[SlotFont];
}
