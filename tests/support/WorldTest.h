// A fresh game world for tests: the global `game` built as start-up builds it (board, level, files) on the
// manual clock at 0, with injected input, a 1024 x 768 window and the game's own callbacks registered.
#pragma once

#include <string>

#include "GlTestContext.h"
#include "game/Game.h"

class Enemy;
class Tower;

// Deletes every object of g and clears every pointer into its lists; the board goes too.
void clearWorld(Game& g);

// Builds board, level and files on g as start-up does, with the main texture table and the simple program.
// The clock is not touched.
void buildWorld(Game& g);

class WorldTest : public GlTest {
 protected:
  // The global game emptied and rebuilt with the level in code; money 1000, running, selection mode; the
  // application's switches, settings, camera and window back at their start values, the options screen closed
  // with nowhere to save; the clock manual at 0, the match clock at 0 and normal speed; input injected.
  void SetUp() override;
  // Empties the world and gives the real clock and input back.
  void TearDown() override;

  // Appends an enemy of a kind at (x, z) walking path (pathLength x, z pairs) and returns it.
  Enemy* addEnemy(const std::string& kind, float x, float z, const float* path, int pathLength);
  // Appends a tower of a kind at (x, z) with the game's model, without charging for it, and returns it.
  Tower* addTower(const std::string& kind, float x, float z);
  int takenFiles() const;

  Game& g = game;
};
