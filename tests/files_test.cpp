// The game's file readers on hand-made and hostile bytes (MD2 model, TGA image), the texture tables they
// fill, the generated asset set (reproducible, and read back by the game's own readers), and the settings
// file written, read back and read with every kind of bad line.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "CaptureStdout.h"
#include "WorldTest.h"
#include "config/Settings.h"
#include "render/TextureCatalogue.h"
#include "platform/Platform.h"
#include "platform/TgaImage.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/Md2Model.h"
#include "scene/Tower.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;
using Words = std::vector<std::pair<int, int32_t>>;

Bytes readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& p, const Bytes& bytes) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// One fan over vertices 0, 1, 2 with texture coordinates (0,0) (1,0) (0,1), then the end marker.
const std::vector<int32_t> kFan = {-3, 0, 0, 0, 0x3f800000, 0, 1, 0, 0x3f800000, 2, 0};

// An MD2 file with one skin, texcoord and triangle; frame f has scale (1, 2, 0.5), translate (f, 0, -1) and
// vertex v at the bytes (10v + f, v, 4). `header` overwrites header words (0 magic ... 16 end offset).
Bytes md2(const std::vector<int32_t>& commands = kFan, int vertices = 3, int frames = 2, int normal = 5,
          const Words& header = {}) {
  const int frameSize = 40 + 4 * vertices, ofsFrames = 68 + 64 + 12 + 12, ofsGl = ofsFrames + frames * frameSize;
  std::vector<int32_t> words = {0x32504449, 8, 64, 64, frameSize, 1, vertices, 3, 1, static_cast<int32_t>(commands.size()),
                                frames, 68, 68 + 64, 68 + 76, ofsFrames, ofsGl, ofsGl + 4 * static_cast<int>(commands.size())};
  for (auto& w : header) words[w.first] = w.second;
  words.resize(words.size() + 22, 0);  // skin name, texcoord, triangle
  Bytes out(words.size() * 4);
  std::memcpy(out.data(), words.data(), out.size());
  for (int f = 0; f < frames; ++f) {
    const float head[10] = {1.0f, 2.0f, 0.5f, static_cast<float>(f), 0.0f, -1.0f};  // then a 16-byte name
    out.insert(out.end(), reinterpret_cast<const unsigned char*>(head), reinterpret_cast<const unsigned char*>(head + 10));
    for (int v = 0; v < vertices; ++v)
      out.insert(out.end(), {static_cast<unsigned char>(10 * v + f), static_cast<unsigned char>(v), 4,
                             static_cast<unsigned char>(normal)});
  }
  const unsigned char* c = reinterpret_cast<const unsigned char*>(commands.data());
  out.insert(out.end(), c, c + 4 * commands.size());
  return out;
}

// `count` fans of three vertices.
std::vector<int32_t> fans(int count) {
  std::vector<int32_t> c;
  for (int f = 0; f < count; ++f) c.insert(c.end(), {-3, 0, 0, 0, 0, 0, 1, 0, 0, 2});
  c.push_back(0);
  return c;
}

// Loads into a model that holds a good model already, so a rejection must also empty it.
bool loadsOverAGoodModel(const Bytes& bytes, Md2Model& m) {
  Bytes good = md2();
  EXPECT_TRUE(loadMd2FromMemory(m, good.data(), good.size()));
  const bool ok = loadMd2FromMemory(m, bytes.data(), bytes.size());
  EXPECT_TRUE(ok || (!m.numFrames && !m.numFrameVertices && !m.numGlCommands && m.frameVertices.empty() && m.glCommands.empty() &&
                     m.normalIndices.empty()));
  return ok;
}

}  // namespace

