// Offering the saved match in progress at start-up, and the player's answer.
#include "app/ResumeScreen.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "game/Game.h"
#include "game/LevelFile.h"
#include "game/ReplayPlayer.h"
#include "platform/Platform.h"

ResumeScreen resumeScreen;

namespace fs = std::filesystem;

namespace {

// One line across the middle of the window, on the panel's chosen-row band: text drawn at y fills the 30
// pixels below y.
ListPanel::Layout lineLayout() {
  ListPanel::Layout layout;
  layout.left = -500.0f;
  layout.width = 1000.0f;
  layout.bottom = -30.0f;
  layout.height = 60.0f;
  layout.titleY = layout.firstRow = 15.0f;
  return layout;
}

}  // namespace

std::string resumeLine(const std::string& levelName, double seconds, int files) {
  const long whole = static_cast<long>(seconds);
  char time[32];
  std::snprintf(time, sizeof time, "%ld:%02ld", whole / 60, whole % 60);
  return "Resume your match on " + levelName + " (" + time + ", " + std::to_string(files) +
         " files left)? Enter: resume \u00b7 N: new match";
}

std::string asideName(const std::string& path) {
  std::error_code error;
  std::string aside = path + ".bad";
  for (int n = 2; fs::exists(aside, error) || error; ++n) aside = path + ".bad-" + std::to_string(n);
  return aside;
}

ResumeScreen::ResumeScreen() : panel_(lineLayout()) {}

bool ResumeScreen::offer(const std::string& path) {
  std::error_code error;
  if (path.empty() || !fs::exists(path, error)) return false;
  path_ = path;
  const ReplayReading reading = readReplayFile(path);
  if (!reading.problem.empty()) {
    setAside(reading.problem);
    return false;
  }
  ownLevel_ = game.level;
  ownDifficulty_ = game.difficulty;
  const Level level = readLevel(reading.replay.levelText).level;
  const ReplayOutcome now = replayHeadless(reading.replay, level);
  if (now.state == Won || now.state == Lost) {
    game.level = ownLevel_;
    game.difficulty = ownDifficulty_;
    game.newMatch();
    // A lost match unhooked the mouse.
    platform::setMouseButtonCallback(game.clickHandler);
    setAside("the match it holds is over");
    return false;
  }
  line_ = resumeLine(level.name, now.time, now.files);
  std::cout << line_ << std::endl;
  open();
  return true;
}

void ResumeScreen::setAside(const std::string& problem) {
  const std::string aside = asideName(path_);
  std::error_code error;
  fs::rename(path_, aside, error);
  std::cerr << "varrow: " << path_ << ": " << problem << "; "
            << (error ? "could not move it aside: " + error.message() : "moved to " + aside) << std::endl;
}

void ResumeScreen::handleKey(int key) {
  if (key == 'N') {
    game.level = ownLevel_;
    game.difficulty = ownDifficulty_;
    game.newMatch();
    std::error_code error;
    fs::remove(path_, error);
  } else if (key != platform::KEY_ENTER) {
    return;
  }
  close();
}

void ResumeScreen::draw() { panel_.draw(game.hud, game.textRenderer, line_, {}, "", false); }
