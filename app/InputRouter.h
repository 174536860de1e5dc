// Where keys and clicks go: first to the screen on top, then to the game. An open screen takes every key and
// swallows every click; a closed one takes only the key that opens it. The game itself (input/) knows no screen.
#pragma once

#include <vector>

#include "app/Screen.h"

class InputRouter {
 public:
  // Screens in the order they are asked for their opening key; the router never owns them.
  void addScreen(Screen* screen);
  void removeAllScreens() { screens_.clear(); }
  // While a replay is watched, keys and clicks that would change the match are dropped: only the pause, the
  // game speed, the view switches and the screens act.
  void watchOnly(bool on) { watchOnly_ = on; }
  // The screen open now, or null.
  Screen* openScreen() const;
  void onKey(int key, int action);
  void onMouseButton(int button, int action);
  // The main loop's test of a held Escape: false when the last Escape press went to a screen (a key tap stays
  // down for the loop's next look at it) or a screen is open.
  bool escapeQuits(bool escapeDown) const;
  // The open screen over the finished frame.
  void drawScreens();

 private:
  std::vector<Screen*> screens_;
  bool escapeTaken_ = false;
  bool watchOnly_ = false;
};

extern InputRouter inputRouter;

// The platform's callbacks: plain functions that hand every event to the router.
void routeKey(int key, int action);
void routeMouseButton(int button, int action);
