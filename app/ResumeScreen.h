// The offer to resume the match the player quit: one line over the first frame, the resumed match frozen
// under it. Enter continues that match; N starts the game's own match instead and forgets the saved one.
// Every other key is ignored, so a stray key loses nothing.
#pragma once

#include <string>

#include "app/Screen.h"
#include "game/Difficulty.h"
#include "game/Level.h"
#include "hud/ListPanel.h"

// "Resume your match on Serpent (3:12, 11 files left)? Enter: resume · N: new match", the time in whole
// minutes and seconds.
std::string resumeLine(const std::string& levelName, double seconds, int files);
// Where a file that cannot be used is moved: the first of path.bad, path.bad-2, ... that does not exist.
std::string asideName(const std::string& path);

class ResumeScreen : public Screen {
 public:
  ResumeScreen();
  // Reads the match saved at path and re-plays it on the game world up to its last step. A match that can go
  // on opens the screen (and says its line on the console); a file that cannot be read, or whose match is
  // over, is moved aside with one warning on standard error, and the world is the game's own match again. No
  // file: nothing happens. Returns whether the screen opened.
  bool offer(const std::string& path);
  const std::string& line() const { return line_; }
  int openKey() const override { return -1; }
  // Enter resumes, N starts a new match; nothing else does anything.
  void handleKey(int key) override;
  void draw() override;
  void release() { panel_.release(); }

 private:
  void setAside(const std::string& problem);

  ListPanel panel_;
  std::string path_;
  std::string line_;
  Level ownLevel_;
  Difficulty ownDifficulty_ = Difficulty::Normal;
};

extern ResumeScreen resumeScreen;
