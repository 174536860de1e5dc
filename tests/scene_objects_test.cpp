// Scene objects on a real context: the board, file, spawn point and enemy geometry, enemy movement, the
// spawn point's line width, and that both draw paths paint the same picture.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <memory>
#include <string>

#include "GlTestContext.h"
#include "app/Globals.h"
#include "app/ShaderPrograms.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/File.h"
#include "scene/Map.h"
#include "scene/SceneObject.h"
#include "scene/SpawnPoint.h"
#include "scene/Wave.h"

namespace {

glm::vec3 vertexAt(const float* vertices, int i) {
  return glm::vec3(vertices[4 * i], vertices[4 * i + 1], vertices[4 * i + 2]);
}

// Normal of triangle (a, b, c) by the right-hand rule: counter-clockwise seen from where it points.
glm::vec3 windingNormal(const float* vertices, const unsigned int* tri) {
  glm::vec3 a = vertexAt(vertices, tri[0]), b = vertexAt(vertices, tri[1]), c = vertexAt(vertices, tri[2]);
  return glm::cross(b - a, c - a);
}

// World-space extent of an object's bounding box.
Extent worldExtent(SceneObject& object, const glm::vec4* corners) {
  glm::mat4 m = object.getModelMatrix();
  float world[8 * 4];
  for (int i = 0; i < 8; ++i) {
    glm::vec4 w = m * corners[i];
    for (int k = 0; k < 4; ++k) world[4 * i + k] = w[k];
  }
  Extent e;
  e.minX = e.minZ = 1e9f;
  e.maxX = e.maxZ = -1e9f;
  for (int i = 0; i < 8; ++i) {
    e.minX = std::fmin(e.minX, world[4 * i]);
    e.maxX = std::fmax(e.maxX, world[4 * i]);
    e.minZ = std::fmin(e.minZ, world[4 * i + 2]);
    e.maxZ = std::fmax(e.maxZ, world[4 * i + 2]);
  }
  return e;
}

Wave testWaves[6] = {{3.0, 4.5, "cube", 4},       {60.0, 3.0, "cube", 7},     {125.0, 6.0, "cube_or", 5},
                     {200.0, 1.0, "cube_yl", 10}, {270.0, 4.0, "cube_or", 5}, {340.0, 7.0, "cube_w", 5}};

std::vector<float> newPath(std::initializer_list<float> xz) { return std::vector<float>(xz); }

class SceneObjectTest : public GlTest {};

TEST_F(SceneObjectTest, BoardHasOneQuadPerCellFacingUp) {
  Map map(0);
  ASSERT_EQ(map.getVertexCount(), 6084);
  ASSERT_EQ(map.getIndexCount(), 9126);
  EXPECT_EQ(map.getGridSize(), 39);
  EXPECT_EQ(map.getColors(), nullptr);
  EXPECT_EQ(map.getModelMatrix(), glm::mat4(1.0f));
  EXPECT_NE(map.mesh.vbo, 0u);
  EXPECT_NE(map.mesh.ibo, 0u);

  const float* v = map.getVertices();
  EXPECT_EQ(vertexAt(v, 3), glm::vec3(0, 0, 0));
  EXPECT_EQ(v[4 * 3 + 3], 1.0f);
  EXPECT_EQ(vertexAt(v, 6081), glm::vec3(78, 0, -78));
  // Cell (i=1, j=2) is number 41: x from 2 to 4, z from -6 to -4.
  EXPECT_EQ(vertexAt(v, 4 * 41), glm::vec3(2, 0, -6));
  EXPECT_EQ(vertexAt(v, 4 * 41 + 1), glm::vec3(4, 0, -6));
  EXPECT_EQ(vertexAt(v, 4 * 41 + 2), glm::vec3(4, 0, -4));
  EXPECT_EQ(vertexAt(v, 4 * 41 + 3), glm::vec3(2, 0, -4));

  unsigned int largest = 0;
  double area = 0.0;
  for (int t = 0; t < 3042; ++t) {
    const unsigned int* tri = map.getIndices() + 3 * t;
    for (int k = 0; k < 3; ++k) largest = std::max(largest, tri[k]);
    glm::vec3 n = windingNormal(v, tri);
    ASSERT_GT(n.y, 0.0f) << "triangle " << t << " is not counter-clockwise seen from above";
    area += 0.5 * n.y;
  }
  EXPECT_EQ(largest, 6083u);
  EXPECT_DOUBLE_EQ(area, 78.0 * 78.0);

  for (int i = 0; i < 6084; ++i) {
    ASSERT_EQ(glm::make_vec3(&map.mesh.normals[3 * i]), glm::vec3(0, 1, 0));
    ASSERT_EQ(map.mesh.texCoords[2 * i], (i % 4 == 1 || i % 4 == 2) ? 1.0f : 0.0f);
    ASSERT_EQ(map.mesh.texCoords[2 * i + 1], (i % 4 >= 2) ? 1.0f : 0.0f);
  }
}

TEST_F(SceneObjectTest, BoxMeshFacesPointOutward) {
  float vertices[4 * kBoxVertexCount], normals[3 * kBoxVertexCount], colors[4 * kBoxVertexCount],
      texCoords[2 * kBoxVertexCount];
  unsigned int indices[kBoxIndexCount];
  fillBoxMesh(-1.0f, 3.0f, 2.0f, -2.0f, 1.0f, vertices, normals, colors, texCoords, indices);

  const unsigned int expected[kBoxIndexCount] = {0,  2,  1,  0,  3,  2,  4,  5,  6,  4,  6,  7,
                                                 8,  9,  10, 8,  10, 11, 12, 13, 14, 12, 14, 15,
                                                 16, 17, 18, 16, 18, 19, 20, 21, 22, 20, 22, 23};
  for (int i = 0; i < kBoxIndexCount; ++i) ASSERT_EQ(indices[i], expected[i]) << i;

  const glm::vec4 faceColors[6] = {{1, 1, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 1},
                                   {0, 0, 1, 1}, {1, 1, 0, 1}, {1, 0.5f, 0, 1}};
  glm::vec3 centre(1.0f, 1.0f, -0.5f);
  for (int t = 0; t < 12; ++t) {
    int face = t / 2;
    unsigned int first = indices[3 * t];
    glm::vec3 faceNormal(normals[3 * first], normals[3 * first + 1], normals[3 * first + 2]);
    glm::vec3 n = glm::normalize(windingNormal(vertices, indices + 3 * t));
    EXPECT_EQ(n, faceNormal) << "triangle " << t;
    EXPECT_GT(glm::dot(vertexAt(vertices, first) - centre, faceNormal), 0.0f) << "face " << face << " faces inward";
    for (int c = 0; c < 4; ++c) {
      int v = 4 * face + c;
      EXPECT_EQ(glm::make_vec4(colors + 4 * v), faceColors[face]);
      EXPECT_EQ(vertices[4 * v + 3], 1.0f);
    }
  }
  // Every face maps the whole image: (0,0) (1,0) (1,1) (0,1).
  for (int v = 0; v < kBoxVertexCount; ++v) {
    int c = v % 4;
    EXPECT_EQ(texCoords[2 * v], (c == 1 || c == 2) ? 1.0f : 0.0f);
    EXPECT_EQ(texCoords[2 * v + 1], c >= 2 ? 1.0f : 0.0f);
  }
}

TEST_F(SceneObjectTest, BoundingBoxAlwaysHoldsTheOrigin) {
  const float above[] = {2, 1, 3, 1, 5, 4, 6, 1};  // two vertices, both at positive x, y and z
  Extent e;
  BoundingBox box = makeBoundingBox(above, 2, &e);
  EXPECT_EQ(e.minX, 0.0f);
  EXPECT_EQ(e.minY, 0.0f);
  EXPECT_EQ(e.minZ, 0.0f);
  EXPECT_EQ(e.maxX, 5.0f);
  EXPECT_EQ(e.maxY, 4.0f);
  EXPECT_EQ(e.maxZ, 6.0f);
  EXPECT_EQ(box[0], glm::vec4(0, 4, 6, 1));
  EXPECT_EQ(box[1], glm::vec4(5, 4, 6, 1));
  EXPECT_EQ(box[2], glm::vec4(0, 4, 0, 1));
  EXPECT_EQ(box[3], glm::vec4(5, 4, 0, 1));
  EXPECT_EQ(box[4], glm::vec4(0, 0, 0, 1));
  EXPECT_EQ(box[5], glm::vec4(0, 0, 6, 1));
  EXPECT_EQ(box[6], glm::vec4(5, 0, 6, 1));
  EXPECT_EQ(box[7], glm::vec4(5, 0, 0, 1));
}

TEST_F(SceneObjectTest, FilesSitInTheirQuadrantAroundTheGoal) {
  struct Case {
    int gridX, gridZ;
    glm::vec3 translation;
    float minX, maxX, minZ, maxZ;
  };
  const Case cases[] = {
      {1, 1, {40, 0, -42}, 39.1f, 42.9f, -42.9f, -39.1f},
      {-2, -2, {32, 0, -34}, 31.1f, 34.9f, -34.9f, -31.1f},
      {-1, 2, {36, 0, -46}, 35.1f, 38.9f, -46.9f, -43.1f},
      {2, -1, {44, 0, -38}, 43.1f, 46.9f, -38.9f, -35.1f},
  };
  for (const Case& c : cases) {
    File file(c.gridX, c.gridZ, 39, 7);
    SCOPED_TRACE(::testing::Message() << "file (" << c.gridX << ", " << c.gridZ << ")");
    EXPECT_EQ(glm::vec3(file.getModelMatrix()[3]), c.translation);
    Extent e = worldExtent(file, file.boundingBox.data());
    EXPECT_NEAR(e.minX, c.minX, 1e-4);
    EXPECT_NEAR(e.maxX, c.maxX, 1e-4);
    EXPECT_NEAR(e.minZ, c.minZ, 1e-4);
    EXPECT_NEAR(e.maxZ, c.maxZ, 1e-4);
  }

  File file(1, 1, 39, 7);
  EXPECT_EQ(file.boundingBox[4], glm::vec4(-0.9f, 0.0f, -0.9f, 1.0f));
  EXPECT_EQ(file.boundingBox[1], glm::vec4(2.9f, 3.8f, 2.9f, 1.0f));
  EXPECT_EQ(file.getVertexCount(), 24);
  EXPECT_EQ(file.getIndexCount(), 36);
  EXPECT_EQ(file.material.specPower, 15.0f);
  EXPECT_TRUE(file.isIntact());
  file.setIntact(false, 9);
  EXPECT_FALSE(file.isIntact());
  EXPECT_EQ(file.material.texture, 9u);

  File unplaced(0, 2, 39, 7);
  EXPECT_EQ(unplaced.getModelMatrix(), glm::mat4(1.0f));
}

TEST_F(SceneObjectTest, SpawnPointDrawsItsPathAsLinePairsThatPulse) {
  SpawnPoint sp(newPath({1, -1, 1, -10, 25, -10, 25, -39, 39, -39}), 3, 1.0f, -1.0f, testWaves);
  ASSERT_EQ(sp.getVertexCount(), 5);
  ASSERT_EQ(sp.getIndexCount(), 8);
  const unsigned int expected[8] = {0, 1, 1, 2, 2, 3, 3, 4};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(sp.getIndices()[i], expected[i]);
  EXPECT_EQ(glm::make_vec4(sp.getVertices() + 4 * 2), glm::vec4(25, 0.1f, -10, 1));
  EXPECT_EQ(glm::make_vec4(sp.getColors() + 4 * 4), glm::vec4(1, 1, 1, 1));
  EXPECT_EQ(sp.getTexCoords()[7], 0.5f);
  EXPECT_EQ(sp.nextSpawnTime, 3.0);
  EXPECT_EQ(sp.waves, testWaves);
  EXPECT_EQ(sp.waveCount, 6);
  EXPECT_EQ(sp.pathLength, 5);

  EXPECT_FLOAT_EQ(pathLineWidth(0.0, 0.25), 7.5f);
  EXPECT_FLOAT_EQ(pathLineWidth(100.0, 100.0), 9.0f);
  EXPECT_FLOAT_EQ(pathLineWidth(100.0, 100.5), 6.0f);
  EXPECT_FLOAT_EQ(pathLineWidth(100.0, 101.0), 3.0f);
  EXPECT_FLOAT_EQ(pathLineWidth(100.0, 130.0), 3.0f);

  // The draw sets the width it computes from the game clock and leaves it set.
  platform::useManualClock(true);
  sp.pulseTime = 50.0;
  platform::setTime(50.5);
  sp.draw(0);
  GLfloat width = 0.0f;
  glGetFloatv(GL_LINE_WIDTH, &width);
  EXPECT_FLOAT_EQ(width, 6.0f);
  platform::setTime(52.0);
  sp.draw(0);
  glGetFloatv(GL_LINE_WIDTH, &width);
  EXPECT_FLOAT_EQ(width, 3.0f);
  glLineWidth(1.0f);
  platform::useManualClock(false);
}

TEST_F(SceneObjectTest, EnemyKindsBoxAndStartingPosition) {
  const float path[] = {10, -5, 20, -5};
  struct Kind {
    const char* name;
    double hitPoints, speed;
  };
  const Kind kinds[] = {{"cube", 100, 1.7}, {"cube_or", 250, 1.0}, {"cube_yl", 50, 3.0},
                        {"cube_w", 1000, 0.5}, {"dragon", 100, 1.7}, {"cube_orange", 100, 1.7}};
  for (const Kind& k : kinds) {
    Enemy e(k.name, 10.0f, -5.0f, path, 2, 4);
    EXPECT_EQ(e.hitPoints, k.hitPoints) << k.name;
    EXPECT_EQ(e.speed, k.speed) << k.name;
  }

  Enemy e("cube", 10.0f, -5.0f, path, 2, 4);
  EXPECT_EQ(e.worldX, 10.0f);
  EXPECT_EQ(e.worldZ, -5.0f);
  EXPECT_EQ(e.centreX, 0.0f);
  EXPECT_EQ(e.centreZ, 0.0f);
  EXPECT_EQ(e.pathIndex, 1);
  EXPECT_FALSE(e.arrived);
  EXPECT_EQ(glm::vec3(e.getModelMatrix()[3]), glm::vec3(10, 0, -5));
  EXPECT_EQ(e.boundingBox[0], glm::vec4(-1, 2, 1, 1));
  EXPECT_EQ(e.boundingBox[4], glm::vec4(-1, 0, -1, 1));
  EXPECT_EQ(e.boundingBox[7], glm::vec4(1, 0, -1, 1));
  EXPECT_EQ(e.getIndexCount(), 36);
  EXPECT_EQ(e.material.minFilter, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(e.material.magFilter, GL_LINEAR);
}

TEST_F(SceneObjectTest, EnemyWalksOneAxisAtATimeAndSnapsOntoPoints) {
  // Heading +x first, then -z, then -x.
  const float path[] = {0, 0, 10, 0, 10, -5, 4, -5};
  Enemy e("cube_yl", 0.0f, 0.0f, path, 4, 0);
  e.update(0.1);
  EXPECT_NEAR(e.worldX, 0.3f, 1e-6);
  EXPECT_EQ(e.worldZ, 0.0f);

  // 0.2 short of the point with a step of 0.5: it lands on the point and the other 0.3 is lost.
  e.modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(9.8f, 0.0f, 0.0f));
  e.speed = 5.0;
  e.update(0.1);
  EXPECT_EQ(e.worldX, 10.0f);
  EXPECT_EQ(e.worldZ, 0.0f);
  EXPECT_EQ(e.pathIndex, 2);
  // x already matches, so only z moves, toward negative z.
  e.update(0.1);
  EXPECT_EQ(e.worldX, 10.0f);
  EXPECT_NEAR(e.worldZ, -0.5f, 1e-6);

  // Overshooting toward negative z snaps too.
  e.modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(10.0f, 0.0f, -4.9f));
  e.update(0.1);
  EXPECT_EQ(e.worldZ, -5.0f);
  EXPECT_EQ(e.pathIndex, 3);
  // Toward negative x.
  e.update(0.1);
  EXPECT_NEAR(e.worldX, 9.5f, 1e-6);
  e.modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(4.3f, 0.0f, -5.0f));
  e.update(0.1);
  EXPECT_EQ(e.worldX, 4.0f);
  EXPECT_EQ(e.pathIndex, 4);

  // At the end it stands still, but still reports where it stands.
  glm::mat4 before = e.modelMatrix;
  e.worldX = 123.0f;
  e.update(1.0);
  EXPECT_EQ(e.modelMatrix, before);
  EXPECT_EQ(e.pathIndex, 4);
  EXPECT_EQ(e.worldX, 4.0f);
  EXPECT_EQ(e.worldZ, -5.0f);

  // Standing on the point it heads for, it does not move and does not advance.
  const float repeated[] = {2, 2, 2, 2, 6, 2};
  Enemy stuck("cube", 2.0f, 2.0f, repeated, 3, 0);
  stuck.update(0.5);
  EXPECT_EQ(stuck.pathIndex, 1);
  EXPECT_EQ(stuck.worldX, 2.0f);
}

