// The smaller framebuffer the 3-D picture is drawn into below 100 % render scale: a colour texture the stretch
// onto the window samples, and a depth renderbuffer.
#pragma once

#include <GL/glew.h>

class SceneTarget {
 public:
  SceneTarget() = default;
  SceneTarget(const SceneTarget&) = delete;
  SceneTarget& operator=(const SceneTarget&) = delete;
  ~SceneTarget() { release(); }

  // Binds the target for drawing at width x height, remaking it when the size changed, and sets the viewport.
  void bind(int width, int height);
  GLuint framebuffer() const { return framebuffer_; }
  GLuint colourTexture() const { return colour_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Frees the GL objects while a context is current.
  void release();

 private:
  GLuint framebuffer_ = 0;
  GLuint colour_ = 0;
  GLuint depth_ = 0;
  int width_ = 0;
  int height_ = 0;
};
