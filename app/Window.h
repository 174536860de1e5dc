// The game window's size bookkeeping and the fixed GL state every frame relies on.
#pragma once

// Window-size callback: keeps windowWidth/windowHeight and the viewport in step with the client area.
// An empty client area (width or height 0) changes nothing.
void onWindowSize(int width, int height);

// Back-face culling, depth test, full-window viewport, smooth shading; set once at start-up.
void setInitialGlState();
