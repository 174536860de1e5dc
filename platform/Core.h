// The window's size and the cursor, as the size callback and the frame's start last saw them. Start-up, the
// camera, picking, the HUD and the frame's passes all read them; only the size callback and the frame update
// write them.
#pragma once

struct Core {
  int windowWidth = 1024;
  int windowHeight = 768;
  // Window pixels from the top-left corner, sampled once at the start of each frame update.
  int mouseX = 0;
  int mouseY = 0;
};

extern Core core;
