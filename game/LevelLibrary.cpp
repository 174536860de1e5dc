// The level library: which file a level name stands for, the listing of the shipped levels, the checker's
// command and the problems of a bad file, one line each.
#include "game/LevelLibrary.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <vector>

#include "game/LevelCheck.h"
#include "game/LevelFile.h"

namespace fs = std::filesystem;

const char* const kLevelFolder = "levels";

namespace {

bool isFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool endsWithJson(const std::string& name) { return name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0; }

}  // namespace

std::string levelFileOf(const LaunchOptions& options, std::ostream& errors) {
  if (isFile(options.levelFile)) return options.levelFile;
  const std::string& name = options.level;
  if (name.find('/') == std::string::npos && name != "." && name != "..") {
    const fs::path shipped = fs::absolute(fs::path(kLevelFolder) / (endsWithJson(name) ? name : name + ".json"));
    if (isFile(shipped)) return shipped.string();
  }
  errors << "varrow: there is no level file " << options.levelFile;
  if (name.find('/') == std::string::npos)
    errors << " and no shipped level named '" << name << "' (varrow --list-levels lists them)";
  errors << std::endl;
  return "";
}

bool readLevelOrSay(const std::string& path, const std::string& shownName, Level* level, std::ostream& errors) {
  LevelReading reading = readLevelFile(path);
  for (const std::string& problem : reading.problems) errors << "varrow: " << shownName << ": " << problem << std::endl;
  if (!reading.problems.empty()) return false;
  *level = std::move(reading.level);
  return true;
}

int listLevels(std::ostream& out, std::ostream& errors) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(kLevelFolder, error), end; !error && it != end; it.increment(error))
    if (endsWithJson(it->path().filename().string()) && isFile(it->path())) names.push_back(it->path().filename());
  if (names.empty()) {
    errors << "varrow: there are no level files in " << fs::absolute(kLevelFolder).string() << std::endl;
    return 1;
  }
  std::sort(names.begin(), names.end());

  struct Row {
    std::string file, name, description;
  };
  std::vector<Row> rows;
  size_t fileWidth = 0, nameWidth = 0;
  for (const std::string& file : names) {
    const LevelReading reading = readLevelFile((fs::path(kLevelFolder) / file).string());
    rows.push_back(reading.problems.empty() ? Row{file, reading.level.name, reading.level.description}
                                            : Row{file, "-", "cannot be played: " + reading.problems.front()});
    fileWidth = std::max(fileWidth, file.size());
    nameWidth = std::max(nameWidth, rows.back().name.size());
  }
  for (const Row& row : rows)
    out << row.file << std::string(fileWidth + 2 - row.file.size(), ' ') << row.name
        << std::string(nameWidth + 2 - row.name.size(), ' ') << row.description << std::endl;
  return 0;
}

int checkLevelFile(const std::string& path, const std::string& shownName, std::ostream& out, std::ostream& errors) {
  Level level;
  if (!readLevelOrSay(path, shownName, &level, errors)) return 2;
  out << levelCheckReport(level, checkLevel(level)) << std::flush;
  return 0;
}
