// TGA loading into textures: every accepted image type and orientation lands with the image's bottom row
// in texture row 0 and a full mipmap chain; anything else is refused without touching the texture.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "GlTestContext.h"
#include "platform/Platform.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes header(int type, int width, int height, int bits, bool topFirst, int idLength = 0) {
  Bytes h(18, 0);
  h[0] = static_cast<unsigned char>(idLength);
  h[2] = static_cast<unsigned char>(type);
  h[12] = width & 0xFF;
  h[13] = (width >> 8) & 0xFF;
  h[14] = height & 0xFF;
  h[15] = (height >> 8) & 0xFF;
  h[16] = static_cast<unsigned char>(bits);
  h[17] = static_cast<unsigned char>((topFirst ? 0x20 : 0) | (bits == 32 ? 8 : 0));
  for (int i = 0; i < idLength; ++i) h.push_back('x');
  return h;
}

// Texel (column, row) of a 3 x 2 test picture in RGBA; row 0 is the picture's bottom row.
unsigned char texel(int column, int row, int channel) {
  static const unsigned char colours[2][3][4] = {
      {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 0}},
      {{10, 20, 30, 40}, {200, 100, 50, 255}, {255, 255, 255, 7}}};
  return colours[row][column][channel];
}

unsigned char grey(int column, int row) { return static_cast<unsigned char>(17 + 60 * row + 31 * column); }

// Pixels in file order: bottom row first unless topFirst; truecolour is stored B, G, R(, A).
Bytes pixelStream(int bits, bool topFirst) {
  Bytes out;
  for (int i = 0; i < 2; ++i) {
    int row = topFirst ? 1 - i : i;
    for (int column = 0; column < 3; ++column) {
      if (bits == 8) {
        out.push_back(grey(column, row));
        continue;
      }
      out.push_back(texel(column, row, 2));
      out.push_back(texel(column, row, 1));
      out.push_back(texel(column, row, 0));
      if (bits == 32) out.push_back(texel(column, row, 3));
    }
  }
  return out;
}

// Run-length form of a stream: one repeat packet of the first pixel doubled, then the rest raw.
// The first packet crosses nothing; the raw packet crosses the row boundary, as the format allows.
Bytes runLength(const Bytes& stream, int bytesPerPixel, Bytes* decodedStream) {
  Bytes out;
  out.push_back(0x81);
  out.insert(out.end(), stream.begin(), stream.begin() + bytesPerPixel);
  int remaining = static_cast<int>(stream.size()) / bytesPerPixel - 2;
  out.push_back(static_cast<unsigned char>(remaining - 1));
  out.insert(out.end(), stream.begin() + 2 * bytesPerPixel, stream.end());
  // What the packets decode to: the first pixel twice, then pixels 2 onwards.
  *decodedStream = Bytes(stream.begin(), stream.begin() + bytesPerPixel);
  decodedStream->insert(decodedStream->end(), stream.begin(), stream.begin() + bytesPerPixel);
  decodedStream->insert(decodedStream->end(), stream.begin() + 2 * bytesPerPixel, stream.end());
  return out;
}

std::string tempPath(const std::string& name) {
  return "/tmp/varrow_tga_" + std::to_string(getpid()) + "_" + name;
}

std::string writeFile(const std::string& name, const Bytes& bytes) {
  std::string path = tempPath(name);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

class TgaTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
  }
  void TearDown() override {
    glDeleteTextures(1, &texture_);
    for (const std::string& path : written_) std::remove(path.c_str());
  }
  bool load(const std::string& name, const Bytes& bytes) {
    written_.push_back(writeFile(name, bytes));
    return platform::loadTexture2D(written_.back().c_str());
  }
  int level0Width() {
    GLint w = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    return w;
  }
  Bytes readBack(GLenum format, int components) {
    Bytes out(3 * 2 * components);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
    return out;
  }
  GLuint texture_ = 0;
  std::vector<std::string> written_;
};

TEST_F(TgaTest, EveryTypeAndOrientationPutsTheBottomRowInTextureRowZero) {
  for (int bits : {8, 24, 32}) {
    for (bool rle : {false, true}) {
      for (bool topFirst : {false, true}) {
        SCOPED_TRACE("bits " + std::to_string(bits) + (rle ? " rle" : " raw") + (topFirst ? " top" : " bottom"));
        int type = (bits == 8 ? 3 : 2) + (rle ? 8 : 0);
        Bytes stream = pixelStream(bits, topFirst);
        Bytes decoded = stream;
        Bytes payload = rle ? runLength(stream, bits / 8, &decoded) : stream;
        Bytes file = header(type, 3, 2, bits, topFirst, 3);
        file.insert(file.end(), payload.begin(), payload.end());
        ASSERT_TRUE(load("ok.tga", file));

        // Expected texels: the decoded stream read back into picture order.
        int bpp = bits / 8;
        auto expected = [&](int column, int row, int channel) -> unsigned char {
          int streamRow = topFirst ? 1 - row : row;
          const unsigned char* p = &decoded[(streamRow * 3 + column) * bpp];
          if (bits == 8) return p[0];
          if (channel == 3) return p[3];
          return p[2 - channel];
        };
        if (bits == 8) {
          GLint internal = 0;
          glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
          EXPECT_TRUE(internal == GL_LUMINANCE || internal == GL_LUMINANCE8) << internal;
          Bytes got = readBack(GL_LUMINANCE, 1);
          for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 3; ++column)
              EXPECT_EQ(got[row * 3 + column], expected(column, row, 0)) << column << "," << row;
        } else {
          Bytes got = readBack(GL_RGBA, 4);
          for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 3; ++column)
              for (int c = 0; c < 4; ++c) {
                unsigned char want = (c == 3 && bits == 24) ? 255 : expected(column, row, c);
                EXPECT_EQ(got[(row * 3 + column) * 4 + c], want) << column << "," << row << " channel " << c;
              }
        }
        // Unless RLE doubled the first pixel, texel (0,0) is the picture's bottom-left corner.
        if (!rle && bits != 8) {
          Bytes got = readBack(GL_RGBA, 4);
          EXPECT_EQ(got[0], 255);
          EXPECT_EQ(got[1], 0);
        }
      }
    }
  }
}

