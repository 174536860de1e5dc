// Reading BMFont text files into the glyph table: line ends, signed offsets, key order, repeats, bad values,
// whole-word tags and codes beyond the table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "CaptureStdout.h"
#include "hud/BitmapFont.h"
#include "hud/TextRenderer.h"

namespace {

const char* const kFont =
    "info face=\"Arial\" size=32 bold=0 italic=0 charset=\"\" unicode=0 stretchH=100 smooth=1 aa=1 "
    "padding=0,0,0,0 spacing=1,1\n"
    "common lineHeight=32 base=26 scaleW=256 scaleH=128 pages=1 packed=0\n"
    "page id=0 file=\"arial_0.tga\"\n"
    "chars count=3\n"
    "char id=48   x=10    y=20    width=14    height=22    xoffset=-2    yoffset=4     xadvance=16    page=0  "
    "chnl=15\n"
    "char id=65   x=30    y=40    width=20    height=24    xoffset=0     yoffset=-3    xadvance=21    page=0  "
    "chnl=15\n"
    "\n"
    "kernings count=0\n";

BitmapFont parse(const std::string& text) {
  BitmapFont font;
  std::istringstream in(text);
  EXPECT_TRUE(loadFont(in, font));
  return font;
}

bool sameFont(const BitmapFont& a, const BitmapFont& b) {
  return a.lineHeight == b.lineHeight && a.base == b.base && a.scaleW == b.scaleW && a.scaleH == b.scaleH &&
         a.pages == b.pages && std::memcmp(a.chars, b.chars, sizeof a.chars) == 0;
}

bool glyphIsZero(const Glyph& g) {
  return g.x == 0 && g.y == 0 && g.width == 0 && g.height == 0 && g.xoffset == 0 && g.yoffset == 0 &&
         g.xadvance == 0 && g.page == 0;
}

}  // namespace

TEST(Font, ReadsHeaderAndGlyphsWithSignedOffsets) {
  BitmapFont font = parse(kFont);
  EXPECT_EQ(font.lineHeight, 32);
  EXPECT_EQ(font.base, 26);
  EXPECT_EQ(font.scaleW, 256);
  EXPECT_EQ(font.scaleH, 128);
  EXPECT_EQ(font.pages, 1);
  const Glyph& zero = font.chars['0'];
  EXPECT_EQ(zero.x, 10);
  EXPECT_EQ(zero.y, 20);
  EXPECT_EQ(zero.width, 14);
  EXPECT_EQ(zero.height, 22);
  EXPECT_EQ(zero.xoffset, 65534);  // -2 kept as its 16-bit two's complement
  EXPECT_EQ(zero.yoffset, 4);
  EXPECT_EQ(zero.xadvance, 16);
  EXPECT_EQ(font.chars['A'].yoffset, 65533);
  // The "page id=0" and "chars count=3" lines must not touch glyph 0.
  EXPECT_TRUE(glyphIsZero(font.chars[0]));
  for (int c = 0; c < 256; ++c) {
    if (c == '0' || c == 'A') continue;
    EXPECT_TRUE(glyphIsZero(font.chars[c])) << "glyph " << c;
  }

  // Negative offsets are drawn negative: two pixels left of the pen, three above the line top.
  TextLayout zeroLayout = layoutText(font, "0", true, 100.0f, 50.0f);
  EXPECT_FLOAT_EQ(zeroLayout.vertices[0].x, 98.0f);
  TextLayout aLayout = layoutText(font, "A", true, 100.0f, 50.0f);
  EXPECT_FLOAT_EQ(aLayout.vertices[3].y, 53.0f);
}

TEST(Font, DosLineEndsParseLikeUnixOnes) {
  std::string dos;
  for (char c : std::string(kFont)) {
    if (c == '\n') dos += '\r';
    dos += c;
  }
  EXPECT_TRUE(sameFont(parse(dos), parse(kFont)));
  // A last line without any line end is read as well.
  BitmapFont font = parse("common scaleW=64\r\nchar id=66 x=7 xadvance=9");
  EXPECT_EQ(font.scaleW, 64);
  EXPECT_EQ(font.chars['B'].xadvance, 9);
}

TEST(Font, KeysBeforeIdLandInGlyphZero) {
  BitmapFont font = parse("char x=5 width=6 id=67 y=7\n");
  EXPECT_EQ(font.chars[0].x, 5);
  EXPECT_EQ(font.chars[0].width, 6);
  EXPECT_EQ(font.chars['C'].y, 7);
  EXPECT_EQ(font.chars['C'].x, 0);
}

