// The options screen: its lines and their steps, its keys, the pause on the game clock while it is open,
// applying each change at once, saving on close, and its picture over the frozen game.
#include "app/OptionsScreen.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include "config/Settings.h"
#include "game/Game.h"
#include "platform/Platform.h"

OptionsScreen optionsScreen;

namespace {

struct WindowSize {
  int width, height;
};
// Ordered by area; the smallest is the smallest window the settings allow.
const WindowSize kWindowSizes[] = {{800, 600},   {1024, 768},  {1280, 720},  {1366, 768},
                                   {1280, 1024}, {1600, 900},  {1920, 1080}, {2560, 1440}};

// The index one step from current in an ascending list, stopping at its ends. A current value that is not in
// the list steps to its neighbour on that side.
int neighbour(const std::vector<long long>& ascending, long long current, int direction) {
  const int last = static_cast<int>(ascending.size()) - 1;
  if (direction > 0) {
    for (int i = 0; i <= last; ++i)
      if (ascending[i] > current) return i;
    return last;
  }
  for (int i = last; i >= 0; --i)
    if (ascending[i] < current) return i;
  return 0;
}

int stepValue(const std::vector<long long>& ascending, int current, int direction) {
  return static_cast<int>(ascending[neighbour(ascending, current, direction)]);
}

const std::vector<long long> kVolumes = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

const char* onOff(bool on) { return on ? "on" : "off"; }

// What the player changed on a line, copied into the settings that the file keeps.
void copyLine(const Settings& from, Settings& to, int line) {
  switch (line) {
    case LineWindowSize: to.width = from.width, to.height = from.height; break;
    case LineFullscreen: to.fullscreen = from.fullscreen; break;
    case LineVsync: to.vsync = from.vsync; break;
    case LineMusicVolume: to.musicVolume = from.musicVolume; break;
    case LineEffectsVolume: to.effectsVolume = from.effectsVolume; break;
    case LineQuality: to.shadowMapSize = from.shadowMapSize, to.glow = from.glow, to.renderScale = from.renderScale; break;
    case LineShadowMap: to.shadowMapSize = from.shadowMapSize; break;
    case LineGlow: to.glow = from.glow; break;
    case LineRenderScale: to.renderScale = from.renderScale; break;
    case LineOverlay: to.overlay = from.overlay; break;
    case LineDifficulty: to.difficulty = from.difficulty; break;
    default: break;
  }
}

// The window, the swap interval, the volumes and the overlay follow the settings at once; the frame rendering
// reads the quality settings itself.
void apply(const Settings& before, const Settings& after) {
  if (after.fullscreen != before.fullscreen)
    platform::setFullscreen(after.fullscreen, after.width, after.height);
  else if (after.width != before.width || after.height != before.height)
    platform::setWindowSize(after.width, after.height);
  if (after.vsync != before.vsync) platform::setSwapInterval(after.vsync ? 1 : 0);
  if (after.musicVolume != before.musicVolume || after.effectsVolume != before.effectsVolume)
    game.setVolumes(after.musicVolume / 100.0f, after.effectsVolume / 100.0f);
  if (after.overlay != before.overlay) game.overlay.shown = after.overlay;
}

}  // namespace

const char* optionName(int line) {
  static const char* const kNames[kOptionLines] = {"Window size", "Fullscreen", "Vsync",
                                                   "Music volume", "Effects volume", "Quality",
                                                   "Shadow map", "Glow", "Render scale", "Overlay",
                                                   "Difficulty"};
  return line >= 0 && line < kOptionLines ? kNames[line] : "";
}

std::string optionValue(const Settings& s, int line) {
  switch (line) {
    case LineWindowSize: return std::to_string(s.width) + " x " + std::to_string(s.height);
    case LineFullscreen: return onOff(s.fullscreen);
    case LineVsync: return onOff(s.vsync);
    case LineMusicVolume: return std::to_string(s.musicVolume) + " %";
    case LineEffectsVolume: return std::to_string(s.effectsVolume) + " %";
    case LineQuality: {
      static const char* const kQualities[] = {"High", "Medium", "Low", "Custom"};
      return kQualities[static_cast<int>(qualityOf(s))];
    }
    case LineShadowMap: return std::to_string(s.shadowMapSize);
    case LineGlow: return onOff(s.glow);
    case LineRenderScale: return std::to_string(s.renderScale) + " %";
    case LineOverlay: return onOff(s.overlay);
    case LineDifficulty: return difficultyTitle(s.difficulty);
    default: return "";
  }
}

