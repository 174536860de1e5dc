// The levels screen: the listing read when it opens, one row per level file with the record at the difficulty
// being played, and starting the chosen level.
#include "app/LevelsScreen.h"

#include <cstdlib>
#include <iostream>

#include "app/LevelStart.h"
#include "app/OptionsScreen.h"
#include "game/Game.h"
#include "game/MatchRecords.h"
#include "platform/Platform.h"

LevelsScreen levelsScreen;

namespace {

// Room for nine levels of two lines each, with the levels folder and the keys below them.
ListPanel::Layout levelsLayout() {
  ListPanel::Layout l;
  l.left = -450.0f, l.bottom = -335.0f, l.width = 900.0f, l.height = 670.0f;
  l.titleY = 320.0f, l.footY = -300.0f;
  l.firstRow = 275.0f, l.rowHeight = 56.0f, l.rowsShown = 9, l.detailDrop = 26.0f;
  l.nameX = -420.0f, l.valueCentre = 250.0f;
  return l;
}
constexpr float kNoteY = -265.0f;
constexpr int kNameWidth = 440, kValueWidth = 320, kDetailWidth = 840;

// The folder as a player would type it: the home folder as "~".
std::string homeShortened(const std::string& folder) {
  const char* home = std::getenv("HOME");
  const std::string prefix = home && home[0] == '/' ? std::string(home) + "/" : "";
  return !prefix.empty() && folder.compare(0, prefix.size(), prefix) == 0 ? "~/" + folder.substr(prefix.size())
                                                                         : folder;
}

// The name the settings remember a level file by: its file name without ".json".
std::string rememberedName(const std::string& fileName) {
  return fileName.size() > 5 ? fileName.substr(0, fileName.size() - 5) : fileName;
}

}  // namespace

LevelsScreen::LevelsScreen() : panel_(levelsLayout()) {}

int LevelsScreen::openKey() const { return platform::KEY_TAB; }

void LevelsScreen::handleKey(int key) {
  if (key == platform::KEY_TAB) {
    close();
    return;
  }
  switch (panel_.handleKey(key, static_cast<int>(rows_.size()))) {
    case ListPanel::Action::Escape: close(); break;
    case ListPanel::Action::Enter:
      if (chosen() < static_cast<int>(entries().size()) && entries()[chosen()].playable) play(entries()[chosen()]);
      break;
    default: break;
  }
}

void LevelsScreen::open() {
  Screen::open();
  listing_ = levelListing();
  for (const std::string& warning : listing_.warnings) std::cerr << warning << std::endl;
  const BitmapFont& font = game.textRenderer.font;
  rows_.clear();
  int playing = 0;
  for (const LevelEntry& entry : listing_.entries) {
    ListRow row;
    if (entry.playable) {
      row.name = entry.name + (entry.players ? " (yours)" : "");
      const MatchResult* record = matchRecords.recordOn(entry.identity, game.difficulty);
      row.value = record ? resultText(*record) : "no record yet";
      row.detail = entry.description;
      if (entry.identity == matchRecords.level()) playing = static_cast<int>(rows_.size());
    } else {
      row.name = entry.fileName;
      row.value = "cannot be played";
      row.detail = entry.problem;
    }
    row.name = fitToWidth(font, row.name, kNameWidth);
    row.value = fitToWidth(font, row.value, kValueWidth);
    row.detail = fitToWidth(font, row.detail, kDetailWidth);
    rows_.push_back(std::move(row));
  }
  if (rows_.empty()) rows_.push_back({"There are no level files.", "", ""});
  const std::string folder = playerLevelFolder();
  folderNote_ = folder.empty() ? "" : fitToWidth(font, "Your own levels go in " + homeShortened(folder), kDetailWidth);
  panel_.choose(playing);
}

void LevelsScreen::play(const LevelEntry& entry) {
  LevelLoad load = loadLevel(entry.path);
  // The file may have changed since the screen opened.
  if (!load.problems.empty()) {
    rows_[chosen()].value = "cannot be played";
    rows_[chosen()].detail = fitToWidth(game.textRenderer.font, load.problems.front(), kDetailWidth);
    return;
  }
  close();
  startLevelMatch(load.level, load.identity);
  optionsScreen.keepLevel(rememberedName(entry.fileName));
}

void LevelsScreen::draw() {
  panel_.draw(game.hud, game.textRenderer, "LEVELS", rows_, "Up/Down: choose    Enter: play    Tab/Esc: close",
              false);
  TextRenderer text = game.textRenderer;
  text.drawText(folderNote_.c_str(), true, -420.0f, kNoteY);
}
