// Runs the real game binary on a private virtual X server, keeps what it prints, and drives it with xdotool
// the way a player would. The private server keeps tests that run side by side from stealing each other's focus.
#pragma once

#include <sys/types.h>

#include <functional>
#include <initializer_list>
#include <string>

// Everything a clean start prints, in order.
extern const char* const kCleanStartOutput;

// Calls done every 50 ms until it returns true (then true) or the time is up (then false).
bool pollFor(double seconds, const std::function<bool()>& done);

// Runs a shell command and returns its standard output.
std::string runCommand(const std::string& command);

struct WindowPoint {
  int x, y;
};

class GameProcess {
 public:
  GameProcess() = default;
  ~GameProcess() { stop(); }
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // Starts the program with the arguments (shell words) on its own Xvfb, or with DISPLAY removed, from the
  // root directory: the game finds its data from where the program lies, not from where it is started.
  // XDG_CONFIG_HOME is the folder given to useConfigHome, else an empty scratch folder of this run, and
  // XDG_DATA_HOME and XDG_STATE_HOME other scratch folders, so that no game started by a test reads or writes the developer's
  // own settings, levels or records.
  bool start(bool withDisplay = true, const std::string& arguments = "",
             const std::string& program = VARROW_RUN_DIR "/varrow");
  std::string output() const;
  // What the game wrote to standard error (GLFW's and the drivers' complaints).
  std::string errors() const;
  // Waits until the window titled "Varrow" exists and gives it the keyboard focus.
  bool waitForWindow(double seconds);
  // Presses keys; nothing once the game has died or a wait has failed.
  void sendKey(const std::string& keyName);
  // Polls done like pollFor while the game runs. Once the game has died or one wait has failed, every later
  // wait fails at once, so that one early fault does not make each later step wait its whole time.
  bool waitFor(double seconds, const std::function<bool()>& done);
  bool failed() const { return failed_; }
  // Left clicks at the window points in one go, then puts the cursor in the middle of the 1024 x 768 window,
  // where the camera neither scrolls nor turns.
  void click(std::initializer_list<WindowPoint> points);
  // The whole screen, or the block given as ImageMagick's WxH+X+Y.
  bool screenshot(const std::string& pngPath, const std::string& crop = "");
  // Asks the window to close the way a window manager does (a WM_DELETE_WINDOW client message).
  bool requestClose();
  void useConfigHome(const std::string& folder) { configHome_ = folder; }
  // Exit status, or -1 when the process had to be killed after the timeout.
  int waitForExit(double seconds);
  bool running();
  // Runs an X client command (xdotool, import...) against the game's display; returns its standard output.
  std::string x11(const std::string& command) const;

 private:
  bool startServer();
  void stop();

  pid_t pid_ = -1, server_ = -1;
  int exitStatus_ = -1;
  bool failed_ = false;
  std::string display_, logDir_, window_, configHome_;
};
