// Calling the next wave early: which wave starts now, how far the rest of the schedule moves, and the bonus
// for the seconds saved (the rule and its reasoning are in docs/rules.md).
#pragma once

#include <optional>
#include <vector>

// Dollars paid per whole second a call saves.
constexpr int kEarlyCallDollarsPerSecond = 2;

struct WaveCall {
  int wave = 0;               // the called wave's number on the wave line, from 1
  double secondsSaved = 0.0;  // how much earlier it and every later wave now start
  double shift = 0.0;         // how far the schedule runs ahead of the level's after the call
  int bonus = 0;
};

// The bonus for a call that saves this many seconds: kEarlyCallDollarsPerSecond per whole second.
int earlyCallBonus(double secondsSaved);

// A call at match time now on a schedule whose waves start at startTimes (the level's own times, earliest
// first, each once, as Level::waveStartTimes gives them) moved `shift` seconds earlier by the calls before.
// The earliest wave that has not started (one starting strictly after now) starts now; none is left: nothing.
// The new shift counts that wave as started however its start time rounds.
std::optional<WaveCall> callNextWave(const std::vector<double>& startTimes, double shift, double now);