TEST(Md2, ReadsASmallFileAndRejectsEveryHostileOne) {
  Md2Model m;
  const Bytes good = md2();
  ASSERT_TRUE(loadMd2FromMemory(m, good.data(), good.size()));
  EXPECT_EQ(std::make_tuple(m.numFrames, m.numFrameVertices, m.numGlCommands, m.normalIndices[4]), std::make_tuple(2, 3, 11, 5));
  EXPECT_EQ(m.frameVertices[1 * 3 + 2], glm::vec3(22, 4, 1));  // bytes (21, 2, 4) scaled and moved
  EXPECT_EQ(std::vector<int32_t>(m.glCommands.begin(), m.glCommands.begin() + 11), kFan);
  EXPECT_FALSE(loadMd2(m, "no/such/model.md2"));

  const int size = static_cast<int>(good.size());
  auto header = [](const Words& w) { return md2(kFan, 3, 2, 5, w); };
  const std::pair<Bytes, bool> cases[] = {
      {header({{0, 0x32504448}}), false}, {header({{1, 7}}), false},    // magic, version
      {header({{14, size}}), false},      {header({{14, -40}}), false},  // frames outside the file
      {header({{15, size - 4}}), false},  {header({{15, -4}}), false},   // commands outside the file
      {header({{9, 1 << 28}}), false},    {header({{9, -1}}), false},    // command counts
      {header({{10, 0x7fffffff}}), false}, {header({{10, -2}}), false}, {header({{10, 0}}), false},  // frames
      {header({{6, -3}}), false},         {header({{4, 20}}), false},   {header({{4, -52}}), false},  // sizes
      {header({{11, size}, {5, 1}}), false}, {header({{12, size - 2}}), false},  // skins, texcoords
      {header({{13, size - 4}}), false},  {header({{8, 1 << 30}}), false},       // triangles
      {header({{16, size + 1}}), false},  {header({{16, 10}}), false},           // end offset
      {md2({3, 0, 0, 0, 0, 0, 1, 0, 0, 3, 0}), false},   // a vertex index past the frame
      {md2({3, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0}), false},  // a negative vertex index
      {md2({5, 0, 0, 0, 0, 0, 1, 0}), false},            // a strip of five with packets for two
      {md2({INT32_MIN, 0, 0, 0, 0}), false},
      {md2({0}, kMd2ScratchSize + 1, 1), false},  {md2({0}, kMd2ScratchSize, 1), true},  // scratch per frame
      {md2(fans(1366)), false}, {md2(fans(1365)), true},  // 4098 and 4095 expanded vertices
      {md2(kFan, 3, 2, 162), false},                       // normal index past the table
      {md2({3, 0, 0, 0, 0, 0, 1, 0, 0, 2}), true},          // a list without its end marker
      {md2({}), true},  {md2({0, 99, 99}), true},           // nothing is read past the end marker
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(loadsOverAGoodModel(cases[i].first, m), cases[i].second) << "case " << i;

  for (size_t length = 0; length < good.size(); ++length) {
    Bytes cut(good.begin(), good.begin() + length);
    EXPECT_FALSE(loadsOverAGoodModel(cut, m)) << "cut at " << length;
    if (length < 68) continue;
    int32_t end = static_cast<int32_t>(length);  // a header that agrees with the cut: the sections must not fit
    std::memcpy(&cut[64], &end, 4);
    EXPECT_FALSE(loadsOverAGoodModel(cut, m)) << "cut at " << length << " with a matching end";
  }
}

TEST(Md2, AnimationStepsOncePerNinthOfASecondWrapsAndBlends) {
  Md2Model m, shortModel;
  m.numFrames = 40;
  shortModel.numFrames = 3;  // fewer frames than the animation: frame numbers past the model wrap to 0
  Md2AnimationState s = startAnimation(0), big = startAnimation(0), t = startAnimation(0);
  // Steps of dt, `times` over, and the frames and phase (negative: not checked) they lead to.
  const struct { Md2AnimationState* state; const Md2Model* model; float dt; int times, current, next; float phase; } steps[] = {{&s, &m, 0.1f, 1, 0, 1, 0.9f},      {&s, &m, 0.1f, 1, 1, 2, 0.0f},         {&big, &m, 2.0f, 1, 1, 2, 0.0f},
               {&s, &m, 0.2f, 38, 39, 0, -1.0f},   {&s, &m, 0.2f, 1, 0, 1, -1.0f},        {&t, &shortModel, 0.2f, 2, 2, 0, -1.0f},
               {&t, &shortModel, 0.2f, 1, 0, 1, -1.0f}};
  for (const auto& r : steps) {
    for (int i = 0; i < r.times; ++i) stepAnimation(*r.state, *r.model, r.dt);
    EXPECT_EQ(std::make_pair(r.state->currentFrame, r.state->nextFrame), std::make_pair(r.current, r.next)) << &r - steps;
    EXPECT_TRUE(r.phase < 0 || std::abs(r.state->phase - r.phase) < 1e-5f) << &r - steps;
  }
  const Bytes file = md2();
  ASSERT_TRUE(loadMd2FromMemory(m, file.data(), file.size()));
  m.scale = 0.08f;
  glm::vec3 out[3];
  for (float phase : {0.0f, 0.5f}) {  // frame 1 lies 2 further along x than frame 0
    blendFrames(m, phase, 0, 1, out);
    for (int j = 0; j < 3; ++j) EXPECT_EQ(out[j], (m.frameVertices[j] + glm::vec3(2 * phase, 0, 0)) * 0.08f) << phase;
  }
  blendFrames(m, 0.5f, 7, -1, out);  // frames the model lacks count as frame 0
  EXPECT_EQ(out[2], m.frameVertices[2] * 0.08f);
}

// A 3 x 2 TGA of `bits` a pixel (8 grey, else truecolour) with a 3-byte ID field; byte c of the i-th stored
// pixel is 17 + 60i + 31c.
Bytes tga(int bits, bool topFirst) {
  Bytes file = {3, 0, static_cast<unsigned char>(bits == 8 ? 3 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0,
                static_cast<unsigned char>(bits), static_cast<unsigned char>((topFirst ? 0x20 : 0) | (bits == 32 ? 8 : 0)),
                'i', 'd', '!'};
  for (int i = 0; i < 6; ++i)
    for (int c = 0; c < bits / 8; ++c) file.push_back(static_cast<unsigned char>(17 + 60 * i + 31 * c));
  return file;
}

TEST(Tga, EveryKindAndOrientationLandsBottomRowFirstAndDamagedFilesAreRefused) {
  ensureGlContext();
  const std::string path = "/tmp/varrow_tga_" + std::to_string(getpid()) + ".tga";
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  for (int bits : {8, 24, 32})
    for (bool topFirst : {false, true}) {
      Bytes expected, got(bits == 8 ? 6 : 24);  // rows bottom first; stored B, G, R(, A), read back R, G, B, A
      for (int i = 0; i < 6; ++i) {
        auto stored = [&](int c) { return static_cast<unsigned char>(17 + 60 * ((topFirst ? 3 - i / 3 * 3 : i / 3 * 3) + i % 3) + 31 * c); };
        if (bits == 8) expected.push_back(stored(0));
        else expected.insert(expected.end(), {stored(2), stored(1), stored(0), bits == 32 ? stored(3) : static_cast<unsigned char>(255)});
      }
      writeAll(path, tga(bits, topFirst));
      ASSERT_TRUE(platform::loadTexture2D(path.c_str())) << bits << " " << topFirst;
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glGetTexImage(GL_TEXTURE_2D, 0, bits == 8 ? GL_LUMINANCE : GL_RGBA, GL_UNSIGNED_BYTE, got.data());
      EXPECT_EQ(got, expected) << bits << " " << topFirst;
      GLint level1 = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1);
      EXPECT_EQ(level1, 1) << "a full mipmap chain";
    }
  for (const char* name : {"/tmp/varrow_no_such.tga", static_cast<const char*>(nullptr), "/tmp"})
    EXPECT_FALSE(platform::loadTexture2D(name)) << (name ? name : "null");
  fs::remove(path);
  glDeleteTextures(1, &texture);

  const Bytes raw = tga(24, false);
  auto changed = [&raw](Words bytes, size_t size = 0) {
    Bytes b = raw;
    for (auto& [at, value] : bytes) b[at] = static_cast<unsigned char>(value);
    if (size) b.resize(size, 0x55);
    return b;
  };
  Bytes rle = changed({{2, 10}}, 21), hugeRle = changed({{2, 10}, {12, 255}, {13, 255}, {14, 255}, {15, 255}}, 21), garbage;
  rle.insert(rle.end(), {0x81, 1, 2, 3, 0x03, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});  // two packets across a row
  for (int i = 0; i < 100; ++i) hugeRle.insert(hugeRle.end(), {0xFF, 1, 2, 3});
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<unsigned char>((i * 2654435761u) >> 13));
  const Bytes damaged[] = {
      changed({{0, 200}}, 18),                                // ID field past the end
      changed({{16, 16}}, 21 + 12),                           // 16 bits a pixel
      changed({{2, 3}}),                                      // greyscale of 24 bits
      changed({{1, 1}, {2, 1}, {5, 2}, {7, 24}, {16, 8}}),    // colour-mapped
      changed({{2, 9}}),                                      // another image type
      changed({{12, 0}}), changed({{14, 0}}),                 // zero width, zero height
      changed({{12, 1}, {13, 8}}, 21 + 2049 * 2 * 3),         // 2049 wide
      changed({{12, 2}, {14, 1}, {15, 8}}, 21 + 2049 * 2 * 3),  // 2049 tall
      changed({{12, 255}, {13, 255}, {14, 255}, {15, 255}}, 18 + 4096), hugeRle,  // 65535 square
      {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1},
      garbage,
  };
  platform::TgaImage image;
  const Bytes widest = changed({{12, 0}, {13, 8}}, 21 + 2048 * 2 * 3);
  for (const Bytes& good : {widest, rle, raw}) ASSERT_TRUE(platform::decodeTga(good.data(), good.size(), 2048, &image));
  const Bytes before = image.pixels;
  for (size_t i = 0; i < std::size(damaged); ++i)
    EXPECT_FALSE(platform::decodeTga(damaged[i].data(), damaged[i].size(), 2048, &image)) << "case " << i;
  for (const Bytes& whole : {raw, rle})
    for (size_t length = 0; length < whole.size(); ++length)
      EXPECT_FALSE(platform::decodeTga(whole.data(), length, 2048, &image)) << "cut at " << length;
  EXPECT_EQ(image.pixels, before);
}

