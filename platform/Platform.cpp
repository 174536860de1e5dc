// GLFW 3 behind the GLFW 2.7 interface of Platform.h: key code mapping, the wheel position, the settable
// timer, size callback at registration, and the manual clock and injected input used by tests.
#include "platform/Platform.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdio>

namespace platform {
namespace {

GLFWwindow* window = nullptr;
KeyCallback keyHandler = nullptr;
MouseButtonCallback mouseButtonHandler = nullptr;
WindowSizeCallback windowSizeHandler = nullptr;
int wheelPosition = 0;
double scrollRemainder = 0.0;
// The cursor as of the last event handled, like GLFW 2.7: a click handled a frame late still sees the cursor
// where the button went down, not where it has moved to since.
double cursorX = 0.0;
double cursorY = 0.0;

// GLFW answers every call made before glfwInit or after glfwTerminate with an error report, so the layer
// keeps track of its own life and answers such questions itself.
bool initialised = false;
// Where the window stood before it went fullscreen, to put it back there.
int windowedX = 0;
int windowedY = 0;
bool externalContext = false;

bool manualClock = false;
double manualTime = 0.0;

bool injectedInput = false;
bool injectedKeys[KEY_LAST + 1] = {};
bool injectedButtons[MOUSE_BUTTON_LAST + 1] = {};
int injectedX = 0;
int injectedY = 0;

// GLFW 3 code -> GLFW 2.7 code. Printable keys share their ASCII codes in both versions.
int toLegacyKey(int key) {
  if (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F25) return KEY_F1 + (key - GLFW_KEY_F1);
  switch (key) {
    case GLFW_KEY_ESCAPE: return KEY_ESC;
    case GLFW_KEY_UP: return KEY_UP;
    case GLFW_KEY_DOWN: return KEY_DOWN;
    case GLFW_KEY_LEFT: return KEY_LEFT;
    case GLFW_KEY_RIGHT: return KEY_RIGHT;
    case GLFW_KEY_LEFT_SHIFT: return 287;
    case GLFW_KEY_RIGHT_SHIFT: return 288;
    case GLFW_KEY_LEFT_CONTROL: return 289;
    case GLFW_KEY_RIGHT_CONTROL: return 290;
    case GLFW_KEY_LEFT_ALT: return 291;
    case GLFW_KEY_RIGHT_ALT: return 292;
    case GLFW_KEY_TAB: return KEY_TAB;
    case GLFW_KEY_ENTER: return KEY_ENTER;
    case GLFW_KEY_BACKSPACE: return 295;
    case GLFW_KEY_INSERT: return 296;
    case GLFW_KEY_DELETE: return 297;
    case GLFW_KEY_PAGE_UP: return KEY_PAGEUP;
    case GLFW_KEY_PAGE_DOWN: return KEY_PAGEDOWN;
    case GLFW_KEY_HOME: return 300;
    case GLFW_KEY_END: return 301;
    default: break;
  }
  if (key >= 32 && key < 256) return key;
  return -1;
}

int toModernKey(int key) {
  if (key >= KEY_F1 && key <= KEY_F1 + 24) return GLFW_KEY_F1 + (key - KEY_F1);
  switch (key) {
    case KEY_ESC: return GLFW_KEY_ESCAPE;
    case KEY_UP: return GLFW_KEY_UP;
    case KEY_DOWN: return GLFW_KEY_DOWN;
    case KEY_LEFT: return GLFW_KEY_LEFT;
    case KEY_RIGHT: return GLFW_KEY_RIGHT;
    case KEY_PAGEUP: return GLFW_KEY_PAGE_UP;
    case KEY_PAGEDOWN: return GLFW_KEY_PAGE_DOWN;
    default: break;
  }
  if (key >= 32 && key < 256) return key;
  return GLFW_KEY_UNKNOWN;
}

void onGlfwKey(GLFWwindow*, int key, int, int action, int) {
  // GLFW 2.7 reported presses and releases only; auto-repeat must not toggle anything twice.
  if (action == GLFW_REPEAT || !keyHandler) return;
  int legacy = toLegacyKey(key);
  if (legacy < 0) return;
  keyHandler(legacy, action == GLFW_PRESS ? PRESS : RELEASE);
}

void onGlfwMouseButton(GLFWwindow*, int button, int action, int) {
  if (mouseButtonHandler) mouseButtonHandler(button, action == GLFW_PRESS ? PRESS : RELEASE);
}

void onGlfwSize(GLFWwindow*, int width, int height) {
  if (windowSizeHandler) windowSizeHandler(width, height);
}

void onGlfwCursor(GLFWwindow*, double x, double y) {
  cursorX = x;
  cursorY = y;
}

void onGlfwScroll(GLFWwindow*, double, double yoffset) {
  // Wheel notches are whole steps; smooth-scrolling devices report fractions that add up.
  scrollRemainder += yoffset;
  double whole = std::trunc(scrollRemainder);
  wheelPosition += static_cast<int>(whole);
  scrollRemainder -= whole;
}

// GLFW's own explanation goes to standard error; standard output carries only the game's console lines.
void onGlfwError(int code, const char* description) {
  std::fprintf(stderr, "GLFW error %d: %s\n", code, description);
}

}  // namespace

bool init() {
  glfwSetErrorCallback(onGlfwError);
  initialised = glfwInit() == GLFW_TRUE;
  return initialised;
}

bool openWindow(int width, int height, int depthBits, int stencilBits, bool visible, bool fullscreen) {
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_DEPTH_BITS, depthBits);
  glfwWindowHint(GLFW_STENCIL_BITS, stencilBits);
  glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
  GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
  if (fullscreen && !monitor) return false;
  if (monitor) {
    // Asking for the mode the monitor is in already keeps the display from switching modes.
    const GLFWvidmode* mode = glfwGetVideoMode(monitor);
    if (!mode) return false;
    glfwWindowHint(GLFW_RED_BITS, mode->redBits);
    glfwWindowHint(GLFW_GREEN_BITS, mode->greenBits);
    glfwWindowHint(GLFW_BLUE_BITS, mode->blueBits);
    glfwWindowHint(GLFW_REFRESH_RATE, mode->refreshRate);
    width = mode->width;
    height = mode->height;
  }
  window = glfwCreateWindow(width, height, "", monitor, nullptr);
  if (!window) return false;
  glfwMakeContextCurrent(window);
  glfwSwapInterval(0);
  // A tap shorter than a frame still counts as held for the next poll, so a quick Escape quits.
  glfwSetInputMode(window, GLFW_STICKY_KEYS, GLFW_TRUE);
  glfwSetKeyCallback(window, onGlfwKey);
  glfwSetMouseButtonCallback(window, onGlfwMouseButton);
  glfwSetFramebufferSizeCallback(window, onGlfwSize);
  glfwSetScrollCallback(window, onGlfwScroll);
  glfwGetCursorPos(window, &cursorX, &cursorY);
  glfwSetCursorPosCallback(window, onGlfwCursor);
  return true;
}

