// The levels screen over the frozen game (Tab): every shipped level, then the player's own, each with its
// description and the player's record on it. Up/Down choose, Enter starts a new match on the chosen level and
// remembers it for the next start, Tab or Escape close the screen and the match goes on.
#pragma once

#include <string>
#include <vector>

#include "app/Screen.h"
#include "game/LevelLibrary.h"
#include "hud/ListPanel.h"

class LevelsScreen : public Screen {
 public:
  LevelsScreen();
  int openKey() const override;
  // Up/Down choose a level, Enter plays a playable one, Tab or Escape close the screen.
  void handleKey(int key) override;
  // Opening reads the levels folders and the records anew, and chooses the level being played.
  void open() override;
  void draw() override;
  // Frees the screen's colour textures while a context is current.
  void release() { panel_.release(); }

  const std::vector<LevelEntry>& entries() const { return listing_.entries; }
  const std::vector<ListRow>& rows() const { return rows_; }
  int chosen() const { return panel_.chosen(); }

 private:
  void play(const LevelEntry& entry);

  ListPanel panel_;
  LevelListing listing_;
  std::vector<ListRow> rows_;
  std::string folderNote_;
};

extern LevelsScreen levelsScreen;
