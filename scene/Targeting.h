// What a tower aims at: its priority among the enemies inside its square, the choice itself on plain numbers,
// and the order the priorities cycle in.
#pragma once

#include <vector>

class Enemy;

// Default is the rule every tower starts with: the first enemy of the list inside its square.
enum class TargetPriority { Default, First, Strongest, Weakest, Nearest };

// "default", "first", "strongest", "weakest" or "nearest".
const char* targetPriorityName(TargetPriority priority);
// Default, First, Strongest, Weakest, Nearest, then Default again.
TargetPriority nextTargetPriority(TargetPriority priority);

// An enemy as a tower weighs it, in list order.
struct TargetCandidate {
  float x = 0.0f;
  float z = 0.0f;
  double hitPoints = 0.0;
  double roadLeft = 0.0;  // board units still to walk along its path to the goal
};

// The index of the candidate a tower at (towerX, towerZ) with reach `distance` shoots, or -1 when none lies
// strictly inside its square. First takes the least road left, Strongest the most hit points, Weakest the
// fewest, Nearest the shortest straight distance to the tower; ties go to the earlier candidate.
int chooseTarget(TargetPriority priority, float towerX, float towerZ, double distance,
                 const std::vector<TargetCandidate>& candidates);

// Board units an enemy still has to walk: to the point it is heading for, then leg by leg to the path's end.
double roadLeft(const Enemy& enemy);