TEST_F(SceneObjectTest, EveryKindCoversItsSpeedPerSecond) {
  const float path[] = {0, 0, 100, 0};
  for (const char* kind : {"cube", "cube_or", "cube_yl", "cube_w", "unknown"}) {
    Enemy e(kind, 0.0f, 0.0f, path, 2, 0);
    for (int frame = 0; frame < 600; ++frame) e.update(1.0 / 60.0);  // ten seconds
    EXPECT_NEAR(e.worldX, 10.0 * e.speed, 1e-3) << kind;
  }
}

// Renders one object with the simple program into a small framebuffer, from above, and reads it back.
class DrawPathTest : public GlTest {
 protected:
  static constexpr int kSize = 64;

  void SetUp() override {
    GlTest::SetUp();
    if (simpleProgram == 0) buildShaderPrograms();
    ASSERT_NE(simpleProgram, 0u);
    while (glGetError() != GL_NO_ERROR) {
    }

    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    const unsigned char texels[4 * 4 * 4] = {
        255, 0,   0,   255, 0,   255, 0,   255, 0,   0,   255, 255, 255, 255, 0,   255,
        0,   255, 255, 255, 255, 0,   255, 255, 90,  90,  90,  255, 200, 120, 40,  255,
        40,  120, 200, 255, 255, 255, 255, 255, 10,  200, 10,  255, 130, 30,  230, 255,
        220, 60,  60,  255, 60,  220, 60,  255, 60,  60,  220, 255, 180, 180, 20,  255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glGenerateMipmap(GL_TEXTURE_2D);

    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glGenRenderbuffers(1, &colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kSize, kSize);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kSize, kSize);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
  }

