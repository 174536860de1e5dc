// Painters for the world's textures: board cell, enemies, tower skins, the unused pad and the selection marker.
#pragma once

#include "Canvas.h"

class SceneTextures {
public:
    static Canvas boardCell();
    static Canvas boardCellGlow();
    static Canvas enemy(const Color& hue);
    // Shared by every enemy kind but the white one, so it glows in a neutral hot tint.
    static Canvas enemyGlow(const Color& tint, float strength);
    static Canvas towerSkin(const Color& hue);
    static Canvas towerGlow();
    static Canvas pad();
    static Canvas padGlow();
    static Canvas marker();
};
