// The player's aid switched with F9: the reach of the tower about to be built and of the selected tower
// outlined on the ground, health bars over damaged enemies, and the wave line in the top strip.
#pragma once

#include <GL/glew.h>

#include <glm/glm.hpp>
#include <string>
#include <vector>

class TextRenderer;

class Overlay {
 public:
  // Hidden at start, so the game looks as it always did until the player asks for more.
  bool shown = false;

  Overlay() = default;
  Overlay(const Overlay&) = delete;
  Overlay& operator=(const Overlay&) = delete;
  // Frees its colour texture while a GL context is current; after shutdown GL has gone with the context.
  ~Overlay();

  // The outlines and health bars under the pass's camera, tested against the scene's depth, with the HUD
  // program, which shows a texture's colours as they are.
  void drawWorld(GLuint program, const glm::mat4& projection, const glm::mat4& view);
  // The wave line in the top strip, right-aligned left of the money.
  void drawWaveLine(TextRenderer& text);

 private:
  struct Vertex {
    glm::vec4 position;
    glm::vec2 texCoord;
  };
  void addSquare(float x, float z, double halfWidth, int colour);
  void addBar(const glm::vec3& centre, const glm::vec3& right, const glm::vec3& up, float share);
  void addQuad(const glm::vec3& corner, const glm::vec3& along, const glm::vec3& up, int colour);
  // One draw of non-empty client-side vertices through the program's enabled "vertex" and "texCoord".
  static void drawArrays(GLint vertex, GLint texCoord, GLenum mode, const std::vector<Vertex>& vertices);

  GLuint palette_ = 0;  // one texel per colour, made at the first draw
  // Rebuilt every frame; kept to reuse their memory.
  std::vector<Vertex> lines_;
  std::vector<Vertex> triangles_;
};

// The wave line for a level whose waves start at startTimes (match seconds, earliest first, each time once, as
// Level::waveStartTimes gives them: waves of several spawn points that start together are one wave) at match
// time now. A wave has started from its start time on
// (its spawn points send its first enemy in the first frame after it). The line names the last wave that has
// started, or the first while none has, and counts down to the start of the next one in whole seconds rounded
// up, so it never says 0 s: "Wave 2/6 · next in 14 s" from 14 s before that start until 13 s before it.
// From the start of the last wave it says "Last wave"; once every wave has been sent, and for a level without
// waves, the line is empty.
std::string waveLineText(const std::vector<double>& startTimes, double now, bool everyWaveSent);

// The game's wave line now: empty once the match is over; while paused, as at the moment of the pause.
std::string currentWaveLine();