  void TearDown() override {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &colour_);
    glDeleteRenderbuffers(1, &depth_);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteTextures(1, &texture_);
    glUseProgram(0);
  }

  // Looks down on the region around (cx, cz) from above, tilted so that side faces show too.
  template <typename Draw>
  std::string render(Draw draw, float cx, float cz, float halfWidth) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, kSize, kSize);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(simpleProgram);
    glm::vec3 eye(cx + 0.4f * halfWidth, 30.0f, cz + 0.7f * halfWidth);
    glm::mat4 projection = glm::ortho(-halfWidth, halfWidth, -halfWidth, halfWidth, 1.0f, 100.0f);
    glm::mat4 view = glm::lookAt(eye, glm::vec3(cx, 0.0f, cz), glm::vec3(0, 0, -1));
    glUniformMatrix4fv(glGetUniformLocation(simpleProgram, "perspective"), 1, GL_FALSE, glm::value_ptr(projection));
    glUniformMatrix4fv(glGetUniformLocation(simpleProgram, "view"), 1, GL_FALSE, glm::value_ptr(view));
    glUniform3f(glGetUniformLocation(simpleProgram, "light_position"), cx + 5.0f, 20.0f, cz + 5.0f);
    glUniform4f(glGetUniformLocation(simpleProgram, "cam_position"), eye.x, eye.y, eye.z, 1.0f);
    glUniform4f(glGetUniformLocation(simpleProgram, "specular_color"), 1.0f, 1.0f, 1.0f, 1.0f);
    draw();
    glFinish();
    std::string pixels = readPixelsRgba(0, 0, kSize, kSize);
    glDisable(GL_CULL_FACE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return pixels;
  }

  static int litPixels(const std::string& rgba) {
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
      if (rgba[i] || rgba[i + 1] || rgba[i + 2]) ++lit;
    return lit;
  }

  GLuint texture_ = 0, framebuffer_ = 0, colour_ = 0, depth_ = 0;
};

