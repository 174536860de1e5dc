// The overlay's outlines on the ground and health bars, gathered every frame into two vertex lists and drawn in
// the world with one flat-coloured texture; and the wave line, worked out from the spawn points' waves.
#include "hud/Overlay.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <utility>

#include <glm/gtc/type_ptr.hpp>

#include "platform/Core.h"
#include "input/Camera.h"
#include "game/Game.h"
#include "hud/TextRenderer.h"
#include "game/PlayerActions.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/Map.h"
#include "scene/MatchClock.h"
#include "scene/SpawnPoint.h"
#include "scene/Tower.h"

namespace {

// Texels of the colour texture, in this order.
enum Colour { kPlain, kWarning, kHealth, kHealthLost, kColourCount };
const unsigned char kPalette[kColourCount][4] = {
    {255, 215, 70, 255},   // a reach where a click builds, and the selected tower's
    {255, 60, 40, 255},    // a reach where a click would not build
    {70, 230, 70, 255},    // hit points left
    {150, 30, 30, 255},    // hit points lost
};

// Just above the spawn paths' lines, which lie 0.1 above the board.
constexpr float kOutlineHeight = 0.15f;
constexpr float kOutlineWidth = 3.0f;  // pixels, as the paths
// Centred above the 2-unit enemy box, as wide as the box.
constexpr float kBarCentreHeight = 2.8f;
constexpr float kBarWidth = 2.0f;
constexpr float kBarThickness = 0.3f;
// Where the wave line ends, in HUD pixels: left of the money, which ends at 400 plus its last digit.
constexpr float kWaveLineRight = 300.0f;

glm::vec2 texelCentre(int colour) { return {(colour + 0.5f) / kColourCount, 0.5f}; }

}  // namespace

Overlay::~Overlay() {
  if (palette_ && platform::hasCurrentContext()) glDeleteTextures(1, &palette_);
}

void Overlay::addSquare(float x, float z, double halfWidth, int colour) {
  // Only the part on the board: no enemy walks beyond it.
  const float board = game.map ? 2.0f * game.map->getGridSize() : 0.0f;
  const float h = static_cast<float>(halfWidth);
  const float x0 = std::max(x - h, 0.0f), x1 = std::min(x + h, board);
  const float z0 = std::max(z - h, -board), z1 = std::min(z + h, 0.0f);
  if (x0 >= x1 || z0 >= z1) return;
  const glm::vec4 corners[4] = {{x0, kOutlineHeight, z0, 1.0f}, {x1, kOutlineHeight, z0, 1.0f},
                                {x1, kOutlineHeight, z1, 1.0f}, {x0, kOutlineHeight, z1, 1.0f}};
  for (int side = 0; side < 4; ++side) {
    lines_.push_back({corners[side], texelCentre(colour)});
    lines_.push_back({corners[(side + 1) % 4], texelCentre(colour)});
  }
}

void Overlay::addQuad(const glm::vec3& corner, const glm::vec3& along, const glm::vec3& up, int colour) {
  const glm::vec3 points[6] = {corner, corner + along, corner + along + up, corner, corner + along + up, corner + up};
  for (const glm::vec3& p : points) triangles_.push_back({glm::vec4(p, 1.0f), texelCentre(colour)});
}

void Overlay::addBar(const glm::vec3& centre, const glm::vec3& right, const glm::vec3& up, float share) {
  const glm::vec3 start = centre - right * (kBarWidth / 2.0f) - up * (kBarThickness / 2.0f);
  const glm::vec3 kept = right * (kBarWidth * share);
  // Side by side, never overlapping, so the two parts cannot fight over the same depth.
  addQuad(start, kept, up * kBarThickness, kHealth);
  addQuad(start + kept, right * (kBarWidth * (1.0f - share)), up * kBarThickness, kHealthLost);
}

void Overlay::drawArrays(GLint vertex, GLint texCoord, GLenum mode, const std::vector<Vertex>& vertices) {
  if (vertex >= 0) glVertexAttribPointer(vertex, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), &vertices[0].position);
  if (texCoord >= 0) glVertexAttribPointer(texCoord, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), &vertices[0].texCoord);
  glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size()));
}

