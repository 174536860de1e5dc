// A mesh's buffer objects are deleted exactly once, whichever mesh holds them after moves; the world
// destroys an object in the same step that removes it from its list.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>

#include "GlTestContext.h"
#include "game/Game.h"
#include "scene/Enemy.h"
#include "scene/Mesh.h"
#include "scene/Tower.h"

namespace {

std::multiset<GLuint> deleted;
PFNGLDELETEBUFFERSPROC realDeleteBuffers = nullptr;

void recordingDeleteBuffers(GLsizei n, const GLuint* buffers) {
  deleted.insert(buffers, buffers + n);
  realDeleteBuffers(n, buffers);
}

Mesh meshWithBuffers() {
  Mesh mesh(3, 3, false);
  mesh.createBuffers();
  return mesh;
}

class MeshTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    deleted.clear();
    realDeleteBuffers = __glewDeleteBuffers;
    __glewDeleteBuffers = recordingDeleteBuffers;
  }
  void TearDown() override { __glewDeleteBuffers = realDeleteBuffers; }
};

TEST_F(MeshTest, BuffersAreDeletedExactlyOnceThroughMoves) {
  GLuint kept[2], replaced[2];
  {
    Mesh first = meshWithBuffers(), target = meshWithBuffers();
    kept[0] = first.vbo, kept[1] = first.ibo, replaced[0] = target.vbo, replaced[1] = target.ibo;
    Mesh moved(std::move(first));
    target = std::move(moved);
    EXPECT_EQ(deleted, (std::multiset<GLuint>{replaced[0], replaced[1]})) << "an assigned mesh frees its own";
    EXPECT_TRUE(glIsBuffer(kept[0]) && glIsBuffer(kept[1]));
  }
  EXPECT_EQ(deleted, (std::multiset<GLuint>{kept[0], kept[1], replaced[0], replaced[1]}));
  EXPECT_FALSE(glIsBuffer(kept[0]) || glIsBuffer(kept[1]));
}

TEST_F(MeshTest, AKilledEnemyAndASoldTowerAreDestroyedWhenRemoved) {
  float path[] = {1.0f, -1.0f, 1.0f, -10.0f};
  Game g;
  g.spawnEnemy(path, "cube", 1.0f, -1.0f, 2, 0);
  const std::multiset<GLuint> enemyBuffers{g.enemies.front()->mesh.vbo, g.enemies.front()->mesh.ibo};
  g.enemies.front()->hitPoints = 0.0;
  g.update(0.0);
  EXPECT_TRUE(g.enemies.empty());
  EXPECT_EQ(deleted, enemyBuffers) << "the killed enemy's mesh went with it";
  // A sold tower that lived on would be reported as a leak by the sanitizer build.
  g.towers.push_back(std::make_unique<Tower>("tris", 5.0f, -5.0f, 0, 0, 0, nullptr));
  g.towers.back()->selected = true;
  g.removeSelectedTowers();
  EXPECT_TRUE(g.towers.empty());
}

}  // namespace
