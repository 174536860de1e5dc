// The slots of the texture tables, named once: the catalogue fills them, the kind tables and the HUD name the
// slot a surface wears. Both tables (the main look and the glow look) share these numbers.
#pragma once

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

constexpr int kTextureSlots = 21;
