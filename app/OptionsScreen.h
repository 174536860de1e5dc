// The options screen over the frozen game (F10): one line per setting, Up/Down to choose a line, Left/Right to
// change its value at once, F10 or Escape to close it and keep what the player changed in the settings file.
#pragma once

#include <GL/glew.h>

#include <string>

#include "config/Settings.h"

// The screen's lines, top to bottom.
enum OptionLine {
  LineWindowSize,
  LineFullscreen,
  LineVsync,
  LineMusicVolume,
  LineEffectsVolume,
  LineQuality,
  LineShadowMap,
  LineGlow,
  LineRenderScale,
  LineOverlay,
  kOptionLines
};

// A line's name and its value as the screen shows them.
const char* optionName(int line);
std::string optionValue(const Settings& settings, int line);
// The settings after one step of a line's value to the left (direction -1, smaller or lower) or to the right
// (+1). Lists stop at their ends; switches flip either way.
Settings stepOption(Settings settings, int line, int direction);

class OptionsScreen {
 public:
  OptionsScreen() = default;
  OptionsScreen(const OptionsScreen&) = delete;
  OptionsScreen& operator=(const OptionsScreen&) = delete;
  ~OptionsScreen() { release(); }

  // Where closing the screen saves (empty: nowhere), and the settings as that file has them, without what the
  // command line set for this run only.
  void keepIn(const std::string& path, const Settings& fromFile);
  bool isOpen() const { return open_; }
  int line() const { return line_; }
  // A key press. Closed, the screen takes F10 only, and opens; open, it takes every key. Returns whether it
  // took the key.
  bool handleKey(int key);
  // The main loop's test of a held Escape: false when the last Escape press closed the screen (a key tap stays
  // down for the loop's next look at it).
  bool escapeQuits(bool escapeDown) const;
  // Opening stops the match on the game clock; closing sets the clock back to the moment it opened, as the
  // pause key does, and writes the settings file when the player changed something.
  void open();
  void close();
  // Over the whole window, in HUD pixels, with the game's bitmap font and HUD program.
  void draw();
  // Frees the screen's colour textures while a context is current.
  void release();

 private:
  void change(int direction);

  bool open_ = false;
  int line_ = 0;
  double openedAt_ = 0.0;
  bool escapeTaken_ = false;
  std::string path_;
  Settings saved_;
  Settings savedAtOpen_;
  GLuint colours_[3] = {};
};

extern OptionsScreen optionsScreen;
