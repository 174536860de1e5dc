// One tower's MD2 figure in buffer objects: the pose is expanded and uploaded only when it changed since the
// last draw, so the three passes of a frame share one upload, and each draw is a single indexed call.
#pragma once

#include <GL/glew.h>

#include "scene/Md2Model.h"

class Md2Figure {
 public:
  Md2Figure() = default;
  ~Md2Figure();
  Md2Figure(const Md2Figure&) = delete;
  Md2Figure& operator=(const Md2Figure&) = delete;

  // Draws the model at the state's pose as drawMd2 does (same triangles in the same order and winding,
  // clockwise front faces culled from the back, culling off and counter-clockwise again afterwards).
  // True when the pose was expanded anew, so md2ExpandedPositions() holds this figure's positions.
  bool draw(const Md2Model& model, const Md2AnimationState& s, GLuint program);

 private:
  struct Pose {
    float scale = 0.0f;
    float phase = 0.0f;
    int current = -1;
    int next = -1;
    bool operator==(const Pose& o) const {
      return scale == o.scale && phase == o.phase && current == o.current && next == o.next;
    }
  };

  // Buffers for the model's command list: positions (rewritten per pose), then normals and texture
  // coordinates, and the strips and fans as one triangle list.
  void build(const Md2Model& model, const Md2AnimationState& s);

  GLuint vbo = 0;
  GLuint ibo = 0;
  int vertexCount = 0;
  int indexCount = 0;
  const Md2Model* builtFor = nullptr;
  int builtCommands = -1;
  bool posed = false;
  Pose pose;
};
