// Fuzzes the MD2 reader, then walks what it accepted the way the animation step, the blend and the draw
// will: every index the draw follows must stay inside the model and the shared scratch arrays.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <glm/glm.hpp>

#include "scene/Md2Model.h"
#include "scene/Md2Normals.h"

namespace {

glm::vec3 scratch[kMd2ScratchSize];

void checkCommands(const Md2Model& model) {
  int i = 0;
  int expanded = 0;
  while (!model.glCommands.empty() && i < model.numGlCommands) {
    int n = model.glCommands[i++];
    if (n == 0) break;
    int count = n > 0 ? n : -n;
    for (int v = 0; v < count; ++v, i += 3, ++expanded) {
      if (i + 2 >= model.numGlCommands) std::abort();
      int index = model.glCommands[i + 2];
      if (index < 0 || index >= model.numFrameVertices) std::abort();
      int normal = model.normalIndices[index];
      if (normal < 0 || normal >= kMd2NormalCount) std::abort();
      if (expanded >= kMd2ScratchSize) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Md2Model model;
  if (!loadMd2FromMemory(model, data, size)) {
    if (model.numFrames != 0 || !model.frameVertices.empty() || !model.glCommands.empty() || !model.normalIndices.empty())
      std::abort();
    return 0;
  }
  if (model.numFrames < 1 || model.numFrameVertices < 1 || model.numFrameVertices > kMd2ScratchSize) std::abort();
  checkCommands(model);
  Md2AnimationState state = startAnimation(static_cast<int>(size % kMd2AnimationCount));
  for (int step = 0; step < 4; ++step) {
    stepAnimation(state, model, 0.2f);
    blendFrames(model, state.phase, state.currentFrame, state.nextFrame, scratch);
  }
  blendFrames(model, 0.5f, model.numFrames - 1, 0, scratch);
  return 0;
}
