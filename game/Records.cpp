// The records: the order of results, the update after a match, and the records file read strictly (every
// field of the right type and range, or the whole file is refused), written whole, and moved aside when bad.
#include "game/Records.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <tuple>

#include "game/FileText.h"
#include "game/PlayerFolder.h"
#include "platform/WholeFile.h"

namespace {

using nlohmann::json;

constexpr int kVersion = 1;
constexpr size_t kRecords = 100000;
constexpr size_t kFileNameBytes = 255;
constexpr int64_t kMostFiles = 1000;
constexpr int64_t kMostWaves = 100000;
constexpr double kMostSeconds = 1e9;
constexpr int kAsideNames = 1000;

const char* const kDifficulties[] = {"Easy", "Normal", "Hard"};

// The file names a difficulty by its title, exactly.
std::optional<Difficulty> difficultyNamed(const std::string& name) {
  for (int d = 0; d < 3; ++d)
    if (name == kDifficulties[d]) return static_cast<Difficulty>(d);
  return std::nullopt;
}

std::string minutesAndSeconds(double seconds) {
  const long long whole = static_cast<long long>(std::floor(seconds));
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

// A whole number from 0 to most, or nothing.
std::optional<int64_t> count(const json& value, int64_t most) {
  if (value.is_number_unsigned()) {
    const uint64_t n = value.get<uint64_t>();
    if (n <= static_cast<uint64_t>(most)) return static_cast<int64_t>(n);
  } else if (value.is_number_integer()) {
    const int64_t n = value.get<int64_t>();
    if (n >= 0 && n <= most) return n;
  }
  return std::nullopt;
}

bool isHash(const std::string& text) {
  return text.size() == 16 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

// One record of the file, or the problem with it, which names the field.
std::string readRecord(const json& item, Record* record) {
  if (!item.is_object()) return ": must be an object";
  const auto field = [&item](const char* name) -> const json* {
    const auto it = item.find(name);
    return it == item.end() ? nullptr : &*it;
  };
  const json* file = field("file");
  if (!file || !file->is_string() || file->get_ref<const std::string&>().empty() ||
      file->get_ref<const std::string&>().size() > kFileNameBytes ||
      file->get_ref<const std::string&>().find('/') != std::string::npos)
    return ".file: must be a level's file name";
  const json* content = field("content");
  if (!content || !content->is_string() || !isHash(content->get<std::string>()))
    return ".content: must be 16 hexadecimal digits";
  const json* difficulty = field("difficulty");
  const std::optional<Difficulty> level =
      difficulty && difficulty->is_string() ? difficultyNamed(difficulty->get<std::string>()) : std::nullopt;
  if (!level) return ".difficulty: must be \"Easy\", \"Normal\" or \"Hard\"";
  const json* won = field("won");
  if (!won || !won->is_boolean()) return ".won: must be true or false";
  const json* filesKept = field("filesKept");
  const std::optional<int64_t> files = filesKept ? count(*filesKept, kMostFiles) : std::nullopt;
  if (!files) return ".filesKept: must be a whole number from 0 to " + std::to_string(kMostFiles);
  const json* wavesReached = field("wavesReached");
  const std::optional<int64_t> waves = wavesReached ? count(*wavesReached, kMostWaves) : std::nullopt;
  if (!waves) return ".wavesReached: must be a whole number from 0 to " + std::to_string(kMostWaves);
  const json* seconds = field("seconds");
  if (!seconds || !seconds->is_number() || !(seconds->get<double>() >= 0.0) || seconds->get<double>() > kMostSeconds)
    return ".seconds: must be a number of seconds from 0 to 1e9";
  *record = Record{{file->get<std::string>(), content->get<std::string>()},
                   *level,
                   {won->get<bool>(), static_cast<int>(*files), static_cast<int>(*waves), seconds->get<double>()}};
  return "";
}

// Renames path to the first free name of path.bad, path.bad-2, ...; never over an existing file. Returns the
// new name, or empty with errno set.
std::string moveAside(const std::string& path) {
  for (int n = 1; n <= kAsideNames; ++n) {
    const std::string aside = path + ".bad" + (n == 1 ? "" : "-" + std::to_string(n));
    if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return aside;
    // A file system without an exclusive rename still makes hard links, which never replace a file either.
    if (errno == EINVAL && link(path.c_str(), aside.c_str()) == 0) {
      if (unlink(path.c_str()) == 0) return aside;
      unlink(aside.c_str());
      return "";
    }
    if (errno != EEXIST) return "";
  }
  errno = EEXIST;
  return "";
}

std::string whyUnread(const FileText& file) {
  switch (file.failure) {
    case FileText::Failure::Folder:
      return "it is a folder";
    case FileText::Failure::NotRegular:
      return "it is not a regular file";
    case FileText::Failure::TooLarge:
      return "it is larger than " + std::to_string(kRecordsFileBytes) + " bytes";
    default:
      return "cannot read it: " + file.reason;
  }
}

}  // namespace


bool betterResult(const MatchResult& a, const MatchResult& b) {
  if (a.won != b.won) return a.won;
  if (a.won) return std::tuple(a.filesKept, -a.seconds) > std::tuple(b.filesKept, -b.seconds);
  return std::tuple(a.wavesReached, a.seconds) > std::tuple(b.wavesReached, b.seconds);
}

std::string contentHash(const std::string& bytes) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char byte : bytes) hash = (hash ^ byte) * 0x100000001b3ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

bool operator==(const LevelIdentity& a, const LevelIdentity& b) {
  return a.fileName == b.fileName && a.content == b.content;
}

const MatchResult* Records::find(const LevelIdentity& level, Difficulty difficulty) const {
  for (const Record& record : records_)
    if (record.level == level && record.difficulty == difficulty) return &record.best;
  return nullptr;
}

RecordUpdate Records::update(const LevelIdentity& level, Difficulty difficulty, const std::string& levelName,
                             const MatchResult& result) {
  RecordUpdate update;
  const auto record = std::find_if(records_.begin(), records_.end(), [&](const Record& r) {
    return r.level == level && r.difficulty == difficulty;
  });
  update.hadRecord = record != records_.end();
  update.newRecord = !update.hadRecord || betterResult(result, record->best);
  if (!update.newRecord) return update;
  if (update.hadRecord) {
    record->best = result;
    update.message = "New record on " + levelName +
                     (difficulty == Difficulty::Normal ? "" : std::string(" (") + difficultyTitle(difficulty) + ")") +
                     ": " + resultText(result);
  } else {
    records_.push_back({level, difficulty, result});
  }
  return update;
}

std::string resultText(const MatchResult& result) {
  if (result.won)
    return "won with " + std::to_string(result.filesKept) + (result.filesKept == 1 ? " file" : " files") + " in " +
           minutesAndSeconds(result.seconds);
  if (result.wavesReached == 0) return "lost after " + minutesAndSeconds(result.seconds);
  return "lost at wave " + std::to_string(result.wavesReached) + " after " + minutesAndSeconds(result.seconds);
}

RecordsReading readRecords(const std::string& text) {
  RecordsReading reading;
  json root;
  try {
    root = json::parse(text);
  } catch (const json::parse_error& error) {
    reading.problem = "it is not JSON (byte " + std::to_string(error.byte) + ")";
    return reading;
  } catch (const json::exception&) {
    reading.problem = "it is not JSON (a number out of range)";
    return reading;
  }
  if (!root.is_object()) {
    reading.problem = "it is not an object";
    return reading;
  }
  const auto version = root.find("version");
  const std::optional<int64_t> number = version == root.end() ? std::nullopt : count(*version, INT64_MAX);
  if (!number || *number == 0) {
    reading.problem = "version: must be a whole number from 1";
    return reading;
  }
  if (*number > kVersion) {
    reading.newerVersion = true;
    reading.problem = "it is of version " + std::to_string(*number) + ", newer than this game reads";
    return reading;
  }
  const auto list = root.find("records");
  if (list == root.end() || !list->is_array() || list->size() > kRecords) {
    reading.problem = "records: must be a list of at most " + std::to_string(kRecords) + " records";
    return reading;
  }
  Records records;
  for (size_t i = 0; i < list->size(); ++i) {
    Record record;
    std::string problem = readRecord((*list)[i], &record);
    if (problem.empty() && records.find(record.level, record.difficulty))
      problem = ": a second record of the same level and difficulty";
    if (!problem.empty()) {
      reading.problem = "records[" + std::to_string(i) + "]" + problem;
      return reading;
    }
    records.update(record.level, record.difficulty, "", record.best);
  }
  reading.records = std::move(records);
  return reading;
}

std::string formatRecords(const Records& records) {
  std::vector<Record> sorted = records.all();
  std::sort(sorted.begin(), sorted.end(), [](const Record& a, const Record& b) {
    return std::tie(a.level.fileName, a.difficulty, a.level.content) <
           std::tie(b.level.fileName, b.difficulty, b.level.content);
  });
  json list = json::array();
  for (const Record& record : sorted)
    list.push_back({{"file", record.level.fileName},
                    {"content", record.level.content},
                    {"difficulty", difficultyTitle(record.difficulty)},
                    {"won", record.best.won},
                    {"filesKept", record.best.filesKept},
                    {"wavesReached", record.best.wavesReached},
                    {"seconds", record.best.seconds}});
  return json{{"version", kVersion}, {"records", list}}.dump(2) + "\n";
}

std::string recordsFilePath() {
  const std::string folder = playerFolder();
  return folder.empty() ? "" : folder + "/records.json";
}

RecordsFile loadRecordsFile(const std::string& path, std::ostream& errors) {
  RecordsFile loaded;
  const FileText file = readFileText(path, kRecordsFileBytes);
  if (file.failure == FileText::Failure::Missing) return loaded;
  RecordsReading reading;
  if (file.failure == FileText::Failure::None) {
    reading = readRecords(file.text);
    if (reading.problem.empty()) {
      loaded.records = std::move(reading.records);
      return loaded;
    }
  } else {
    reading.problem = whyUnread(file);
  }
  if (reading.newerVersion) {
    loaded.saving = false;
    errors << "varrow: the records file " << path << " " << reading.problem
           << "; the game goes on without records and leaves the file as it is" << std::endl;
    return loaded;
  }
  const std::string aside = moveAside(path);
  if (aside.empty()) {
    loaded.saving = false;
    errors << "varrow: the records file " << path << " cannot be used (" << reading.problem
           << ") nor moved aside (" << std::strerror(errno)
           << "); the game goes on without records and saves none" << std::endl;
  } else {
    errors << "varrow: the records file " << path << " cannot be used (" << reading.problem << "); it was moved to "
           << aside << " and the game goes on without records" << std::endl;
  }
  return loaded;
}

std::string saveRecordsFile(const std::string& path, const Records& records) {
  const std::string reason = writeWholeFile(path, formatRecords(records));
  return reason.empty() ? "" : "varrow: cannot save the records in " + path + ": " + reason;
}
