// Finding the data and installing the game: the search order place by place, the program without any data,
// an install into a scratch root started from another directory, the menu entry, the AppStream file, the
// icons, and the manual's options against --help.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "GameProcess.h"
#include "Pattern.h"
#include "config/CommandLine.h"
#include "config/DataDirectory.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder, removed with everything in it.
struct Scratch {
  fs::path root;
  Scratch() {
    char pattern[] = "/tmp/varrow-install-XXXXXX";
    root = mkdtemp(pattern);
  }
  ~Scratch() { fs::remove_all(root); }
  // A folder under the root, holding the data's mark (a shader/ folder) when asked.
  std::string folder(const std::string& name, bool withData) const {
    fs::create_directories(root / name / (withData ? "shader" : ""));
    return (root / name).string();
  }
};

std::string readText(const fs::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(DataSearch, TheFirstPlaceHoldingDataWinsNamedPlacesWithoutItAreSaidAndNoneAtAllIsOneLine) {
  Scratch s;
  const std::string option = s.folder("option", false), environment = s.folder("environment", false);
  const std::string program = s.folder("prefix/games", false), installed = (s.root / "prefix/share/games/varrow").string();
  // Data is added place by place from the last to the first; each time the newly filled place wins.
  const std::string places[] = {installed, program, environment, option};
  for (const std::string& place : places) {
    fs::create_directories(fs::path(place) / "shader");
    const DataSearch found = findDataDirectory(option, environment.c_str(), program);
    EXPECT_EQ(found.directory, place);
    EXPECT_EQ(found.warnings.size(), place == option ? 0u : place == environment ? 1u : 2u) << place;
  }
  EXPECT_EQ(findDataDirectory("", "", program).directory, program) << "an empty variable counts as unset";
  EXPECT_FALSE(holdsGameData((s.root / "missing").string()));
  fs::create_directories(s.root / "fake");
  std::ofstream(s.root / "fake" / "shader") << "not a folder";
  EXPECT_FALSE(holdsGameData((s.root / "fake").string())) << "a shader file is not a shader folder";

  const DataSearch none = findDataDirectory((s.root / "a").string(), (s.root / "b").string().c_str(),
                                            (s.root / "c/games").string());
  EXPECT_EQ(none.directory, "");
  EXPECT_EQ(none.warnings.size(), 2u);
  const std::string r = s.root.string();
  EXPECT_EQ(none.failure,
            "varrow: cannot find the game's data (a folder holding shader/, models/, sound/ and the images); tried " +
                r + "/a (--data), " + r + "/b (VARROW_DATA_DIR), " + r + "/c/games (beside the program), " + r +
                "/c/share/games/varrow (installed); name the folder with --data DIR or the VARROW_DATA_DIR "
                "environment variable");
}

TEST(DataSearch, AProgramWithoutDataSaysWhereItLookedOnStandardErrorAndStopsBeforeTheWindow) {
  Scratch s;
  const fs::path program = s.root / "games" / "varrow";
  fs::create_directories(program.parent_path());
  fs::copy_file(VARROW_RUN_DIR "/varrow", program);
  // With DISPLAY removed a window could not open: a window attempt would print its own error.
  const std::string run = "cd / && env -u DISPLAY VARROW_DATA_DIR= '" + program.string() + "' --mute";
  const std::string r = s.root.string();
  EXPECT_EQ(runCommand(run + " 2>/dev/null; echo $?"), "1\n") << "nothing on standard output, status 1";
  EXPECT_EQ(runCommand(run + " 2>&1 >/dev/null"),
            "varrow: cannot find the game's data (a folder holding shader/, models/, sound/ and the images); tried " +
                r + "/games (beside the program), " + r +
                "/share/games/varrow (installed); name the folder with --data DIR or the VARROW_DATA_DIR "
                "environment variable\n");
  // The same program finds the build's data when it is named, and then starts as usual (here: no display).
  EXPECT_EQ(runCommand(run + " --data " VARROW_RUN_DIR " 2>/dev/null; echo $?"),
            "GLFW Error: Initialization Failed. \nPress any key to continue . . .\n1\n");
}

// One install into a scratch root, as a distribution's package build does it, then the installed game
// started from the root directory: it finds its data in the installed layout and starts as from the build.
TEST(Install, TheInstalledGameStartsFromAnywhereAndItsMenuEntryAppStreamFileIconsAndManualAreRight) {
  Scratch s;
  const std::string install = runCommand("DESTDIR='" + s.root.string() + "' cmake --install " VARROW_BINARY_DIR
                                         " >/dev/null 2>&1; echo $?");
  ASSERT_EQ(install, "0\n");
  const fs::path prefix = s.root.string() + VARROW_INSTALL_PREFIX;
  const fs::path share = prefix / "share";

  GameProcess game;
  ASSERT_TRUE(game.start(true, "--mute", s.root.string() + VARROW_INSTALL_PREFIX "/games/varrow") &&
              game.waitForWindow(60.0)) << game.output() << game.errors();
  EXPECT_TRUE(pollFor(30.0, [&] { return game.output() == kCleanStartOutput; })) << game.output();
  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0);
  EXPECT_EQ(game.output(), kCleanStartOutput);
  EXPECT_FALSE(fs::exists(prefix / "share/games/varrow/varrow")) << "the program is not data";

  const std::string desktop = (share / "applications/varrow.desktop").string();
  EXPECT_EQ(runCommand("desktop-file-validate '" + desktop + "' 2>&1; echo $?"), "0\n");
  EXPECT_NE(readText(desktop).find("Categories=Game;StrategyGame;\n"), std::string::npos);
  EXPECT_NE(readText(desktop).find("Exec=" VARROW_INSTALL_PREFIX "/games/varrow\n"), std::string::npos);
  const std::string metainfo = runCommand("ls '" + (share / "metainfo").string() + "'");
  EXPECT_TRUE(matchesWhole(metainfo, "[a-z]+\\.[a-z]+\\.[a-z]+\\.metainfo\\.xml\n")) << metainfo;
  const std::string validation = runCommand("appstreamcli validate --no-net '" +
                                            (share / "metainfo" / metainfo.substr(0, metainfo.size() - 1)).string() +
                                            "' 2>&1; echo $?");
  EXPECT_EQ(validation.substr(validation.size() - 2), "0\n") << validation;
  EXPECT_NE(readText(share / "metainfo" / metainfo.substr(0, metainfo.size() - 1)).find("<release version=\"1.0\""),
            std::string::npos);

  // Each icon is a PNG of its own size: the width and height stand in the header's first chunk.
  for (int size : {48, 128, 256}) {
    const std::string png = readText(share / "icons/hicolor" / (std::to_string(size) + "x" + std::to_string(size)) /
                                     "apps/varrow.png");
    ASSERT_GT(png.size(), 24u) << size;
    auto word = [&](size_t at) {
      return (unsigned char)png[at] << 24 | (unsigned char)png[at + 1] << 16 | (unsigned char)png[at + 2] << 8 |
             (unsigned char)png[at + 3];
    };
    EXPECT_EQ(png.substr(1, 3) + std::to_string(word(16)) + "x" + std::to_string(word(20)),
              "PNG" + std::to_string(size) + "x" + std::to_string(size));
  }
  EXPECT_NE(runCommand("zcat '" + (share / "man/man6/varrow.6.gz").string() + "'").find(".TH VARROW 6"), std::string::npos);
}

