// The option parser and the texts of --help and --version.
#include "app/CommandLine.h"

namespace {

constexpr int kLargestSide = 16384;

// A side of a window size: one to five digits, from 1 to kLargestSide.
bool parseSide(const std::string& text, int* side) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > kLargestSide) return false;
  *side = value;
  return true;
}

LaunchOptions failure(const std::string& error) {
  LaunchOptions options;
  options.action = LaunchOptions::Action::Fail;
  options.error = "varrow: " + error;
  return options;
}

}  // namespace

LaunchOptions parseCommandLine(const std::vector<std::string>& args) {
  LaunchOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help") {
      options.action = LaunchOptions::Action::Help;
      return options;
    }
    if (arg == "--version") {
      options.action = LaunchOptions::Action::Version;
      return options;
    }
    if (arg == "--fullscreen") {
      options.fullscreen = true;
    } else if (arg == "--mute") {
      options.mute = true;
    } else if (arg == "--size") {
      if (i + 1 == args.size()) return failure("--size needs a value WIDTHxHEIGHT, for example 1280x720");
      const std::string& value = args[++i];
      const size_t cross = value.find('x');
      int width = 0, height = 0;
      if (cross == std::string::npos || !parseSide(value.substr(0, cross), &width) ||
          !parseSide(value.substr(cross + 1), &height))
        return failure("--size: '" + value + "' is not WIDTHxHEIGHT (sides 1 to " + std::to_string(kLargestSide) + ")");
      options.width = width;
      options.height = height;
    } else {
      return failure("unknown option '" + arg + "'");
    }
  }
  return options;
}

std::string usageText() {
  return "Usage: varrow [options]\n"
         "  --size WIDTHxHEIGHT  open the window at that size, for example 1280x720 (default 1024x768)\n"
         "  --fullscreen         fill the primary monitor at its current mode\n"
         "  --mute               play without sound: no sound device is opened\n"
         "  --help               show this text and exit\n"
         "  --version            show the program's name and version and exit\n"
         "In the game, R plays again once a match is over and F switches the speed between x1, x2 and x4.\n";
}

std::string versionText() { return "Varrow 1.0"; }
