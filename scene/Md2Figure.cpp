// Building and drawing a tower's figure from buffer objects.
#include "scene/Md2Figure.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/Platform.h"

Md2Figure::~Md2Figure() {
  if (!platform::hasCurrentContext()) return;
  if (vbo) glDeleteBuffers(1, &vbo);
  if (ibo) glDeleteBuffers(1, &ibo);
}

void Md2Figure::build(const Md2Model& model, const Md2AnimationState& s) {
  if (!vbo) glGenBuffers(1, &vbo);
  if (!ibo) glGenBuffers(1, &ibo);
  builtFor = &model;
  builtCommands = model.numGlCommands;
  posed = false;
  vertexCount = expandMd2(model, s);
  const GLsizeiptr n = vertexCount;
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glBufferData(GL_ARRAY_BUFFER, n * 32, nullptr, GL_DYNAMIC_DRAW);
  glBufferSubData(GL_ARRAY_BUFFER, n * 12, n * 12, md2ExpandedNormals());
  glBufferSubData(GL_ARRAY_BUFFER, n * 24, n * 8, md2ExpandedTexCoords());

  // Each strip and fan becomes its triangles with the vertex order GL gives them, so culling and
  // rasterisation see exactly what the per-command draws showed.
  std::vector<unsigned int> indices;
  const int* cmd = model.glCommands.data();
  int i = 0;
  unsigned int first = 0;
  while (cmd && vertexCount > 0 && i < model.numGlCommands) {
    int n = cmd[i++];
    if (n == 0) break;
    unsigned int count = static_cast<unsigned int>(n > 0 ? n : -n);
    for (unsigned int t = 0; t + 2 < count; ++t) {
      unsigned int v = first + t;
      if (n < 0) {
        indices.insert(indices.end(), {first, v + 1, v + 2});
      } else if (t % 2 == 0) {
        indices.insert(indices.end(), {v, v + 1, v + 2});
      } else {
        indices.insert(indices.end(), {v + 1, v, v + 2});
      }
    }
    i += 3 * static_cast<int>(count);
    first += count;
  }
  indexCount = static_cast<int>(indices.size());
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size()) * 4, indices.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

bool Md2Figure::draw(const Md2Model& model, const Md2AnimationState& s, GLuint program) {
  glFrontFace(GL_CW);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);

  if (builtFor != &model || builtCommands != model.numGlCommands) build(model, s);
  const Pose now{model.scale, s.phase, s.currentFrame, s.nextFrame};
  const bool expanded = !posed || !(now == pose);
  if (expanded) {
    expandMd2(model, s);
    pose = now;
    posed = true;
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(vertexCount) * 12, md2ExpandedPositions());
  }

  if (indexCount > 0) {
    const std::uintptr_t n = static_cast<std::uintptr_t>(vertexCount);
    GLint vertexLoc = glGetAttribLocation(program, "vertex");
    GLint normalLoc = glGetAttribLocation(program, "normal");
    GLint texCoordLoc = glGetAttribLocation(program, "texCoord");
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    const std::pair<GLint, std::pair<int, std::uintptr_t>> attributes[] = {
        {vertexLoc, {3, 0}}, {normalLoc, {3, n * 12}}, {texCoordLoc, {2, n * 24}}};
    for (const auto& [location, layout] : attributes) {
      if (location < 0) continue;
      glEnableVertexAttribArray(static_cast<GLuint>(location));
      glVertexAttribPointer(static_cast<GLuint>(location), layout.first, GL_FLOAT, GL_FALSE, 0,
                            reinterpret_cast<const void*>(layout.second));
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr);
    for (const auto& attribute : attributes)
      if (attribute.first >= 0) glDisableVertexAttribArray(static_cast<GLuint>(attribute.first));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);

  glFrontFace(GL_CCW);
  glDisable(GL_CULL_FACE);
  return expanded;
}
