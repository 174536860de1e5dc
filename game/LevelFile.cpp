// Reading a level file: the JSON parse, which notes keys given twice, then every field checked where it
// stands, each problem reported with its place in the file ("spawnPoints[1].path[3]: ...").
#include "game/LevelFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <sys/stat.h>

#include "game/Rules.h"

namespace {

using nlohmann::json;
using namespace levelLimits;

constexpr size_t kLongestQuote = 40;   // characters of a value quoted in a message
constexpr size_t kLongestPlace = 160;  // characters of a place in a message

std::string numberText(double value) {
  std::ostringstream out;
  out.precision(10);
  out << value;
  return out.str();
}

std::string pointText(Waypoint p) { return "(" + numberText(p.x) + ", " + numberText(p.z) + ")"; }

// Printable ASCII only and not too long: messages quote what the file holds, which may be anything.
std::string printable(const std::string& text) {
  std::string out;
  for (char c : text.substr(0, 2 * kLongestQuote)) out += c >= 0x20 && c < 0x7f ? c : '?';
  return text.size() > 2 * kLongestQuote ? out + "..." : out;
}

// C0, DEL and C1 (U+0080 to U+009F, two bytes in UTF-8): the parser has already refused text that is not UTF-8.
bool hasControlCharacter(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7f) return true;
    if (c == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9f) return true;
  }
  return false;
}

// How a message quotes a number: as JSON writes it, which is never long.
std::string quote(const json& number) { return number.dump(); }

std::string kindOf(const json& value) {
  if (value.is_number()) return "a number";
  if (value.is_string()) return "a string";
  if (value.is_boolean()) return "true or false";
  if (value.is_null()) return "null";
  return value.is_array() ? "a list" : "an object";
}

// What read(field) gives for a field that is present, or nothing when it is missing (already reported).
template <typename Read>
auto ifPresent(const json& object, const char* field, Read read) -> decltype(read(object)) {
  if (!object.contains(field)) return {};
  return read(object[field]);
}

// Where the parser stands, kept by its callback: the path of objects and lists down to the value in hand,
// which names the place of a key given twice and of a number the parser cannot hold.
class ParseTrail {
 public:
  std::vector<std::pair<std::string, std::string>> duplicates;  // place of the object, the key given twice

  bool operator()(int, json::parse_event_t event, json& parsed) {
    switch (event) {
      case json::parse_event_t::object_start:
      case json::parse_event_t::array_start:
        enterValue();
        open.push_back({event == json::parse_event_t::array_start, 0, {}, {}});
        break;
      case json::parse_event_t::key: {
        Open& object = open.back();
        object.key = parsed.get<std::string>();
        if (!object.keys.insert(object.key).second) duplicates.emplace_back(place(open.size() - 1), object.key);
        break;
      }
      case json::parse_event_t::value:
        enterValue();
        break;
      case json::parse_event_t::object_end:
      case json::parse_event_t::array_end:
        open.pop_back();
        break;
    }
    return true;
  }

  // The place of the value the parser reads next: after a key, or the next item of a list.
  std::string next() const {
    if (open.empty()) return "";
    return step(place(open.size() - 1), open.back(), open.back().items);
  }

 private:
  struct Open {
    bool list;
    size_t items;                // values begun in a list
    std::string key;             // the key in hand in an object
    std::set<std::string> keys;  // the keys an object has had
  };
  std::vector<Open> open;

  void enterValue() {
    if (!open.empty() && open.back().list) ++open.back().items;
  }

  static std::string step(const std::string& at, const Open& from, size_t item) {
    if (from.list) return at + "[" + std::to_string(item) + "]";
    return at + (at.empty() ? "" : ".") + printable(from.key);
  }

  // The place of open[depth], the path through the objects and lists that hold it.
  std::string place(size_t depth) const {
    std::string at;
    for (size_t i = 0; i < depth; ++i) at = step(at, open[i], open[i].items - 1);
    return at;
  }
};

class Checker {
 public:
  std::vector<std::string> problems;
  size_t found = 0;  // problems found, of which the first kProblems are kept

  void problem(std::string place, const std::string& text) {
    // A place deep in a nested file could be longer than a line.
    if (place.size() > kLongestPlace) place = place.substr(0, kLongestPlace) + "...";
    if (++found <= kProblems) problems.push_back(place.empty() ? text : place + ": " + text);
  }

