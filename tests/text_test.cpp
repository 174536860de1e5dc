// Text placement in both directions, empty and unknown glyphs, and one real draw through the HUD program.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <sstream>
#include <string>

#include "CaptureStdout.h"
#include "GlTestContext.h"
#include "app/Globals.h"
#include "app/ShaderPrograms.h"
#include "hud/TextRenderer.h"

namespace {

BitmapFont digitsFont() {
  std::istringstream in(
      "common lineHeight=32 base=26 scaleW=256 scaleH=128 pages=1\n"
      "char id=48 x=10 y=20 width=14 height=22 xoffset=1 yoffset=5 xadvance=16 page=0\n"
      "char id=49 x=40 y=20 width=8 height=22 xoffset=3 yoffset=5 xadvance=10 page=0\n"
      "char id=233 x=60 y=0 width=12 height=30 xoffset=0 yoffset=-4 xadvance=13 page=0\n");
  BitmapFont font;
  EXPECT_TRUE(loadFont(in, font));
  return font;
}

}  // namespace

TEST(TextLayout, LeftToRightPlacesQuadsTexCoordsAndIndices) {
  BitmapFont font = digitsFont();
  TextLayout t = layoutText(font, "10", true, -450.0f, 320.0f);
  ASSERT_EQ(t.vertices.size(), 8u);
  ASSERT_EQ(t.texCoords.size(), 8u);
  ASSERT_EQ(t.indices.size(), 12u);
  // '1': left = x + 0 + 3, right = left + 8, top = y - 5, bottom = y - 27.
  EXPECT_EQ(t.vertices[0], glm::vec4(-447, 293, 0, 1));
  EXPECT_EQ(t.vertices[1], glm::vec4(-439, 293, 0, 1));
  EXPECT_EQ(t.vertices[2], glm::vec4(-439, 315, 0, 1));
  EXPECT_EQ(t.vertices[3], glm::vec4(-447, 315, 0, 1));
  // '0' after the pen moved by the advance of '1'.
  EXPECT_EQ(t.vertices[4], glm::vec4(-450 + 10 + 1, 293, 0, 1));
  EXPECT_EQ(t.vertices[6], glm::vec4(-450 + 10 + 1 + 14, 315, 0, 1));
  // The page's rows count from the top: v = 1 - y / scaleH.
  EXPECT_FLOAT_EQ(t.texCoords[0].x, 40.0f / 256);
  EXPECT_FLOAT_EQ(t.texCoords[0].y, 1.0f - 42.0f / 128);
  EXPECT_FLOAT_EQ(t.texCoords[2].x, 48.0f / 256);
  EXPECT_FLOAT_EQ(t.texCoords[2].y, 1.0f - 20.0f / 128);
  EXPECT_FLOAT_EQ(t.texCoords[4].x, 10.0f / 256);
  const unsigned int expected[12] = {1, 3, 0, 1, 2, 3, 5, 7, 4, 5, 6, 7};
  for (int k = 0; k < 12; ++k) EXPECT_EQ(t.indices[k], expected[k]) << k;
}

TEST(TextLayout, RightToLeftEndsAtThePen) {
  BitmapFont font = digitsFont();
  TextLayout t = layoutText(font, "1000", false, 400.0f, 350.0f);
  ASSERT_EQ(t.vertices.size(), 16u);
  // The last digit starts at x plus its offset; each earlier one a '0' advance further left, the '1'
  // included, since each character steps back by the advance of the one after it.
  EXPECT_FLOAT_EQ(t.vertices[12].x, 401.0f);
  EXPECT_FLOAT_EQ(t.vertices[8].x, 385.0f);
  EXPECT_FLOAT_EQ(t.vertices[4].x, 369.0f);
  EXPECT_FLOAT_EQ(t.vertices[0].x, 400.0f - 48.0f + 3.0f);
  // Indices still follow the character's position in the string, not the drawing order.
  EXPECT_EQ(t.indices[0], 1u);
  EXPECT_EQ(t.indices[18], 13u);
  EXPECT_EQ(t.indices[20], 12u);
}

