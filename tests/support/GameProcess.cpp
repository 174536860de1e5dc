// Child-process handling and xdotool/ImageMagick calls for end-to-end tests of the real binary.
#include "GameProcess.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void sleepSeconds(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

}  // namespace

std::string runCommand(const std::string& command) {
  std::string result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.append(buffer, n);
  pclose(pipe);
  return result;
}

GameProcess::~GameProcess() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitForExit(5.0);
  }
  if (reader_.joinable()) reader_.join();
  if (pipe_ >= 0) close(pipe_);
  if (!errorsPath_.empty()) unlink(errorsPath_.c_str());
  stopServer();
}

bool GameProcess::startServer() {
  // Low display numbers are taken and given back all the time by other tests' servers; a number of our own,
  // far from them, keeps a server that is still shutting down from answering our game.
  static std::atomic<int> attempt{0};
  for (int tries = 0; tries < 20; ++tries) {
    int number = 1000 + (static_cast<int>(getpid()) * 31 + 977 * attempt++) % 30000;
    // Close-on-exec, so that games and servers started meanwhile by other threads cannot hold the write
    // end open and keep the read below from ever seeing the end of a server that failed to start.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    server_ = fork();
    if (server_ < 0) return false;
    if (server_ == 0) {
      close(fds[0]);
      fcntl(fds[1], F_SETFD, 0);
      int devnull = open("/dev/null", O_RDWR);
      dup2(devnull, STDIN_FILENO);
      dup2(devnull, STDOUT_FILENO);
      dup2(devnull, STDERR_FILENO);
      std::string display = ":" + std::to_string(number);
      std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", display.c_str(), "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // The server writes its display number once it accepts connections, and nothing when it cannot start.
    std::string written;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') written += c;
    close(fds[0]);
    if (!written.empty()) {
      display_ = ":" + written;
      // Seen under load: the first clients of a server that has just reported itself are turned away.
      for (int wait = 0; wait < 100; ++wait) {
        if (std::system(("DISPLAY=" + display_ + " xdpyinfo >/dev/null 2>&1").c_str()) == 0) return true;
        sleepSeconds(0.05);
      }
      kill(server_, SIGTERM);
    }
    waitpid(server_, nullptr, 0);
    server_ = -1;
  }
  return false;
}

std::string GameProcess::x11(const std::string& command) {
  return runCommand("DISPLAY=" + display_ + " " + command);
}

bool GameProcess::start(bool withDisplay, const std::string& runDir, const std::string& program) {
  if (!withDisplay) return launch(false, runDir, program);
  // Under heavy load a freshly started Xvfb now and then turns the game's first connection away although
  // it has reported itself ready and answered xdpyinfo; that is the machine, not the game, so start over.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!launch(true, runDir, program)) return false;
    waitForOutput("\n", 20.0);
    bool turnedAway = output().rfind("GLFW Error: Initialization Failed. ", 0) == 0 &&
                      errors().find("Failed to open display") != std::string::npos;
    if (!turnedAway) return true;
    waitForExit(5.0);
    stopServer();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      output_.clear();
    }
    pid_ = -1;
    exitStatus_ = -1;
    if (pipe_ >= 0) close(pipe_);
    pipe_ = -1;
  }
  return false;
}

void GameProcess::stopServer() {
  if (server_ > 0) {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
  }
  server_ = -1;
}

bool GameProcess::launch(bool withDisplay, const std::string& runDir, const std::string& program) {
  if (withDisplay && !startServer()) return false;
  if (!errorsPath_.empty()) unlink(errorsPath_.c_str());
  char errorsPath[] = "/tmp/varrow-stderr-XXXXXX";
  int errors = mkstemp(errorsPath);
  if (errors >= 0) errorsPath_ = errorsPath;
  int fds[2];
  // Close-on-exec: a copy of the write end in a child started by another thread would hold off the end.
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    dup2(fds[1], STDOUT_FILENO);
    int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, STDIN_FILENO);
    dup2(errors >= 0 ? errors : devnull, STDERR_FILENO);
    close(fds[0]);
    close(fds[1]);
    if (withDisplay)
      setenv("DISPLAY", display_.c_str(), 1);
    else
      unsetenv("DISPLAY");
    if (chdir(runDir.c_str()) != 0) _exit(127);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (errors >= 0) close(errors);
  pipe_ = fds[0];
  reader_ = std::thread([this] {
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipe_, buffer, sizeof buffer)) > 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      output_.append(buffer, static_cast<size_t>(n));
    }
  });
  return true;
}