void Overlay::drawWorld(GLuint program, const glm::mat4& projection, const glm::mat4& view) {
  lines_.clear();
  triangles_.clear();
  BuildPreview preview;
  const TowerKind* kind = findTowerKind(game.selectedTowerType);
  if (kind && buildPreviewAt(core.mouseX, core.mouseY, &preview))
    addSquare(preview.x, preview.z, kind->distance, preview.builds ? kPlain : kWarning);
  if (const Tower* tower = game.selectedTower) addSquare(tower->posX, tower->posZ, tower->distance, kPlain);

  // The camera's right and up axes in the world: a quad spanned by them faces the camera.
  const glm::vec3 right(view[0][0], view[1][0], view[2][0]);
  const glm::vec3 up(view[0][1], view[1][1], view[2][1]);
  for (auto& enemy : game.enemies) {
    const double full = enemy->fullHitPoints;
    if (enemy->hitPoints >= full) continue;
    const float share = static_cast<float>(std::max(enemy->hitPoints, 0.0) / full);
    const glm::vec4 above(enemy->centreX, kBarCentreHeight, enemy->centreZ, 1.0f);
    addBar(glm::vec3(enemy->getModelMatrix() * above), right, up, share);
  }
  if (lines_.empty() && triangles_.empty()) return;

  if (!palette_) {
    glGenTextures(1, &palette_);
    glBindTexture(GL_TEXTURE_2D, palette_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kColourCount, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, kPalette);
  }
  glEnable(GL_DEPTH_TEST);
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "font"), 0);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, palette_);
  glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
  const glm::mat4 camera = projection * view;
  glUniformMatrix4fv(glGetUniformLocation(program, "view"), 1, GL_FALSE, glm::value_ptr(camera));
  // Client-side arrays: a buffer object left bound by a scene draw would turn the pointers into offsets.
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  const GLint vertex = glGetAttribLocation(program, "vertex");
  const GLint texCoord = glGetAttribLocation(program, "texCoord");
  if (vertex >= 0) glEnableVertexAttribArray(vertex);
  if (texCoord >= 0) glEnableVertexAttribArray(texCoord);
  if (!lines_.empty()) {
    // Wireframe polygons are drawn with the line width too: the next draws get theirs back.
    GLfloat lineWidth = 1.0f;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    glLineWidth(kOutlineWidth);
    drawArrays(vertex, texCoord, GL_LINES, lines_);
    glLineWidth(lineWidth);
  }
  if (!triangles_.empty()) drawArrays(vertex, texCoord, GL_TRIANGLES, triangles_);
  if (vertex >= 0) glDisableVertexAttribArray(vertex);
  if (texCoord >= 0) glDisableVertexAttribArray(texCoord);
}

void Overlay::drawWaveLine(TextRenderer& text) {
  const std::string line = currentWaveLine();
  if (line.empty()) return;
  // Laid out left to right: right to left, each glyph would step back by its successor's advance, which
  // only suits digits of one width.
  text.drawText(line.c_str(), true, kWaveLineRight - static_cast<float>(textWidth(text.font, line.c_str())), 350.0f);
}

std::string waveLineText(const std::vector<double>& startTimes, double now, bool everyWaveSent) {
  if (startTimes.empty() || everyWaveSent) return "";
  const size_t started = std::upper_bound(startTimes.begin(), startTimes.end(), now) - startTimes.begin();
  if (started == startTimes.size()) return "Last wave";
  std::ostringstream line;
  line << "Wave " << std::max<size_t>(started, 1) << '/' << startTimes.size() << " \xC2\xB7 next in "
       << static_cast<long long>(std::ceil(startTimes[started] - now)) << " s";
  return line.str();
}

std::string currentWaveLine() {
  if (game.gameState != Running && game.gameState != Paused) return "";
  bool everyWaveSent = true;
  for (auto& spawnPoint : game.spawnPoints) everyWaveSent = everyWaveSent && spawnPoint->waveIndex >= spawnPoint->waveCount;
  // A pause takes no steps, so the match time stands where the pause began.
  return waveLineText(game.waveStartTimes(), matchClock.now(), everyWaveSent);
}
