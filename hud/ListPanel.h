// The one component the screens are made of: a bordered panel over the frozen game with a title, one row per
// line (a name, and a value the chosen row shows between arrows) and the keys at its foot, in the game's
// font. Up and Down choose a line; Left, Right, Enter and Escape are for the screen to act on.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

#include "hud/TextRenderer.h"

class Hud;

struct ListRow {
  std::string name;
  std::string value;
};

class ListPanel {
 public:
  // Layout in HUD pixels (1024 x 768 around the window's centre, y up).
  struct Layout {
    float left = -300.0f, bottom = -220.0f, width = 600.0f, height = 440.0f;
    float border = 4.0f;
    float titleY = 205.0f, footY = -180.0f;
    float firstRow = 160.0f, rowHeight = 32.0f;
    float nameX = -270.0f, valueCentre = 150.0f, leftArrowX = 40.0f, rightArrowX = 250.0f;
  };
  enum class Action { None, Left, Right, Enter, Escape };

  ListPanel() = default;
  explicit ListPanel(Layout layout) : layout_(layout) {}
  ListPanel(const ListPanel&) = delete;
  ListPanel& operator=(const ListPanel&) = delete;
  ~ListPanel() { release(); }

  int chosen() const { return chosen_; }
  void choose(int line) { chosen_ = line; }
  // Up and Down move the chosen line through `lines`, round at the ends, and answer None; the other keys say
  // what the screen should do.
  Action handleKey(int key, int lines);
  // The panel with the chosen row marked; `arrows` puts "<" and ">" around the chosen row's value. Leaves the
  // polygon mode as it found it.
  void draw(Hud& hud, TextRenderer text, const std::string& title, const std::vector<ListRow>& rows,
            const std::string& keys, bool arrows);
  // Frees the panel's colour textures while a context is current.
  void release();

 private:
  Layout layout_;
  int chosen_ = 0;
  GLuint colours_[3] = {};
};
