// The MD2 reader, the animation step, frame blending and the model draw over shared scratch arrays.
#include "scene/Md2Model.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "scene/Md2Normals.h"

const Md2Animation md2Animations[kMd2AnimationCount] = {
    {0, 39, 9},     {40, 45, 10},   {46, 53, 10},   {54, 57, 7},    {58, 61, 7},    {62, 65, 7},
    {66, 71, 7},    {72, 83, 7},    {84, 94, 7},    {95, 111, 10},  {112, 122, 7},  {123, 134, 6},
    {135, 153, 10}, {154, 159, 7},  {160, 168, 10}, {169, 172, 7},  {173, 177, 5},  {178, 183, 7},
    {184, 189, 7},  {190, 197, 7},  {198, 198, 5},
};

namespace {

// Shared by every tower draw so that drawing allocates nothing.
glm::vec3 blendedPositions[kMd2ScratchSize];
glm::vec3 expandedPositions[kMd2ScratchSize];
glm::vec3 expandedNormals[kMd2ScratchSize];
glm::vec2 expandedTexCoords[kMd2ScratchSize];

constexpr int32_t kMd2Magic = 0x32504449;  // "IDP2"
constexpr int32_t kMd2Version = 8;
constexpr int64_t kHeaderSize = 68;
constexpr int64_t kFrameHeaderSize = 40;

struct Md2Header {
  int32_t magic, version, skinWidth, skinHeight, frameSize;
  int32_t numSkins, numVertices, numTexCoords, numTriangles, numGlCommands, numFrames;
  int32_t ofsSkins, ofsTexCoords, ofsTriangles, ofsFrames, ofsGlCommands, ofsEnd;
};
static_assert(sizeof(Md2Header) == kHeaderSize, "MD2 header is seventeen int32");

int32_t readInt(const unsigned char* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

float readFloat(const unsigned char* p) {
  float v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// A section of count records of recordSize bytes at offset lies wholly inside the file.
bool sectionFits(int64_t offset, int64_t count, int64_t recordSize, int64_t fileSize) {
  if (count < 0 || offset < 0 || recordSize < 0) return false;
  if (count == 0) return offset <= fileSize;
  return offset <= fileSize && count * recordSize <= fileSize - offset;
}

// Walks the GL command list the way drawMd2 does and checks that every command fits in the list, every
// vertex index names a vertex of the frame, and the expanded vertices fit the scratch arrays.
bool glCommandsValid(const int* commands, int numCommands, int numFrameVertices) {
  int i = 0;
  int64_t expanded = 0;
  while (i < numCommands) {
    int32_t n = commands[i++];
    if (n == 0) return true;
    if (n == INT32_MIN) return false;
    int64_t count = n > 0 ? n : -static_cast<int64_t>(n);
    if (count * 3 > numCommands - i) return false;
    for (int64_t k = 0; k < count; ++k) {
      int32_t index = commands[i + 2];
      if (index < 0 || index >= numFrameVertices) return false;
      i += 3;
    }
    expanded += count;
    if (expanded > kMd2ScratchSize) return false;
  }
  return true;
}

bool readFile(const char* path, std::vector<unsigned char>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

void Md2Model::clear() {
  frameVertices.clear();
  glCommands.clear();
  normalIndices.clear();
  numFrames = numFrameVertices = numGlCommands = 0;
}

Md2AnimationState startAnimation(int animation) {
  Md2AnimationState s;
  if (animation < 0 || animation >= kMd2AnimationCount) animation = 0;
  s.firstFrame = md2Animations[animation].firstFrame;
  s.lastFrame = md2Animations[animation].lastFrame;
  s.fps = md2Animations[animation].fps;
  s.currentFrame = s.firstFrame;
  s.nextFrame = s.firstFrame + 1;
  return s;
}

bool loadMd2(Md2Model& model) { return loadMd2(model, "models/tris.md2"); }

bool loadMd2(Md2Model& model, const char* path) {
  model.clear();
  std::vector<unsigned char> bytes;
  if (!readFile(path, bytes)) return false;
  return loadMd2FromMemory(model, bytes.data(), bytes.size());
}

bool loadMd2FromMemory(Md2Model& model, const unsigned char* bytes, size_t size) {
  model.clear();
  if (!bytes || size > static_cast<size_t>(INT64_MAX)) return false;
  const int64_t fileSize = static_cast<int64_t>(size);
  if (fileSize < kHeaderSize) return false;

  Md2Header h;
  std::memcpy(&h, bytes, sizeof h);
  if (h.magic != kMd2Magic || h.version != kMd2Version) return false;

  // Every section the header announces must lie inside the file, even those the game does not read:
  // a header that promises more than the file holds marks a damaged file.
  if (h.ofsEnd < kHeaderSize || h.ofsEnd > fileSize) return false;
  if (!sectionFits(h.ofsSkins, h.numSkins, 64, fileSize)) return false;
  if (!sectionFits(h.ofsTexCoords, h.numTexCoords, 4, fileSize)) return false;
  if (!sectionFits(h.ofsTriangles, h.numTriangles, 12, fileSize)) return false;
  if (!sectionFits(h.ofsGlCommands, h.numGlCommands, 4, fileSize)) return false;
  if (h.numFrames < 1 || h.numVertices < 1 || h.numVertices > kMd2ScratchSize) return false;
  if (h.frameSize < kFrameHeaderSize + 4 * static_cast<int64_t>(h.numVertices)) return false;
  if (!sectionFits(h.ofsFrames, h.numFrames, h.frameSize, fileSize)) return false;

  std::vector<int> commands(static_cast<size_t>(h.numGlCommands));
  for (int i = 0; i < h.numGlCommands; ++i) commands[i] = readInt(&bytes[h.ofsGlCommands + 4 * int64_t(i)]);
  if (!glCommandsValid(commands.data(), h.numGlCommands, h.numVertices)) return false;

  const size_t total = static_cast<size_t>(h.numFrames) * static_cast<size_t>(h.numVertices);
  std::vector<glm::vec3> positions(total);
  std::vector<int> normals(total);
  for (int i = 0; i < h.numFrames; ++i) {
    const unsigned char* frame = &bytes[h.ofsFrames + int64_t(i) * h.frameSize];
    glm::vec3 scale(readFloat(frame), readFloat(frame + 4), readFloat(frame + 8));
    glm::vec3 translate(readFloat(frame + 12), readFloat(frame + 16), readFloat(frame + 20));
    const unsigned char* v = frame + kFrameHeaderSize;
    for (int j = 0; j < h.numVertices; ++j, v += 4) {
      if (v[3] >= kMd2NormalCount) return false;
      size_t at = static_cast<size_t>(i) * h.numVertices + j;
      positions[at] = glm::vec3(v[0], v[1], v[2]) * scale + translate;
      normals[at] = v[3];
    }
  }

  model.numFrames = h.numFrames;
  model.numFrameVertices = h.numVertices;
  model.numGlCommands = h.numGlCommands;
  model.frameVertices = std::move(positions);
  model.normalIndices = std::move(normals);
  model.glCommands = std::move(commands);
  return true;
}

void blendFrames(const Md2Model& model, float phase, int current, int next, glm::vec3* out) {
  if (model.numFrames < 1 || model.frameVertices.empty()) return;
  if (current < 0 || current >= model.numFrames) current = 0;
  if (next < 0 || next >= model.numFrames) next = 0;
  const glm::vec3* a = model.frameVertices.data() + static_cast<size_t>(current) * model.numFrameVertices;
  const glm::vec3* b = model.frameVertices.data() + static_cast<size_t>(next) * model.numFrameVertices;
  for (int j = 0; j < model.numFrameVertices; ++j) out[j] = (a[j] + phase * (b[j] - a[j])) * model.scale;
}

void stepAnimation(Md2AnimationState& s, const Md2Model& model, float dt) {
  s.currentTime += dt;
  if (s.currentTime - s.stepTime > 1.0f / s.fps) {
    s.currentFrame = s.nextFrame;
    s.nextFrame += 1;
    if (s.nextFrame > s.lastFrame) s.nextFrame = s.firstFrame;
    s.stepTime = s.currentTime;
  }
  if (s.currentFrame > model.numFrames - 1) s.currentFrame = 0;
  if (s.nextFrame > model.numFrames - 1) s.nextFrame = 0;
  s.phase = (s.currentTime - s.stepTime) * s.fps;
}

int expandMd2(const Md2Model& model, const Md2AnimationState& s) {
  blendFrames(model, s.phase, s.currentFrame, s.nextFrame, blendedPositions);
  // The loader has checked every command against the list's length, the frame's vertices and the
  // scratch arrays, so the walk below stays inside all of them.
  const int* cmd = model.glCommands.data();
  int i = 0;
  int k = 0;
  while (cmd && model.numFrameVertices > 0 && i < model.numGlCommands) {
    int n = cmd[i++];
    if (n == 0) break;
    int count = n > 0 ? n : -n;
    for (int v = 0; v < count; ++v, i += 3, ++k) {
      int index = cmd[i + 2];
      float st[2];
      std::memcpy(st, &cmd[i], sizeof st);
      expandedTexCoords[k] = glm::vec2(st[0], st[1]);
      expandedPositions[k] = blendedPositions[index];
      const float* normal = kMd2Normals[model.normalIndices[index]];
      expandedNormals[k] = glm::vec3(normal[0], normal[1], normal[2]);
    }
  }
  return k;
}

void drawMd2(const Md2Model& model, const Md2AnimationState& s, GLuint program) {
  expandMd2(model, s);

  glFrontFace(GL_CW);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);

  GLint vertexLoc = glGetAttribLocation(program, "vertex");
  GLint normalLoc = glGetAttribLocation(program, "normal");
  GLint texCoordLoc = glGetAttribLocation(program, "texCoord");
  if (vertexLoc >= 0) glEnableVertexAttribArray(vertexLoc);
  if (normalLoc >= 0) glEnableVertexAttribArray(normalLoc);
  if (texCoordLoc >= 0) glEnableVertexAttribArray(texCoordLoc);

  // The loader has checked every command against the list's length, the frame's vertices and the
  // scratch arrays, so the walk below stays inside all of them.
  const int* cmd = model.glCommands.data();
  int i = 0;
  int k = 0;
  while (cmd && model.numFrameVertices > 0 && i < model.numGlCommands) {
    int n = cmd[i++];
    if (n == 0) break;
    GLenum mode = n > 0 ? GL_TRIANGLE_STRIP : GL_TRIANGLE_FAN;
    int count = n > 0 ? n : -n;
    if (normalLoc >= 0) glVertexAttribPointer(normalLoc, 3, GL_FLOAT, GL_FALSE, 0, expandedNormals);
    if (vertexLoc >= 0) glVertexAttribPointer(vertexLoc, 3, GL_FLOAT, GL_FALSE, 0, expandedPositions);
    if (texCoordLoc >= 0) glVertexAttribPointer(texCoordLoc, 2, GL_FLOAT, GL_FALSE, 0, expandedTexCoords);
    glDrawArrays(mode, k, count);
    i += 3 * count;
    k += count;
  }

  if (vertexLoc >= 0) glDisableVertexAttribArray(vertexLoc);
  if (normalLoc >= 0) glDisableVertexAttribArray(normalLoc);
  if (texCoordLoc >= 0) glDisableVertexAttribArray(texCoordLoc);
  glFrontFace(GL_CCW);
  glDisable(GL_CULL_FACE);
}

const glm::vec3* md2ExpandedPositions() { return expandedPositions; }
const glm::vec3* md2ExpandedNormals() { return expandedNormals; }
const glm::vec2* md2ExpandedTexCoords() { return expandedTexCoords; }
