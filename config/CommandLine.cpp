// The option parser, on CLI11, and the texts of --help and --version. Every option is declared once, in
// declareOptions, which both the parser and the usage text read.
#include "config/CommandLine.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <map>

namespace {

using Action = LaunchOptions::Action;

constexpr size_t kNameColumn = 21;  // "  --name VALUE" padded to this width, then the description

// Thrown from an option's callback to end the reading at that option: --help, --version or a bad value.
struct StopReading {
  Action action;
  std::string error;
};

// The reading ends at the first unknown option, so an option after one cannot end it differently.
[[noreturn]] void stopAt(const CLI::App& app, Action action, const std::string& error = "") {
  const std::vector<std::string> unknown = app.remaining();
  if (!unknown.empty()) throw StopReading{Action::Fail, "unknown option '" + unknown.front() + "'"};
  throw StopReading{action, error};
}

// A side of a window size: one to five digits, from 1 to kLargestWindowSide.
bool parseSide(const std::string& text, int* side) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > kLargestWindowSide) return false;
  *side = value;
  return true;
}

bool parseSize(const std::string& value, int* width, int* height) {
  const size_t cross = value.find('x');
  int w = 0, h = 0;
  if (cross == std::string::npos || !parseSide(value.substr(0, cross), &w) || !parseSide(value.substr(cross + 1), &h))
    return false;
  *width = w;
  *height = h;
  return true;
}

// What "needs a value" adds after the value's name, for options whose value is not obvious.
const std::map<std::string, std::string> kValueExamples = {{"--size", ", for example 1280x720"},
                                                           {"--quality", ": high, medium or low"},
                                                           {"--difficulty", ": easy, normal or hard"}};

// Every option, in the order --help lists them. Options with a value run their check as soon as they are
// read, so the first bad one is the one reported.
void declareOptions(CLI::App& app, LaunchOptions& o) {
  app.set_help_flag();
  app.add_option_function<std::string>(
         "--size",
         [&app, &o](const std::string& value) {
           if (!parseSize(value, &o.width, &o.height))
             stopAt(app, Action::Fail,
                    "--size: '" + value + "' is not WIDTHxHEIGHT (sides 1 to " +
                        std::to_string(kLargestWindowSide) + ")");
         },
         "open the window at that size, for example 1280x720 (default: as saved, else 1024x768)")
      ->type_name("WIDTHxHEIGHT")
      ->trigger_on_parse();
  app.add_flag_callback("--fullscreen", [&o] { o.fullscreen = true; }, "fill the primary monitor at its current mode")
      ->trigger_on_parse();
  app.add_flag_callback("--mute", [&o] { o.mute = true; }, "play without sound: no sound device is opened")
      ->trigger_on_parse();
  app.add_option_function<std::string>(
         "--quality",
         [&app, &o](const std::string& value) {
           Quality quality = Quality::High;
           if (!parseQuality(value, &quality)) stopAt(app, Action::Fail, "--quality: '" + value + "' is not high, medium or low");
           o.quality = quality;
         },
         "draw the picture at that quality for this run: high, medium or low")
      ->type_name("LEVEL")
      ->trigger_on_parse();
  app.add_option_function<std::string>(
         "--difficulty",
         [&app, &o](const std::string& value) {
           Difficulty difficulty = Difficulty::Normal;
           if (!parseDifficulty(value, &difficulty))
             stopAt(app, Action::Fail, "--difficulty: '" + value + "' is not easy, normal or hard");
           o.difficulty = difficulty;
         },
         "play at that difficulty for this run: easy, normal or hard")
      ->type_name("LEVEL")
      ->trigger_on_parse();
  app.add_flag_callback("--no-vsync", [&o] { o.noVsync = true; },
                        "show each frame at once instead of waiting for the screen's refresh")
      ->trigger_on_parse();
  app.add_option_function<std::string>(
         "--data",
         [&app, &o](const std::string& value) {
           if (value.empty()) stopAt(app, Action::Fail, "--data: the folder name is empty");
           o.dataDir = std::filesystem::absolute(value).lexically_normal().string();
         },
         "read the game's data (shader/, models/, sound/, the images) from the folder DIR")
      ->type_name("DIR")
      ->trigger_on_parse();
  // A level file is named from where the game was started, which it leaves for its data folder.
  auto chooseLevel = [&app, &o](const std::string& option, const std::string& value) {
    if (value.empty()) stopAt(app, Action::Fail, option + ": the level's name is empty");
    o.level = value;
    o.levelFile = std::filesystem::absolute(value).lexically_normal().string();
  };
  app.add_option_function<std::string>(
         "--level", [chooseLevel](const std::string& value) { chooseLevel("--level", value); },
         "play a shipped level by its name (see --list-levels) or a level file of your own")
      ->type_name("NAME|FILE")
      ->trigger_on_parse();
  app.add_flag_callback("--list-levels", [&o] { o.action = Action::ListLevels; },
                        "list the shipped levels (file name, name, description) and exit")
      ->trigger_on_parse();
  app.add_option_function<std::string>(
         "--check-level",
         [&o, chooseLevel](const std::string& value) {
           chooseLevel("--check-level", value);
           o.action = Action::CheckLevel;
         },
         "check a level file, play it without towers and without a window, print a summary and exit")
      ->type_name("FILE")
      ->trigger_on_parse();
  app.add_option_function<std::string>(
         "--check-replay",
         [&app, &o](const std::string& value) {
           if (value.empty()) stopAt(app, Action::Fail, "--check-replay: the file name is empty");
           o.replayFile = std::filesystem::absolute(value).lexically_normal().string();
           o.action = Action::CheckReplay;
         },
         "play a replay again without a window, print its outcome and whether it is the one recorded, and exit")
      ->type_name("FILE")
      ->trigger_on_parse();
  app.add_option_function<std::string>(
         "--replay",
         [&app, &o](const std::string& value) {
           if (value.empty()) stopAt(app, Action::Fail, "--replay: the file name is empty");
           o.replayFile = std::filesystem::absolute(value).lexically_normal().string();
           o.action = Action::Watch;
         },
         "watch a replay in the window: its steps drive the match, P pauses, F speeds up, the camera moves")
      ->type_name("FILE")
      ->trigger_on_parse();
  app.add_flag_callback("--help", [&app] { stopAt(app, Action::Help); }, "show this text and exit")
      ->trigger_on_parse();
  app.add_flag_callback("--version", [&app] { stopAt(app, Action::Version); },
                        "show the program's name and version and exit")
      ->trigger_on_parse();
}

}  // namespace

