// The replay file: a JSON header line (nlohmann-json) and a binary body of step runs and commands, each
// number a variable-length integer; a step's length is stored as its bits exclusive-or the previous run's,
// without the trailing zero bits, which is short for the nearly equal lengths of a real frame rate.
#include "game/Replay.h"


#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>

#include "game/Difficulty.h"
#include "game/Game.h"
#include "game/LevelFile.h"
#include "scene/Tower.h"
#include "platform/WholeFile.h"

namespace {

using nlohmann::json;

const char* const kFormat = "varrow-replay";

std::uint32_t crc32(const std::string& bytes, size_t from) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (size_t i = from; i < bytes.size(); ++i) c = table[(c ^ static_cast<unsigned char>(bytes[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint64_t bitsOf(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double doubleOf(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void putVarint(std::string& out, std::uint64_t value) {
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}

void putFloat(std::string& out, float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 4; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

bool hasTowerKind(CommandKind kind) { return kind == CommandKind::ChooseTowerKind || kind == CommandKind::Build; }
bool hasPoint(CommandKind kind) { return kind == CommandKind::Build || kind == CommandKind::Select; }

// Reads the body front to back; the first problem stops it.
class BodyReader {
 public:
  BodyReader(const std::string& bytes, size_t at) : bytes_(bytes), at_(at) {}
  size_t at() const { return at_; }
  bool atEnd() const { return at_ == bytes_.size(); }

  bool varint(std::uint64_t* value) {
    std::uint64_t result = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (at_ == bytes_.size()) return false;
      const auto byte = static_cast<unsigned char>(bytes_[at_++]);
      if (shift == 63 && byte > 1) return false;
      result |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if (!(byte & 0x80)) {
        *value = result;
        return true;
      }
    }
    return false;
  }

  bool byte(std::uint8_t* value) {
    if (at_ == bytes_.size()) return false;
    *value = static_cast<std::uint8_t>(bytes_[at_++]);
    return true;
  }

  bool floatValue(float* value) {
    if (bytes_.size() - at_ < 4) return false;
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at_++])) << (8 * i);
    std::memcpy(value, &bits, sizeof bits);
    return true;
  }

 private:
  const std::string& bytes_;
  size_t at_;
};

bool stateOfName(const std::string& name, int* state) {
  for (int s : {Running, Paused, Lost, Won})
    if (name == gameStateName(s)) return *state = s, true;
  return false;
}

// The header's checks; empty when it is well formed.
std::string readOutcome(const json& value, ReplayOutcome* outcome) {
  if (!value.is_object()) return "header: outcome is not an object";
  const auto state = value.find("state");
  if (state == value.end() || !state->is_string() || !stateOfName(state->get<std::string>(), &outcome->state))
    return "header: outcome.state is not Running, Paused, Lost or Won";
  const auto time = value.find("time");
  if (time == value.end() || !time->is_number() || !std::isfinite(time->get<double>()) || time->get<double>() < 0.0)
    return "header: outcome.time is not a number of seconds";
  outcome->time = time->get<double>();
  for (auto [key, field] : {std::pair{"files", &outcome->files}, {"money", &outcome->money}}) {
    const auto number = value.find(key);
    if (number == value.end() || !number->is_number_integer() || number->get<long long>() < 0 ||
        number->get<long long>() > std::numeric_limits<int>::max())
      return std::string("header: outcome.") + key + " is not a whole number from 0";
    *field = number->get<int>();
  }
  return "";
}

std::string readText(const json& header, const char* key, std::string* text) {
  const auto value = header.find(key);
  if (value == header.end() || !value->is_string()) return std::string("header: ") + key + " is missing or not a text";
  *text = value->get<std::string>();
  if (text->size() > replayLimits::kTextBytes && std::string(key) != "level")
    return std::string("header: ") + key + " is longer than " + std::to_string(replayLimits::kTextBytes) + " bytes";
  return "";
}

std::string readCount(const json& header, const char* key, std::uint64_t limit, std::uint64_t* count) {
  const auto value = header.find(key);
  if (value == header.end() || !value->is_number_unsigned())
    return std::string("header: ") + key + " is missing or not a whole number";
  *count = value->get<std::uint64_t>();
  if (*count > limit) return std::string("header: ") + key + " " + std::to_string(*count) + " is more than " + std::to_string(limit);
  return "";
}

std::string readSteps(BodyReader& body, std::uint64_t runs, std::uint64_t steps, Replay* replay) {
  std::uint64_t previous = 0;
  for (std::uint64_t run = 0; run < runs; ++run) {
    const std::string place = "step run " + std::to_string(run + 1) + " (byte " + std::to_string(body.at()) + "): ";
    std::uint64_t head = 0, rest = 0;
    if (!body.varint(&head)) return place + "cut short";
    const std::uint64_t count = head / 65 + 1, zeros = head % 65;
    if (zeros < 64 && !body.varint(&rest)) return place + "cut short";
    if (count > steps - replay->stepCount) return place + "a count past the header's step count";
    if (zeros < 64 && (rest << zeros) >> zeros != rest) return place + "not a step length";
    const std::uint64_t bits = previous ^ (zeros < 64 ? rest << zeros : 0);
    const double dt = doubleOf(bits);
    if (!(dt >= 0.0 && dt <= replayLimits::kLongestStep))
      return place + "a step of " + std::to_string(dt) + " s, not from 0 to a day";
    replay->steps.push_back(StepRun{dt, count});
    replay->stepCount += count;
    previous = bits;
  }
  return "";
}

std::string readCommands(BodyReader& body, std::uint64_t commands, Replay* replay) {
  for (std::uint64_t n = 0; n < commands; ++n) {
    const std::string place = "command " + std::to_string(n + 1) + " (byte " + std::to_string(body.at()) + "): ";
    RecordedCommand recorded;
    std::uint8_t kind = 0;
    if (!body.varint(&recorded.beforeStep) || !body.byte(&kind)) return place + "cut short";
    if (recorded.beforeStep > replay->stepCount)
      return place + "before step " + std::to_string(recorded.beforeStep) + ", past the last step";
    if (!replay->commands.empty() && recorded.beforeStep < replay->commands.back().beforeStep)
      return place + "before step " + std::to_string(recorded.beforeStep) + ", after a command before step " +
             std::to_string(replay->commands.back().beforeStep) + ": out of order";
    if (kind > static_cast<std::uint8_t>(kLastCommandKind) || !changesMatch(static_cast<CommandKind>(kind)))
      return place + "kind " + std::to_string(kind) + " is no command of the match";
    Command& c = recorded.command;
    c.kind = static_cast<CommandKind>(kind);
    if (hasTowerKind(c.kind)) {
      std::uint64_t tower = 0;
      if (!body.varint(&tower)) return place + "cut short";
      if (tower >= static_cast<std::uint64_t>(kTowerKindCount)) return place + "no tower kind " + std::to_string(tower);
      c.towerKind = static_cast<int>(tower);
    }
    if (hasPoint(c.kind))
      for (int i = 0; i < 3; ++i)
        if (!body.floatValue(&c.point[i]) || !std::isfinite(c.point[i])) return place + "a point that is cut short or not finite";
    if (c.kind == CommandKind::Select)
      for (int i = 0; i < 3; ++i)
        if (!body.floatValue(&c.direction[i]) || !std::isfinite(c.direction[i]))
          return place + "a direction that is cut short or not finite";
    replay->commands.push_back(recorded);
  }
  return "";
}

}  // namespace

bool operator==(const ReplayOutcome& a, const ReplayOutcome& b) {
  return a.state == b.state && a.time == b.time && a.files == b.files && a.money == b.money;
}

void Replay::addStep(double dt) {
  if (!steps.empty() && bitsOf(steps.back().dt) == bitsOf(dt))
    ++steps.back().count;
  else
    steps.push_back(StepRun{dt, 1});
  ++stepCount;
}

const char* gameStateName(int state) {
  switch (state) {
    case Running: return "Running";
    case Paused: return "Paused";
    case Lost: return "Lost";
    case Won: return "Won";
    default: return "Unknown";
  }
}

std::string replayFileText(const Replay& replay) {
  std::string body;
  std::uint64_t previous = 0;
  for (const StepRun& run : replay.steps) {
    const std::uint64_t change = bitsOf(run.dt) ^ previous;
    const int zeros = change ? __builtin_ctzll(change) : 64;
    putVarint(body, (run.count - 1) * 65 + static_cast<std::uint64_t>(zeros));
    if (zeros < 64) putVarint(body, change >> zeros);
    previous = bitsOf(run.dt);
  }
  for (const RecordedCommand& recorded : replay.commands) {
    const Command& c = recorded.command;
    putVarint(body, recorded.beforeStep);
    body += static_cast<char>(c.kind);
    if (hasTowerKind(c.kind)) putVarint(body, static_cast<std::uint64_t>(c.towerKind));
    if (hasPoint(c.kind))
      for (int i = 0; i < 3; ++i) putFloat(body, c.point[i]);
    if (c.kind == CommandKind::Select)
      for (int i = 0; i < 3; ++i) putFloat(body, c.direction[i]);
  }

  json header = {{"format", kFormat},
                 {"version", replayLimits::kVersion},
                 {"game", replay.gameVersion},
                 {"difficulty", replay.difficulty},
                 {"level", replay.levelText},
                 {"steps", replay.stepCount},
                 {"runs", replay.steps.size()},
                 {"commands", replay.commands.size()},
                 {"bodyBytes", body.size()},
                 {"bodyCrc32", crc32(body, 0)}};
  if (replay.outcome)
    header["outcome"] = {{"state", gameStateName(replay.outcome->state)},
                         {"time", replay.outcome->time},
                         {"files", replay.outcome->files},
                         {"money", replay.outcome->money}};
  // Invalid UTF-8 in a level text cannot reach here: the level reader refuses it before a match is played.
  return header.dump(-1, ' ', false, json::error_handler_t::replace) + "\n" + body;
}

ReplayReading readReplay(const std::string& bytes) {
  ReplayReading reading;
  Replay& replay = reading.replay;
  auto fail = [&reading](std::string problem) {
    reading.problem = std::move(problem);
    return reading;
  };
  if (bytes.size() > replayLimits::kFileBytes)
    return fail("file: " + std::to_string(bytes.size()) + " bytes, more than the " +
                std::to_string(replayLimits::kFileBytes) + " a replay may have");
  const size_t lineEnd = bytes.find('\n');
  if (lineEnd == std::string::npos) return fail("header: no end of line: the file is cut short or no replay");
  const json header = json::parse(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(lineEnd), nullptr, false);
  if (header.is_discarded() || !header.is_object()) return fail("header: not a JSON object: no replay, or corrupted");
  const auto format = header.find("format");
  if (format == header.end() || *format != kFormat) return fail("header: format is not \"varrow-replay\": no replay");
  const auto version = header.find("version");
  if (version == header.end() || !version->is_number_integer() || version->get<long long>() < 1)
    return fail("header: version is missing or unknown");
  if (version->get<long long>() > replayLimits::kVersion)
    return fail("header: version " + std::to_string(version->get<long long>()) + " is newer than this game reads (" +
                std::to_string(replayLimits::kVersion) + ")");

  std::uint64_t runs = 0, commands = 0, bodyBytes = 0, crc = 0;
  for (const std::string& problem :
       {readText(header, "game", &replay.gameVersion), readText(header, "difficulty", &replay.difficulty),
        readText(header, "level", &replay.levelText), readCount(header, "steps", replayLimits::kSteps, &replay.stepCount),
        readCount(header, "runs", replayLimits::kSteps, &runs),
        readCount(header, "commands", replayLimits::kCommands, &commands),
        readCount(header, "bodyBytes", replayLimits::kFileBytes, &bodyBytes),
        readCount(header, "bodyCrc32", 0xFFFFFFFFu, &crc)})
    if (!problem.empty()) return fail(problem);
  Difficulty difficulty;
  if (!parseDifficulty(replay.difficulty, &difficulty))
    return fail("header: difficulty is not Easy, Normal or Hard");
  if (header.contains("outcome")) {
    replay.outcome.emplace();
    const std::string problem = readOutcome(header["outcome"], &*replay.outcome);
    if (!problem.empty()) return fail(problem);
  }

  const size_t bodyStart = lineEnd + 1;
  const size_t present = bytes.size() - bodyStart;
  if (present < bodyBytes)
    return fail("body: cut short: " + std::to_string(present) + " of " + std::to_string(bodyBytes) + " bytes");
  if (present > bodyBytes) return fail("body: " + std::to_string(present - bodyBytes) + " bytes after its end");
  if (crc32(bytes, bodyStart) != crc) return fail("body: corrupted: its checksum does not match the header's");

  const std::uint64_t steps = replay.stepCount;
  replay.stepCount = 0;
  BodyReader body(bytes, bodyStart);
  std::string problem = readSteps(body, runs, steps, &replay);
  if (problem.empty() && replay.stepCount != steps)
    problem = "body: the step runs hold " + std::to_string(replay.stepCount) + " steps, the header says " +
              std::to_string(steps);
  if (problem.empty()) problem = readCommands(body, commands, &replay);
  if (problem.empty() && !body.atEnd()) problem = "body: bytes after the last command";
  if (!problem.empty()) return fail(problem);

  const LevelReading level = readLevel(replay.levelText);
  if (!level.problems.empty()) return fail("level: " + level.problems.front());
  return reading;
}

ReplayReading readReplayFile(const std::string& path) {
  ReplayReading reading;
  std::ifstream file(path, std::ios::binary);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!file || error) {
    reading.problem = "file: cannot be read";
    return reading;
  }
  if (size > replayLimits::kFileBytes) {
    reading.problem = "file: " + std::to_string(size) + " bytes, more than the " +
                      std::to_string(replayLimits::kFileBytes) + " a replay may have";
    return reading;
  }
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!file.read(bytes.data(), static_cast<std::streamsize>(size))) {
    reading.problem = "file: cannot be read";
    return reading;
  }
  return readReplay(bytes);
}

std::string writeReplayFile(const std::string& path, const Replay& replay) {
  const std::string reason = writeWholeFile(path, replayFileText(replay));
  return reason.empty() ? "" : "varrow: cannot save the replay in " + path + ": " + reason;
}
