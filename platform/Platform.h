// Our thin layer over GLFW 3: the GLFW 2.7 behaviour the game relies on (one window, one settable timer,
// a wheel position, 2.7 key codes, callbacks run inside the buffer swap) and the seam where tests put a
// manual clock and injected input.
#pragma once

namespace platform {

// GLFW 2.7 values. Letters and digits are their upper-case ASCII codes.
constexpr int RELEASE = 0;
constexpr int PRESS = 1;
constexpr int KEY_SPACE = 32;
constexpr int KEY_ESC = 257;
constexpr int KEY_F1 = 258;
constexpr int KEY_F2 = 259;
constexpr int KEY_F3 = 260;
constexpr int KEY_F4 = 261;
constexpr int KEY_F5 = 262;
constexpr int KEY_F6 = 263;
constexpr int KEY_F7 = 264;
constexpr int KEY_F8 = 265;
constexpr int KEY_F9 = 266;
constexpr int KEY_F10 = 267;
constexpr int KEY_UP = 283;
constexpr int KEY_DOWN = 284;
constexpr int KEY_LEFT = 285;
constexpr int KEY_RIGHT = 286;
constexpr int KEY_TAB = 293;
constexpr int KEY_ENTER = 294;
constexpr int KEY_PAGEUP = 298;
constexpr int KEY_PAGEDOWN = 299;
constexpr int KEY_LAST = 325;
constexpr int MOUSE_BUTTON_LEFT = 0;
constexpr int MOUSE_BUTTON_RIGHT = 1;
constexpr int MOUSE_BUTTON_LAST = 7;

using KeyCallback = void (*)(int key, int action);
using MouseButtonCallback = void (*)(int button, int action);
using WindowSizeCallback = void (*)(int width, int height);

bool init();
// A windowed, double-buffered window with the given depth and stencil bits and the driver's default
// (compatibility) context, made current. A hidden window serves tests that need only a context.
// Fullscreen covers the primary monitor at its current mode and ignores width and height.
bool openWindow(int width, int height, int depthBits, int stencilBits, bool visible = true, bool fullscreen = false);
void setWindowTitle(const char* title);
// Resizes the window's client area; in fullscreen it only changes the size the window gets back.
void setWindowSize(int width, int height);
// Puts the window on the primary monitor at its current mode, or back into a window of width x height.
void setFullscreen(bool fullscreen, int width, int height);
// Buffer swaps wait for this many screen refreshes: 1 is vsync, 0 swaps at once.
void setSwapInterval(int interval);
void enableMouseCursor();
// True while a window is open and nobody asked it to close.
bool windowOpened();
// True while a GL context is current; destructors that may run after shutdown check it before GL calls.
// Before init and after terminate it is false without asking GLFW.
bool hasCurrentContext();
// A context made current outside this layer (a headless EGL context) counts as current while this is on.
void useExternalContext(bool current);
void terminate();
// Swaps the buffers, then processes window events, which runs the callbacks.
void swapBuffers();
void pollEvents();

double getTime();
void setTime(double seconds);

int getKey(int key);
int getMouseButton(int button);
void getMousePos(int* x, int* y);
int getMouseWheel();
void setMouseWheel(int position);

void setKeyCallback(KeyCallback callback);
void setMouseButtonCallback(MouseButtonCallback callback);
// Calls the new callback once at once with the current window size, as GLFW 2.7 did.
void setWindowSizeCallback(WindowSizeCallback callback);
MouseButtonCallback mouseButtonCallback();
KeyCallback keyCallback();

// Reads a TGA file into the texture bound to GL_TEXTURE_2D and builds its full mipmap chain.
// Returns false, leaving the texture untouched, when the file is missing or not a usable image.
bool loadTexture2D(const char* path);

// Test seam. With the manual clock, time moves only through setTime and advanceTime.
// With injected input, polling reads the injected state instead of the window's.
void useManualClock(bool manual);
void advanceTime(double seconds);
void useInjectedInput(bool injected);
void injectKey(int key, bool down);
void injectMouseButton(int button, bool down);
void injectCursor(int x, int y);
void clearInjectedInput();

}  // namespace platform