TEST(TextLayout, UnknownGlyphsAreEmptyAndDoNotMoveThePen) {
  BitmapFont font = digitsFont();
  TextLayout t = layoutText(font, "1\n0", true, 0.0f, 0.0f);
  // The line end has no glyph: a degenerate quad at the pen, and '0' follows '1' directly.
  for (int c = 4; c < 8; ++c) EXPECT_EQ(t.vertices[c], glm::vec4(10, 0, 0, 1)) << c;
  EXPECT_FLOAT_EQ(t.vertices[8].x, 11.0f);

  // Characters above 127 index by their unsigned code; a negative offset rises above the line.
  TextLayout accent = layoutText(font, "\xE9", true, 0.0f, 0.0f);
  EXPECT_FLOAT_EQ(accent.vertices[3].y, 4.0f);
  EXPECT_FLOAT_EQ(accent.vertices[1].x, 12.0f);

  TextLayout empty = layoutText(font, "", false, 400.0f, 350.0f);
  EXPECT_TRUE(empty.vertices.empty());
  EXPECT_TRUE(empty.texCoords.empty());
  EXPECT_TRUE(empty.indices.empty());

  // Without a font every coordinate stays finite.
  TextLayout unread = layoutText(BitmapFont(), "A", true, 5.0f, 6.0f);
  EXPECT_EQ(unread.texCoords[2], glm::vec2(0.0f, 1.0f));
}

class TextDraw : public GlTest {};

TEST_F(TextDraw, GlyphsAppearWhereTheLayoutPutsThem) {
  {
    CaptureStdout quiet;
    buildShaderPrograms();
  }
  ASSERT_NE(hudProgram, 0u);
  // An 8 x 8 page: the upper half opaque red, the lower half transparent.
  unsigned char page[8 * 8 * 4];
  for (int row = 0; row < 8; ++row)
    for (int col = 0; col < 8; ++col) {
      unsigned char* p = page + 4 * (row * 8 + col);
      bool opaque = row >= 4;  // GL rows start at the bottom of the image
      p[0] = 255;
      p[1] = 0;
      p[2] = 0;
      p[3] = opaque ? 255 : 0;
    }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 8, 8, 0, GL_RGBA, GL_UNSIGNED_BYTE, page);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

  TextRenderer text;
  text.program = hudProgram;
  text.texture = texture;
  text.view = glm::ortho(-512.0f, 512.0f, -384.0f, 384.0f, -1.0f, 1.0f);
  std::istringstream in("common scaleW=8 scaleH=8\nchar id=88 x=0 y=0 width=8 height=8 xadvance=50\n");
  ASSERT_TRUE(loadFont(in, text.font));

  glViewport(0, 0, 1024, 768);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  text.drawText("XX", false, 100.0f, 200.0f);
  text.drawText("", true, 0.0f, 0.0f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  GLint current = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(static_cast<GLuint>(current), hudProgram);

  // Right to left from x = 100: the second X covers columns 612..620, the first one 50 pixels further
  // left, 562..570; rows 576..584 from the bottom, the page's red upper half in 580..584.
  std::string pixels = readPixelsRgba(0, 0, 1024, 768);
  auto red = [&](int col, int row) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&pixels[4 * (row * 1024 + col)]);
    return p[0] > 200 && p[1] < 50 && p[2] < 50;
  };
  EXPECT_TRUE(red(616, 582));
  EXPECT_TRUE(red(566, 582));
  EXPECT_TRUE(red(612, 583));
  EXPECT_FALSE(red(616, 577));  // transparent half discarded
  EXPECT_FALSE(red(590, 582));  // between the letters
  EXPECT_FALSE(red(625, 582));
  EXPECT_FALSE(red(616, 587));
  glDeleteTextures(1, &texture);
}
