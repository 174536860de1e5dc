// Runs the real game binary from the run directory on a private virtual X server, collects its standard
// output, and drives it with xdotool the way a player would (keys, clicks, screenshots).
// The private server keeps tests that run in parallel from stealing each other's keyboard focus.
#pragma once

#include <sys/types.h>

#include <mutex>
#include <string>
#include <thread>

class GameProcess {
 public:
  GameProcess() = default;
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // Starts build/run/varrow (or the program given) in runDir on its own Xvfb; without a display, DISPLAY is removed.
  bool start(bool withDisplay = true, const std::string& runDir = VARROW_RUN_DIR,
             const std::string& program = VARROW_RUN_DIR "/varrow");
  std::string output();
  // What the game wrote to standard error (GLFW's and the drivers' complaints).
  std::string errors();
  bool waitForOutput(const std::string& text, double seconds);
  // Waits until the window titled "Varrow" exists and gives it the keyboard focus.
  bool waitForWindow(double seconds);
  void sendKey(const std::string& keyName);
  void holdKey(const std::string& keyName, double seconds);
  // Left click at window coordinates.
  void click(int x, int y);
  void moveMouse(int x, int y);
  bool screenshot(const std::string& pngPath);
  // Saves only the w x h block of the screen at (x, y), which is much cheaper to poll than the whole screen.
  bool screenshot(const std::string& pngPath, int x, int y, int w, int h);
  // Asks the game window to close the way a window manager does (a WM_DELETE_WINDOW client message).
  bool requestClose();
  // Exit status, or -1 when the process had to be killed after the timeout.
  int waitForExit(double seconds);
  bool running();
  std::string windowId() const { return window_; }
  // Runs an X client command (xdotool, import...) against the game's display.
  std::string x11(const std::string& command);

 private:
  bool startServer();
  void stopServer();
  bool launch(bool withDisplay, const std::string& runDir, const std::string& program);

  pid_t pid_ = -1;
  pid_t server_ = -1;
  std::string display_;
  std::string errorsPath_;
  int exitStatus_ = -1;
  int pipe_ = -1;
  std::thread reader_;
  std::mutex mutex_;
  std::string output_;
  std::string window_;
};

// Runs a shell command and returns what it printed on standard output.
std::string runCommand(const std::string& command);