  // The reading with the problems found, and a line that says how many more there were.
  LevelReading reading(LevelReading reading) const {
    reading.problems = problems;
    if (found > kProblems)
      reading.problems.push_back("and " + std::to_string(found - kProblems) + " more problem" +
                                 (found - kProblems > 1 ? "s" : "") + " not shown");
    return reading;
  }

  // Whether the value is an object; a missing required field and a field that is neither required nor
  // optional are reported, and the fields present are still read. `what` names what the object holds.
  bool object(const json& value, const std::string& place, const char* what,
              std::initializer_list<const char*> required, std::initializer_list<const char*> optional) {
    if (!value.is_object()) {
      problem(place, std::string(what) + " is a JSON object {...}, not " + kindOf(value));
      return false;
    }
    for (const char* field : required)
      if (!value.contains(field)) problem(place, std::string("missing field \"") + field + "\"");
    for (const auto& item : value.items()) {
      bool known = false;
      for (auto fields : {required, optional})
        for (const char* field : fields) known = known || item.key() == field;
      if (!known) problem(place, "unknown field " + printable(json(item.key()).dump()));
    }
    return true;
  }

  std::optional<double> number(const json& value, const std::string& place, double lowest, double highest,
                               const char* unit = "") {
    if (!value.is_number()) {
      problem(place, "must be a number, not " + kindOf(value));
      return std::nullopt;
    }
    const double n = value.get<double>();
    if (n < lowest) {
      // Every lowest allowed is 0 or more.
      problem(place, quote(value) + (n < 0 ? " is negative" : " is less than " + numberText(lowest)));
      return std::nullopt;
    }
    if (n > highest) {
      problem(place, quote(value) + " is more than " + numberText(highest) + unit + ", the most allowed");
      return std::nullopt;
    }
    return n;
  }

  std::optional<int> whole(const json& value, const std::string& place, int lowest, int highest) {
    const std::optional<double> n = number(value, place, lowest, highest);
    if (n && *n != std::floor(*n)) {
      problem(place, quote(value) + " is not a whole number");
      return std::nullopt;
    }
    return n ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
  }

  // A one-line text of at most `longest` bytes; `empty` says whether it may be empty.
  std::optional<std::string> text(const json& value, const std::string& place, size_t longest, bool empty) {
    if (!value.is_string()) {
      problem(place, "must be a string, not " + kindOf(value));
      return std::nullopt;
    }
    const std::string& s = value.get_ref<const std::string&>();
    if (s.empty() && !empty)
      problem(place, "is empty");
    else if (s.size() > longest)
      problem(place, "is " + std::to_string(s.size()) + " bytes long; at most " + std::to_string(longest));
    else if (hasControlCharacter(s))
      problem(place, "holds a control character (a line break, a tab...); it is printed on one line");
    else
      return s;
    return std::nullopt;
  }

  // A point [x, z] on the board.
  std::optional<Waypoint> point(const json& value, const std::string& place) {
    if (!value.is_array() || value.size() != 2 || !value[0].is_number() || !value[1].is_number()) {
      problem(place, "must be a point [x, z] of two numbers, not " +
                         (value.is_array() ? "a list of " + std::to_string(value.size()) : kindOf(value)));
      return std::nullopt;
    }
    // Checked as doubles: a number far off the board has no float.
    const double x = value[0].get<double>(), z = value[1].get<double>();
    if (!(x >= 0.0 && x <= kBoardSide && z <= 0.0 && z >= -kBoardSide)) {
      problem(place,
              "(" + quote(value[0]) + ", " + quote(value[1]) + ") is off the board (x from 0 to 78, z from -78 to 0)");
      return std::nullopt;
    }
    return Waypoint{static_cast<float>(x), static_cast<float>(z)};
  }

