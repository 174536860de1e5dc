// The target rule: which enemy inside a tower's square it shoots, by the tower's priority.
#include "scene/Targeting.h"

#include <cmath>

#include "scene/Enemy.h"
#include "scene/Tower.h"

const char* targetPriorityName(TargetPriority priority) {
  switch (priority) {
    case TargetPriority::First: return "first";
    case TargetPriority::Strongest: return "strongest";
    case TargetPriority::Weakest: return "weakest";
    case TargetPriority::Nearest: return "nearest";
    case TargetPriority::Default: break;
  }
  return "default";
}

TargetPriority nextTargetPriority(TargetPriority priority) {
  switch (priority) {
    case TargetPriority::Default: return TargetPriority::First;
    case TargetPriority::First: return TargetPriority::Strongest;
    case TargetPriority::Strongest: return TargetPriority::Weakest;
    case TargetPriority::Weakest: return TargetPriority::Nearest;
    case TargetPriority::Nearest: break;
  }
  return TargetPriority::Default;
}

namespace {

// The value a priority ranks by, smallest first.
double rank(TargetPriority priority, float towerX, float towerZ, const TargetCandidate& c) {
  switch (priority) {
    case TargetPriority::First: return c.roadLeft;
    case TargetPriority::Strongest: return -c.hitPoints;
    case TargetPriority::Weakest: return c.hitPoints;
    case TargetPriority::Nearest: return std::hypot(double(c.x) - towerX, double(c.z) - towerZ);
    case TargetPriority::Default: break;
  }
  return 0.0;
}

}  // namespace

int chooseTarget(TargetPriority priority, float towerX, float towerZ, double distance,
                 const std::vector<TargetCandidate>& candidates) {
  int best = -1;
  double bestRank = 0.0;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const TargetCandidate& c = candidates[i];
    if (!inTowerArea(towerX, towerZ, distance, c.x, c.z)) continue;
    const double r = rank(priority, towerX, towerZ, c);
    // Strictly better only, so that a tie keeps the earlier enemy.
    if (best < 0 || r < bestRank) {
      best = static_cast<int>(i);
      bestRank = r;
    }
  }
  return best;
}

// Paths turn only at right angles, so every leg is walked along one axis.
double roadLeft(const Enemy& enemy) {
  if (enemy.pathIndex >= enemy.pathLength) return 0.0;
  const float* p = enemy.path;
  double left = std::fabs(p[2 * enemy.pathIndex] - enemy.worldX) + std::fabs(p[2 * enemy.pathIndex + 1] - enemy.worldZ);
  for (int i = enemy.pathIndex; i + 1 < enemy.pathLength; ++i)
    left += std::fabs(p[2 * i + 2] - p[2 * i]) + std::fabs(p[2 * i + 3] - p[2 * i + 1]);
  return left;
}