namespace {

// The image of every slot of the main and the glow table, in loading order (null: not loaded from a file).
const char* const kTableFiles[2][kTextureSlots] = {
    {"quads", "e_quads", "t_quads", "arial_0", "tris", nullptr, nullptr, "SelectionMode", "SelectionTool", "Towers",
     "markUp", "SuperGlow", "tris_bl", "tris_gr", "e_quads_or", "e_quads_yl", "e_quads_wh", "selected",
     "sel_standard", "sel_sniper", "sel_power"},
    {"quads_glow", "e_quads_glow", "t_quads_glow", "arial_0_glow", "tris_glow", nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "e_quads_wh_glow"}};

// The 25 files as (table, slot) in loading order.
std::vector<std::pair<int, int>> tableFiles() {
  std::vector<std::pair<int, int>> files;
  for (int table = 0; table < 2; ++table)
    for (int slot = 0; slot < kTextureSlots; ++slot)
      if (kTableFiles[table][slot]) files.push_back({table, slot});
  return files;
}

std::string tableFileName(std::pair<int, int> file) { return std::string(kTableFiles[file.first][file.second]) + ".tga"; }

// File i as a grey image 10 + i wide, so the width read back from a slot names its file.
void writeTableFile(const fs::path& dir, int i) {
  Bytes b = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<unsigned char>(10 + i), 0, 2, 0, 8, 0};
  b.resize(b.size() + 2 * (10 + i), 0x80);
  writeAll(dir / tableFileName(tableFiles()[i]), b);
}