  std::optional<std::vector<Wave>> waves(const json& value, const std::string& place) {
    if (!value.is_array() || value.empty() || value.size() > kWaves) {
      problem(place, value.is_array() ? "holds " + std::to_string(value.size()) + " waves; a list holds 1 to " +
                                            std::to_string(kWaves)
                                      : "must be a list of waves [...], not " + kindOf(value));
      return std::nullopt;
    }
    std::vector<Wave> list;
    double previousEnd = 0.0;
    for (size_t i = 0; i < value.size(); ++i) {
      const json& w = value[i];
      const std::string at = place + "[" + std::to_string(i) + "]";
      if (!object(w, at, "a wave", {"startTime", "spawnInterval", "kind", "count"}, {})) continue;
      const auto start = ifPresent(
          w, "startTime", [&](const json& v) { return number(v, at + ".startTime", 0.0, kScheduleEnd, " s"); });
      const auto interval = ifPresent(
          w, "spawnInterval", [&](const json& v) { return number(v, at + ".spawnInterval", 0.0, kScheduleEnd, " s"); });
      const auto count = ifPresent(w, "count", [&](const json& v) { return whole(v, at + ".count", 1, kEnemies); });
      const auto kind = ifPresent(w, "kind", [&](const json& v) -> std::optional<std::string> {
        if (!v.is_string())
          problem(at + ".kind", "must be a string, not " + kindOf(v));
        else if (enemyTextureSlot(v.get<std::string>()) < 0)
          problem(at + ".kind", printable(v.dump()) + " is no enemy kind (cube, cube_or, cube_yl or cube_w)");
        else
          return v.get<std::string>();
        return std::nullopt;
      });
      if (!start || !interval || !count || !kind) continue;
      // A wave starts once the one before it is over, so the schedule is what the file says.
      const double end = *start + *count * *interval;
      // Times written in decimals add up with binary round-off (3 x 0.1 is a little over 0.3): they are
      // compared to within kTimeTolerance, and two times it tells apart are printed differently.
      if (*start < previousEnd - kTimeTolerance)
        problem(at + ".startTime", numberText(*start) + " s is before the wave before it is over (at " +
                                       numberText(previousEnd) + " s: its start plus count x spawnInterval)");
      else if (end > kScheduleEnd + kTimeTolerance)
        problem(at, "is over at " + numberText(end) + " s (startTime + count x spawnInterval); every wave is over by " +
                        numberText(kScheduleEnd) + " s");
      previousEnd = std::max(previousEnd, end);
      list.push_back({*start, *interval, *kind, *count});
    }
    if (list.size() != value.size()) return std::nullopt;
    return list;
  }

  // Without a position (the spawn point's own is broken) where the path starts is not checked.
  std::optional<std::vector<Waypoint>> path(const json& value, const std::string& place, const Waypoint* position) {
    if (!value.is_array() || value.size() < 2 || value.size() > kWaypoints) {
      problem(place, value.is_array() ? "holds " + std::to_string(value.size()) + " points; a path holds 2 to " +
                                            std::to_string(kWaypoints) + ", from its spawn point to the goal"
                                      : "must be a list of points [[x, z], ...], not " + kindOf(value));
      return std::nullopt;
    }
    std::vector<Waypoint> points;
    double length = 0.0;
    bool whole = true;
    for (size_t i = 0; i < value.size(); ++i) {
      const std::string at = place + "[" + std::to_string(i) + "]";
      const std::optional<Waypoint> p = point(value[i], at);
      if (!p) {
        whole = false;
        continue;
      }
      if (i == 0 && position && !(*p == *position))
        problem(at, "the path starts at " + pointText(*p) + ", not at its spawn point " + pointText(*position));
      if (i + 1 == value.size() && !(*p == Waypoint{kGoalX, kGoalZ}))
        problem(at, "the path ends at " + pointText(*p) + ", not at the goal (39, -39)");
      if (i > 0 && whole) {
        const Waypoint from = points.back();
        if (from == *p)
          problem(at, "repeats the point before it, " + pointText(*p));
        else if (from.x != p->x && from.z != p->z)
          problem(at, "the leg from " + pointText(from) + " to " + pointText(*p) + " is not parallel to an axis");
        length += std::abs(double(p->x) - from.x) + std::abs(double(p->z) - from.z);
      }
      points.push_back(*p);
    }
    if (length > kPathLength)
      problem(place, "is " + numberText(length) + " units long; a path is at most " + numberText(kPathLength));
    if (!whole) return std::nullopt;
    return points;
  }

