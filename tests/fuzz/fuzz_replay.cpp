// Fuzzes the replay reader with arbitrary bytes: it must never crash, a refusal is one short line that names
// its place, and whatever it accepts must keep the format's promises and read back the same once written again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "game/Replay.h"

namespace {

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_replay: %s\n", what);
  std::fflush(stderr);
  __builtin_trap();
}

bool sameReplay(const Replay& a, const Replay& b) {
  if (a.levelText != b.levelText || a.difficulty != b.difficulty || a.gameVersion != b.gameVersion ||
      a.stepCount != b.stepCount || a.steps.size() != b.steps.size() || a.commands.size() != b.commands.size() ||
      a.outcome.has_value() != b.outcome.has_value() || (a.outcome && !(*a.outcome == *b.outcome)))
    return false;
  for (size_t i = 0; i < a.steps.size(); ++i)
    if (std::memcmp(&a.steps[i], &b.steps[i], sizeof(StepRun)) != 0) return false;
  for (size_t i = 0; i < a.commands.size(); ++i) {
    const RecordedCommand &x = a.commands[i], &y = b.commands[i];
    if (x.beforeStep != y.beforeStep || x.command.kind != y.command.kind || x.command.towerKind != y.command.towerKind ||
        x.command.point != y.command.point || x.command.direction != y.command.direction)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ReplayReading reading = readReplay(std::string(reinterpret_cast<const char*>(data), size));
  if (!reading.problem.empty()) {
    const std::string& p = reading.problem;
    check(p.find(": ") != std::string::npos && p.find('\n') == std::string::npos && p.size() < 400,
          "a refusal that is not one short line with its place");
    return 0;
  }
  const Replay& replay = reading.replay;
  std::uint64_t steps = 0;
  for (const StepRun& run : replay.steps) {
    check(run.count >= 1 && run.dt >= 0.0 && run.dt <= replayLimits::kLongestStep, "a step run out of its limits");
    steps += run.count;
  }
  check(steps == replay.stepCount && steps <= replayLimits::kSteps, "step runs that do not add up");
  for (size_t i = 0; i < replay.commands.size(); ++i) {
    const RecordedCommand& c = replay.commands[i];
    check(changesMatch(c.command.kind) && c.beforeStep <= steps, "a command out of its limits");
    check(i == 0 || replay.commands[i - 1].beforeStep <= c.beforeStep, "commands out of order");
  }
  const ReplayReading again = readReplay(replayFileText(replay));
  check(again.problem.empty() && sameReplay(again.replay, replay), "an accepted replay does not read back as written");
  return 0;
}