void setWindowTitle(const char* title) {
  if (window) glfwSetWindowTitle(window, title);
}

void setWindowSize(int width, int height) {
  if (window && !glfwGetWindowMonitor(window)) glfwSetWindowSize(window, width, height);
}

void setFullscreen(bool fullscreen, int width, int height) {
  if (!window || (glfwGetWindowMonitor(window) != nullptr) == fullscreen) return;
  if (!fullscreen) {
    glfwSetWindowMonitor(window, nullptr, windowedX, windowedY, width, height, GLFW_DONT_CARE);
    return;
  }
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
  if (!mode) return;
  glfwGetWindowPos(window, &windowedX, &windowedY);
  glfwSetWindowMonitor(window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
}

void setSwapInterval(int interval) {
  if (window) glfwSwapInterval(interval);
}

void enableMouseCursor() {
  if (window) glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
}

bool windowOpened() { return window && !glfwWindowShouldClose(window); }

bool hasCurrentContext() { return externalContext || (initialised && glfwGetCurrentContext() != nullptr); }

void useExternalContext(bool current) { externalContext = current; }

void terminate() {
  glfwTerminate();
  initialised = false;
  window = nullptr;
}

void swapBuffers() {
  if (window) glfwSwapBuffers(window);
  pollEvents();
}

void pollEvents() { glfwPollEvents(); }

double getTime() { return manualClock ? manualTime : glfwGetTime(); }

void setTime(double seconds) {
  if (manualClock)
    manualTime = seconds;
  else
    glfwSetTime(seconds);
}

void useManualClock(bool manual) {
  if (manual && !manualClock) manualTime = initialised ? glfwGetTime() : 0.0;
  manualClock = manual;
}

void advanceTime(double seconds) { manualTime += seconds; }

int getKey(int key) {
  if (injectedInput) return key >= 0 && key <= KEY_LAST && injectedKeys[key] ? PRESS : RELEASE;
  int modern = toModernKey(key);
  if (!window || modern == GLFW_KEY_UNKNOWN) return RELEASE;
  return glfwGetKey(window, modern) == GLFW_PRESS ? PRESS : RELEASE;
}

int getMouseButton(int button) {
  if (injectedInput)
    return button >= 0 && button <= MOUSE_BUTTON_LAST && injectedButtons[button] ? PRESS : RELEASE;
  if (!window || button < 0 || button > GLFW_MOUSE_BUTTON_LAST) return RELEASE;
  return glfwGetMouseButton(window, button) == GLFW_PRESS ? PRESS : RELEASE;
}

void getMousePos(int* x, int* y) {
  if (injectedInput || !window) {
    *x = injectedX;
    *y = injectedY;
    return;
  }
  *x = static_cast<int>(std::floor(cursorX));
  *y = static_cast<int>(std::floor(cursorY));
}

int getMouseWheel() { return wheelPosition; }
void setMouseWheel(int position) { wheelPosition = position; }

void setKeyCallback(KeyCallback callback) { keyHandler = callback; }
void setMouseButtonCallback(MouseButtonCallback callback) { mouseButtonHandler = callback; }

void setWindowSizeCallback(WindowSizeCallback callback) {
  windowSizeHandler = callback;
  if (callback && window) {
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    callback(width, height);
  }
}

MouseButtonCallback mouseButtonCallback() { return mouseButtonHandler; }
KeyCallback keyCallback() { return keyHandler; }

void useInjectedInput(bool injected) { injectedInput = injected; }
void injectKey(int key, bool down) {
  if (key >= 0 && key <= KEY_LAST) injectedKeys[key] = down;
}
void injectMouseButton(int button, bool down) {
  if (button >= 0 && button <= MOUSE_BUTTON_LAST) injectedButtons[button] = down;
}
void injectCursor(int x, int y) {
  injectedX = x;
  injectedY = y;
}
void clearInjectedInput() {
  for (bool& k : injectedKeys) k = false;
  for (bool& b : injectedButtons) b = false;
  injectedX = injectedY = 0;
}

}  // namespace platform