  // The spawn points into level, each with its own wave list or the shared one (level.waveLists[0]).
  void spawnPoints(const json& value, bool shared, Level& level) {
    if (!value.is_array() || value.empty() || value.size() > kSpawnPoints) {
      problem("spawnPoints", value.is_array() ? "holds " + std::to_string(value.size()) +
                                                    " spawn points; a level has 1 to " + std::to_string(kSpawnPoints)
                                              : "must be a list of spawn points [...], not " + kindOf(value));
      return;
    }
    long long enemies = 0;
    for (size_t i = 0; i < value.size(); ++i) {
      const json& entry = value[i];
      const std::string at = "spawnPoints[" + std::to_string(i) + "]";
      if (!object(entry, at, "a spawn point", {"position", "path"}, {"waves"})) continue;
      LevelSpawnPoint spawnPoint;
      const auto position = ifPresent(entry, "position", [&](const json& v) { return point(v, at + ".position"); });
      if (position) spawnPoint.position = *position;
      const auto route = ifPresent(
          entry, "path", [&](const json& v) { return path(v, at + ".path", position ? &*position : nullptr); });
      if (route) spawnPoint.path = *route;
      if (entry.contains("waves")) {
        if (auto list = waves(entry["waves"], at + ".waves")) {
          spawnPoint.waveList = level.waveLists.size();
          level.waveLists.push_back(std::move(*list));
        }
      } else if (!shared) {
        problem(at, "has no waves: give it \"waves\", or give the level a \"waves\" list that every spawn point sends");
      }
      if (spawnPoint.waveList < level.waveLists.size())
        for (const Wave& wave : level.wavesOf(spawnPoint)) enemies += wave.count;
      level.spawnPoints.push_back(spawnPoint);
    }
    if (enemies > kEnemies)
      problem("spawnPoints",
              "the level sends " + std::to_string(enemies) + " enemies; at most " + std::to_string(kEnemies));
  }
};

}  // namespace

LevelReading readLevel(const std::string& text) {
  LevelReading reading;
  Checker check;
  ParseTrail trail;
  json root;
  try {
    root = json::parse(text, std::ref(trail));
  } catch (const json::parse_error& error) {
    // The library's own message after its "line L, column C: ", with the place counted here.
    const std::string what = error.what();
    const size_t column = what.find("column ");
    const size_t detail = column == std::string::npos ? std::string::npos : what.find(": ", column);
    size_t line = 1, lineStart = 0;
    const size_t end = std::min<size_t>(error.byte > 0 ? error.byte - 1 : 0, text.size());
    for (size_t i = 0; i < end; ++i)
      if (text[i] == '\n') ++line, lineStart = i + 1;
    check.problem("line " + std::to_string(line) + ", column " + std::to_string(end - lineStart + 1),
                  "not valid JSON: " + printable(detail == std::string::npos ? what : what.substr(detail + 2)));
    return check.reading(std::move(reading));
  } catch (const json::exception& error) {
    // The one other error of the parser, "number overflow parsing '1e400'", whose place the trail knows.
    const std::string what = error.what();
    const size_t open = what.find('\''), close = what.rfind('\'');
    const std::string number = open < close ? what.substr(open + 1, close - open - 1) : "a number";
    check.problem(trail.next(), (number.size() > kLongestQuote ? number.substr(0, kLongestQuote) + "..." : number) +
                                    " is too large to be a number (more than 1.8e308)");
    return check.reading(std::move(reading));
  }
  for (const auto& [place, key] : trail.duplicates)
    check.problem(place, "field " + printable(json(key).dump()) + " is given twice");

  Level& level = reading.level;
  if (!check.object(root, "", "a level", {"name", "description", "money", "spawnPoints"}, {"waves"})) {
    return check.reading(std::move(reading));
  }
  if (auto name = ifPresent(root, "name", [&](const json& v) { return check.text(v, "name", kNameBytes, false); }))
    level.name = *name;
  if (auto description = ifPresent(
          root, "description", [&](const json& v) { return check.text(v, "description", kDescriptionBytes, true); }))
    level.description = *description;
  if (auto money = ifPresent(root, "money", [&](const json& v) { return check.whole(v, "money", 0, kMoney); }))
    level.money = *money;
  const bool shared = root.contains("waves");
  if (shared) {
    if (auto waves = check.waves(root["waves"], "waves")) level.waveLists.push_back(std::move(*waves));
  }

  if (root.contains("spawnPoints")) check.spawnPoints(root["spawnPoints"], shared, level);
  level.text = text;
  return check.reading(std::move(reading));
}

LevelReading readLevelFile(const std::string& path) {
  LevelReading reading;
  // A folder cannot be read as a file, and a pipe or a device might never end or never answer.
  struct stat status;
  if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    reading.problems.push_back("not a regular file");
    return reading;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    reading.problems.push_back(std::string("cannot read the file: ") + std::strerror(errno));
    return reading;
  }
  // One byte more than allowed tells a file that is too large, without reading all of it.
  std::string text(kFileBytes + 1, '\0');
  in.read(&text[0], static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  if (in.bad()) {
    reading.problems.push_back(std::string("cannot read the file: ") + std::strerror(errno));
    return reading;
  }
  if (text.size() > kFileBytes) {
    reading.problems.push_back("is larger than " + std::to_string(kFileBytes) + " bytes, the most a level file may be");
    return reading;
  }
  return readLevel(text);
}
