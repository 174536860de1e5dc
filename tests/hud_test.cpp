// The HUD and the game texts read back from the real HUD program (each picture at its pixels, SuperGlow only
// when ready, the selected tower's panel, money, end of match and messages), text layout, and font files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <sstream>

#include <glm/gtc/matrix_transform.hpp>

#include "CaptureStdout.h"
#include "WorldTest.h"
#include "app/Application.h"
#include "hud/Hud.h"
#include "render/ShaderPrograms.h"
#include "hud/Overlay.h"
#include "input/Keyboard.h"
#include "hud/TextRenderer.h"
#include "render/Light.h"
#include "platform/Platform.h"
#include "scene/TextureSlot.h"
#include "scene/MatchClock.h"
#include "scene/Tower.h"

namespace {

// Window pixels {left, bottom, right, top}, rows from the bottom, last ones included.
using Area = std::array<int, 4>;
constexpr Area kNone{INT_MAX, INT_MAX, -1, -1};

Area grow(const Area& a, int col, int row) {
  return {std::min(a[0], col), std::min(a[1], row), std::max(a[2], col), std::max(a[3], row)};
}

// Where a quad with lower-left corner (x, y) in HUD coordinates lands in the 1024 x 768 window.
Area quad(int x, int y, int w, int h) { return {x + 512, y + 384, x + 511 + w, y + 383 + h}; }

Area textArea(const char* text, bool leftToRight, float x, float y) {
  Area a = kNone;
  for (const glm::vec4& v : layoutText(game.textRenderer.font, text, leftToRight, x, y).vertices)
    a = grow(grow(a, int(std::floor(v.x)) + 512, int(std::floor(v.y)) + 384), int(std::ceil(v.x)) + 511,
             int(std::ceil(v.y)) + 383);
  return a;
}

// One opaque plain colour per texture slot, as RGBA bytes read into a little-endian word.
uint32_t slotColour(int slot) { return 0xff000000u | (17 * slot % 256) << 16 | (200 - 5 * slot) << 8 | (40 + 10 * slot); }

// The fresh world with one opaque plain colour per texture slot, so each picture's pixels are known exactly.
class HudPixels : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    glGenTextures(kTextureSlots, table_);
    for (int slot = 0; slot < kTextureSlots; ++slot) {
      const std::vector<uint32_t> texels(16, slotColour(slot));
      glBindTexture(GL_TEXTURE_2D, table_[slot]);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    }
    g.activeTextures = table_;
    glClearDepth(0.0);
  }
  void TearDown() override {
    g.activeTextures = nullptr;
    glClearDepth(1.0);
    glDeleteTextures(kTextureSlots, table_);
    WorldTest::TearDown();
  }
  // Draws the HUD alone, or the whole scene, over black and reads the window back. The depth buffer is cleared
  // to the nearest depth, so only what is drawn without the depth test shows.
  void draw(bool scene = false) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    if (scene)
      g.draw(DrawPass{shaders.simpleProgram, true, false, &light.lightPosition}, glm::perspective(glm::radians(45.0f), 1024.0f / 768.0f, 0.1f, 150.0f),
             glm::lookAt(glm::vec3(39, 40, 20), glm::vec3(39, 0, -39), glm::vec3(0, 1, 0)));
    else
      drawHud();
    const std::string rgba = readPixelsRgba(0, 0, 1024, 768);
    std::memcpy(pixels_.data(), rgba.data(), 4 * pixels_.size());
  }
  // The colour of a window pixel without its alpha.
  uint32_t rgb(int col, int row) const { return pixels_[row * 1024 + col] & 0xffffffu; }
  bool isSlot(int col, int row, int slot) const { return rgb(col, row) == (slotColour(slot) & 0xffffffu); }
  Area areaOf(int slot) const {
    Area a = kNone;
    for (int row = 0; row < 768; ++row)
      for (int col = 0; col < 1024; ++col)
        if (isSlot(col, row, slot)) a = grow(a, col, row);
    return a;
  }
  // Pixels inside a that are neither black nor the colour of slot: text drawn over a picture.
  int textPixels(const Area& a, int slot) const {
    int count = 0;
    for (int row = a[1]; row <= a[3]; ++row)
      for (int col = a[0]; col <= a[2]; ++col)
        count += !isSlot(col, row, slot) && rgb(col, row);
    return count;
  }

  GLuint table_[kTextureSlots] = {};
  std::vector<uint32_t> pixels_ = std::vector<uint32_t>(1024 * 768);
};

}  // namespace

