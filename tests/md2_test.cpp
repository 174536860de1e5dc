// MD2 model: reading small hand-made files, rejecting damaged and hostile ones, the animation step,
// frame blending, and drawing (an empty model draws nothing).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "GlTestContext.h"
#include "scene/Md2Model.h"

namespace {

// Builds an MD2 file: header, one skin, texcoords, triangles, frames, then the GL command list.
struct Md2File {
  int frames = 2;
  int vertices = 3;
  std::vector<int32_t> commands;
  int normalIndex = 5;
  // When set, the x, y, z bytes of every frame's vertices; otherwise vertex v of frame f is (10v + f, v, 4).
  std::vector<std::vector<unsigned char>> vertexBytes;
  // Header fields to overwrite after layout, by header slot (0 magic ... 16 end).
  std::vector<std::pair<int, int32_t>> overrides;

  Md2File() {
    // One fan over the three vertices, then the end marker.
    commands = {-3};
    const float st[3][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
    for (int v = 0; v < 3; ++v) {
      commands.push_back(floatBits(st[v][0]));
      commands.push_back(floatBits(st[v][1]));
      commands.push_back(v);
    }
    commands.push_back(0);
  }

  static int32_t floatBits(float f) {
    int32_t i;
    std::memcpy(&i, &f, 4);
    return i;
  }

  std::vector<unsigned char> bytes() const {
    std::vector<unsigned char> out;
    auto putInt = [&out](int32_t v) {
      unsigned char b[4];
      std::memcpy(b, &v, 4);
      out.insert(out.end(), b, b + 4);
    };
    auto putFloat = [&](float f) { putInt(floatBits(f)); };
    const int frameSize = 40 + 4 * vertices;
    const int ofsSkins = 68, ofsSt = ofsSkins + 64, ofsTris = ofsSt + 4 * 3, ofsFrames = ofsTris + 12;
    const int ofsGl = ofsFrames + frames * frameSize;
    const int ofsEnd = ofsGl + 4 * static_cast<int>(commands.size());
    int32_t header[17] = {0x32504449, 8, 64, 64, frameSize, 1, vertices, 3, 1, static_cast<int32_t>(commands.size()),
                          frames, ofsSkins, ofsSt, ofsTris, ofsFrames, ofsGl, ofsEnd};
    for (auto& o : overrides) header[o.first] = o.second;
    for (int32_t h : header) putInt(h);
    out.resize(out.size() + 64, 0);  // skin name
    for (int i = 0; i < 3; ++i) putInt(0);  // texcoords
    for (int i = 0; i < 3; ++i) putInt(0);  // one triangle
    for (int f = 0; f < frames; ++f) {
      // Frame f: scale (1, 2, 0.5), translate (f, 0, -1).
      putFloat(1.0f);
      putFloat(2.0f);
      putFloat(0.5f);
      putFloat(static_cast<float>(f));
      putFloat(0.0f);
      putFloat(-1.0f);
      out.resize(out.size() + 16, 0);
      for (int v = 0; v < vertices; ++v) {
        if (!vertexBytes.empty()) {
          out.insert(out.end(), vertexBytes[v].begin(), vertexBytes[v].end());
        } else {
          out.push_back(static_cast<unsigned char>(v * 10 + f));
          out.push_back(static_cast<unsigned char>(v));
          out.push_back(static_cast<unsigned char>(4));
        }
        out.push_back(static_cast<unsigned char>(normalIndex));
      }
    }
    for (int32_t c : commands) putInt(c);
    return out;
  }
};

std::string writeTemp(const std::vector<unsigned char>& bytes, const std::string& name = "md2_test_model.md2") {
  // CTest runs the cases of this file as parallel processes: each writes its own file.
  std::string path = std::string(VARROW_BINARY_DIR) + "/" + std::to_string(getpid()) + "_" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void expectEmpty(const Md2Model& m) {
  EXPECT_EQ(m.numFrames, 0);
  EXPECT_EQ(m.numFrameVertices, 0);
  EXPECT_EQ(m.numGlCommands, 0);
  EXPECT_TRUE(m.frameVertices.empty());
  EXPECT_TRUE(m.glCommands.empty());
  EXPECT_TRUE(m.normalIndices.empty());
}

// Loads bytes into a model that already holds a good model, so a rejection must also empty it.
bool loadsInto(Md2Model& m, const std::vector<unsigned char>& bytes) {
  Md2File good;
  if (!loadMd2(m, writeTemp(good.bytes()).c_str())) ADD_FAILURE() << "the good file did not load";
  return loadMd2(m, writeTemp(bytes).c_str());
}

}  // namespace

TEST(Md2Load, ReadsFramesNormalsAndCommandsOfASmallFile) {
  Md2File file;
  Md2Model m;
  ASSERT_TRUE(loadMd2(m, writeTemp(file.bytes()).c_str()));
  EXPECT_EQ(m.numFrames, 2);
  EXPECT_EQ(m.numFrameVertices, 3);
  EXPECT_EQ(m.numGlCommands, 11);
  EXPECT_FLOAT_EQ(m.scale, 1.0f);
  // Vertex 2 of frame 1: bytes (21, 2, 4) scaled by (1, 2, 0.5), moved by (1, 0, -1).
  glm::vec3 v = m.frameVertices[1 * 3 + 2];
  EXPECT_FLOAT_EQ(v.x, 22.0f);
  EXPECT_FLOAT_EQ(v.y, 4.0f);
  EXPECT_FLOAT_EQ(v.z, 1.0f);
  EXPECT_EQ(m.normalIndices[4], 5);
  EXPECT_EQ(m.glCommands[0], -3);
  EXPECT_EQ(m.glCommands[3], 0);
  EXPECT_EQ(m.glCommands[10], 0);
}

TEST(Md2Load, MissingFileAndForeignHeadersAreRejected) {
  Md2Model m;
  EXPECT_FALSE(loadMd2(m, "no/such/model.md2"));
  expectEmpty(m);

  Md2File wrongMagic;
  wrongMagic.overrides = {{0, 0x32504448}};
  EXPECT_FALSE(loadsInto(m, wrongMagic.bytes()));
  expectEmpty(m);

  Md2File wrongVersion;
  wrongVersion.overrides = {{1, 7}};
  EXPECT_FALSE(loadsInto(m, wrongVersion.bytes()));
  expectEmpty(m);
}

TEST(Md2Load, EveryTruncationIsRejected) {
  const std::vector<unsigned char> full = Md2File().bytes();
  for (size_t length = 0; length < full.size(); ++length) {
    std::vector<unsigned char> cut(full.begin(), full.begin() + length);
    Md2Model m;
    EXPECT_FALSE(loadsInto(m, cut)) << "cut at " << length;
    expectEmpty(m);
    // The same cut with an end offset that matches: the sections themselves must not fit.
    if (length >= 68) {
      int32_t end = static_cast<int32_t>(length);
      std::memcpy(&cut[64], &end, 4);
      EXPECT_FALSE(loadsInto(m, cut)) << "cut at " << length << " with a matching end offset";
      expectEmpty(m);
    }
  }
}

TEST(Md2Load, OffsetsAndCountsOutsideTheFileAreRejected) {
  const int size = static_cast<int>(Md2File().bytes().size());
  const std::vector<std::vector<std::pair<int, int32_t>>> hostile = {
      {{14, size}},                      // frames start at the end
      {{14, -40}},                       // frames before the file
      {{15, size - 4}},                  // commands run past the end
      {{15, -4}},                        // commands before the file
      {{9, 1 << 28}},                    // far more command words than the file holds
      {{9, -1}},                         // negative command count
      {{10, 0x7fffffff}},                // frame count overflowing the file
      {{10, -2}},                        // negative frame count
      {{10, 0}},                         // no frames
      {{6, -3}},                         // negative vertex count
      {{4, 20}},                         // frames smaller than their own vertices
      {{4, -52}},                        // negative frame size
      {{11, size}, {5, 1}},              // skin past the end
      {{12, size - 2}},                  // texture coordinates past the end
      {{13, size - 4}},                  // triangles past the end
      {{8, 1 << 30}},                    // triangle count overflowing the file
      {{16, size + 1}},                  // end beyond the file
      {{16, 10}},                        // end inside the header
  };
  for (size_t i = 0; i < hostile.size(); ++i) {
    Md2File file;
    file.overrides = hostile[i];
    Md2Model m;
    EXPECT_FALSE(loadsInto(m, file.bytes())) << "case " << i;
    expectEmpty(m);
  }
}

TEST(Md2Load, GlCommandsMustStayInsideTheListAndTheFrame) {
  auto withCommands = [](std::vector<int32_t> commands) {
    Md2File file;
    file.commands = std::move(commands);
    return file.bytes();
  };
  Md2Model m;
  // Vertex index 3 of a three-vertex frame, and a negative index.
  EXPECT_FALSE(loadsInto(m, withCommands({3, 0, 0, 0, 0, 0, 1, 0, 0, 3, 0})));
  expectEmpty(m);
  EXPECT_FALSE(loadsInto(m, withCommands({3, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0})));
  expectEmpty(m);
  // A strip of five announced with packets for two; the most negative count.
  EXPECT_FALSE(loadsInto(m, withCommands({5, 0, 0, 0, 0, 0, 1, 0})));
  expectEmpty(m);
  EXPECT_FALSE(loadsInto(m, withCommands({INT32_MIN, 0, 0, 0, 0})));
  expectEmpty(m);
  // A list that just ends without its end marker is still whole, and so is an empty one.
  EXPECT_TRUE(loadsInto(m, withCommands({3, 0, 0, 0, 0, 0, 1, 0, 0, 2})));
  EXPECT_TRUE(loadsInto(m, withCommands({})));
  // Anything after the end marker is never read.
  EXPECT_TRUE(loadsInto(m, withCommands({0, 99, 99})));
}

TEST(Md2Load, ModelsBeyondTheScratchArraysAndBadNormalsAreRejected) {
  Md2Model m;
  Md2File tooManyPerFrame;
  tooManyPerFrame.frames = 1;
  tooManyPerFrame.vertices = kMd2ScratchSize + 1;
  EXPECT_FALSE(loadsInto(m, tooManyPerFrame.bytes()));
  expectEmpty(m);

  Md2File fullFrame;
  fullFrame.frames = 1;
  fullFrame.vertices = kMd2ScratchSize;
  EXPECT_TRUE(loadsInto(m, fullFrame.bytes()));

  // Fans of three: 1365 of them expand to 4095 vertices, 1366 to 4098.
  auto fans = [](int count) {
    Md2File file;
    file.commands.clear();
    for (int f = 0; f < count; ++f) {
      file.commands.push_back(-3);
      for (int v = 0; v < 3; ++v) file.commands.insert(file.commands.end(), {0, 0, v});
    }
    file.commands.push_back(0);
    return file.bytes();
  };
  EXPECT_TRUE(loadsInto(m, fans(1365)));
  EXPECT_FALSE(loadsInto(m, fans(1366)));
  expectEmpty(m);

  Md2File badNormal;
  badNormal.normalIndex = 162;
  EXPECT_FALSE(loadsInto(m, badNormal.bytes()));
  expectEmpty(m);
}

TEST(Md2Load, TheGamesOwnModelLoadsFromTheFixedPath) {
  // Run from the run directory, where the asset generator writes the tower model.
  Md2Model m;
  ASSERT_TRUE(loadMd2(m));
  EXPECT_GE(m.numFrames, 40);
  EXPECT_GT(m.numFrameVertices, 0);
  EXPECT_LE(m.numFrameVertices, kMd2ScratchSize);
  EXPECT_GT(m.numGlCommands, 0);
}

TEST(Md2Animation, TheListAndTheInitialState) {
  EXPECT_EQ(md2Animations[0].firstFrame, 0);
  EXPECT_EQ(md2Animations[0].lastFrame, 39);
  EXPECT_EQ(md2Animations[0].fps, 9);
  EXPECT_EQ(md2Animations[12].firstFrame, 135);
  EXPECT_EQ(md2Animations[12].lastFrame, 153);
  EXPECT_EQ(md2Animations[20].lastFrame, 198);
  EXPECT_EQ(md2Animations[20].fps, 5);
  for (int i = 1; i < kMd2AnimationCount; ++i)
    EXPECT_EQ(md2Animations[i].firstFrame, md2Animations[i - 1].lastFrame + 1) << i;
  Md2AnimationState s = startAnimation(0);
  EXPECT_EQ(s.currentFrame, 0);
  EXPECT_EQ(s.nextFrame, 1);
  EXPECT_EQ(s.phase, 0.0f);
  EXPECT_EQ(s.currentTime, 0.0f);
}

TEST(Md2Animation, StepsOncePerNinthOfASecondAtMost) {
  Md2Model m;
  m.numFrames = 40;
  Md2AnimationState s = startAnimation(0);
  stepAnimation(s, m, 0.1f);
  EXPECT_EQ(s.currentFrame, 0);
  EXPECT_EQ(s.nextFrame, 1);
  EXPECT_NEAR(s.phase, 0.9f, 1e-5);
  stepAnimation(s, m, 0.1f);
  EXPECT_EQ(s.currentFrame, 1);
  EXPECT_EQ(s.nextFrame, 2);
  EXPECT_EQ(s.phase, 0.0f);

  Md2AnimationState big = startAnimation(0);
  stepAnimation(big, m, 2.0f);
  EXPECT_EQ(big.currentFrame, 1);
  EXPECT_EQ(big.nextFrame, 2);
  EXPECT_EQ(big.phase, 0.0f);
}

TEST(Md2Animation, WrapsAfterTheLastFrameAndOnShortModels) {
  Md2Model m;
  m.numFrames = 40;
  Md2AnimationState s = startAnimation(0);
  for (int i = 0; i < 38; ++i) stepAnimation(s, m, 0.2f);
  EXPECT_EQ(s.currentFrame, 38);
  EXPECT_EQ(s.nextFrame, 39);
  stepAnimation(s, m, 0.2f);
  EXPECT_EQ(s.currentFrame, 39);
  EXPECT_EQ(s.nextFrame, 0);
  stepAnimation(s, m, 0.2f);
  EXPECT_EQ(s.currentFrame, 0);
  EXPECT_EQ(s.nextFrame, 1);

  Md2Model shortModel;
  shortModel.numFrames = 3;
  Md2AnimationState t = startAnimation(0);
  stepAnimation(t, shortModel, 0.2f);
  EXPECT_EQ(t.currentFrame, 1);
  EXPECT_EQ(t.nextFrame, 2);
  stepAnimation(t, shortModel, 0.2f);
  EXPECT_EQ(t.currentFrame, 2);
  EXPECT_EQ(t.nextFrame, 0);
  stepAnimation(t, shortModel, 0.2f);
  EXPECT_EQ(t.currentFrame, 0);
  EXPECT_EQ(t.nextFrame, 1);
}

TEST(Md2Blend, PhaseZeroIsTheFrameAndHalfIsTheMidpointBothScaled) {
  Md2Model m;
  ASSERT_TRUE(loadMd2(m, writeTemp(Md2File().bytes()).c_str()));
  m.scale = 0.08f;
  glm::vec3 out[3];
  blendFrames(m, 0.0f, 0, 1, out);
  for (int j = 0; j < 3; ++j) {
    EXPECT_FLOAT_EQ(out[j].x, m.frameVertices[j].x * 0.08f);
    EXPECT_FLOAT_EQ(out[j].y, m.frameVertices[j].y * 0.08f);
    EXPECT_FLOAT_EQ(out[j].z, m.frameVertices[j].z * 0.08f);
  }
  blendFrames(m, 0.5f, 0, 1, out);
  // Frame 1 lies 2 further along x than frame 0 (one more byte, one more translate).
  for (int j = 0; j < 3; ++j) {
    EXPECT_FLOAT_EQ(out[j].x, (m.frameVertices[j].x + 1.0f) * 0.08f);
    EXPECT_FLOAT_EQ(out[j].y, m.frameVertices[j].y * 0.08f);
  }
  // A frame the model does not have counts as frame 0 rather than reading past the arrays.
  glm::vec3 outside[3];
  blendFrames(m, 0.5f, 7, -1, outside);
  EXPECT_FLOAT_EQ(outside[2].x, m.frameVertices[2].x * 0.08f);
}

namespace {

GLuint whiteProgram() {
  const char* vs =
      "#version 120\nattribute vec3 vertex; attribute vec3 normal; attribute vec2 texCoord;\n"
      "void main() { gl_Position = vec4(vertex + 0.0 * normal + vec3(0.0 * texCoord, 0.0), 1.0); }\n";
  const char* fs = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";
  GLuint p = glCreateProgram();
  for (auto [type, src] : {std::pair<GLenum, const char*>{GL_VERTEX_SHADER, vs}, {GL_FRAGMENT_SHADER, fs}}) {
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &src, nullptr);
    glCompileShader(s);
    glAttachShader(p, s);
    glDeleteShader(s);
  }
  glLinkProgram(p);
  return p;
}

int whitePixels(const std::string& rgba) {
  int n = 0;
  for (size_t i = 0; i + 3 < rgba.size(); i += 4)
    if (static_cast<unsigned char>(rgba[i]) == 255) ++n;
  return n;
}

}  // namespace

class Md2Draw : public GlTest {};

TEST_F(Md2Draw, ALoadedModelDrawsAndAnEmptyOneDrawsNothing) {
  // A clockwise fan in clip space, so it survives the back-face culling of the model draw: bytes
  // (0,0,4) (0,10,4) (20,0,4) decode to (0,0,1) (0,20,1) (20,0,1).
  Md2File file;
  file.frames = 1;
  file.vertexBytes = {{0, 0, 4}, {0, 10, 4}, {20, 0, 4}};
  const float st[3][2] = {{0, 0}, {0, 1}, {1, 0}};
  file.commands = {-3};
  for (int v = 0; v < 3; ++v) file.commands.insert(file.commands.end(), {Md2File::floatBits(st[v][0]), Md2File::floatBits(st[v][1]), v});
  file.commands.push_back(0);
  Md2Model m;
  ASSERT_TRUE(loadMd2(m, writeTemp(file.bytes()).c_str()));
  m.scale = 0.04f;
  GLuint program = whiteProgram();
  glUseProgram(program);
  glViewport(0, 0, 64, 64);
  glDisable(GL_DEPTH_TEST);
  glClearColor(0, 0, 0, 1);

  glClear(GL_COLOR_BUFFER_BIT);
  Md2Model empty;
  drawMd2(empty, startAnimation(0), program);
  EXPECT_EQ(whitePixels(readPixelsRgba(0, 0, 64, 64)), 0);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));

  glClear(GL_COLOR_BUFFER_BIT);
  drawMd2(m, startAnimation(0), program);
  int lit = whitePixels(readPixelsRgba(0, 0, 64, 64));
  EXPECT_GT(lit, 0);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  GLint front = 0;
  glGetIntegerv(GL_FRONT_FACE, &front);
  EXPECT_EQ(front, GL_CCW);
  // The expanded positions are the blended ones in command order.
  EXPECT_FLOAT_EQ(md2ExpandedPositions()[2].x, 20.0f * 0.04f);
  EXPECT_FLOAT_EQ(md2ExpandedPositions()[1].y, 20.0f * 0.04f);
  glEnable(GL_DEPTH_TEST);
  glDeleteProgram(program);
}
