// The screens' panel: choosing a line with the arrow keys, and its picture.
#include "hud/ListPanel.h"

#include "hud/BitmapFont.h"
#include "hud/Hud.h"
#include "hud/TextRenderer.h"
#include "platform/Platform.h"

namespace {

enum Colour { Panel, Border, Chosen };

}  // namespace

ListPanel::Action ListPanel::handleKey(int key, int lines) {
  switch (key) {
    case platform::KEY_UP: chosen_ = lines > 0 ? (chosen_ + lines - 1) % lines : 0; return Action::None;
    case platform::KEY_DOWN: chosen_ = lines > 0 ? (chosen_ + 1) % lines : 0; return Action::None;
    case platform::KEY_LEFT: return Action::Left;
    case platform::KEY_RIGHT: return Action::Right;
    case platform::KEY_ENTER: return Action::Enter;
    case platform::KEY_ESC: return Action::Escape;
    default: return Action::None;
  }
}

void ListPanel::draw(Hud& hud, TextRenderer text, const std::string& title, const std::vector<ListRow>& rows,
                     const std::string& keys, bool arrows) {
  if (!colours_[Panel]) {
    const unsigned char rgba[3][4] = {{10, 18, 32, 255}, {70, 190, 240, 255}, {24, 70, 110, 255}};
    glActiveTexture(GL_TEXTURE0);
    glGenTextures(3, colours_);
    for (int i = 0; i < 3; ++i) {
      glBindTexture(GL_TEXTURE_2D, colours_[i]);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba[i]);
    }
  }
  // Filled even in wireframe mode, so that it stays readable.
  GLint polygonMode[2] = {GL_FILL, GL_FILL};
  glGetIntegerv(GL_POLYGON_MODE, polygonMode);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  const Layout& l = layout_;
  hud.drawQuad(colours_[Border], l.width + 2 * l.border, l.height + 2 * l.border, l.left - l.border,
               l.bottom - l.border);
  hud.drawQuad(colours_[Panel], l.width, l.height, l.left, l.bottom);
  const float chosenRow = l.firstRow - l.rowHeight * chosen_;
  hud.drawQuad(colours_[Chosen], l.width - 20.0f, l.rowHeight - 2.0f, l.left + 10.0f, chosenRow - 30.0f);

  auto centred = [&](const std::string& s, float centre, float y) {
    text.drawText(s.c_str(), true, centre - static_cast<float>(textWidth(text.font, s.c_str())) / 2.0f, y);
  };
  centred(title, 0.0f, l.titleY);
  for (size_t line = 0; line < rows.size(); ++line) {
    const float row = l.firstRow - l.rowHeight * static_cast<float>(line);
    text.drawText(rows[line].name.c_str(), true, l.nameX, row);
    if (!rows[line].value.empty()) centred(rows[line].value, l.valueCentre, row);
  }
  if (arrows) {
    text.drawText("<", true, l.leftArrowX, chosenRow);
    text.drawText(">", true, l.rightArrowX, chosenRow);
  }
  centred(keys, 0.0f, l.footY);
  glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(polygonMode[0]));
}

void ListPanel::release() {
  if (colours_[Panel] && platform::hasCurrentContext()) glDeleteTextures(3, colours_);
  colours_[0] = colours_[1] = colours_[2] = 0;
}
