// The options screen over the frozen game (F10): one line per setting, Up/Down to choose a line, Left/Right to
// change its value at once, F10 or Escape to close it and keep what the player changed in the settings file.
#pragma once

#include <string>

#include "app/Screen.h"
#include "config/Settings.h"
#include "hud/ListPanel.h"

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
  LineDifficulty,
  kOptionLines
};

// A line's name and its value as the screen shows them.
const char* optionName(int line);
std::string optionValue(const Settings& settings, int line);
// The settings after one step of a line's value to the left (direction -1, smaller or lower) or to the right
// (+1). Lists stop at their ends; switches flip either way.
Settings stepOption(Settings settings, int line, int direction);

class OptionsScreen : public Screen {
 public:
  OptionsScreen();
  // Where closing the screen saves (empty: nowhere), and the settings as that file has them, without what the
  // command line set for this run only.
  void keepIn(const std::string& path, const Settings& fromFile);
  // The level a plain start is to play from now on, written to the settings file at once with the rest of
  // what it holds.
  void keepLevel(const std::string& level);
  int line() const { return panel_.chosen(); }
  int openKey() const override;
  // Up/Down choose a line, Left/Right change its value at once, F10 or Escape close the screen.
  void handleKey(int key) override;
  void open() override;
  // Closing also writes the settings file when the player changed something.
  void close() override;
  void draw() override;
  // Frees the screen's colour textures while a context is current.
  void release() { panel_.release(); }

 private:
  void change(int direction);

  ListPanel panel_;
  std::string path_;
  Settings saved_;
  Settings savedAtOpen_;
};

extern OptionsScreen optionsScreen;
