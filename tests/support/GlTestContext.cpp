// One hidden window with a compatibility context shared by every GL test of a process.
#include "GlTestContext.h"

#include <GL/glew.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Platform.h"

#include <stb/stb_image_write.h>

void ensureGlContext() {
  static bool ready = false;
  static bool failed = false;
  if (ready) return;
  ASSERT_FALSE(failed) << "GL context creation failed earlier in this process";
  failed = true;
  ASSERT_EQ(chdir(VARROW_RUN_DIR), 0) << "cannot enter " << VARROW_RUN_DIR;
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "GL tests need an X display (run them under xvfb-run)";
  ASSERT_TRUE(platform::init());
  ASSERT_TRUE(platform::openWindow(1024, 768, 24, 8, false));
  ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
  failed = false;
  ready = true;
}

std::string readPixelsRgba(int x, int y, int w, int h) {
  std::string pixels(static_cast<size_t>(w) * h * 4, '\0');
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, &pixels[0]);
  return pixels;
}

bool writePng(const std::string& path, int w, int h, const std::string& rgba) {
  stbi_flip_vertically_on_write(1);
  int ok = stbi_write_png(path.c_str(), w, h, 4, rgba.data(), w * 4);
  stbi_flip_vertically_on_write(0);
  return ok != 0;
}
