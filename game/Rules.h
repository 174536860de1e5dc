// The match rules in numbers: money for kills and arrivals, the goal square, which texture each enemy kind
// wears, and what a spawn point does in a frame. Game::update applies them; tests call them directly.
#pragma once

#include <GL/glew.h>

#include <string>

constexpr int kKillReward = 50;
constexpr int kArrivalPenalty = 100;
// The SuperGlow: ready this many match seconds after the start and after each use, and its damage to every
// enemy on the board.
constexpr double kSuperGlowCooldown = 325.0;
constexpr double kSuperGlowDamage = 300.0;
// Whether the SuperGlow can be fired: only while the match runs, once strictly more than its ready time has
// passed.
bool superGlowReady(int gameState, double now, double superGlowReadyTime);

// Money after killed enemies have paid their reward.
int payForKills(int resources, int killed);
// Money after arrived enemies have been charged; it never falls below 0.
int chargeForArrivals(int resources, int arrived);

// Whether a ground position lies strictly inside the square around the goal (gridSize, -gridSize) with
// half-width 4 * fileRadius + 1, where the files stand.
bool insideGoalSquare(float x, float z, int gridSize, int fileRadius);

// The texture-table slot an enemy kind wears, or -1 for a kind no spawn point may send.
int enemyTextureSlot(const std::string& kind);

// Entry of a texture table, or 0 while no table has been applied yet.
GLuint textureEntry(const GLuint* table, int slot);

// What one spawn point does in one frame, in the order the checks are made.
enum class SpawnAction {
  Finished,      // every wave has been sent
  Wait,          // the next spawn time has not passed yet (strictly)
  CompleteWave,  // the wave has sent all its enemies: move on to the next wave, send nothing now
  Send,          // send one enemy of the current wave
};
SpawnAction spawnAction(int waveIndex, int waveCount, double now, double nextSpawnTime, int spawnedInWave,
                        int waveEnemyCount);