std::string GameProcess::errors() {
  if (errorsPath_.empty()) return std::string();
  std::ifstream in(errorsPath_);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string GameProcess::output() {
  std::lock_guard<std::mutex> lock(mutex_);
  return output_;
}

bool GameProcess::waitForOutput(const std::string& text, double seconds) {
  auto start = std::chrono::steady_clock::now();
  while (secondsSince(start) < seconds) {
    if (output().find(text) != std::string::npos) return true;
    if (!running()) return output().find(text) != std::string::npos;
    sleepSeconds(0.05);
  }
  return false;
}

bool GameProcess::waitForWindow(double seconds) {
  auto start = std::chrono::steady_clock::now();
  while (secondsSince(start) < seconds && running()) {
    std::string id = x11("xdotool search --name '^Varrow$' 2>/dev/null | head -n 1");
    while (!id.empty() && (id.back() == '\n' || id.back() == '\r')) id.pop_back();
    if (!id.empty()) {
      window_ = id;
      x11("xdotool windowfocus --sync " + window_ + " 2>/dev/null");
      return true;
    }
    sleepSeconds(0.1);
  }
  return false;
}

void GameProcess::sendKey(const std::string& keyName) { holdKey(keyName, 0.1); }

void GameProcess::holdKey(const std::string& keyName, double seconds) {
  if (!window_.empty()) x11("xdotool windowfocus --sync " + window_ + " 2>/dev/null");
  x11("xdotool keydown " + keyName);
  sleepSeconds(seconds);
  x11("xdotool keyup " + keyName);
}

void GameProcess::click(int x, int y) {
  x11("xdotool mousemove --window " + window_ + " " + std::to_string(x) + " " + std::to_string(y) +
             " sleep 0.1 mousedown 1 sleep 0.1 mouseup 1");
}

void GameProcess::moveMouse(int x, int y) {
  x11("xdotool mousemove --window " + window_ + " " + std::to_string(x) + " " + std::to_string(y));
}

bool GameProcess::screenshot(const std::string& pngPath) {
  return std::system(("DISPLAY=" + display_ + " import -window root " + pngPath + " 2>/dev/null").c_str()) == 0;
}

bool GameProcess::screenshot(const std::string& pngPath, int x, int y, int w, int h) {
  const std::string crop = std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) + "+" +
                           std::to_string(y);
  return std::system(("DISPLAY=" + display_ + " import -window root -crop " + crop + " +repage " + pngPath +
                      " 2>/dev/null")
                         .c_str()) == 0;
}

bool GameProcess::requestClose() {
  if (window_.empty()) return false;
  Display* display = XOpenDisplay(display_.c_str());
  if (!display) return false;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(std::stoul(window_));
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent != 0;
}

bool GameProcess::running() {
  if (pid_ <= 0 || exitStatus_ != -1) return false;
  int status = 0;
  pid_t done = waitpid(pid_, &status, WNOHANG);
  if (done == pid_) {
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
  }
  return true;
}

int GameProcess::waitForExit(double seconds) {
  auto start = std::chrono::steady_clock::now();
  while (running() && secondsSince(start) < seconds) sleepSeconds(0.05);
  if (running()) {
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    exitStatus_ = -1;
    pid_ = -1;
    if (reader_.joinable()) reader_.join();
    return -1;
  }
  if (reader_.joinable()) reader_.join();
  return exitStatus_;
}
