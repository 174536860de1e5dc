// The one draw that text and HUD pictures share: indexed, textured quads from client memory through the
// HUD program, in the pixel coordinates of the view matrix.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

// fontMode is the program's "font" uniform during the draw (1 for glyph pages, 0 for pictures); it is 0 again
// afterwards. A filter of 0 leaves the texture's filter as it is. Depth testing is left switched off.
void drawScreenQuads(GLuint program, int fontMode, GLuint texture, GLint minFilter, GLint magFilter,
                     const glm::mat4& view, const float* vertices, const float* texCoords,
                     const unsigned int* indices, int indexCount);
