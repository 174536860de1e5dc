// The help screen over the frozen game (F1): every key and mouse action of the game in one table, grouped, in
// two columns. F1 or Escape close it.
#pragma once

#include <vector>

#include "app/Screen.h"
#include "hud/ListPanel.h"

enum class ControlGroup { Building, Camera, Game, Picture, Screens };

// How the game hears a control: a key press that is a game command (input/Keyboard), a key that opens a
// screen, a key held down and read every frame, or the mouse.
enum class ControlUse { Command, Screen, Held, Mouse };

struct Control {
  ControlGroup group;
  ControlUse use;
  std::vector<int> keys;  // the key codes it lists; none for the mouse
  const char* input;      // as the help shows it
  const char* action;
};

// The one table of the game's controls, in the order of their groups.
const std::vector<Control>& controls();
const char* controlGroupName(ControlGroup group);

class HelpScreen : public Screen {
 public:
  HelpScreen();
  int openKey() const override;
  void handleKey(int key) override;
  void draw() override;
  // Frees the screen's colour textures while a context is current.
  void release() { panel_.release(); }

 private:
  ListPanel panel_;
};

extern HelpScreen helpScreen;
