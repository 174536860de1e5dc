// The early-call rule on a wave schedule in numbers.
#include "game/WaveCall.h"

#include <algorithm>
#include <cmath>

int earlyCallBonus(double secondsSaved) {
  return kEarlyCallDollarsPerSecond * static_cast<int>(std::floor(std::max(secondsSaved, 0.0)));
}

std::optional<WaveCall> callNextWave(const std::vector<double>& startTimes, double shift, double now) {
  // A wave has started from its start time on, as the wave line counts it; compared as the wave line reads
  // the moved times, so the two never disagree by a rounding.
  const auto next =
      std::find_if(startTimes.begin(), startTimes.end(), [&](double start) { return start - shift > now; });
  if (next == startTimes.end()) return std::nullopt;
  WaveCall call;
  call.wave = static_cast<int>(next - startTimes.begin()) + 1;
  call.shift = *next - now;
  // Moved by this shift the wave must start no later than now, or a second call would find it again.
  while (*next - call.shift > now) call.shift = std::nextafter(call.shift, HUGE_VAL);
  call.secondsSaved = call.shift - shift;
  call.bonus = earlyCallBonus(call.secondsSaved);
  return call;
}
