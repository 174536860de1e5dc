// The settings file: read line by line with inih (one warning for each bad line, naming it), written whole
// through a temporary file, and the quality presets.
#include "config/Settings.h"

#include <ini.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "platform/WholeFile.h"

Settings settings;

namespace {

struct Preset {
  Quality quality;
  const char* name;
  int shadowMapSize;
  bool glow;
  int renderScale;
};
const Preset kPresets[] = {{Quality::High, "high", 2048, true, 100},
                           {Quality::Medium, "medium", 1024, true, 75},
                           {Quality::Low, "low", 512, false, 50}};

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool parseSwitch(const std::string& text, bool* value) {
  const std::string word = lowerCase(text);
  if (word == "on" || word == "true" || word == "yes" || word == "1") return *value = true, true;
  if (word == "off" || word == "false" || word == "no" || word == "0") return *value = false, true;
  return false;
}

// Digits only, no sign and no leading zero, within [lowest, highest].
bool parseWhole(const std::string& text, int lowest, int highest, int* value) {
  if (text.empty() || text.size() > 5 || (text[0] == '0' && text.size() > 1)) return false;
  int number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  if (number < lowest || number > highest) return false;
  *value = number;
  return true;
}

bool parseOneOf(const std::string& text, std::initializer_list<int> allowed, int* value) {
  int number = 0;
  if (!parseWhole(text, 0, kLargestWindowSide, &number) ||
      std::find(allowed.begin(), allowed.end(), number) == allowed.end())
    return false;
  *value = number;
  return true;
}

bool parseWindowSize(const std::string& text, Settings& s) {
  const size_t cross = lowerCase(text).find('x');
  int width = 0, height = 0;
  if (cross == std::string::npos ||
      !parseWhole(text.substr(0, cross), kSmallestWindowWidth, kLargestWindowSide, &width) ||
      !parseWhole(text.substr(cross + 1), kSmallestWindowHeight, kLargestWindowSide, &height))
    return false;
  s.width = width;
  s.height = height;
  return true;
}

// A level's file name in the shipped or the player's levels folder, without ".json": no folder, no control
// character.
bool parseLevelName(const std::string& text, std::string* level) {
  if (text.empty() || text.size() > 255 || text == "." || text == ".." || text.find('/') != std::string::npos)
    return false;
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  *level = text;
  return true;
}

const char* switchText(bool on) { return on ? "on" : "off"; }

// Every key but quality, which is a preset over three of them: its name, what a value must be, its reader
// and its writer.
struct Key {
  const char* name;
  const char* expected;
  bool (*read)(const std::string& value, Settings& s);
  std::string (*write)(const Settings& s);
};
const Key kKeys[] = {
    {"window_size", "WIDTHxHEIGHT from 800x600 to 16384x16384", parseWindowSize,
     [](const Settings& s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }},
    {"fullscreen", "on or off", [](const std::string& v, Settings& s) { return parseSwitch(v, &s.fullscreen); },
     [](const Settings& s) { return std::string(switchText(s.fullscreen)); }},
    {"vsync", "on or off", [](const std::string& v, Settings& s) { return parseSwitch(v, &s.vsync); },
     [](const Settings& s) { return std::string(switchText(s.vsync)); }},
    {"music_volume", "a percentage from 0 to 100",
     [](const std::string& v, Settings& s) { return parseWhole(v, 0, 100, &s.musicVolume); },
     [](const Settings& s) { return std::to_string(s.musicVolume); }},
    {"effects_volume", "a percentage from 0 to 100",
     [](const std::string& v, Settings& s) { return parseWhole(v, 0, 100, &s.effectsVolume); },
     [](const Settings& s) { return std::to_string(s.effectsVolume); }},
    {"shadow_map", "2048, 1024 or 512",
     [](const std::string& v, Settings& s) { return parseOneOf(v, {2048, 1024, 512}, &s.shadowMapSize); },
     [](const Settings& s) { return std::to_string(s.shadowMapSize); }},
    {"glow", "on or off", [](const std::string& v, Settings& s) { return parseSwitch(v, &s.glow); },
     [](const Settings& s) { return std::string(switchText(s.glow)); }},
    {"render_scale", "100, 75 or 50",
     [](const std::string& v, Settings& s) { return parseOneOf(v, {100, 75, 50}, &s.renderScale); },
     [](const Settings& s) { return std::to_string(s.renderScale); }},
    {"overlay", "on or off", [](const std::string& v, Settings& s) { return parseSwitch(v, &s.overlay); },
     [](const Settings& s) { return std::string(switchText(s.overlay)); }},
    {"difficulty", "easy, normal or hard",
     [](const std::string& v, Settings& s) { return parseDifficulty(v, &s.difficulty); },
     [](const Settings& s) { return std::string(difficultyName(s.difficulty)); }},
    // Written only once the levels screen has started a level.
    {"level", "the name of a level, as varrow --list-levels shows it",
     [](const std::string& v, Settings& s) { return parseLevelName(v, &s.level); },
     [](const Settings& s) { return s.level; }},
};

// One reading of a file's text. inih asks for the text line by line through nextLine and hands each
// "key = value" line to onEntry, so the line in hand is the one that a warning names. A line that inih
// passed over without an entry, and that is no blank line, comment or section head, was not "key = value".
struct Reading {
  Reading(const std::string& text, const std::string& fileName) : text(text), fileName(fileName) {}