TEST(Font, LaterLinesOverwriteOnlyTheFieldsTheyName) {
  BitmapFont font = parse(
      "common lineHeight=30 base=20\n"
      "char id=68 x=1 y=2 width=3 height=4 xadvance=5\n"
      "common base=21\n"
      "char id=68 width=30 xadvance=50\n");
  EXPECT_EQ(font.lineHeight, 30);
  EXPECT_EQ(font.base, 21);
  const Glyph& d = font.chars['D'];
  EXPECT_EQ(d.x, 1);
  EXPECT_EQ(d.y, 2);
  EXPECT_EQ(d.width, 30);
  EXPECT_EQ(d.height, 4);
  EXPECT_EQ(d.xadvance, 50);
}

TEST(Font, ValuesThatDoNotParseLeaveTheFieldAlone) {
  BitmapFont font = parse(
      "common scaleW=128 scaleH=64\n"
      "common scaleW=abc scaleH=70000 pages= lineHeight\n"
      "char id=69 x=3 y=4 width=5\n"
      "char id=69 x=- y=65536 width=-65535 xadvance=12px Xadvance=99 letter=\"E\"\n"
      "char id=zz height=8\n");
  EXPECT_EQ(font.scaleW, 128);
  EXPECT_EQ(font.scaleH, 64);
  EXPECT_EQ(font.pages, 0);
  EXPECT_EQ(font.lineHeight, 0);
  const Glyph& e = font.chars['E'];
  EXPECT_EQ(e.x, 3);
  EXPECT_EQ(e.y, 4);
  EXPECT_EQ(e.width, 1);      // -65535 modulo 65536
  EXPECT_EQ(e.xadvance, 12);  // digits first, then anything
  // An unreadable id keeps the line's code: the start value 0.
  EXPECT_EQ(font.chars[0].height, 8);
}

TEST(Font, FirstWordsAreComparedWhole) {
  BitmapFont font = parse(
      "chars id=70 x=9\n"
      "charx id=70 x=9\n"
      "Char id=70 x=9\n"
      "commonly scaleW=99\n"
      "  char id=71 x=11\n");
  EXPECT_TRUE(glyphIsZero(font.chars['F']));
  EXPECT_TRUE(glyphIsZero(font.chars[0]));
  EXPECT_EQ(font.scaleW, 0);
  EXPECT_EQ(font.chars['G'].x, 11);  // leading blanks are not part of the word
}

TEST(Font, CodesOutsideTheTableAreSkipped) {
  BitmapFont font = parse(
      "char id=65 x=1 width=2 xadvance=3\n"
      "char id=256 x=100 width=100 xadvance=100\n"
      "char id=321 x=100 width=100 xadvance=100\n"
      "char id=70000 x=100 width=100 xadvance=100\n"
      "char id=-1 x=100 width=100 xadvance=100\n"
      "char id=255 x=4\n");
  // Nothing of the skipped lines lands anywhere, glyph 0 and the glyph of the code modulo 256 included.
  BitmapFont expected;
  expected.chars['A'].x = 1;
  expected.chars['A'].width = 2;
  expected.chars['A'].xadvance = 3;
  expected.chars[255].x = 4;
  EXPECT_TRUE(sameFont(font, expected));
}

TEST(Font, MissingFileIsReportedAndTheTableStaysZero) {
  char dir[] = "/tmp/varrow-font-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir), 0);

  std::ifstream missing("no-such.fnt");
  BitmapFont untouched;
  EXPECT_FALSE(loadFont(missing, untouched));

  TextRenderer renderer;
  {
    CaptureStdout out;
    renderer.init(7, 9, glm::mat4(2.0f));
    EXPECT_EQ(out.text(), "Error reading font file.\n");
  }
  EXPECT_EQ(renderer.program, 7u);
  EXPECT_EQ(renderer.texture, 9u);
  EXPECT_EQ(renderer.view, glm::mat4(2.0f));
  EXPECT_TRUE(sameFont(renderer.font, BitmapFont()));

  std::ofstream("arial.fnt") << kFont;
  TextRenderer reading;
  {
    CaptureStdout out;
    reading.init(1, 2, glm::mat4(1.0f));
    EXPECT_EQ(out.text(), "");
  }
  EXPECT_TRUE(sameFont(reading.font, parse(kFont)));

  std::remove("arial.fnt");
  ASSERT_EQ(chdir(previous), 0);
  rmdir(dir);
}
