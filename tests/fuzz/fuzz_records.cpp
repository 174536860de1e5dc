// Fuzzes the records file reader with arbitrary text: a text it reads is written out and read back to the same
// text, every record kept is the best of its level and difficulty, and the order of results stays a strict
// order on what the file held.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/Records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  RecordsReading read = readRecords(text);
  if (!read.problem.empty()) {
    if (!read.records.all().empty()) __builtin_trap();
    return 0;
  }
  const std::string written = formatRecords(read.records);
  const RecordsReading again = readRecords(written);
  if (!again.problem.empty() || formatRecords(again.records) != written) __builtin_trap();
  const std::vector<Record>& all = read.records.all();
  for (size_t i = 0; i + 1 < all.size(); ++i) {
    const MatchResult& a = all[i].best;
    const MatchResult& b = all[i + 1].best;
    if (betterResult(a, b) && betterResult(b, a)) __builtin_trap();
    if (betterResult(a, a)) __builtin_trap();
    // Offering a record its own result again changes nothing.
    if (read.records.update(all[i].level, all[i].difficulty, "L", a).newRecord) __builtin_trap();
  }
  return 0;
}
