// The keys of the game: each command key becomes a command the game applies; releases, repeats and keys
// without a command do nothing. The screens take their keys before these (app/InputRouter).
#pragma once

#include "game/Command.h"

// The command a key press stands for; false for a key without one.
bool commandForKey(int key, Command* command);

// Key callback of the game itself: presses of command keys are applied.
void onKey(int key, int action);
