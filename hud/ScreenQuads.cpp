// Screen-space quad drawing for text and the HUD.
#include "hud/ScreenQuads.h"

void drawScreenQuads(GLuint program, int fontMode, GLuint texture, GLint minFilter, GLint magFilter,
                     const glm::mat4& view, const float* vertices, const float* texCoords,
                     const unsigned int* indices, int indexCount) {
  glDisable(GL_DEPTH_TEST);
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "font"), fontMode);

  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture);
  if (minFilter != 0) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  if (magFilter != 0) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);

  glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
  glUniformMatrix4fv(glGetUniformLocation(program, "view"), 1, GL_FALSE, &view[0][0]);

  // Client-side arrays: a buffer object left bound by a scene draw would turn the pointers into offsets.
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  GLint vertexLocation = glGetAttribLocation(program, "vertex");
  GLint texCoordLocation = glGetAttribLocation(program, "texCoord");
  if (vertexLocation >= 0) {
    glEnableVertexAttribArray(vertexLocation);
    glVertexAttribPointer(vertexLocation, 4, GL_FLOAT, GL_FALSE, 0, vertices);
  }
  if (texCoordLocation >= 0) {
    glEnableVertexAttribArray(texCoordLocation);
    glVertexAttribPointer(texCoordLocation, 2, GL_FLOAT, GL_FALSE, 0, texCoords);
  }
  // With every colour channel masked (the shadow pass) and the depth test off, the quads cannot change a
  // pixel: the rasteriser drops them instead of running the texture lookups on every fragment.
  GLboolean writes[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
  glGetBooleanv(GL_COLOR_WRITEMASK, writes);
  const bool invisible = !writes[0] && !writes[1] && !writes[2] && !writes[3];
  if (invisible) glEnable(GL_RASTERIZER_DISCARD);
  glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, indices);
  if (invisible) glDisable(GL_RASTERIZER_DISCARD);
  if (vertexLocation >= 0) glDisableVertexAttribArray(vertexLocation);
  if (texCoordLocation >= 0) glDisableVertexAttribArray(texCoordLocation);
  glUniform1i(glGetUniformLocation(program, "font"), 0);
}
