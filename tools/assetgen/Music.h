// The game's three tunes: the looping background track, the victory fanfare and the game-over tune.
#pragma once

#include <cstdint>
#include <vector>

class Music {
public:
    static std::vector<uint8_t> backgroundXm();
    static std::vector<uint8_t> victoryXm();
    static std::vector<uint8_t> gameOverMod();
};
