// Window size tracking and the initial GL state.
#include "app/Window.h"

#include "platform/Core.h"

void onWindowSize(int width, int height) {
  // A minimised window may report an empty client area; the aspect ratio and the HUD fractions divide by
  // the size, so the last usable size and viewport stay until the window has an area again.
  if (width <= 0 || height <= 0) return;
  core.windowWidth = width;
  core.windowHeight = height;
  glViewport(0, 0, width, height);
}

void setInitialGlState() {
  // The board is counter-clockwise seen from above, so the default front face and culled face are right.
  glEnable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glViewport(0, 0, core.windowWidth, core.windowHeight);
  glShadeModel(GL_SMOOTH);
}
