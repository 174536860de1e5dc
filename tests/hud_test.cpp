// The HUD: every picture at its corner and size at 1024 x 768, the SuperGlow button only while ready and
// running, the selected tower's icon and values, and the real game's HUD compared with its images.
#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <unistd.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <string>
#include <vector>

#include "CaptureStdout.h"
#include "GameProcess.h"
#include "GlTestContext.h"
#include "app/Globals.h"
#include "app/ShaderPrograms.h"
#include "game/Game.h"
#include "hud/Hud.h"
#include "platform/Platform.h"
#include "scene/Tower.h"

namespace {

// Pixel rectangle, columns from the left and rows from the bottom, last ones included.
struct Area {
  int left = 1 << 30, bottom = 1 << 30, right = -1, top = -1;
  bool empty() const { return right < 0; }
  bool operator==(const Area& o) const {
    return left == o.left && bottom == o.bottom && right == o.right && top == o.top;
  }
};

std::ostream& operator<<(std::ostream& os, const Area& a) {
  return os << "cols " << a.left << ".." << a.right << " rows " << a.bottom << ".." << a.top;
}

// Where a quad with lower-left corner (x, y) in HUD coordinates lands in a 1024 x 768 window.
Area quadArea(int x, int y, int w, int h) {
  Area a;
  a.left = x + 512;
  a.right = x + 512 + w - 1;
  a.bottom = y + 384;
  a.top = y + 384 + h - 1;
  return a;
}

unsigned char slotColour(int slot, int channel) {
  const int c[3] = {40 + 10 * slot, 200 - 5 * slot, (17 * slot) % 256};
  return static_cast<unsigned char>(c[channel]);
}

class HudDraw : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    if (hudProgram == 0) {
      CaptureStdout quiet;
      buildShaderPrograms();
    }
    ASSERT_NE(hudProgram, 0u);
    hudProjection = glm::ortho(-512.0f, 512.0f, -384.0f, 384.0f, -1.0f, 1.0f);
    // One opaque plain colour per slot, so each picture's pixels can be told apart exactly.
    glGenTextures(kTextureSlots, table_);
    for (int slot = 0; slot < kTextureSlots; ++slot) {
      unsigned char texels[4 * 4 * 4];
      for (int t = 0; t < 16; ++t) {
        for (int ch = 0; ch < 3; ++ch) texels[4 * t + ch] = slotColour(slot, ch);
        texels[4 * t + 3] = 255;
      }
      glBindTexture(GL_TEXTURE_2D, table_[slot]);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    }
    glGenTextures(1, &font_);
    glBindTexture(GL_TEXTURE_2D, font_);
    ASSERT_TRUE(platform::loadTexture2D("arial_0.tga"));
    {
      CaptureStdout quiet;
      game.textRenderer.init(hudProgram, font_, hudProjection);
    }
    game.hud.init(hudProgram, hudProjection);
    game.activeTextures = table_;
    game.gameState = Running;
    game.selectedTower = nullptr;
    game.superGlowReadyTime = 325.0;
    platform::useManualClock(true);
    platform::setTime(100.0);
  }
  void TearDown() override {
    platform::useManualClock(false);
    game.activeTextures = nullptr;
    game.selectedTower = nullptr;
    glDeleteTextures(kTextureSlots, table_);
    glDeleteTextures(1, &font_);
  }

  // Draws the HUD alone over black and reads the window back.
  void drawAndRead() {
    glViewport(0, 0, 1024, 768);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawHud();
    pixels_ = readPixelsRgba(0, 0, 1024, 768);
  }
  const unsigned char* pixel(int col, int row) const {
    return reinterpret_cast<const unsigned char*>(&pixels_[4 * (row * 1024 + col)]);
  }
  bool isSlot(int col, int row, int slot) const {
    const unsigned char* p = pixel(col, row);
    return p[0] == slotColour(slot, 0) && p[1] == slotColour(slot, 1) && p[2] == slotColour(slot, 2);
  }
  Area areaOf(int slot) const {
    Area a;
    for (int row = 0; row < 768; ++row)
      for (int col = 0; col < 1024; ++col)
        if (isSlot(col, row, slot)) {
          a.left = std::min(a.left, col);
          a.right = std::max(a.right, col);
          a.bottom = std::min(a.bottom, row);
          a.top = std::max(a.top, row);
        }
    return a;
  }
  // Pixels inside area that are neither black nor the colour of slot: text drawn over a picture.
  int otherPixels(const Area& a, int slot) const {
    int count = 0;
    for (int row = a.bottom; row <= a.top; ++row)
      for (int col = a.left; col <= a.right; ++col) {
        const unsigned char* p = pixel(col, row);
        if (!isSlot(col, row, slot) && (p[0] | p[1] | p[2])) ++count;
      }
    return count;
  }

  GLuint table_[kTextureSlots] = {};
  GLuint font_ = 0;
  std::string pixels_;
};

}  // namespace

