// The options the player keeps: window, vsync, volumes, picture quality with its presets, the overlay and the
// difficulty, and
// the settings file that holds them ($XDG_CONFIG_HOME/varrow/settings.ini) read and written.
#pragma once

#include <string>
#include <vector>

#include "game/Difficulty.h"

enum class Quality { High, Medium, Low, Custom };

// Every default is the game as it always was: High quality, full volumes, a 1024 x 768 window.
struct Settings {
  int width = 1024;
  int height = 768;
  bool fullscreen = false;
  bool vsync = true;
  int musicVolume = 100;  // percent of the game's own volumes
  int effectsVolume = 100;
  int shadowMapSize = 2048;  // 2048, 1024 or 512 texels a side
  bool glow = true;          // the glow scene, its two blurs and the overlay
  int renderScale = 100;     // the 3-D picture's size in percent of the window: 100, 75 or 50
  bool overlay = false;      // the aids F9 shows (reach, health bars, the wave line), shown from the start
  Difficulty difficulty = Difficulty::Normal;  // of every match; Normal is the levels as written
  std::string level;         // the level a plain start plays, as the levels screen names it; empty: Classic

  bool operator==(const Settings& other) const;
  bool operator!=(const Settings& other) const { return !(*this == other); }
};

// The smallest window the settings allow; the options screen is laid out to be readable there.
constexpr int kSmallestWindowWidth = 800;
constexpr int kSmallestWindowHeight = 600;
// The largest side of a window, in the settings file and on the command line.
constexpr int kLargestWindowSide = 16384;

// Sets the three quality settings to the preset's; Custom leaves them.
void applyQuality(Settings& settings, Quality quality);
// The preset whose three quality settings these are, or Custom.
Quality qualityOf(const Settings& settings);
// "high", "medium", "low" or "custom".
const char* qualityName(Quality quality);
// Reads "high", "medium" or "low" (not "custom", which is no preset to choose).
bool parseQuality(const std::string& text, Quality* quality);

struct SettingsRead {
  Settings settings;
  std::vector<std::string> warnings;  // one line each, without its line end
};

// The settings in a file's text over the defaults. Each bad line (an unknown key, a bad value, a line that is
// not "key = value", text after a section head) gives one warning naming fileName and the line, and its
// setting keeps its default. A quality preset applies before the three settings it stands for, wherever the
// lines are.
SettingsRead parseSettings(const std::string& text, const std::string& fileName);
// The file read and parsed. A missing file is no warning; one that cannot be read is one.
SettingsRead readSettingsFile(const std::string& path);
// The settings in force: the defaults, then the settings file, then the command line. Start-up and the options
// screen write them; the frame's passes read the quality from them at every frame.
extern Settings settings;

// The file's text: one "key = value" line per setting, which parseSettings reads back to the same settings.
std::string formatSettings(const Settings& settings);
// Writes the file through a temporary file renamed over it, making its folder when needed. Returns an empty
// string, or a warning line when it could not.
std::string writeSettingsFile(const std::string& path, const Settings& settings);
// $XDG_CONFIG_HOME/varrow/settings.ini, else $HOME/.config/varrow/settings.ini; empty when neither names an
// absolute folder.
std::string settingsFilePath(const char* xdgConfigHome, const char* home);
