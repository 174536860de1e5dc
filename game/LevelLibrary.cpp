// The level library: which file a level name stands for, the listing of the shipped levels and the player's,
// the checker's command and the problems of a bad file, one line each.
#include "game/LevelLibrary.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <vector>

#include "game/FileText.h"
#include "game/LevelCheck.h"
#include "game/LevelFile.h"
#include "game/PlayerFolder.h"

namespace fs = std::filesystem;

const char* const kLevelFolder = "levels";

namespace {

bool isFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool endsWithJson(const std::string& name) { return name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0; }

// The level file of a bare name in a folder, or empty.
std::string levelIn(const fs::path& folder, const std::string& name) {
  if (folder.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return "";
  const fs::path file = fs::absolute(folder / (endsWithJson(name) ? name : name + ".json"));
  return isFile(file) ? file.string() : "";
}

// The names of the *.json entries of a folder, sorted, at most `most`; a folder that cannot be listed or
// holds more gets a warning. A missing folder is just empty.
std::vector<std::string> levelNamesIn(const fs::path& folder, size_t most, std::vector<std::string>* warnings) {
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator it(folder, error);
  for (fs::directory_iterator end; !error && it != end; it.increment(error))
    if (endsWithJson(it->path().filename().string())) names.push_back(it->path().filename());
  if (error && error != std::errc::no_such_file_or_directory)
    warnings->push_back("varrow: cannot list the levels folder " + fs::absolute(folder).string() + ": " +
                        error.message());
  std::sort(names.begin(), names.end());
  if (names.size() > most) {
    warnings->push_back("varrow: only the first " + std::to_string(most) + " of the " + std::to_string(names.size()) +
                        " level files in " + fs::absolute(folder).string() + " are listed");
    names.resize(most);
  }
  return names;
}

// Control characters of a player's file name shown as '?': the listing goes to a terminal.
std::string shown(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
  return out;
}

}  // namespace

std::string playerLevelFolder() {
  const std::string folder = playerFolder();
  return folder.empty() ? "" : folder + "/levels";
}

LevelLoad loadLevel(const std::string& path) {
  LevelLoad load;
  load.identity.fileName = fs::path(path).filename();
  const FileText file = readFileText(path, levelLimits::kFileBytes);
  switch (file.failure) {
    case FileText::Failure::None:
      break;
    case FileText::Failure::Folder:
      load.problems.push_back("is a folder, not a level file");
      return load;
    case FileText::Failure::NotRegular:
      load.problems.push_back("is not a regular file");
      return load;
    case FileText::Failure::TooLarge:
      load.problems.push_back("is larger than " + std::to_string(levelLimits::kFileBytes) +
                              " bytes, the most a level file may be");
      return load;
    case FileText::Failure::Missing:
    case FileText::Failure::Unreadable:
      load.problems.push_back("cannot read the file: " + file.reason);
      return load;
  }
  load.identity.content = contentHash(file.text);
  LevelReading reading = readLevel(file.text);
  load.level = std::move(reading.level);
  load.problems = std::move(reading.problems);
  return load;
}

LevelListing listLevelFolders(const std::string& shippedFolder, const std::string& playerLevels) {
  LevelListing listing;
  for (const bool players : {false, true}) {
    const fs::path folder = players ? playerLevels : shippedFolder;
    if (folder.empty()) continue;
    for (const std::string& name : levelNamesIn(folder, players ? kMostPlayerLevels : SIZE_MAX, &listing.warnings)) {
      LevelEntry entry;
      entry.fileName = name;
      entry.path = fs::absolute(folder / name).string();
      entry.players = players;
      LevelLoad load = loadLevel(entry.path);
      entry.identity = std::move(load.identity);
      entry.playable = load.problems.empty();
      if (entry.playable) {
        entry.name = load.level.name;
        entry.description = load.level.description;
      } else {
        entry.problem = load.problems.front();
      }
      listing.entries.push_back(std::move(entry));
    }
  }
  return listing;
}

LevelListing levelListing() { return listLevelFolders(kLevelFolder, playerLevelFolder()); }

std::string levelFileOf(const LaunchOptions& options, std::ostream& errors) {
  if (isFile(options.levelFile)) return options.levelFile;
  const std::string& name = options.level;
  for (const std::string& folder : {std::string(kLevelFolder), playerLevelFolder()}) {
    const std::string file = levelIn(folder, name);
    if (!file.empty()) return file;
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
  const LevelListing listing = levelListing();
  for (const std::string& warning : listing.warnings) errors << warning << std::endl;
  if (listing.entries.empty()) {
    errors << "varrow: there are no level files in " << fs::absolute(kLevelFolder).string() << std::endl;
    return 1;
  }

  struct Row {
    std::string file, name, description;
  };
  std::vector<Row> rows;
  size_t fileWidth = 0, nameWidth = 0;
  for (const LevelEntry& entry : listing.entries) {
    rows.push_back(entry.playable ? Row{shown(entry.fileName), entry.name, entry.description}
                                  : Row{shown(entry.fileName), "-", "cannot be played: " + entry.problem});
    fileWidth = std::max(fileWidth, rows.back().file.size());
    nameWidth = std::max(nameWidth, rows.back().name.size());
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (listing.entries[i].players && (i == 0 || !listing.entries[i - 1].players))
      out << "Your levels in " << playerLevelFolder() << ":" << std::endl;
    out << rows[i].file << std::string(fileWidth + 2 - rows[i].file.size(), ' ') << rows[i].name
        << std::string(nameWidth + 2 - rows[i].name.size(), ' ') << rows[i].description << std::endl;
  }
  return 0;
}

int checkLevelFile(const std::string& path, const std::string& shownName, std::ostream& out, std::ostream& errors) {
  Level level;
  if (!readLevelOrSay(path, shownName, &level, errors)) return 2;
  out << levelCheckReport(level, checkLevel(level)) << std::flush;
  return 0;
}
