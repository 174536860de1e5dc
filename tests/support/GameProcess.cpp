// Child processes (the game and its Xvfb) started through the shell, their output kept in files, and the
// xdotool/ImageMagick calls.
#include "GameProcess.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

const char* const kCleanStartOutput =
    "GLFW 2.7 SVN 2010-03-16 Successfull \nGLEW 1.5.3 Successfull \nOpenGL 3.2 Successfull \n"
    "Mathematics by GLM 0.8.4.4  \nVertex-shader loaded and compiled successfully.\n"
    "Hud Vertex-shader loaded and compiled successfully.\nGlow Vertex-shader loaded and compiled successfully.\n"
    "Shadow-Mapping 1 Vertex-shader loaded and compiled successfully.\n"
    "Shadow-Mapping 2 Vertex-shader loaded and compiled successfully.\n"
    "Fragment-shader loaded and compiled successfully.\nHud Fragment-shader loaded and compiled successfully.\n"
    "Glow Fragment-shader loaded and compiled successfully.\n"
    "Shadow Mapping 1 Fragment-Shader loaded and compiled successfully.\n"
    "Shadow Mapping 2 Fragment-Shader loaded and compiled successfully.\n"
    "Shader-program linked successfully.\nHud Shader-program linked successfully.\n"
    "Glow Shader-program linked successfully.\n\nShadow 1 Shader-program linked successfully.\n\n"
    "Shadow 2 Shader-program linked successfully.\n\n";

namespace {

std::string readText(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

pid_t spawn(const std::string& shellCommand) {
  const pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", shellCommand.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

}  // namespace

bool pollFor(double seconds, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (; !done(); std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    if (std::chrono::steady_clock::now() > end) return false;
  return true;
}

void GameProcess::stop() {
  if (running()) kill(pid_, SIGKILL);
  if (pid_ > 0) waitpid(pid_, nullptr, 0);
  if (server_ > 0 && kill(server_, SIGTERM) == 0) waitpid(server_, nullptr, 0);
  if (!logDir_.empty()) std::filesystem::remove_all(logDir_);
  pid_ = server_ = exitStatus_ = -1;
  logDir_.clear();
}

bool GameProcess::start(bool withDisplay, const std::string& arguments, const std::string& program) {
  // Under heavy load a fresh Xvfb now and then turns the game's first connection away although it has
  // announced itself; that is the machine, not the game, so start over on a new server.
  static int servers = 0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    stop();
    char dir[] = "/tmp/varrow-game-XXXXXX";
    if (!mkdtemp(dir)) return false;
    logDir_ = dir;
    // A display number of our own, far from the low ones that other servers take and give back all the time.
    display_ = ":" + std::to_string(1000 + (getpid() * 31 + 977 * servers++) % 30000);
    // The server writes its number once it accepts connections, and nothing when it cannot start.
    const std::string up = logDir_ + "/up";
    if (withDisplay) {
      server_ = spawn("exec Xvfb " + display_ + " -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>" + up +
                      " 2>/dev/null");
      pollFor(30.0, [&] { return !readText(up).empty() || waitpid(server_, nullptr, WNOHANG) == server_; });
      if (readText(up).empty()) continue;
    }
    const std::string config = configHome_.empty() ? logDir_ + "/config" : configHome_;
    pid_ = spawn("cd / && export XDG_CONFIG_HOME='" + config + "' XDG_DATA_HOME='" + logDir_ + "/data' XDG_STATE_HOME='" + logDir_ + "/state' && " +
                 (withDisplay ? "DISPLAY=" + display_ : "unset DISPLAY;") + " exec '" + program + "' " + arguments +
                 " </dev/null >" + logDir_ + "/out 2>" + logDir_ + "/err");
    if (!withDisplay) return true;
    pollFor(30.0, [&] { return output().find('\n') != std::string::npos || !running(); });
    if (errors().find("Failed to open display") == std::string::npos) return true;
  }
  return false;
}

std::string GameProcess::output() const { return readText(logDir_ + "/out"); }

std::string GameProcess::errors() const { return readText(logDir_ + "/err"); }

std::string runCommand(const std::string& command) {
  std::string result;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.append(buffer, n);
  if (pipe) pclose(pipe);
  return result;
}

std::string GameProcess::x11(const std::string& command) const { return runCommand("DISPLAY=" + display_ + " " + command); }

bool GameProcess::waitForWindow(double seconds) {
  pollFor(seconds, [&] {
    window_ = x11("xdotool search --name '^Varrow$' 2>/dev/null | head -n 1");
    return !window_.empty() || !running();
  });
  if (!window_.empty()) window_.pop_back();
  return !window_.empty() && x11("xdotool windowfocus --sync " + window_ + " && echo ok") == "ok\n";
}

void GameProcess::sendKey(const std::string& keyName) {
  if (failed_ || !running()) {
    failed_ = true;
    return;
  }
  x11("xdotool key " + keyName);
}

bool GameProcess::waitFor(double seconds, const std::function<bool()>& done) {
  if (failed_) return false;
  bool met = false;
  pollFor(seconds, [&] { return (met = done()) || !running(); });
  failed_ = !met;
  return met;
}

void GameProcess::click(std::initializer_list<WindowPoint> points) {
  std::string command = "xdotool";
  for (WindowPoint p : points)
    command += " mousemove --window " + window_ + " " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1";
  x11(command + " mousemove --window " + window_ + " 512 384");
}

bool GameProcess::screenshot(const std::string& pngPath, const std::string& crop) {
  const std::string cut = crop.empty() ? "" : " -crop " + crop + " +repage";
  return x11("import -window root" + cut + " " + pngPath + " 2>/dev/null && echo ok") == "ok\n";
}

bool GameProcess::requestClose() {
  Display* display = window_.empty() ? nullptr : XOpenDisplay(display_.c_str());
  if (!display) return false;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(std::stoul(window_));
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(display);
  return sent != 0;
}

bool GameProcess::running() {
  int status = 0;
  if (pid_ <= 0 || exitStatus_ != -1) return false;
  if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
  exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return false;
}

int GameProcess::waitForExit(double seconds) {
  if (pollFor(seconds, [&] { return !running(); })) return exitStatus_;
  kill(pid_, SIGKILL);
  return -1;
}