TEST_F(HudDraw, ButtonsAtTheirCornersAndSizes) {
  drawAndRead();
  writePng("hud_buttons.png", 1024, 768, pixels_);
  EXPECT_EQ(areaOf(kSlotSelectionMode), quadArea(350, -320, 100, 100));
  EXPECT_EQ(areaOf(kSlotSelectionTool), quadArea(250, -320, 100, 100));
  EXPECT_EQ(areaOf(kSlotTowers), quadArea(-50, -320, 300, 100));
  // In the table's "rows from the top" terms: the Upgrade/Sell panel covers 862-962, 604-704.
  Area panel = areaOf(kSlotSelectionMode);
  EXPECT_EQ(panel.left, 862);
  EXPECT_EQ(767 - panel.top, 604);
  for (int slot : {kSlotSuperGlow, kSlotSelectedBackground, kSlotIconStandard, kSlotIconSniper, kSlotIconPower})
    EXPECT_TRUE(areaOf(slot).empty()) << slot;
  // The HUD draws with linear filtering and then hands back the pair of the last filter command.
  game.minFilter = GL_NEAREST_MIPMAP_LINEAR;
  game.magFilter = GL_NEAREST;
  drawHud();
  EXPECT_EQ(game.hud.minFilter, GL_NEAREST_MIPMAP_LINEAR);
  EXPECT_EQ(game.hud.magFilter, GL_NEAREST);
  GLint mag = 0;
  glBindTexture(GL_TEXTURE_2D, table_[kSlotTowers]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
  EXPECT_EQ(mag, GL_LINEAR);
  game.minFilter = game.magFilter = 0;
}

TEST_F(HudDraw, SuperGlowOnlyWhenReadyAndRunning) {
  const Area button = quadArea(-50, 220, 100, 100);
  platform::setTime(324.9);
  drawAndRead();
  EXPECT_TRUE(areaOf(kSlotSuperGlow).empty());
  platform::setTime(325.0);
  drawAndRead();
  EXPECT_TRUE(areaOf(kSlotSuperGlow).empty());
  platform::setTime(325.01);
  drawAndRead();
  EXPECT_EQ(areaOf(kSlotSuperGlow), button);
  EXPECT_EQ(767 - button.top, 64);
  EXPECT_EQ(button.left, 462);
  for (int state : {Paused, Lost, Won}) {
    game.gameState = state;
    drawAndRead();
    EXPECT_TRUE(areaOf(kSlotSuperGlow).empty()) << state;
  }
  // Once used, the attack is not ready again until its new time.
  game.gameState = Running;
  game.superGlowReadyTime = 325.01 + 325.0;
  drawAndRead();
  EXPECT_TRUE(areaOf(kSlotSuperGlow).empty());

  EXPECT_FALSE(superGlowButtonVisible(Running, 325.0, 325.0));
  EXPECT_TRUE(superGlowButtonVisible(Running, 325.5, 325.0));
  EXPECT_FALSE(superGlowButtonVisible(Paused, 400.0, 325.0));
}

TEST_F(HudDraw, SelectedTowerPanel) {
  game.resources = 1000;
  game.buildTower("tris", 11.0f, -11.0f, table_[4], table_[5], table_[10]);
  ASSERT_FALSE(game.towers.empty());
  Tower* tower = game.towers.back().get();
  EXPECT_EQ(towerPanelTexts(tower->power, tower->distance, tower->fireInterval, tower->level),
            (std::vector<std::string>{"25", "5", "2.5", "200"}));
  EXPECT_EQ(towerPanelTexts(50, 6, 2.5, 2), (std::vector<std::string>{"50", "6", "2.5", "400"}));
  EXPECT_EQ(towerPanelTexts(1.0 / 3, 1e7, 0.5, 0), (std::vector<std::string>{"0.333333", "1e+07", "0.5", "100"}));

  game.selectedTower = tower;
  drawAndRead();
  writePng("hud_selected.png", 1024, 768, pixels_);
  EXPECT_EQ(areaOf(kSlotIconStandard), quadArea(-460, -320, 63, 77));
  const Area background = quadArea(-397, -320, 344, 77);
  // Text drawn over the background can only shrink what is visible of it, never move its corners out.
  Area seen = areaOf(kSlotSelectedBackground);
  EXPECT_EQ(seen, background);
  // Each value is drawn from its column on the pen line y = -265.
  const float columns[4] = {-370.0f, -265.0f, -195.0f, -125.0f};
  const char* values[4] = {"25", "5", "2.5", "200"};
  for (int i = 0; i < 4; ++i) {
    TextLayout layout = layoutText(game.textRenderer.font, values[i], true, columns[i], -265.0f);
    Area glyphs;
    for (const glm::vec4& v : layout.vertices) {
      glyphs.left = std::min(glyphs.left, static_cast<int>(std::floor(v.x)) + 512);
      glyphs.right = std::max(glyphs.right, static_cast<int>(std::ceil(v.x)) + 511);
      glyphs.bottom = std::min(glyphs.bottom, static_cast<int>(std::floor(v.y)) + 384);
      glyphs.top = std::max(glyphs.top, static_cast<int>(std::ceil(v.y)) + 383);
    }
    ASSERT_FALSE(glyphs.empty());
    EXPECT_GT(otherPixels(glyphs, kSlotSelectedBackground), 10) << values[i] << " " << glyphs;
  }
  // Nothing is written between the columns, where no value reaches.
  EXPECT_EQ(otherPixels(quadArea(-385, -300, 10, 30), kSlotSelectedBackground), 0);

  tower->kind = "tris_gr";
  drawAndRead();
  EXPECT_EQ(areaOf(kSlotIconSniper), quadArea(-460, -320, 63, 77));
  EXPECT_TRUE(areaOf(kSlotIconStandard).empty());
  tower->kind = "tris_bl";
  drawAndRead();
  EXPECT_EQ(areaOf(kSlotIconPower), quadArea(-460, -320, 63, 77));
  tower->kind = "tris";
}

// The game texts drawn by the scene drawing: money and "$$" right-aligned at the top right, the end of the
// match in the middle, the last command's message at the top left until its expiry; nothing else.
TEST_F(HudDraw, GameTextsAtTheirPlaces) {
  game.towers.clear();
  game.program = simpleProgram;
  const glm::mat4 projection = glm::perspective(glm::radians(45.0f), 1024.0f / 768.0f, 0.1f, 150.0f);
  const glm::mat4 view = glm::lookAt(glm::vec3(39, 40, 20), glm::vec3(39, 0, -39), glm::vec3(0, 1, 0));

  struct Text {
    const char* text;
    bool leftToRight;
    float x, y;
  };
  auto areaOfText = [](const Text& t) {
    TextLayout layout = layoutText(game.textRenderer.font, t.text, t.leftToRight, t.x, t.y);
    Area a;
    for (const glm::vec4& v : layout.vertices) {
      a.left = std::min(a.left, static_cast<int>(std::floor(v.x)) + 512);
      a.right = std::max(a.right, static_cast<int>(std::ceil(v.x)) + 511);
      a.bottom = std::min(a.bottom, static_cast<int>(std::floor(v.y)) + 384);
      a.top = std::max(a.top, static_cast<int>(std::ceil(v.y)) + 383);
    }
    return a;
  };
  // Draws the scene and checks that text pixels lie only in the expected texts' areas (above the HUD's
  // rows) and that every expected text shows.
  auto expectTexts = [&](const std::vector<Text>& texts) {
    glViewport(0, 0, 1024, 768);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    game.draw(projection, view);
    pixels_ = readPixelsRgba(0, 0, 1024, 768);
    std::vector<Area> areas;
    for (const Text& t : texts) areas.push_back(areaOfText(t));
    std::vector<int> inside(texts.size(), 0);
    int outside = 0;
    for (int row = 200; row < 768; ++row)
      for (int col = 0; col < 1024; ++col) {
        const unsigned char* p = pixel(col, row);
        if (p[0] < 160 || p[1] < 160 || p[2] < 160) continue;
        bool placed = false;
        for (size_t i = 0; i < areas.size(); ++i)
          if (col >= areas[i].left && col <= areas[i].right && row >= areas[i].bottom && row <= areas[i].top) {
            ++inside[i];
            placed = true;
          }
        if (!placed) ++outside;
      }
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_GT(inside[i], 10) << texts[i].text << " " << areas[i];
    EXPECT_EQ(outside, 0);
  };

  game.resources = 1000;
  expectTexts({{"1000", false, 400, 350}, {"$$", false, 450, 350}});
  writePng("game_texts.png", 1024, 768, pixels_);
  // The money ends where "$$" begins its own column: right-aligned at x = 400.
  Area money = areaOfText({"1000", false, 400, 350});
  EXPECT_GE(money.right, 912);
  EXPECT_LT(money.right, 912 + 30);
  game.resources = 0;
  expectTexts({{"0", false, 400, 350}, {"$$", false, 450, 350}});

  game.gameState = Lost;
  expectTexts({{"0", false, 400, 350}, {"$$", false, 450, 350}, {"GAME OVER!", true, -30, 0}});
  game.gameState = Won;
  expectTexts({{"0", false, 400, 350}, {"$$", false, 450, 350}, {"YOU WON!", true, -30, 0}});
  game.gameState = Running;

  platform::setTime(200.0);
  game.screenMessage = {"Wireframe mode ON", 203.0};
  expectTexts({{"0", false, 400, 350}, {"$$", false, 450, 350}, {"Wireframe mode ON", true, -450, 350}});
  platform::setTime(202.99);
  expectTexts({{"0", false, 400, 350}, {"$$", false, 450, 350}, {"Wireframe mode ON", true, -450, 350}});
  platform::setTime(203.0);
  expectTexts({{"0", false, 400, 350}, {"$$", false, 450, 350}});
  game.screenMessage = {" ", 0.0};
  game.resources = 1000;
}

namespace {

// Mean brightness of an 8 x 8 grid over a picture, transparent texels counting as black as the HUD
// shader discards them.
std::vector<double> gridOfImage(const char* path) {
  int w = 0, h = 0, n = 0;
  unsigned char* data = stbi_load(path, &w, &h, &n, 4);
  std::vector<double> grid(64, 0.0);
  if (!data) return grid;
  std::vector<int> counts(64, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = data + 4 * (y * w + x);
      int cell = (y * 8 / h) * 8 + x * 8 / w;
      grid[cell] += p[3] >= 128 ? (p[0] + p[1] + p[2]) / 3.0 : 0.0;
      ++counts[cell];
    }
  for (int c = 0; c < 64; ++c) grid[c] /= counts[c];
  stbi_image_free(data);
  return grid;
}

// The same grid over a screen rectangle given in window pixels, rows from the top.
std::vector<double> gridOfScreen(const unsigned char* shot, int shotWidth, int left, int top, int w, int h) {
  std::vector<double> grid(64, 0.0);
  std::vector<int> counts(64, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = shot + 4 * ((top + y) * shotWidth + left + x);
      int cell = (y * 8 / h) * 8 + x * 8 / w;
      grid[cell] += (p[0] + p[1] + p[2]) / 3.0;
      ++counts[cell];
    }
  for (int c = 0; c < 64; ++c) grid[c] /= counts[c];
  return grid;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
  double ma = 0, mb = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    ma += a[i];
    mb += b[i];
  }
  ma /= a.size();
  mb /= b.size();
  double sab = 0, saa = 0, sbb = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    sab += (a[i] - ma) * (b[i] - mb);
    saa += (a[i] - ma) * (a[i] - ma);
    sbb += (b[i] - mb) * (b[i] - mb);
  }
  return saa > 0 && sbb > 0 ? sab / std::sqrt(saa * sbb) : 0.0;
}

}  // namespace

