// Fuzzes the settings file reader with arbitrary text: no line gives more than one warning, and whatever the
// reader makes of the text is written out and read back the same, without a warning.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const SettingsRead read = parseSettings(text, "fuzz.ini");
  if (read.warnings.size() > static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1) __builtin_trap();
  const SettingsRead again = parseSettings(formatSettings(read.settings), "fuzz.ini");
  if (again.settings != read.settings || !again.warnings.empty()) __builtin_trap();
  return 0;
}