LaunchOptions parseCommandLine(const std::vector<std::string>& args) {
  LaunchOptions options;
  CLI::App app;
  declareOptions(app, options);
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
    return options;
  } catch (const StopReading& stop) {
    options.action = stop.action;
    options.error = stop.error;
  } catch (const CLI::ArgumentMismatch&) {
    // Only an option left without its value gets here: every option takes exactly one value or none.
    options.action = Action::Fail;
    const std::vector<std::string> unknown = app.remaining();
    const std::string& name = args.back();
    if (!unknown.empty()) {
      options.error = "unknown option '" + unknown.front() + "'";
    } else {
      const auto example = kValueExamples.find(name);
      options.error = name + " needs a value " + app.get_option(name)->get_type_name() +
                      (example == kValueExamples.end() ? "" : example->second);
    }
  } catch (const CLI::ParseError&) {
    options.action = Action::Fail;
    const std::vector<std::string> unknown = app.remaining();
    options.error = unknown.empty() ? "cannot read the options" : "unknown option '" + unknown.front() + "'";
  }
  if (options.action != Action::Fail) return options;
  // A failed reading keeps nothing but its error.
  LaunchOptions failed;
  failed.action = Action::Fail;
  failed.error = "varrow: " + options.error;
  return failed;
}

Settings applyCommandLine(Settings settings, const LaunchOptions& options) {
  if (options.width > 0) {
    settings.width = options.width;
    settings.height = options.height;
  }
  if (options.fullscreen) settings.fullscreen = true;
  if (options.quality) applyQuality(settings, *options.quality);
  if (options.noVsync) settings.vsync = false;
  if (options.difficulty) settings.difficulty = *options.difficulty;
  return settings;
}

std::string usageText() {
  LaunchOptions scratch;
  CLI::App app;
  declareOptions(app, scratch);
  std::string text = "Usage: varrow [options]\n";
  for (const CLI::Option* option : app.get_options()) {
    std::string name = "  " + option->get_name();
    if (option->get_expected_min() > 0) name += " " + option->get_type_name();
    // A name too long for its column gets the description on a line of its own.
    name += name.size() < kNameColumn + 1 ? std::string(kNameColumn + 2 - name.size(), ' ')
                                          : "\n" + std::string(kNameColumn + 2, ' ');
    text += name + option->get_description() + "\n";
  }
  return text +
         "In the game, R plays again once a match is over and F switches the speed between x1, x2, x4 and x8.\n"
         "N calls the next wave early for 2 $ a second saved; T cycles the selected tower's target.\n"
         "F1 shows every key. Tab opens the levels screen: the shipped levels and your own from\n"
         "$XDG_DATA_HOME/varrow/levels (~/.local/share/varrow/levels), with your best result on each, kept in\n"
         "$XDG_DATA_HOME/varrow/records.json; the level it starts is played again at the next start.\n"
         "F10 opens the options screen; what it sets is kept in $XDG_CONFIG_HOME/varrow/settings.ini\n"
         "(~/.config/varrow/settings.ini), which the options above override for one run.\n"
         "Without --data the data is looked for in $VARROW_DATA_DIR, then beside the program, then in\n"
         "../share/games/varrow beside the program.\n";
}

std::string versionText() { return "Varrow " VARROW_VERSION; }