TEST_F(TgaTest, BuildsTheFullMipmapChain) {
  Bytes file = header(2, 8, 4, 24, false);
  for (int i = 0; i < 8 * 4; ++i) {
    file.push_back(0);
    file.push_back(0);
    file.push_back(i % 2 ? 255 : 0);
  }
  ASSERT_TRUE(load("mip.tga", file));
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_HEIGHT, &h);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 1);
  // The 1x1 level averages alternating black and red columns.
  unsigned char last[4] = {};
  glGetTexImage(GL_TEXTURE_2D, 3, GL_RGBA, GL_UNSIGNED_BYTE, last);
  EXPECT_NEAR(last[0], 128, 2);
  EXPECT_EQ(last[1], 0);
}

TEST_F(TgaTest, RefusesBrokenFilesAndLeavesTheTextureAlone) {
  Bytes good = header(2, 3, 2, 24, false);
  Bytes stream = pixelStream(24, false);
  good.insert(good.end(), stream.begin(), stream.end());
  Bytes decoded;
  Bytes goodRle = header(10, 3, 2, 32, false);
  Bytes rle = runLength(pixelStream(32, false), 4, &decoded);
  goodRle.insert(goodRle.end(), rle.begin(), rle.end());
  ASSERT_EQ(level0Width(), 0);

  struct Case {
    std::string name;
    Bytes bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"header only", header(2, 3, 2, 24, false)});
  cases.push_back({"short header", Bytes(good.begin(), good.begin() + 10)});
  cases.push_back({"one byte short", Bytes(good.begin(), good.end() - 1)});
  cases.push_back({"rle last packet cut", Bytes(goodRle.begin(), goodRle.end() - 1)});
  cases.push_back({"rle packets cut", Bytes(goodRle.begin(), goodRle.begin() + 18 + 5)});
  Bytes idTooLong = good;
  idTooLong.resize(18);
  idTooLong[0] = 200;
  cases.push_back({"id past the end", idTooLong});
  Bytes sixteen = header(2, 3, 2, 16, false);
  sixteen.resize(18 + 12, 0x55);
  cases.push_back({"16 bits", sixteen});
  Bytes greyTwentyFour = header(3, 3, 2, 24, false);
  greyTwentyFour.insert(greyTwentyFour.end(), stream.begin(), stream.end());
  cases.push_back({"greyscale of 24 bits", greyTwentyFour});
  Bytes mapped = header(1, 3, 2, 8, false);
  mapped[1] = 1;
  mapped[5] = 2;
  mapped[7] = 24;
  mapped.resize(18 + 6 + 6, 1);
  cases.push_back({"colour-mapped", mapped});
  Bytes zero = header(2, 0, 2, 24, false);
  cases.push_back({"zero width", zero});
  Bytes huge = header(2, 65535, 65535, 32, false);
  huge.resize(18 + 4096, 0xAB);
  cases.push_back({"oversized raw", huge});
  Bytes hugeRle = header(10, 65535, 65535, 32, false);
  for (int i = 0; i < 100; ++i) {
    hugeRle.push_back(0xFF);
    hugeRle.insert(hugeRle.end(), {1, 2, 3, 4});
  }
  cases.push_back({"oversized rle", hugeRle});
  // A PNG signature: stb_image would decode it happily, but it is no TGA.
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1};
  cases.push_back({"png", png});
  Bytes garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<unsigned char>((i * 2654435761u) >> 13));
  cases.push_back({"garbage", garbage});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(load("bad.tga", c.bytes));
    EXPECT_EQ(level0Width(), 0) << "texture was written";
  }
  EXPECT_FALSE(platform::loadTexture2D(tempPath("does_not_exist.tga").c_str()));
  EXPECT_FALSE(platform::loadTexture2D(nullptr));
  EXPECT_FALSE(platform::loadTexture2D("/tmp"));

  // The well-formed siblings of the broken cases load.
  EXPECT_TRUE(load("good.tga", good));
  EXPECT_TRUE(load("goodrle.tga", goodRle));
}

}  // namespace