// Level-0 values (width, internal format) or, with level0 false, texture parameters.
GLint textureValue(GLuint texture, GLenum name, bool level0 = true) {
  GLint v = -1;
  glBindTexture(GL_TEXTURE_2D, texture);
  level0 ? glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &v) : glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
  return v;
}

// Per file in loading order: its slot's width, and whether the slot has the loaded images' parameters.
std::vector<int> tableWidths() {
  std::vector<int> w;
  for (auto [table, slot] : tableFiles()) {
    GLuint t = (table ? textures.glowTextureTable : textures.textureTable)[slot];
    w.push_back(textureValue(t, GL_TEXTURE_WIDTH));
    EXPECT_EQ(std::vector<GLint>({textureValue(t, GL_TEXTURE_WRAP_S, false), textureValue(t, GL_TEXTURE_WRAP_T, false),
                                  textureValue(t, GL_TEXTURE_MIN_FILTER, false), textureValue(t, GL_TEXTURE_MAG_FILTER, false)}),
              std::vector<GLint>({GL_REPEAT, GL_REPEAT, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR})) << table << " " << slot;
  }
  return w;
}

class TextureCatalogue : public WorldTest {};

}  // namespace

TEST_F(TextureCatalogue, EveryFileReachesItsSlotAMissingOneCostsOneLineAndTheWorldIsRetextured) {
  const fs::path dir = fs::temp_directory_path() / ("varrow_textures_" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::vector<int> widths;
  for (int i = 0; i < 25; ++i) writeTableFile(dir, i), widths.push_back(10 + i);
  fs::current_path(dir);
  for (int missing = -1; missing < 25; ++missing) {
    if (missing >= 0) fs::remove(dir / tableFileName(tableFiles()[missing]));
    CaptureStdout out;
    loadTextureTables();
    EXPECT_EQ(out.text(), missing < 0 ? "" : "Error passing texture.\n") << missing;
    std::vector<int> want = widths;
    if (missing >= 0) want[missing] = 0;
    EXPECT_EQ(tableWidths(), want) << "missing " << missing;
    if (missing >= 0) writeTableFile(dir, missing);
  }
  fs::current_path(VARROW_RUN_DIR);
  fs::remove_all(dir);

  // Retexturing follows the intactness of files and the kinds of enemies and towers; other kinds keep theirs.
  GLuint table[kTextureSlots];
  for (int i = 0; i < kTextureSlots; ++i) table[i] = 1000 + i;
  const float path[] = {0, 0, 10, 0};
  for (const char* kind : {"cube", "cube_or", "cube_yl", "cube_w", "mystery"}) addEnemy(kind, 0, 0, path, 2);
  for (const char* kind : {"tris", "tris_bl", "tris_gr", "statue"}) addTower(kind, 5, -5);
  g.files.front()->setIntact(false, 1);
  applyTextureTable(table);
  EXPECT_EQ(g.activeTextures, table);
  EXPECT_EQ(std::make_pair(g.map->material.texture, g.textRenderer.texture), std::make_pair(1000u, 1003u));
  for (auto& f : g.files) EXPECT_EQ(f->material.texture, f == g.files.front() ? 1001u : 1000u);
  const GLuint enemyWant[] = {1001, 1014, 1015, 1016, 1001}, skinWant[] = {1004, 1012, 1013, textures.textureTable[4]};
  int i = 0;
  for (auto& e : g.enemies) EXPECT_EQ(e->material.texture, enemyWant[i++]) << e->kind;
  i = 0;
  for (auto& t : g.towers)  // a braced list is evaluated left to right, so i moves on after its last use
    EXPECT_EQ(std::vector<GLuint>({t->material.texture, t->texture5, t->markTexture}),
              std::vector<GLuint>({skinWant[i], i < 3 ? 1005u : textures.textureTable[5], i++ < 3 ? 1010u : textures.textureTable[10]})) << t->kind;
}

TEST(Assets, TheGeneratorIsReproducibleAndTheGameReadsWhatItWrites) {
  const fs::path generator = fs::path(VARROW_BINARY_DIR) / "tools" / "assetgen" / "assetgen";
  const fs::path base = fs::temp_directory_path() / ("varrow_assets_" + std::to_string(getpid()));
  for (const char* run : {"a", "b"})
    ASSERT_EQ(std::system(("\"" + generator.string() + "\" \"" + (base / run).string() + "\" > /dev/null").c_str()), 0);
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(base / "a")) {
    if (!e.is_regular_file()) continue;
    const fs::path rel = fs::relative(e.path(), base / "a");
    const Bytes first = readAll(e.path());
    EXPECT_TRUE(!first.empty() && first == readAll(base / "b" / rel)) << rel << " is empty or differs between two runs";
    EXPECT_TRUE(first == readAll(fs::path(VARROW_RUN_DIR) / rel)) << rel << " is stale in the run directory";
    ++files;
  }
  EXPECT_EQ(files, 32);
  fs::remove_all(base);

  // From the run directory (the clean start of the real binary already reads every image without a report).
  ensureGlContext();
  // The tower model, stood up as a tower stands it (model z is height above 1.5): feet on the board and
  // about 4 units tall in every blend animation 0 shows.
  Md2Model model;
  ASSERT_TRUE(loadMd2(model) && model.numFrames >= 40);
  model.scale = 0.08f;
  std::vector<glm::vec3> blended(model.numFrameVertices);
  for (int frame = 0; frame < 40; ++frame) {
    blendFrames(model, 0.5f, frame, (frame + 1) % 40, blended.data());
    auto [low, high] = std::minmax_element(blended.begin(), blended.end(), [](auto& a, auto& b) { return a.z < b.z; });
    EXPECT_TRUE(std::abs(1.5f + low->z) < 0.15f && std::abs(high->z - low->z - 4.0f) < 0.5f) << frame << ": " << low->z << " " << high->z;
  }

}

