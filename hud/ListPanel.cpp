// The screens' panel: choosing a line with the arrow keys, scrolling a long list, and its picture.
#include "hud/ListPanel.h"

#include <algorithm>

#include "hud/BitmapFont.h"
#include "hud/Hud.h"
#include "hud/TextRenderer.h"
#include "platform/Platform.h"

namespace {

enum Colour { Panel, Border, Chosen };

}  // namespace

std::string fitToWidth(const BitmapFont& font, const std::string& text, int width) {
  if (textWidth(font, text.c_str()) <= width) return text;
  const int room = width - textWidth(font, "...");
  int used = 0;
  size_t end = 0;
  while (end < text.size()) {
    // A two-byte character the font draws as one glyph is never cut in half.
    const unsigned char lead = static_cast<unsigned char>(text[end]);
    const size_t length =
        (lead == 0xC2 || lead == 0xC3) && end + 1 < text.size() && (text[end + 1] & 0xC0) == 0x80 ? 2 : 1;
    const int advance = textWidth(font, text.substr(end, length).c_str());
    if (used + advance > room) break;
    used += advance;
    end += length;
  }
  return text.substr(0, end) + "...";
}

void ListPanel::scrollTo(int lines) {
  const int shown = layout_.rowsShown;
  if (shown <= 0 || layout_.columns != 1 || lines <= shown) {
    top_ = 0;
    return;
  }
  if (chosen_ < top_) top_ = chosen_;
  if (chosen_ >= top_ + shown) top_ = chosen_ - shown + 1;
  top_ = std::clamp(top_, 0, lines - shown);
}

ListPanel::Action ListPanel::handleKey(int key, int lines) {
  switch (key) {
    case platform::KEY_UP:
      chosen_ = lines > 0 ? (chosen_ + lines - 1) % lines : 0;
      scrollTo(lines);
      return Action::None;
    case platform::KEY_DOWN:
      chosen_ = lines > 0 ? (chosen_ + 1) % lines : 0;
      scrollTo(lines);
      return Action::None;
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
  scrollTo(static_cast<int>(rows.size()));
  const int lines = static_cast<int>(rows.size());
  const int perColumn = l.rowsShown > 0 ? l.rowsShown : std::max(lines, 1);
  const int last = std::min(lines, top_ + perColumn * std::max(l.columns, 1));
  // Where a row in view starts: its column's offset and the top of its line.
  auto place = [&](int line, float* x, float* y) {
    const int slot = line - top_;
    *x = l.columnWidth * static_cast<float>(slot / perColumn);
    *y = l.firstRow - l.rowHeight * static_cast<float>(slot % perColumn);
  };
  float chosenX = 0.0f, chosenRow = 0.0f;
  place(chosen_, &chosenX, &chosenRow);
  const bool chosenShown = l.marksChosen && chosen_ >= top_ && chosen_ < last;
  if (chosenShown)
    hud.drawQuad(colours_[Chosen], (l.columns > 1 ? l.columnWidth : l.width) - 20.0f, l.rowHeight - 2.0f,
                 l.left + chosenX + 10.0f, chosenRow - (l.rowHeight - 2.0f));

  auto centred = [&](const std::string& s, float centre, float y) {
    text.drawText(s.c_str(), true, centre - static_cast<float>(textWidth(text.font, s.c_str())) / 2.0f, y);
  };
  centred(title, 0.0f, l.titleY);
  for (int line = top_; line < last; ++line) {
    const ListRow& row = rows[static_cast<size_t>(line)];
    float x = 0.0f, y = 0.0f;
    place(line, &x, &y);
    text.drawText(row.name.c_str(), true, l.nameX + x, y);
    if (!row.value.empty()) {
      if (l.centredValues)
        centred(row.value, l.valueCentre + x, y);
      else
        text.drawText(row.value.c_str(), true, l.valueCentre + x, y);
    }
    if (!row.detail.empty()) text.drawText(row.detail.c_str(), true, l.nameX + x, y - l.detailDrop);
  }
  if (arrows && chosenShown) {
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
