// The debugging switches as every start has them.
#include "game/DebugSwitches.h"

DebugSwitches debugSwitches;
