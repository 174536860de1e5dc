// The texture tables: every file reaches its slot, a missing file costs exactly one "Error passing texture."
// and its slot alone, the glow table borrows its copied slots, and applyTextureTable re-textures the world.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "CaptureStdout.h"
#include "GlTestContext.h"
#include "app/Globals.h"
#include "app/TextureCatalogue.h"
#include "game/Game.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/Tower.h"

namespace {

struct Entry {
  const char* file;
  bool glow;
  int slot;
};

// The 25 files in loading order.
const std::vector<Entry>& loadingOrder() {
  static const std::vector<Entry> order = {
      {"quads.tga", false, 0},          {"e_quads.tga", false, 1},         {"t_quads.tga", false, 2},
      {"arial_0.tga", false, 3},        {"tris.tga", false, 4},            {"SelectionMode.tga", false, 7},
      {"SelectionTool.tga", false, 8},  {"Towers.tga", false, 9},          {"markUp.tga", false, 10},
      {"SuperGlow.tga", false, 11},     {"tris_bl.tga", false, 12},        {"tris_gr.tga", false, 13},
      {"e_quads_or.tga", false, 14},    {"e_quads_yl.tga", false, 15},     {"e_quads_wh.tga", false, 16},
      {"selected.tga", false, 17},      {"sel_standard.tga", false, 18},   {"sel_sniper.tga", false, 19},
      {"sel_power.tga", false, 20},     {"quads_glow.tga", true, 0},       {"e_quads_glow.tga", true, 1},
      {"t_quads_glow.tga", true, 2},    {"arial_0_glow.tga", true, 3},     {"tris_glow.tga", true, 4},
      {"e_quads_wh_glow.tga", true, 16}};
  return order;
}

// A grey TGA of width w and height 2, so the width read back from a slot names the file it came from.
void writeTga(const std::string& path, int width) {
  unsigned char header[18] = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<unsigned char>(width), 0, 2, 0, 8, 0};
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header), sizeof header);
  for (int i = 0; i < width * 2; ++i) out.put(static_cast<char>(i * 7));
}

int widthOf(GLuint texture) {
  GLint w = 0;
  glBindTexture(GL_TEXTURE_2D, texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  return w;
}

GLint parameterOf(GLuint texture, GLenum name) {
  GLint value = 0;
  glBindTexture(GL_TEXTURE_2D, texture);
  glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
  return value;
}

class TexturesTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    runDir_ = cwd;
    dir_ = "/tmp/varrow_textures_" + std::to_string(getpid());
    ASSERT_EQ(system(("mkdir -p " + dir_).c_str()), 0);
    for (size_t i = 0; i < loadingOrder().size(); ++i) writeTga(dir_ + "/" + loadingOrder()[i].file, 10 + i);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(runDir_.c_str()), 0);
    ASSERT_EQ(system(("rm -rf " + dir_).c_str()), 0);
    glDeleteTextures(kTextureSlots, textureTable);
    glDeleteTextures(kTextureSlots, glowTextureTable);
  }
  std::string dir_;
  std::string runDir_;
};