  const std::string& text;
  const std::string& fileName;
  size_t position = 0;
  int line = 0;
  bool lineDone = true;
  std::vector<std::string> warnings;
  std::vector<std::pair<const Key*, std::string>> entries;
  Quality preset = Quality::Custom;

  void warn(const std::string& what) {
    warnings.push_back("varrow: " + fileName + ":" + std::to_string(line) + ": " + what);
  }
  void finishLine() {
    if (!lineDone) warn("not a \"key = value\" line; it is left out");
    lineDone = true;
  }
};

// Where inih finds the ']' that closes a section head starting at `open`: the first one before an inline
// comment (a ';' after a space). npos when there is none, and inih passes over the line.
size_t sectionHeadEnd(const std::string& line, size_t open) {
  bool afterSpace = false;
  for (size_t i = open + 1; i < line.size(); ++i) {
    if (line[i] == ']') return i;
    if (afterSpace && line[i] == ';') break;
    afterSpace = std::isspace(static_cast<unsigned char>(line[i])) != 0;
  }
  return std::string::npos;
}

// What inih makes of a line that is no "key = value": nothing for a blank line, a comment or a section head
// (the game's file has no sections, so a head only names one), or a problem it passes over in silence.
enum class LineKind { Entry, Quiet, AfterSectionHead };

LineKind lineKind(const std::string& line) {
  const size_t start = line.find_first_not_of(" \t\r\f\v");
  if (start == std::string::npos || line[start] == ';' || line[start] == '#') return LineKind::Quiet;
  if (line[start] != '[') return LineKind::Entry;
  const size_t end = sectionHeadEnd(line, start);
  if (end == std::string::npos) return LineKind::Entry;  // inih gives no entry, which the reading warns of
  // inih drops whatever follows the head on its line.
  const size_t rest = line.find_first_not_of(" \t\r\f\v", end + 1);
  return rest == std::string::npos || line[rest] == ';' || line[rest] == '#' ? LineKind::Quiet
                                                                           : LineKind::AfterSectionHead;
}

char* nextLine(char* buffer, int size, void* stream) {
  Reading& r = *static_cast<Reading*>(stream);
  r.finishLine();
  if (r.position >= r.text.size() || size < 2) return nullptr;
  const size_t end = std::min(r.text.find('\n', r.position), r.text.size());
  std::string line = r.text.substr(r.position, end - r.position);
  r.position = end + 1;
  ++r.line;
  if (r.line == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
  // inih would cut a line at a zero byte or split an overlong one in two: such a line is refused whole and
  // inih is given a comment in its place.
  if (line.find('\0') != std::string::npos || line.size() + 1 > static_cast<size_t>(size)) {
    r.warn(line.find('\0') != std::string::npos ? "a zero byte in the line; it is left out"
                                                : "the line is too long; it is left out");
    line = ";";
  }
  const LineKind kind = lineKind(line);
  r.lineDone = kind != LineKind::Entry;
  if (kind == LineKind::AfterSectionHead) r.warn("text after a section head; it is left out");
  std::memcpy(buffer, line.c_str(), line.size() + 1);
  return buffer;
}

int onEntry(void* user, const char*, const char* name, const char* value) {
  Reading& r = *static_cast<Reading*>(user);
  r.lineDone = true;
  const std::string key = lowerCase(name);
  if (key == "quality") {
    Quality preset = Quality::Custom;
    if (parseQuality(value, &preset) || lowerCase(value) == "custom")
      r.preset = preset;
    else
      r.warn("'" + std::string(value) + "' is not a value of quality (high, medium, low or custom); it keeps its default");
    return 1;
  }
  for (const Key& k : kKeys) {
    if (key != k.name) continue;
    Settings scratch;
    if (k.read(value, scratch))
      r.entries.emplace_back(&k, value);
    else
      r.warn("'" + std::string(value) + "' is not a value of " + k.name + " (" + k.expected + "); it keeps its default");
    return 1;
  }
  r.warn("unknown setting '" + std::string(name) + "'; it is left out");
  return 1;
}

}  // namespace

bool Settings::operator==(const Settings& o) const {
  return std::tie(width, height, fullscreen, vsync, musicVolume, effectsVolume, shadowMapSize, glow, renderScale,
                  overlay, difficulty, level) == std::tie(o.width, o.height, o.fullscreen, o.vsync, o.musicVolume,
                                                          o.effectsVolume, o.shadowMapSize, o.glow, o.renderScale,
                                                          o.overlay, o.difficulty, o.level);
}

void applyQuality(Settings& s, Quality quality) {
  for (const Preset& p : kPresets) {
    if (p.quality != quality) continue;
    s.shadowMapSize = p.shadowMapSize;
    s.glow = p.glow;
    s.renderScale = p.renderScale;
  }
}

Quality qualityOf(const Settings& s) {
  for (const Preset& p : kPresets)
    if (s.shadowMapSize == p.shadowMapSize && s.glow == p.glow && s.renderScale == p.renderScale) return p.quality;
  return Quality::Custom;
}

const char* qualityName(Quality quality) {
  for (const Preset& p : kPresets)
    if (p.quality == quality) return p.name;
  return "custom";
}

bool parseQuality(const std::string& text, Quality* quality) {
  for (const Preset& p : kPresets)
    if (lowerCase(text) == p.name) return *quality = p.quality, true;
  return false;
}

SettingsRead parseSettings(const std::string& text, const std::string& fileName) {
  Reading reading(text, fileName);
  // An indented line is a line of its own, not the continuation of the value above it.
  ini_allow_multiline = false;
  ini_parse_stream(nextLine, &reading, onEntry, &reading);
  reading.finishLine();
  SettingsRead result;
  applyQuality(result.settings, reading.preset);
  for (const auto& [key, value] : reading.entries) key->read(value, result.settings);
  result.warnings = std::move(reading.warnings);
  return result;
}

SettingsRead readSettingsFile(const std::string& path) {
  if (path.empty()) return {};
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file && errno == ENOENT) return {};
  std::string text;
  bool failed = !file;
  if (file) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    errno = error;
  }
  if (failed)
    return {Settings{}, {"varrow: cannot read " + path + ": " + std::strerror(errno) + "; the settings keep their defaults"}};
  return parseSettings(text, path);
}

std::string formatSettings(const Settings& s) {
  std::string text =
      "; Varrow's settings, written by the options screen (F10). Options on the command line override them for "
      "one run.\n";
  text += std::string("quality = ") + qualityName(qualityOf(s)) + "\n";
  for (const Key& k : kKeys) {
    // A setting without a value (no level chosen yet) has no line.
    const std::string value = k.write(s);
    if (!value.empty()) text += std::string(k.name) + " = " + value + "\n";
  }
  return text;
}

std::string writeSettingsFile(const std::string& path, const Settings& settings) {
  const std::string reason = writeWholeFile(path, formatSettings(settings));
  return reason.empty() ? "" : "varrow: cannot save the settings in " + path + ": " + reason;
}

std::string settingsFilePath(const char* xdgConfigHome, const char* home) {
  // Relative folders are ignored, as the XDG base directory rules ask.
  if (xdgConfigHome && xdgConfigHome[0] == '/') return std::string(xdgConfigHome) + "/varrow/settings.ini";
  if (home && home[0] == '/') return std::string(home) + "/.config/varrow/settings.ini";
  return "";
}