// The real game at 1024 x 768: each button picture shows in its pixel area of the window.
TEST(HudInTheGame, ButtonPicturesInTheirAreas) {
  GameProcess game;
  ASSERT_TRUE(game.start());
  ASSERT_TRUE(game.waitForWindow(30.0)) << game.output() << game.errors();
  platform::useManualClock(false);
  struct Button {
    const char* image;
    int left, top, w, h;  // window pixels, rows from the top
  };
  const Button buttons[] = {{"SelectionMode.tga", 862, 604, 100, 100},
                            {"SelectionTool.tga", 762, 604, 100, 100},
                            {"Towers.tga", 462, 604, 300, 100}};
  const std::string shotPath = std::string(VARROW_BINARY_DIR) + "/hud_game.png";
  std::vector<double> correlations, shifted;
  for (int attempt = 0; attempt < 10; ++attempt) {
    usleep(500000);
    ASSERT_TRUE(game.screenshot(shotPath));
    int w = 0, h = 0, n = 0;
    unsigned char* shot = stbi_load(shotPath.c_str(), &w, &h, &n, 4);
    ASSERT_NE(shot, nullptr);
    ASSERT_GE(w, 1024);
    ASSERT_GE(h, 768);
    correlations.clear();
    shifted.clear();
    for (const Button& b : buttons) {
      std::vector<double> image = gridOfImage(b.image);
      correlations.push_back(correlation(image, gridOfScreen(shot, w, b.left, b.top, b.w, b.h)));
      shifted.push_back(correlation(image, gridOfScreen(shot, w, b.left - 40, b.top - 40, b.w, b.h)));
    }
    // Before 325 s the SuperGlow button's area shows the far edge of the board, not the button.
    double superGlow = correlation(gridOfImage("SuperGlow.tga"), gridOfScreen(shot, w, 462, 64, 100, 100));
    stbi_image_free(shot);
    EXPECT_LT(superGlow, 0.5);
    if (correlations[0] > 0.9 && correlations[1] > 0.9 && correlations[2] > 0.9) break;
  }
  for (size_t i = 0; i < correlations.size(); ++i) {
    std::cout << buttons[i].image << ": correlation " << correlations[i] << ", 40 pixels off " << shifted[i]
              << std::endl;
    EXPECT_GT(correlations[i], 0.9) << buttons[i].image;
    EXPECT_LT(shifted[i], correlations[i] - 0.2) << buttons[i].image;
  }
  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0);
}
