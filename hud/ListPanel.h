// The one component the screens are made of: a bordered panel over the frozen game with a title, one row per
// line (a name, a value the chosen row shows between arrows, and a detail line under the name) and the keys at
// its foot, in the game's font. A list longer than the panel scrolls with the chosen row, or flows into
// columns. Up and Down choose a line; Left, Right, Enter and Escape are for the screen to act on.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

#include "hud/TextRenderer.h"

class Hud;

struct ListRow {
  std::string name;
  std::string value;
  std::string detail;  // a second line under the name, when the layout leaves room for it
};

// The text as it fits in `width` pixels of the font: whole, or cut with "..." at its end.
std::string fitToWidth(const BitmapFont& font, const std::string& text, int width);

class ListPanel {
 public:
  // Layout in HUD pixels (1024 x 768 around the window's centre, y up).
  struct Layout {
    float left = -300.0f, bottom = -220.0f, width = 600.0f, height = 440.0f;
    float border = 4.0f;
    float titleY = 205.0f, footY = -180.0f;
    float firstRow = 160.0f, rowHeight = 32.0f;
    float nameX = -270.0f, valueCentre = 150.0f, leftArrowX = 40.0f, rightArrowX = 250.0f;
    // The most rows a column shows (0: every row) and how many columns, each columnWidth to the right of the
    // one before. A single column longer than that scrolls to keep the chosen row in view.
    int rowsShown = 0;
    int columns = 1;
    float columnWidth = 0.0f;
    bool marksChosen = true;
    // Values centred on valueCentre, or starting there.
    bool centredValues = true;
    float detailDrop = 0.0f;  // how far a row's detail line sits below its name
  };
  enum class Action { None, Left, Right, Enter, Escape };

  ListPanel() = default;
  explicit ListPanel(Layout layout) : layout_(layout) {}
  ListPanel(const ListPanel&) = delete;
  ListPanel& operator=(const ListPanel&) = delete;
  ~ListPanel() { release(); }

  int chosen() const { return chosen_; }
  void choose(int line) { chosen_ = line; }
  // The first row in view: the chosen row stays in view as it moves.
  int firstShown() const { return top_; }
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
  // Moves the first row in view so that the chosen one of `lines` rows is shown.
  void scrollTo(int lines);

  Layout layout_;
  int chosen_ = 0;
  int top_ = 0;
  GLuint colours_[3] = {};
};
