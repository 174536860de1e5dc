// Fuzzes the settings file reader with arbitrary text, given as it is and as a real file: no line gives more
// than one warning, the file reads as its text does, and whatever the reader makes of the text is written
// out and read back the same, without a warning (through the game's own writer and a real file once a run).
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/Settings.h"

namespace {

std::filesystem::path configHome;
std::string filePath;
bool written = false;

}  // namespace

// A settings file in a configuration folder of this run's own, removed at the end.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  configHome = std::filesystem::temp_directory_path() / ("fuzz_settings_" + std::to_string(getpid()));
  filePath = settingsFilePath(configHome.c_str(), nullptr);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(configHome, ignored);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const SettingsRead read = parseSettings(text, filePath);
  if (read.warnings.size() > static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1) __builtin_trap();

  const SettingsRead again = parseSettings(formatSettings(read.settings), filePath);
  if (again.settings != read.settings || !again.warnings.empty()) __builtin_trap();
  // The writer syncs the file to the disk, some milliseconds: it writes the first input's settings, and the
  // text it writes is the one just read back above.
  if (!written) {
    if (!writeSettingsFile(filePath, read.settings).empty()) __builtin_trap();
    const SettingsRead fromWriter = readSettingsFile(filePath);
    if (fromWriter.settings != read.settings || !fromWriter.warnings.empty()) __builtin_trap();
    written = true;
  }

  std::FILE* file = std::fopen(filePath.c_str(), "wb");
  if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0) __builtin_trap();
  const SettingsRead fromFile = readSettingsFile(filePath);
  if (fromFile.settings != read.settings || fromFile.warnings != read.warnings) __builtin_trap();
  return 0;
}
