// Window size tracking and the initial GL state.
#include "app/Window.h"

#include "app/Globals.h"

void onWindowSize(int width, int height) {
  windowWidth = width;
  windowHeight = height;
  glViewport(0, 0, width, height);
}

void setInitialGlState() {
  // The board is counter-clockwise seen from above, so the default front face and culled face are right.
  glEnable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glViewport(0, 0, windowWidth, windowHeight);
  glShadeModel(GL_SMOOTH);
}