TEST_F(TexturesTest, EveryFileReachesItsSlotSilently) {
  CaptureStdout out;
  loadTextureTables();
  EXPECT_EQ(out.text(), "");
  for (size_t i = 0; i < loadingOrder().size(); ++i) {
    const Entry& e = loadingOrder()[i];
    SCOPED_TRACE(e.file);
    GLuint name = (e.glow ? glowTextureTable : textureTable)[e.slot];
    EXPECT_EQ(widthOf(name), static_cast<int>(10 + i));
    EXPECT_EQ(parameterOf(name, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameterOf(name, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(parameterOf(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameterOf(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    GLint level1 = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1);
    EXPECT_EQ(level1, static_cast<int>(10 + i) / 2);
  }
  // Slot 5 has a name but never an image; slot 6 of both tables is the empty 256 x 256 render target.
  EXPECT_NE(textureTable[5], 0u);
  EXPECT_EQ(widthOf(textureTable[5]), 0);
  for (GLuint target : {textureTable[6], glowTextureTable[6]}) {
    EXPECT_EQ(widthOf(target), 256);
    GLint internal = 0, level1 = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1);
    EXPECT_EQ(internal, GL_RGBA8);
    EXPECT_EQ(level1, 0);
    EXPECT_EQ(parameterOf(target, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(parameterOf(target, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
  }
  EXPECT_NE(textureTable[6], glowTextureTable[6]);
  // The glow table's borrowed slots.
  for (int slot : {7, 8, 9, 10, 11, 17, 18, 19, 20}) EXPECT_EQ(glowTextureTable[slot], glowTextureTable[3]) << slot;
  for (int slot : {12, 13}) EXPECT_EQ(glowTextureTable[slot], glowTextureTable[4]) << slot;
  for (int slot : {14, 15}) EXPECT_EQ(glowTextureTable[slot], glowTextureTable[1]) << slot;
  // Every main slot is a texture of its own.
  std::map<GLuint, int> seen;
  for (int slot = 0; slot < kTextureSlots; ++slot) EXPECT_EQ(seen[textureTable[slot]]++, 0) << slot;
}

TEST_F(TexturesTest, AMissingFileCostsOneLineAndOnlyItsSlot) {
  for (size_t missing = 0; missing < loadingOrder().size(); ++missing) {
    const Entry& gone = loadingOrder()[missing];
    SCOPED_TRACE(gone.file);
    std::string path = dir_ + "/" + gone.file;
    std::remove(path.c_str());
    {
      CaptureStdout out;
      loadTextureTables();
      EXPECT_EQ(out.text(), "Error passing texture.\n");
    }
    for (size_t i = 0; i < loadingOrder().size(); ++i) {
      const Entry& e = loadingOrder()[i];
      GLuint name = (e.glow ? glowTextureTable : textureTable)[e.slot];
      EXPECT_EQ(widthOf(name), i == missing ? 0 : static_cast<int>(10 + i)) << e.file;
    }
    glDeleteTextures(kTextureSlots, textureTable);
    glDeleteTextures(kTextureSlots, glowTextureTable);
    writeTga(path, 10 + missing);
  }
  // Two missing files: one line each, and a borrowed glow slot follows its empty source.
  std::remove((dir_ + "/tris.tga").c_str());
  std::remove((dir_ + "/tris_glow.tga").c_str());
  CaptureStdout out;
  loadTextureTables();
  EXPECT_EQ(out.text(), "Error passing texture.\nError passing texture.\n");
  EXPECT_EQ(widthOf(textureTable[4]), 0);
  EXPECT_EQ(widthOf(glowTextureTable[4]), 0);
  EXPECT_EQ(glowTextureTable[12], glowTextureTable[4]);
}

TEST_F(TexturesTest, ApplyTextureTableRetexturesTheWorldByIntactnessAndKind) {
  GLuint table[kTextureSlots];
  for (int i = 0; i < kTextureSlots; ++i) table[i] = 1000 + i;

  // An empty world: only the table in force, the board and the font change.
  game.createMap(1);
  applyTextureTable(table);
  EXPECT_EQ(game.activeTextures, table);
  EXPECT_EQ(game.map->material.texture, 1000u);
  EXPECT_EQ(game.textRenderer.texture, 1003u);

  static const float path[] = {0, 0, 10, 0};
  game.files.push_back(std::make_unique<File>(1, 1, 39, 1));
  game.files.push_back(std::make_unique<File>(2, 1, 39, 1));
  File* intact = game.files.front().get();
  File* taken = game.files.back().get();
  taken->setIntact(false, 1);
  const char* kinds[] = {"cube", "cube_or", "cube_yl", "cube_w", "mystery"};
  const GLuint enemyWant[] = {1001, 1014, 1015, 1016, 1001};
  for (const char* kind : kinds) game.enemies.push_back(std::make_unique<Enemy>(kind, 0, 0, path, 2, 1));
  const char* towerKinds[] = {"tris", "tris_bl", "tris_gr", "statue"};
  const GLuint skinWant[] = {1004, 1012, 1013, 7};
  for (const char* kind : towerKinds) game.towers.push_back(std::make_unique<Tower>(kind, 5, -5, 7, 8, 9, nullptr));

  applyTextureTable(table);
  EXPECT_EQ(intact->material.texture, 1000u);
  EXPECT_EQ(taken->material.texture, 1001u);
  int i = 0;
  for (auto& enemy : game.enemies) EXPECT_EQ(enemy->material.texture, enemyWant[i++]) << enemy->kind;
  i = 0;
  for (auto& tower : game.towers) {
    SCOPED_TRACE(tower->kind);
    EXPECT_EQ(tower->material.texture, skinWant[i]);
    EXPECT_EQ(tower->texture5, i < 3 ? 1005u : 8u);
    EXPECT_EQ(tower->markTexture, i < 3 ? 1010u : 9u);
    ++i;
  }

  // With the real glow table, an orange enemy wears the standard enemy's glow image.
  loadTextureTables();
  applyTextureTable(glowTextureTable);
  EXPECT_EQ(game.enemies.front()->material.texture, (*std::next(game.enemies.begin()))->material.texture);
  EXPECT_EQ(game.towers.front()->markTexture, glowTextureTable[3]);
  applyTextureTable(textureTable);
  EXPECT_NE(game.enemies.front()->material.texture, (*std::next(game.enemies.begin()))->material.texture);

  game.files.clear();
  game.enemies.clear();
  game.towers.clear();
  game.map = nullptr;
}

}  // namespace
