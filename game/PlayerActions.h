// What the player's commands do to the world, with the game's rules: selecting by picking, building at a
// ground point, upgrading, selling, the SuperGlow, the pause, the game speed and a new match.
#pragma once

#include <glm/glm.hpp>
#include <string>

// Selects the tower whose box lies on the line through origin along direction and whose ground position
// is nearest to origin; returns whether any tower's box was on the line.
bool pickTower(glm::vec3 origin, glm::vec3 direction);
void deselectTower();
// A tower button: build mode with that kind, and no selection.
void chooseTowerType(const std::string& kind);
// A build click on the board at ground point: refused with a line on a taken spot, otherwise reported and
// built when the kind is known and paid for.
void buildAt(const std::string& kind, glm::vec3 ground);
void upgradeSelectedTower();
void sellSelectedTower();
// The attack itself: its sound, the spawn points' pulse and the damage to every enemy.
void triggerSuperGlow();
// False when (x, z) is closer than one box width and one box depth to an existing tower.
bool isBuildSpotFree(float x, float z);
void togglePause();
void cycleGameSpeed();
// Only a finished match can be started again; the camera, the light and the player's switches stay.
void playAgain();
// Shows a command's message at the top left for a few seconds.
void showMessage(const char* text);

// How long a command's message stays on screen, seconds.
constexpr double kScreenMessageSeconds = 3.0;