TEST_F(DrawPathTest, BufferObjectsAndClientArraysPaintTheSamePicture) {
  Map map(texture_);
  File file(1, 1, 39, texture_);
  const float path[] = {20, -20, 30, -20};
  Enemy enemy("cube", 20.0f, -20.0f, path, 2, texture_);

  std::string fromArrays = render([&] { map.draw(simpleProgram); }, 20.0f, -20.0f, 12.0f);
  std::string fromBuffers = render([&] { map.drawVBO(simpleProgram); }, 20.0f, -20.0f, 12.0f);
  EXPECT_EQ(litPixels(fromArrays), kSize * kSize) << "the board should fill the view";
  EXPECT_TRUE(fromArrays == fromBuffers) << "board differs";
  writePng("draw_paths_board.png", kSize, kSize, fromBuffers);

  fromArrays = render([&] { file.draw(simpleProgram); }, 41.0f, -41.0f, 4.0f);
  fromBuffers = render([&] { file.drawVBO(simpleProgram); }, 41.0f, -41.0f, 4.0f);
  EXPECT_GT(litPixels(fromArrays), kSize * kSize / 4);
  EXPECT_LT(litPixels(fromArrays), kSize * kSize);
  EXPECT_TRUE(fromArrays == fromBuffers) << "file differs";
  writePng("draw_paths_file.png", kSize, kSize, fromBuffers);

  fromArrays = render([&] { enemy.draw(simpleProgram); }, 20.0f, -20.0f, 3.0f);
  fromBuffers = render([&] { enemy.drawVBO(simpleProgram); }, 20.0f, -20.0f, 3.0f);
  EXPECT_GT(litPixels(fromArrays), kSize * kSize / 10);
  EXPECT_TRUE(fromArrays == fromBuffers) << "enemy differs";
  writePng("draw_paths_enemy.png", kSize, kSize, fromBuffers);

  // The filters are set on whatever texture is bound at every draw.
  enemy.material.minFilter = GL_NEAREST;
  enemy.material.magFilter = GL_NEAREST;
  render([&] { enemy.drawVBO(simpleProgram); }, 20.0f, -20.0f, 3.0f);
  GLint minFilter = 0, magFilter = 0;
  glBindTexture(GL_TEXTURE_2D, texture_);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  EXPECT_EQ(minFilter, GL_NEAREST);
  EXPECT_EQ(magFilter, GL_NEAREST);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawPathTest, TheBoardIsCulledFromBelow) {
  Map map(texture_);
  std::string fromAbove = render([&] { map.draw(simpleProgram); }, 39.0f, -39.0f, 10.0f);
  EXPECT_EQ(litPixels(fromAbove), kSize * kSize);

  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glViewport(0, 0, kSize, kSize);
  glEnable(GL_CULL_FACE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glUseProgram(simpleProgram);
  glm::mat4 projection = glm::ortho(-10.0f, 10.0f, -10.0f, 10.0f, 1.0f, 100.0f);
  glm::mat4 view = glm::lookAt(glm::vec3(39, -30, -39), glm::vec3(39, 0, -39), glm::vec3(0, 0, -1));
  glUniformMatrix4fv(glGetUniformLocation(simpleProgram, "perspective"), 1, GL_FALSE, glm::value_ptr(projection));
  glUniformMatrix4fv(glGetUniformLocation(simpleProgram, "view"), 1, GL_FALSE, glm::value_ptr(view));
  map.drawVBO(simpleProgram);
  glFinish();
  EXPECT_EQ(litPixels(readPixelsRgba(0, 0, kSize, kSize)), 0);
  glDisable(GL_CULL_FACE);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace
