// The options screen: its lines and their steps, its keys, the pause on the game clock while it is open,
// applying each change at once, saving on close, and its picture over the frozen game.
#include "app/OptionsScreen.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include "platform/FrameClock.h"
#include "game/DebugSwitches.h"
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

enum Colour { Panel, Border, Chosen };

// Layout in HUD pixels (1024 x 768 around the window's centre, y up): a panel with a border, the title, one
// row per line from kFirstRow down, and the keys at the foot.
constexpr float kPanelLeft = -300.0f, kPanelBottom = -220.0f, kPanelWidth = 600.0f, kPanelHeight = 440.0f;
constexpr float kBorder = 4.0f;
constexpr float kFirstRow = 160.0f, kRowHeight = 32.0f;
constexpr float kNameX = -270.0f, kValueCentre = 150.0f, kLeftArrowX = 40.0f, kRightArrowX = 250.0f;

}  // namespace

const char* optionName(int line) {
  static const char* const kNames[kOptionLines] = {"Window size", "Fullscreen", "Vsync",
                                                   "Music volume", "Effects volume", "Quality",
                                                   "Shadow map", "Glow", "Render scale", "Overlay"};
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
    default: break;
  }
  return s;
}

void OptionsScreen::keepIn(const std::string& path, const Settings& fromFile) {
  path_ = path;
  saved_ = fromFile;
}

bool OptionsScreen::handleKey(int key) {
  // The main loop quits while Escape is down, so it has to know whether the last Escape press was the screen's.
  if (key == platform::KEY_ESC) escapeTaken_ = open_;
  if (!open_) {
    if (key != platform::KEY_F10) return false;
    open();
    return true;
  }
  switch (key) {
    case platform::KEY_ESC:
    case platform::KEY_F10: close(); break;
    case platform::KEY_UP: line_ = (line_ + kOptionLines - 1) % kOptionLines; break;
    case platform::KEY_DOWN: line_ = (line_ + 1) % kOptionLines; break;
    case platform::KEY_LEFT: change(-1); break;
    case platform::KEY_RIGHT: change(1); break;
    default: break;
  }
  return true;
}

bool OptionsScreen::escapeQuits(bool escapeDown) const { return escapeDown && !escapeTaken_ && !open_; }

void OptionsScreen::open() {
  open_ = true;
  openedAt_ = platform::getTime();
  savedAtOpen_ = saved_;
}

void OptionsScreen::close() {
  open_ = false;
  platform::setTime(openedAt_);
  frameClock.lastFrameTime = openedAt_;
  if (saved_ == savedAtOpen_ || path_.empty()) return;
  const std::string warning = writeSettingsFile(path_, saved_);
  if (!warning.empty()) std::cerr << warning << std::endl;
}

void OptionsScreen::change(int direction) {
  const Settings before = settings;
  settings = stepOption(settings, line_, direction);
  copyLine(settings, saved_, line_);
  apply(before, settings);
}

void OptionsScreen::draw() {
  if (!colours_[Panel]) {
    const unsigned char rgba[3][4] = {{10, 18, 32, 255}, {70, 190, 240, 255}, {24, 70, 110, 255}};
    glActiveTexture(GL_TEXTURE0);
    glGenTextures(3, colours_);
    for (int i = 0; i < 3; ++i) {
      glBindTexture(GL_TEXTURE_2D, colours_[i]);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba[i]);
    }
  }
  // Filled even in wireframe mode, so that it stays readable.
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  Hud& hud = game.hud;
  hud.drawQuad(colours_[Border], kPanelWidth + 2 * kBorder, kPanelHeight + 2 * kBorder, kPanelLeft - kBorder,
               kPanelBottom - kBorder);
  hud.drawQuad(colours_[Panel], kPanelWidth, kPanelHeight, kPanelLeft, kPanelBottom);
  const float chosenRow = kFirstRow - kRowHeight * line_;
  hud.drawQuad(colours_[Chosen], kPanelWidth - 20.0f, kRowHeight - 2.0f, kPanelLeft + 10.0f, chosenRow - 30.0f);

  TextRenderer text = game.textRenderer;
  auto centred = [&](const std::string& s, float centre, float y) {
    text.drawText(s.c_str(), true, centre - static_cast<float>(textWidth(text.font, s.c_str())) / 2.0f, y);
  };
  centred("OPTIONS", 0.0f, 205.0f);
  for (int line = 0; line < kOptionLines; ++line) {
    const float row = kFirstRow - kRowHeight * line;
    text.drawText(optionName(line), true, kNameX, row);
    centred(optionValue(settings, line), kValueCentre, row);
  }
  text.drawText("<", true, kLeftArrowX, chosenRow);
  text.drawText(">", true, kRightArrowX, chosenRow);
  centred("Up/Down: choose    Left/Right: change    F10/Esc: close", 0.0f, -180.0f);
  if (debugSwitches.wireframeMode) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
}

void OptionsScreen::release() {
  if (colours_[Panel] && platform::hasCurrentContext()) glDeleteTextures(3, colours_);
  colours_[0] = colours_[1] = colours_[2] = 0;
}