// The manual's OPTIONS section lists what --help lists, option by option, with the same words.
TEST(Install, TheManualsOptionsAreTheOptionsOfHelp) {
  std::vector<std::string> help, manual;
  std::istringstream usage(usageText());
  for (std::string line; std::getline(usage, line);) {
    if (line.rfind("  --", 0) == 0) {
      help.push_back(line.substr(2));
    } else if (!help.empty() && line.rfind("   ", 0) == 0) {
      help.back() += line;  // a description on the line after a long option
    }
  }
  for (std::string& entry : help) entry = replaceAll(entry, " {2,}", ": ");

  std::istringstream page(readText(VARROW_SOURCE_DIR "/packaging/varrow.6.in"));
  bool inOptions = false;
  for (std::string line; std::getline(page, line);) {
    if (line.rfind(".SH", 0) == 0) inOptions = line == ".SH OPTIONS";
    if (!inOptions || line.rfind(".B", 0) != 0) continue;
    const std::string name = replaceAll(replaceAll(line, R"(^\.BI? |"|\\)", ""), " +", " ");
    std::string description;
    std::getline(page, description);
    manual.push_back(name + ": " + replaceAll(description, R"(\\-)", "-"));
  }
  EXPECT_EQ(manual, help);
  EXPECT_GE(help.size(), 6u);
}