Settings stepOption(Settings s, int line, int direction) {
  switch (line) {
    case LineWindowSize: {
      std::vector<long long> areas;
      for (const WindowSize& size : kWindowSizes) areas.push_back(static_cast<long long>(size.width) * size.height);
      const WindowSize& size = kWindowSizes[neighbour(areas, static_cast<long long>(s.width) * s.height, direction)];
      s.width = size.width;
      s.height = size.height;
      break;
    }
    case LineFullscreen: s.fullscreen = !s.fullscreen; break;
    case LineVsync: s.vsync = !s.vsync; break;
    case LineMusicVolume: s.musicVolume = stepValue(kVolumes, s.musicVolume, direction); break;
    case LineEffectsVolume: s.effectsVolume = stepValue(kVolumes, s.effectsVolume, direction); break;
    case LineQuality: {
      // Left lowers the quality, right raises it; from Custom each side goes to its end.
      const Quality ascending[] = {Quality::Low, Quality::Medium, Quality::High};
      int at = direction > 0 ? 2 : 0;
      for (int i = 0; i < 3; ++i)
        if (ascending[i] == qualityOf(s)) at = std::clamp(i + direction, 0, 2);
      applyQuality(s, ascending[at]);
      break;
    }
    case LineShadowMap: s.shadowMapSize = stepValue({512, 1024, 2048}, s.shadowMapSize, direction); break;
    case LineGlow: s.glow = !s.glow; break;
    case LineRenderScale: s.renderScale = stepValue({50, 75, 100}, s.renderScale, direction); break;
    case LineOverlay: s.overlay = !s.overlay; break;
    case LineDifficulty:
      s.difficulty = static_cast<Difficulty>(std::clamp(static_cast<int>(s.difficulty) + direction,
                                                        static_cast<int>(Difficulty::Easy),
                                                        static_cast<int>(Difficulty::Hard)));
      break;
    default: break;
  }
  return s;
}

void OptionsScreen::keepIn(const std::string& path, const Settings& fromFile) {
  path_ = path;
  saved_ = fromFile;
}

void OptionsScreen::keepLevel(const std::string& level) {
  settings.level = saved_.level = savedAtOpen_.level = level;
  if (path_.empty()) return;
  const std::string warning = writeSettingsFile(path_, saved_);
  if (!warning.empty()) std::cerr << warning << std::endl;
}

// Eleven rows between the title and the keys' line.
OptionsScreen::OptionsScreen() : panel_([] {
  ListPanel::Layout layout;
  layout.firstRow = 165.0f;
  layout.rowHeight = 29.0f;
  return layout;
}()) {}

int OptionsScreen::openKey() const { return platform::KEY_F10; }

void OptionsScreen::handleKey(int key) {
  if (key == platform::KEY_F10) {
    close();
    return;
  }
  switch (panel_.handleKey(key, kOptionLines)) {
    case ListPanel::Action::Escape: close(); break;
    case ListPanel::Action::Left: change(-1); break;
    case ListPanel::Action::Right: change(1); break;
    default: break;
  }
}

void OptionsScreen::open() {
  Screen::open();
  savedAtOpen_ = saved_;
}

void OptionsScreen::close() {
  Screen::close();
  if (saved_ == savedAtOpen_ || path_.empty()) return;
  const std::string warning = writeSettingsFile(path_, saved_);
  if (!warning.empty()) std::cerr << warning << std::endl;
}

void OptionsScreen::change(int direction) {
  const Settings before = settings;
  settings = stepOption(settings, line(), direction);
  copyLine(settings, saved_, line());
  apply(before, settings);
}

void OptionsScreen::draw() {
  std::vector<ListRow> rows;
  for (int line = 0; line < kOptionLines; ++line) rows.push_back({optionName(line), optionValue(settings, line), ""});
  panel_.draw(game.hud, game.textRenderer, "OPTIONS", rows, "Up/Down: choose    Left/Right: change    F10/Esc: close",
              true);
}
