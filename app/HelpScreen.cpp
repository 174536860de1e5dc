// The help screen: the table of controls, laid out group by group so that no group is split over the two
// columns.
#include "app/HelpScreen.h"

#include <string>

#include "game/Game.h"
#include "platform/Platform.h"

HelpScreen helpScreen;

namespace {

constexpr int kRowsPerColumn = 22;

ListPanel::Layout helpLayout() {
  ListPanel::Layout l;
  l.left = -490.0f, l.bottom = -345.0f, l.width = 980.0f, l.height = 690.0f;
  l.titleY = 330.0f, l.footY = -310.0f;
  l.firstRow = 285.0f, l.rowHeight = 26.0f, l.rowsShown = kRowsPerColumn, l.columns = 2, l.columnWidth = 490.0f;
  l.nameX = -465.0f, l.valueCentre = -285.0f, l.centredValues = false, l.marksChosen = false;
  return l;
}

}  // namespace

const std::vector<Control>& controls() {
  using G = ControlGroup;
  using U = ControlUse;
  static const std::vector<Control> table = {
      {G::Building, U::Mouse, {}, "Click button", "choose a tower kind (bottom)"},
      {G::Building, U::Mouse, {}, "Click board", "build it there, or select"},
      {G::Building, U::Mouse, {}, "Click Select", "board clicks select again"},
      {G::Building, U::Mouse, {}, "Click Upgrade", "upgrade the selected tower"},
      {G::Building, U::Mouse, {}, "Click Sell", "sell the selected tower"},
      {G::Building, U::Mouse, {}, "Click SuperGlow", "hit every enemy, once ready"},
      {G::Building, U::Command, {'T'}, "T", "selected tower's target"},
      {G::Camera, U::Held, {platform::KEY_UP, platform::KEY_DOWN, platform::KEY_LEFT, platform::KEY_RIGHT},
       "Arrow keys", "move (or cursor at an edge)"},
      {G::Camera, U::Held, {platform::KEY_PAGEUP, platform::KEY_PAGEDOWN}, "Page Up/Down", "raise / lower"},
      {G::Camera, U::Mouse, {}, "Right button", "hold to turn"},
      {G::Camera, U::Mouse, {}, "Wheel", "zoom"},
      {G::Camera, U::Command, {'C'}, "C", "spectator camera"},
      {G::Game, U::Command, {'P'}, "P", "pause / resume"},
      {G::Game, U::Command, {'F'}, "F", "speed x1, x2, x4, x8"},
      {G::Game, U::Command, {'N'}, "N", "next wave now, for a bonus"},
      {G::Game, U::Command, {'R'}, "R", "play again after the end"},
      {G::Game, U::Held, {platform::KEY_ESC}, "Escape", "quit, or close a screen"},
      {G::Picture, U::Command, {platform::KEY_F2}, "F2", "frame rate"},
      {G::Picture, U::Command, {platform::KEY_F3}, "F3", "wireframe"},
      {G::Picture, U::Command, {platform::KEY_F4}, "F4", "texture filter"},
      {G::Picture, U::Command, {platform::KEY_F5}, "F5", "mipmaps"},
      {G::Picture, U::Command, {platform::KEY_F6}, "F6", "vertex buffer objects"},
      {G::Picture, U::Command, {platform::KEY_F8}, "F8", "view-frustum culling"},
      {G::Picture, U::Command, {platform::KEY_F9}, "F9", "the overlay of aids"},
      {G::Picture, U::Held, {'I', 'K', 'J', 'L', 'U', 'O'}, "I K J L U O", "move the light"},
      {G::Screens, U::Screen, {platform::KEY_F1}, "F1", "this help"},
      {G::Screens, U::Screen, {platform::KEY_TAB}, "Tab", "levels and records"},
      {G::Screens, U::Screen, {platform::KEY_F10}, "F10", "options"},
  };
  return table;
}

const char* controlGroupName(ControlGroup group) {
  switch (group) {
    case ControlGroup::Building: return "BUILDING";
    case ControlGroup::Camera: return "CAMERA";
    case ControlGroup::Game: return "GAME";
    case ControlGroup::Picture: return "PICTURE";
    case ControlGroup::Screens: return "SCREENS";
  }
  return "";
}

HelpScreen::HelpScreen() : panel_(helpLayout()) {}

int HelpScreen::openKey() const { return platform::KEY_F1; }

void HelpScreen::handleKey(int key) {
  if (key == platform::KEY_F1 || key == platform::KEY_ESC) close();
}

void HelpScreen::draw() {
  // Each group under its heading, a blank line between groups; a group that would not fit in what is left of
  // the first column starts the second.
  std::vector<ListRow> rows;
  const std::vector<Control>& table = controls();
  for (size_t first = 0; first < table.size();) {
    size_t end = first;
    while (end < table.size() && table[end].group == table[first].group) ++end;
    const size_t used = rows.size() % kRowsPerColumn;
    if (used > 0 && used + 1 + (end - first) > kRowsPerColumn) rows.resize(rows.size() + kRowsPerColumn - used);
    rows.push_back({controlGroupName(table[first].group), "", ""});
    for (size_t i = first; i < end; ++i) rows.push_back({table[i].input, table[i].action, ""});
    if (rows.size() % kRowsPerColumn != 0) rows.push_back({});
    first = end;
  }
  panel_.draw(game.hud, game.textRenderer, "CONTROLS", rows, "F1/Esc: close", false);
}
