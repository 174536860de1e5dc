// The key-framed MD2 model the towers are drawn with: the shared model record, the loader, the animation
// list and step, frame blending, and the draw from the model's GL command list.
#pragma once

#include <GL/glew.h>

#include <cstddef>

#include <glm/glm.hpp>
#include <vector>

// Drawing reuses static scratch arrays of this many entries, so a loadable model never has more vertices
// per frame, nor more vertices over all its GL commands.
constexpr int kMd2ScratchSize = 4096;

struct Md2Model {
  int numFrames = 0;
  int numFrameVertices = 0;
  int numGlCommands = 0;
  // Frame-major: vertex j of frame i at i * numFrameVertices + j.
  std::vector<glm::vec3> frameVertices;
  std::vector<int> glCommands;
  std::vector<int> normalIndices;
  float scale = 1.0f;

  // Empties the arrays and sets the counts to zero; the scale is kept.
  void clear();
};

struct Md2Animation {
  int firstFrame;
  int lastFrame;
  int fps;
};

constexpr int kMd2AnimationCount = 21;
extern const Md2Animation md2Animations[kMd2AnimationCount];

struct Md2AnimationState {
  int firstFrame = 0;
  int lastFrame = 39;
  int fps = 9;
  float currentTime = 0.0f;
  float stepTime = 0.0f;
  float phase = 0.0f;
  int currentFrame = 0;
  int nextFrame = 1;
};

// The state at the start of entry `animation` of the animation list (times and phase zero).
Md2AnimationState startAnimation(int animation);

// Reads "models/tris.md2" from the working directory.
bool loadMd2(Md2Model& model);
// Reads an MD2 file. A file that is missing, of another format, truncated, or whose offsets, counts or GL
// commands do not fit the file or the scratch arrays is rejected: false, and the model is left empty.
bool loadMd2(Md2Model& model, const char* path);
// The same checks and reading for an MD2 file already in memory; the path form reads the file and calls this.
bool loadMd2FromMemory(Md2Model& model, const unsigned char* bytes, size_t size);

// Writes numFrameVertices blended positions, scaled by model.scale, to out. A frame number outside the
// model counts as frame 0; a model without frames writes nothing.
void blendFrames(const Md2Model& model, float phase, int current, int next, glm::vec3* out);

// Advances the animation clock by dt; steps at most one key frame per call.
void stepAnimation(Md2AnimationState& s, const Md2Model& model, float dt);

// Blends the state's frames and expands them along the GL command list into the shared scratch arrays
// (positions, normals of frame 0, texture coordinates of the packets); returns the number of vertices.
int expandMd2(const Md2Model& model, const Md2AnimationState& s);

// Draws the model blended at the state's frames with the program's "vertex", "normal" and "texCoord"
// attributes; the caller has bound the skin and set the model matrix and material. Front faces are
// clockwise and culled from the back while the model draws; afterwards culling is off and front faces
// counter-clockwise again.
void drawMd2(const Md2Model& model, const Md2AnimationState& s, GLuint program);

// The positions drawMd2 last expanded from the GL commands (kMd2ScratchSize entries; the tail keeps
// whatever earlier draws left, zero at program start).
const glm::vec3* md2ExpandedPositions();
// Normals and texture coordinates of the last expansion, in the same order.
const glm::vec3* md2ExpandedNormals();
const glm::vec2* md2ExpandedTexCoords();
