// Where enemies enter the board: the entry position, the path to the goal (drawn as a white polyline that
// swells after a SuperGlow attack) and this entry's progress through the shared wave table.
#pragma once

#include <vector>

#include "scene/MeshObject.h"
#include "scene/Wave.h"

class SpawnPoint : public MeshObject {
 public:
  float spawnX = 0.0f;
  float spawnZ = 0.0f;
  std::vector<float> path;  // pathLength (x, z) pairs; enemies share it read-only
  const Wave* waves = nullptr;  // the level's list this spawn point sends, maybe shared with others; not owned
  int waveCount = 0;
  int pathLength = 0;
  int waveIndex = 0;
  int spawnedInWave = 0;
  double nextSpawnTime = 0.0;
  double pulseTime = 0.0;  // match time of the last SuperGlow attack

  // path holds (x, z) pairs, at least two points; waves holds waveCount records.
  SpawnPoint(std::vector<float> path, GLuint texture, float spawnX, float spawnZ, const Wave* waves, int waveCount);

  void draw(GLuint program) override;

  void buildPathGeometry();
};

// Width in pixels of the path lines at match time now: 9 at the attack, shrinking linearly to 3 one second later.
float pathLineWidth(double pulseTime, double now);