TEST_F(HudPixels, ButtonsSuperGlowOnlyWhenReadyAndTheSelectedTowerPanel) {
  g.minFilter = GL_NEAREST_MIPMAP_LINEAR, g.magFilter = GL_NEAREST;
  draw();
  EXPECT_EQ(areaOf(SlotSelectionMode), quad(350, -320, 100, 100));
  EXPECT_EQ(areaOf(SlotSelectionTool), quad(250, -320, 100, 100));
  EXPECT_EQ(areaOf(SlotTowers), quad(-50, -320, 300, 100));
  for (int slot : {SlotSuperGlow, SlotSelected, SlotSelStandard, SlotSelSniper, SlotSelPower})
    EXPECT_EQ(areaOf(slot), kNone) << slot;
  // Pictures are drawn with linear filtering; the HUD then takes back the pair of the last filter command.
  GLint mag = 0;
  glBindTexture(GL_TEXTURE_2D, table_[SlotTowers]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
  EXPECT_EQ(std::make_tuple(g.hud.minFilter, g.hud.magFilter, mag),
            std::make_tuple(GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST, GL_LINEAR));

  // SuperGlow strictly after its ready time, only while running: {now, ready time, state, shown}.
  const std::tuple<double, double, int, bool> glows[] = {
      {325.0, 325.0, Running, false}, {325.01, 325.0, Running, true}, {400.0, 325.0, Paused, false},
      {400.0, 325.0, Lost, false},    {400.0, 325.0, Won, false},     {400.0, 650.01, Running, false}};
  for (const auto& [now, readyTime, state, shown] : glows) {
    matchClock.jumpTo(now);
    g.superGlowReadyTime = readyTime;
    g.gameState = state;
    draw();
    EXPECT_EQ(areaOf(SlotSuperGlow), shown ? quad(-50, 220, 100, 100) : kNone) << now << " " << state;
  }
  g.gameState = Running;

  // A new standard tower selected: its icon, the background, and power, reach, interval and upgrade price.
  Tower* tower = addTower("tris", 11.0f, -11.0f);
  using Texts = std::vector<std::string>;
  EXPECT_EQ(towerPanelTexts(tower->power, tower->distance, tower->fireInterval, tower->level),
            (Texts{"25", "5", "2.5", "200"}));
  EXPECT_EQ(towerPanelTexts(1.0 / 3, 1e7, 0.5, 2), (Texts{"0.333333", "1e+07", "0.5", "400"}));
  g.selectedTower = tower;
  const std::pair<const char*, int> icons[] = {{"tris", SlotSelStandard}, {"tris_gr", SlotSelSniper},
                                               {"tris_bl", SlotSelPower}};
  for (auto [kind, slot] : icons) {
    tower->kind = kind;
    draw();
    EXPECT_EQ(areaOf(slot), quad(-460, -320, 63, 77)) << kind;
  }
  // Text drawn over the background hides some of it but cannot move its corners.
  EXPECT_EQ(areaOf(SlotSelected), quad(-397, -320, 344, 77));
  const std::pair<const char*, float> values[] = {{"25", -370}, {"5", -265}, {"2.5", -195}, {"200", -125}};
  for (auto [text, x] : values)
    EXPECT_GT(textPixels(textArea(text, true, x, -265.0f), SlotSelected), 10) << text;
  EXPECT_EQ(textPixels(quad(-385, -300, 10, 30), SlotSelected), 0) << "text between the columns";
}

// The scene's texts: money and "$$" right-aligned at the top right, the end of the match in the middle, the
// last command's message at the top left until its expiry, nothing else; the HUD on top of them.
TEST_F(HudPixels, GameTextsAtTheirPlaces) {
  clearWorld(g);
  using Text = std::tuple<const char*, bool, float, float>;
  const Text zero{"0", false, 400, 350}, dollars{"$$", false, 450, 350}, message{"Wireframe mode ON", true, -450, 350};
  // White pixels above the HUD's rows lie only in the texts' areas, and every text shows.
  auto expectTexts = [&](const std::vector<Text>& texts) {
    draw(true);
    std::vector<int> inside(texts.size(), 0);
    int outside = 0;
    for (int row = 200; row < 768; ++row)
      for (int col = 0; col < 1024; ++col) {
        const uint32_t p = rgb(col, row);
        if ((p & 0xff) < 160 || (p >> 8 & 0xff) < 160 || (p >> 16) < 160) continue;
        bool placed = false;
        for (size_t i = 0; i < texts.size(); ++i) {
          Area a = std::apply(textArea, texts[i]);
          if (col >= a[0] && col <= a[2] && row >= a[1] && row <= a[3]) placed = ++inside[i];
        }
        outside += !placed;
      }
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_GT(inside[i], 10) << std::get<0>(texts[i]);
    EXPECT_EQ(outside, 0);
  };
  expectTexts({{"1000", false, 400, 350}, dollars});
  EXPECT_EQ(areaOf(SlotTowers), quad(-50, -320, 300, 100));
  g.resources = 0, g.gameState = Lost;
  expectTexts({zero, dollars, {"GAME OVER!", true, -30, 0}});
  g.gameState = Won;
  expectTexts({zero, dollars, {"YOU WON!", true, -30, 0}});
  g.gameState = Running, g.screenMessage = {"Wireframe mode ON", 203.0};
  platform::setTime(202.99);
  expectTexts({zero, dollars, message});
  platform::setTime(203.0);
  expectTexts({zero, dollars});
}

TEST(WaveLine, NamesTheLastWaveStartedCountsWholeSecondsUpAndEndsWhenEveryWaveIsSent) {
  const std::vector<double> level{3, 60, 125, 200, 270, 340};
  const std::pair<double, const char*> lines[] = {
      {0.0, "Wave 1/6 \xC2\xB7 next in 3 s"},  {2.001, "Wave 1/6 \xC2\xB7 next in 1 s"},
      {3.0, "Wave 1/6 \xC2\xB7 next in 57 s"}, {111.0, "Wave 2/6 \xC2\xB7 next in 14 s"},
      {111.5, "Wave 2/6 \xC2\xB7 next in 14 s"}, {339.99, "Wave 5/6 \xC2\xB7 next in 1 s"},
      {340.0, "Last wave"}, {9999.0, "Last wave"}};
  for (auto [now, line] : lines) EXPECT_EQ(waveLineText(level, now, false), line) << now;
  EXPECT_EQ(waveLineText(level, 360.0, true), "");
  EXPECT_EQ(waveLineText({}, 0.0, false), "");
}

TEST_F(WorldTest, TheGamesWaveLineKeepsTheMatchClockAtFourTimesTheSpeedAndInAPause) {
  auto frames = [](int count) {
    for (int i = 0; i < count; ++i) platform::advanceTime(0.25), updateFrame();
  };
  CaptureStdout quiet;
  frames(121);  // 30.25 s at normal speed
  EXPECT_EQ(currentWaveLine(), "Wave 1/6 \xC2\xB7 next in 30 s");
  onKey('F', platform::PRESS), onKey('F', platform::PRESS);
  frames(6);  // 1.5 s at 4x: 36.25 s of the match
  EXPECT_EQ(currentWaveLine(), "Wave 1/6 \xC2\xB7 next in 24 s");
  onKey('P', platform::PRESS);
  frames(40);
  EXPECT_EQ(currentWaveLine(), "Wave 1/6 \xC2\xB7 next in 24 s") << "ten seconds into the pause";
  onKey('P', platform::PRESS);
  frames(1);
  EXPECT_EQ(currentWaveLine(), "Wave 1/6 \xC2\xB7 next in 23 s");
  for (int state : {Lost, Won}) {
    g.gameState = state;
    EXPECT_EQ(currentWaveLine(), "") << "the match is over";
  }
}

namespace {

// Reads text into a font followed by a guard, which nothing may reach.
BitmapFont parse(const std::string& text) {
  struct { BitmapFont font; Glyph guard[64] = {}; } read;
  std::istringstream in(text);
  EXPECT_TRUE(loadFont(in, read.font));
  EXPECT_TRUE(std::all_of(read.guard, read.guard + 64, [](const Glyph& g) { return g.x == 0 && g.width == 0; }));
  return read.font;
}

bool operator==(const BitmapFont& a, const BitmapFont& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(Text, LayoutInBothDirectionsWithEmptyAndSignedGlyphs) {
  const BitmapFont font = parse(
      "common lineHeight=32 base=26 scaleW=256 scaleH=128 pages=1\n"
      "char id=48 x=10 y=20 width=14 height=22 xoffset=-2 yoffset=5 xadvance=16 page=0\n"
      "char id=49 x=40 y=20 width=8 height=22 xoffset=3 yoffset=5 xadvance=10 page=0\n"
      "char id=233 x=60 y=0 width=12 height=30 xoffset=0 yoffset=-4 xadvance=13 page=0\n");
  const TextLayout t = layoutText(font, "1\n0", true, -450.0f, 320.0f);
  // '1' at x + 3, hanging 5 below the line top; the page's rows count from the top.
  using V4 = std::vector<glm::vec4>;
  EXPECT_EQ(V4(t.vertices.begin(), t.vertices.begin() + 4), (V4{{-447, 293, 0, 1}, {-439, 293, 0, 1},
                                                                {-439, 315, 0, 1}, {-447, 315, 0, 1}}));
  EXPECT_EQ(std::vector<glm::vec2>(t.texCoords.begin(), t.texCoords.begin() + 4),
            (std::vector<glm::vec2>{{40.f / 256, 1 - 42.f / 128}, {48.f / 256, 1 - 42.f / 128},
                                    {48.f / 256, 1 - 20.f / 128}, {40.f / 256, 1 - 20.f / 128}}));
  // The line end has no glyph: an empty quad at the pen, and '0' (offset -2) follows '1' directly.
  for (int c = 4; c < 8; ++c) EXPECT_EQ(t.vertices[c], glm::vec4(-440, 320, 0, 1)) << c;
  EXPECT_EQ(V4(t.vertices.begin() + 8, t.vertices.end()),
            (V4{{-442, 293, 0, 1}, {-428, 293, 0, 1}, {-428, 315, 0, 1}, {-442, 315, 0, 1}}));
  EXPECT_EQ(t.indices, (std::vector<unsigned>{1, 3, 0, 1, 2, 3, 5, 7, 4, 5, 6, 7, 9, 11, 8, 9, 10, 11}));
  // Right to left the last digit starts at x; each earlier one steps back by the advance of the one after it.
  const TextLayout r = layoutText(font, "1000", false, 400.0f, 350.0f);
  EXPECT_EQ((std::vector<float>{r.vertices[0].x, r.vertices[4].x, r.vertices[8].x, r.vertices[12].x}),
            (std::vector<float>{355, 366, 382, 398}));
  // Codes above 127 index by their unsigned value; a negative offset rises above the line.
  EXPECT_EQ(layoutText(font, "\xE9", true, 0.0f, 0.0f).vertices[2], glm::vec4(12, 4, 0, 1));
  // UTF-8 for U+0080 ... U+00FF is one code; any other byte, a lead byte without its follower too, is its own.
  EXPECT_EQ(glyphCodes("a\xC2\xB7\xC3\xA9\xC2x\xE9\xC3"), (std::vector<unsigned>{97, 183, 233, 194, 120, 233, 195}));
}

TEST(Text, FontFilesFillOnlyTheGlyphsAndFieldsTheyNameValidly) {
  // What a hostile file must leave, everything else zero: later lines overwrite only the fields they name, keys
  // before the id land in glyph 0 (as do those after an unreadable id), first words are compared whole, values
  // that are not 16-bit numbers are skipped (trailing characters such as a DOS line end's end the number), and
  // nothing of a line for a code outside the 256-glyph table lands anywhere.
  const std::string hostile =
      "common lineHeight=30 base=20\nchar id=68 x=1 y=2 width=3 height=4 xadvance=5\ncommon base=21\n"
      "char x=5 width=6 id=68 xadvance=50\ncommon scaleW=128 scaleH=64 pages=2\n"
      "common scaleW=abc scaleH=70000 pages= lineHeight\nchar id=69 x=3 y=4 width=5\n"
      "char id=69 x=- y=65536 width=-65535 xadvance=12px Xadvance=99\nchar id=zz height=8\n"
      "chars id=70 x=9\ncharx id=70 x=9\nChar id=70 x=9\ncommonly scaleW=99\n  char id=71 x=11\r\n"
      "page id=0 file=\"f_0.tga\"\nchar id=65 x=1 width=2 xadvance=3 page=3\nchar id=256 x=100 width=100 xadvance=1\n"
      "char id=321 x=100 width=100\nchar id=70000 x=100 width=100\nchar id=-1 x=100 width=100\nchar id=255 x=4";
  BitmapFont left;
  left.lineHeight = 30, left.base = 21, left.scaleW = 128, left.scaleH = 64, left.pages = 2;
  left.chars[0] = {5, 0, 6, 8, 0, 0, 0, 0}, left.chars[int{'D'}] = {1, 2, 3, 4, 0, 0, 50, 0};
  left.chars[int{'E'}] = {3, 4, 1, 0, 0, 0, 12, 0}, left.chars[int{'G'}].x = 11, left.chars[255].x = 4;
  left.chars[int{'A'}] = {1, 0, 2, 0, 0, 0, 3, 3};
  EXPECT_TRUE(parse(hostile) == left);
}
