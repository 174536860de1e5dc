// Entry point: runs the game, then exits so that the game world is torn down by the static destructors.
#include <cstdlib>

#include "app/Application.h"

int main() { std::exit(runApplication()); }