TEST(SettingsFile, ReadBackAsWrittenEachBadLineOneWarningAndFoldersThatFail) {
  const fs::path home = fs::temp_directory_path() / ("varrow_settings_" + std::to_string(getpid()));
  const std::string path = settingsFilePath(home.c_str(), "/root");
  EXPECT_EQ(path, home.string() + "/varrow/settings.ini");
  EXPECT_EQ(settingsFilePath("relative", "/home/p"), "/home/p/.config/varrow/settings.ini");
  EXPECT_EQ(settingsFilePath(nullptr, nullptr), "");
  EXPECT_EQ(readSettingsFile(path).warnings.size(), 0u) << "no file is no warning";

  // Written through a temporary file into a folder made for it, and read back whole.
  Settings kept;
  kept.width = 1280, kept.height = 720, kept.fullscreen = true, kept.vsync = false;
  kept.musicVolume = 0, kept.effectsVolume = 70;
  applyQuality(kept, Quality::Low);
  kept.renderScale = 75, kept.difficulty = Difficulty::Hard;
  ASSERT_EQ(writeSettingsFile(path, kept), "");
  const SettingsRead back = readSettingsFile(path);
  EXPECT_TRUE(back.settings == kept && back.warnings.empty() && !fs::exists(path + ".new"));
  EXPECT_NE(readAll(path).size(), 0u);

  // The preset comes before the settings it stands for, wherever its line is.
  using namespace std::string_literals;
  const std::string text = "vsync = maybe\ncolour = red\njust words\nmusic_volume = 101\n[unclosed\n"s +
                           "window_size = 799x600\n  effects_volume=5 ; quiet\n# comment\n\n" + std::string(300, 'x') +
                           "\nshadow_map = 2048\0\nglow = ON\nquality = Low\ndifficulty = medium\ndifficulty = Easy\n[bad ;]\n[a] glow = off\n[b] ; a head\n"s;
  const SettingsRead read = parseSettings(text, "f.ini");
  const std::vector<std::string> warnings = {
      "varrow: f.ini:1: 'maybe' is not a value of vsync (on or off); it keeps its default",
      "varrow: f.ini:2: unknown setting 'colour'; it is left out",
      "varrow: f.ini:3: not a \"key = value\" line; it is left out",
      "varrow: f.ini:4: '101' is not a value of music_volume (a percentage from 0 to 100); it keeps its default",
      "varrow: f.ini:5: not a \"key = value\" line; it is left out",
      "varrow: f.ini:6: '799x600' is not a value of window_size (WIDTHxHEIGHT from 800x600 to 16384x16384); it keeps "
      "its default",
      "varrow: f.ini:10: the line is too long; it is left out",
      "varrow: f.ini:11: a zero byte in the line; it is left out",
      "varrow: f.ini:14: 'medium' is not a value of difficulty (easy, normal or hard); it keeps its default",
      "varrow: f.ini:16: not a \"key = value\" line; it is left out",
      "varrow: f.ini:17: text after a section head; it is left out"};
  EXPECT_EQ(read.warnings, warnings);
  Settings want;
  applyQuality(want, Quality::Low);
  want.glow = true, want.effectsVolume = 5, want.difficulty = Difficulty::Easy;
  EXPECT_TRUE(read.settings == want);

  // A folder in place of the file cannot be read, and a file in place of the folder cannot be written to.
  fs::remove(path);
  fs::create_directory(path);
  const SettingsRead unreadable = readSettingsFile(path);
  EXPECT_TRUE(unreadable.settings == Settings() && unreadable.warnings.size() == 1u &&
              unreadable.warnings[0].rfind("varrow: cannot read " + path + ": ", 0) == 0) << unreadable.warnings[0];
  std::ofstream(home / "file") << "x";
  const std::string blocked = settingsFilePath((home / "file").c_str(), nullptr);
  EXPECT_EQ(writeSettingsFile(blocked, kept).rfind("varrow: cannot save the settings in " + blocked + ": ", 0), 0u);
  fs::remove_all(home);
}
