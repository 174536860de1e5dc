// One hidden window with a compatibility context shared by every GL test of a process.
#include "GlTestContext.h"

#include <GL/glew.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Platform.h"

#include <stb/stb_image_write.h>

void ensureGlContext() {
  static bool ready = false;
  // A busy X server now and then turns a new client away; that is the machine, not the code under test.
  for (int attempt = 0; !ready && attempt < 10; ++attempt) {
    ready = chdir(VARROW_RUN_DIR) == 0 && platform::init() && platform::openWindow(1024, 768, 24, 8, false) &&
            glewInit() == GLEW_OK;
    if (!ready) platform::terminate();
    if (!ready) usleep(300000);
  }
  ASSERT_TRUE(ready) << "no GL window in " << VARROW_RUN_DIR << " on display " << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(none)");
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
