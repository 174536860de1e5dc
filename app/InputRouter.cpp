// Routing of key presses and clicks between the screens and the game.
#include "app/InputRouter.h"

#include "input/Keyboard.h"
#include "input/Mouse.h"
#include "platform/Platform.h"

InputRouter inputRouter;

void InputRouter::addScreen(Screen* screen) { screens_.push_back(screen); }

Screen* InputRouter::openScreen() const {
  for (Screen* screen : screens_)
    if (screen->isOpen()) return screen;
  return nullptr;
}

void InputRouter::onKey(int key, int action) {
  if (action != platform::PRESS) return;
  Screen* open = openScreen();
  // The main loop quits while Escape is down, so it has to know whether the last Escape press was a screen's.
  if (key == platform::KEY_ESC) escapeTaken_ = open != nullptr;
  if (open) {
    open->handleKey(key);
    return;
  }
  for (Screen* screen : screens_) {
    if (key == screen->openKey()) {
      screen->open();
      return;
    }
  }
  Command command{CommandKind::Spectator};
  if (watchOnly_ && commandForKey(key, &command) && changesMatch(command.kind) &&
      command.kind != CommandKind::Pause && command.kind != CommandKind::Speed)
    return;
  ::onKey(key, action);
}

void InputRouter::onMouseButton(int button, int action) {
  // Clicks would reach the frozen game under a screen; every click of the game's is a command of the match.
  if (!openScreen() && !watchOnly_) ::onMouseButton(button, action);
}

bool InputRouter::escapeQuits(bool escapeDown) const { return escapeDown && !escapeTaken_ && !openScreen(); }

void InputRouter::drawScreens() {
  if (Screen* open = openScreen()) open->draw();
}

void routeKey(int key, int action) { inputRouter.onKey(key, action); }

void routeMouseButton(int button, int action) { inputRouter.onMouseButton(button, action); }
