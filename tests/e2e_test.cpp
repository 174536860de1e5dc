// The real game binary under Xvfb, played through its window as a player would: a whole play-through, a
// match lost at 4x and played again, a level of the player's own lost and played again, every data file
// missing, replaced by random bytes or cut short, and no display.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>
#include <stb/stb_image.h>

#include "GameProcess.h"
#include "Pattern.h"

namespace fs = std::filesystem;

namespace {

struct Box { int x, y, w, h; };
// HUD button centres and screen areas in the 1024 x 768 window, rows from the top.
const WindowPoint kTris{512, 653}, kTrisGr{612, 653}, kTrisBl{712, 653}, kSelection{812, 653}, kSell{912, 628},
    kUpgrade{912, 679};
const Box kMoney{840, 20, 80, 50}, kMessage{40, 5, 420, 65}, kFrameRate{40, 65, 300, 30}, kWhole{0, 0, 0, 0};

// Where the player sees a world point before the camera has moved: the eye above (20, 20, 20), looking
// along -z and 30 degrees down, with a 60 degree field of view.
WindowPoint onScreen(float x, float y, float z) {
  const glm::vec3 eye(20.0f), sight(0.0f, -std::sin(glm::radians(30.0f)), -std::cos(glm::radians(30.0f)));
  const glm::vec3 p = glm::project(glm::vec3(x, y, z), glm::lookAt(eye, eye + sight, glm::vec3(0, 1, 0)),
                                   glm::perspective(glm::radians(60.0f), 1024.0f / 768.0f, 0.1f, 150.0f),
                                   glm::vec4(0, 0, 1024, 768));
  return {static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(768.0f - p.y))};
}

// The block where a tower standing on a ground point is drawn.
Box towerBox(float x, float z) {
  const WindowPoint p = onScreen(x, 0, z);
  return {p.x - 30, p.y - 60, 60, 70};
}

// A screenshot, or a block of one, addressed in screen coordinates.
struct Screen {
  int w = 0, h = 0;
  Box at{};
  std::vector<unsigned char> rgb;

  int channel(int x, int y, int c) const {
    x -= at.x, y -= at.y;
    return x < 0 || y < 0 || x >= w || y >= h ? 0 : rgb[(static_cast<size_t>(y) * w + x) * 3 + c];
  }
  template <typename Test>
  int count(Box b, Test test) const {
    int n = 0;
    for (int y = b.y; y < b.y + b.h; ++y)
      for (int x = b.x; x < b.x + b.w; ++x) n += test(x, y);
    return n;
  }
  int bright(Box b, int minimum = 200) const {
    return count(b, [&](int x, int y) { return std::min({channel(x, y, 0), channel(x, y, 1), channel(x, y, 2)}) >= minimum; });
  }
  // Leftmost column holding a near-white pixel: where the right-aligned money starts.
  int leftmostBright(Box b) const {
    for (int x = b.x; x < b.x + b.w; ++x)
      if (bright(Box{x, b.y, 1, b.h}) > 0) return x;
    return -1;
  }
  // Mean of every channel of every pixel in b, 0 to 255.
  double level(Box b) const {
    double sum = 0;
    count(b, [&](int x, int y) { return sum += channel(x, y, 0) + channel(x, y, 1) + channel(x, y, 2), 0; });
    return sum / (3.0 * b.w * b.h);
  }
  int changed(const Screen& o, Box b) const {
    return count(b, [&](int x, int y) {
      int most = 0;
      for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(channel(x, y, c) - o.channel(x, y, c)));
      return most > 40;
    });
  }
};

class E2E : public ::testing::Test {
 protected:
  // The whole screen, or a block of it (much cheaper to poll); the last one stays in the build directory.
  Screen shot(Box crop = kWhole) {
    const std::string path = std::string(VARROW_BINARY_DIR) + "/e2e_" + std::to_string(getpid()) + ".png";
    Screen s{0, 0, crop, {}};
    const std::string cut = crop.w ? std::to_string(crop.w) + "x" + std::to_string(crop.h) + "+" +
                                         std::to_string(crop.x) + "+" + std::to_string(crop.y)
                                   : "";
    unsigned char* data = game.screenshot(path, cut) ? stbi_load(path.c_str(), &s.w, &s.h, nullptr, 3) : nullptr;
    if (data) s.rgb.assign(data, data + static_cast<size_t>(s.w) * s.h * 3);
    stbi_image_free(data);
    return s;
  }
  // Takes screenshots until one passes the test; that one is left in *last.
  template <typename Test>
  bool waitForScreen(Test test, Screen* last, Box crop = kWhole, double seconds = 30.0) {
    return game.waitFor(seconds, [&] { return !(*last = shot(crop)).rgb.empty() && test(*last); });
  }
  // Presses a key (or nothing) and waits until the output is the banner and exactly the lines so far.
  void press(const std::string& key, const std::string& lines) {
    if (!key.empty()) game.sendKey(key);
    expected += lines;
    EXPECT_TRUE(game.waitFor(15.0, [&] { return game.output() == printed + expected; }))
        << "after " << key << ":\n" << game.output();
  }
  // Waits for the next "Tower at: " line and checks that it names the ground point (x, 0, z).
  void expectTowerAt(float x, float z) {
    std::string line;
    float at[3] = {};
    EXPECT_TRUE(game.waitFor(15.0, [&] {
      line = game.output().substr(std::min(game.output().size(), (printed + expected).size()));
      return std::sscanf(line.c_str(), "Tower at: %f, %f, %f\n", &at[0], &at[1], &at[2]) == 3 &&
             line.find('\n') != std::string::npos;
    }));
    line.resize(line.find('\n') + 1);
    EXPECT_TRUE(std::abs(at[0] - x) < 0.3f && std::abs(at[1]) < 1e-3f && std::abs(at[2] - z) < 0.3f) << line;
    expected += line;
  }

  GameProcess game;
  // What the game printed first (the start-up reports), and the lines it printed after them.
  std::string printed = kCleanStartOutput, expected;
};

TEST_F(E2E, BuildSelectUpgradeSellUntilBrokeThenEveryToggleKeyAndEscape) {
  ASSERT_TRUE(game.start() && game.waitForWindow(60.0)) << game.output() << game.errors();
  // Paused, no enemy moves or is shot: the money changes only by what the player does. Building,
  // selecting, upgrading and selling work while paused.
  // The frame rate is sampled only while the match runs: let it be sampled once before the pause.
  press("F2", "FPS mode: true\n");
  Screen rate;
  ASSERT_TRUE(waitForScreen([&](const Screen& s) { return s.bright(kFrameRate) > 50; }, &rate, kFrameRate));
  press("F2", "FPS mode: false\n");
  press("p", "Pause mode: true\n");
  const Screen before = shot();
  const int moneyAt1000 = before.leftmostBright(kMoney);
  ASSERT_GT(moneyAt1000, 0);

  // The game handles both clicks a frame later, when the cursor has long moved on: each counts where the
  // button went down.
  game.click({kTris, onScreen(20, 0, -20)});
  expectTowerAt(20, -20);
  // 900 has one digit less than 1000, so the right-aligned money starts about one digit further right.
  Screen built;
  EXPECT_TRUE(waitForScreen([&](const Screen& s) {
    return s.leftmostBright(kMoney) - moneyAt1000 >= 6 && s.changed(before, towerBox(20, -20)) > 300;
  }, &built)) << "no tower drawn, or the money did not lose a digit";

  // Select the tower by clicking its body, upgrade it and sell it; a second sell has nothing selected.
  game.click({kSelection});
  press("", "SelectionMode!\n");
  game.click({onScreen(20, 1.5f, -20), kUpgrade});
  press("", "level: 2 distance: 6 power: 50\nUpgrade!\n");
  game.click({kSell, kSell});
  press("", "Sell!\n");

  // 800 pays for a power tower (500) and a sniper (250) but not, with the 50 left, for a standard tower.
  game.click({kTrisBl, onScreen(12, 0, -20)});
  expectTowerAt(12, -20);
  game.click({kTrisGr, onScreen(28, 0, -20)});
  expectTowerAt(28, -20);
  game.click({onScreen(12, 0, -20)});
  press("", "Can't build a tower here!\n");
  game.click({kTris, onScreen(20, 0, -28)});
  expectTowerAt(20, -28);
  press("", "[BUILD]: Not enough Resources!\n");

  // The frame rate shows in frames drawn after every click above was handled.
  press("F2", "FPS mode: true\n");
  Screen broke;
  EXPECT_TRUE(waitForScreen([&](const Screen& s) { return s.bright(kFrameRate) > 50; }, &broke, kFrameRate));
  broke = shot();
  EXPECT_GT(broke.changed(before, towerBox(12, -20)), 300);
  EXPECT_GT(broke.changed(before, towerBox(28, -20)), 300);
  EXPECT_LT(broke.changed(before, towerBox(20, -28)), 100) << "a tower that was not paid for";

  // Resuming sets the clock back to the pause; the screen messages after it last 3 s of the clock.
  const char* const keys[][2] = {
      {"p", "Pause mode: false\n"},         {"p", "Pause mode: true\n"},         {"c", "Spectator mode: true\n"},
      {"c", "Spectator mode: false\n"},     {"F2", "FPS mode: false\n"},         {"F3", "Wireframe mode: true\n"},
      {"F3", "Wireframe mode: false\n"},    {"F4", "Texture mode: NEAREST\n"},   {"F4", "Texture mode: LINEAR\n"},
      {"F5", "Mipmap mode: OFF\n"},         {"F5", "Mipmap mode: NEAREST\n"},    {"F5", "Mipmap mode: LINEAR\n"},
      {"F6", "[VBO] ENABLED!\n"},           {"F6", "[VBO] DISABLED!\n"},         {"F8", "[VIEW FRUSTUM] ENABLED!\n"},
      {"F8", "[VIEW FRUSTUM] DISABLED!\n"}, {"F1", ""}, {"F1", ""},               {"F7", ""}};  // F1 opens and closes the help
  for (const auto& key : keys) press(key[0], key[1]);
  // The last message shows, then goes away by itself.
  Screen message;
  EXPECT_TRUE(waitForScreen([&](const Screen& s) { return s.bright(kMessage) > 100; }, &message, kMessage));
  EXPECT_TRUE(waitForScreen([&](const Screen& s) { return s.bright(kMessage) == 0; }, &message, kMessage));
  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0);
  EXPECT_EQ(game.output(), kCleanStartOutput + expected);
}

TEST_F(E2E, LostAtFourTimesTheSpeedThenClicksDoNothingAndRPlaysAgainWithMoneyAndANewWave) {
  ASSERT_TRUE(game.start() && game.waitForWindow(60.0)) << game.output() << game.errors();
  // The left part of "GAME OVER!", clear of the enemy path that crosses its right part. The letters are
  // pure white; the pulsing glow of the paths and the grid never gets quite that white in red.
  const Box banner{480, 386, 90, 20};
  Screen start, seen;
  ASSERT_TRUE(waitForScreen([&](const Screen& s) { return s.leftmostBright(kMoney) > 0; }, &start));
  EXPECT_EQ(start.bright(banner, 240), 0);
  const int moneyAt1000 = start.leftmostBright(kMoney);
  press("f", "Speed: x2\n");
  press("f", "Speed: x4\n");
  // At 4x the sixteenth enemy reaches the centre about 14 s after start-up.
  ASSERT_TRUE(waitForScreen([&](const Screen& s) { return s.bright(banner, 240) > 150; }, &seen, banner, 90.0));
  // Sixteen arrivals cost more than the 1000 the match starts with: the money shows a single 0.
  EXPECT_GE(shot().leftmostBright(kMoney) - moneyAt1000, 25);

  // Neither the buttons nor the board answer any more; the keys after the clicks show they were handled.
  game.click({kTris, onScreen(20, 0, -20), kSelection, onScreen(28, 0, -20)});
  press("c", "Spectator mode: true\n");
  press("c", "Spectator mode: false\n");
  EXPECT_GT(shot(banner).bright(banner, 240), 150) << "GAME OVER! is gone";

  // R plays again: the mouse answers, the money is back at 1000, and at 4x the new match's first wave reaches
  // the files about 10 s later and takes money, so 1000 loses a digit.
  press("r", "[GAME STATUS]: NEW GAME\n");
  game.click({kSelection});
  press("", "SelectionMode!\n");
  EXPECT_TRUE(waitForScreen([&](const Screen& s) { return s.leftmostBright(kMoney) == moneyAt1000; }, &seen, kMoney));
  press("f", "Speed: x2\n");
  press("f", "Speed: x4\n");
  EXPECT_TRUE(waitForScreen([&](const Screen& s) { return s.leftmostBright(kMoney) > moneyAt1000 + 4; }, &seen,
                            kMoney, 60.0)) << "no new wave";
  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0);
  EXPECT_EQ(game.output(), kCleanStartOutput + expected) << "the loss prints nothing";
}

TEST_F(E2E, AChosenLevelIsNamedAfterTheStartUpLinesLostAndPlayedAgainWithR) {
  // Sixteen fast enemies from a spawn point just outside the goal square: lost about 4 s after the start.
  char dir[] = "/tmp/varrow-e2e-level-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::ofstream(std::string(dir) + "/tiny.json")
      << R"({"name": "Tiny", "description": "", "money": 10, "spawnPoints": [{"position": [39, -49],
            "path": [[39, -49], [39, -39]], "waves": [{"startTime": 0, "spawnInterval": 0.25, "kind": "cube_yl", "count": 16}]}]})";
  ASSERT_TRUE(game.start(true, std::string("--mute --level ") + dir + "/tiny.json") && game.waitForWindow(60.0))
      << game.output() << game.errors();
  printed += "Level: Tiny\n";
  // R answers only once the match is over.
  for (int match = 1; match <= 2; ++match)
    EXPECT_TRUE(game.waitFor(60.0, [&] {
      game.sendKey("r");
      expected = "";
      for (int i = 0; i < match; ++i) expected += "[GAME STATUS]: NEW GAME\n";
      return game.output() == printed + expected;
    })) << game.output();
  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0);
  EXPECT_EQ(game.output(), printed + expected);
  fs::remove_all(dir);
}

// The level the levels screen remembered: a plain start plays it, named after the start-up lines; one that is
// gone gets a warning and the game plays Classic as if nothing were remembered.
TEST_F(E2E, ARememberedLevelIsPlayedByAPlainStartAndAMissingOneLeavesClassic) {
  char folder[] = "/tmp/varrow-e2e-remembered-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::filesystem::create_directories(std::string(folder) + "/varrow");
  game.useConfigHome(folder);
  for (const std::string level : {"serpent", "gone"}) {
    std::ofstream(std::string(folder) + "/varrow/settings.ini") << "level = " << level << "\n";
    ASSERT_TRUE(game.start(true, "--mute") && game.waitForWindow(60.0)) << game.output() << game.errors();
    game.sendKey("Escape");
    EXPECT_EQ(game.waitForExit(20.0), 0);
    EXPECT_EQ(game.output(), std::string(kCleanStartOutput) + (level == "serpent" ? "Level: Serpent\n" : ""));
    EXPECT_EQ(game.errors().find("varrow: the level 'gone'") != std::string::npos, level == "gone") << game.errors();
  }
  std::filesystem::remove_all(folder);
}

// The options screen in the real game: Low chosen over the running match, Escape closes the screen without
// quitting and the next Escape quits; the next start draws at Low, and --quality high overrides the file for
// one run without touching it. The glow that Low leaves out lights the board: at High it is much brighter.
TEST_F(E2E, OptionsChosenOnTheScreenAreKeptForTheNextStartAndTheCommandLineOverridesThem) {
  char folder[] = "/tmp/varrow-e2e-config-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string file = std::string(folder) + "/varrow/settings.ini";
  auto readFile = [&] { std::ifstream in(file); return std::string(std::istreambuf_iterator<char>(in), {}); };
  const Box board{100, 250, 800, 250}, panelEdge{208, 380, 4, 40};
  game.useConfigHome(folder);
  double levels[3] = {};
  for (int run = 0; run < 3; ++run) {
    ASSERT_TRUE(game.start(true, run == 2 ? "--mute --quality high" : "--mute") && game.waitForWindow(60.0))
        << game.output() << game.errors();
    Screen s;
    ASSERT_TRUE(waitForScreen([&](const Screen& b) { return b.level(board) > 10; }, &s, board));
    levels[run] = s.level(board);
    if (run == 0) {
      // The panel's border shows; then down to Quality and left twice, from High to Low.
      game.sendKey("F10");
      EXPECT_TRUE(waitForScreen([&](const Screen& b) { return b.count(panelEdge, [&](int x, int y) {
        return b.channel(x, y, 2) > 200 && b.channel(x, y, 0) < 100; }) > 120; }, &s, panelEdge));
      game.sendKey("Down Down Down Down Down Left Left");
      game.sendKey("Escape");
      EXPECT_TRUE(game.waitFor(15.0, [&] { return readFile().find("quality = low\n") != std::string::npos; })) << readFile();
      EXPECT_TRUE(game.running()) << "the Escape that closed the screen quit the game";
    }
    const std::string kept = readFile();
    game.sendKey("Escape");
    EXPECT_EQ(game.waitForExit(20.0), 0) << "run " << run;
    EXPECT_EQ(game.output(), kCleanStartOutput);
    EXPECT_EQ(game.errors().find("varrow"), std::string::npos) << game.errors();
    EXPECT_EQ(readFile(), kept);
  }
  EXPECT_GT(levels[0], 1.3 * levels[1]) << "High, then Low from the file";
  EXPECT_GT(levels[2], 1.3 * levels[1]) << "High from the command line over the file";
  std::filesystem::remove_all(folder);
}

TEST(E2ENoDisplay, ReportsAndExitsWithStatusOneWithoutWaitingForAKey) {
  GameProcess game;
  ASSERT_TRUE(game.start(false));
  EXPECT_EQ(game.waitForExit(20.0), 1);
  EXPECT_EQ(game.output(), "GLFW Error: Initialization Failed. \nPress any key to continue . . .\n");
}

// Each broken shader's compile report, then each program's link report, each followed by the driver's log.
const char* const kShaderReports[] = {
    "Vertex-shader compile error:\n\n", "Hud Vertex-shader compile error:\n\n",
    "Glow Vertex-shader compile error:\n\n", "Shadow-Mapping 1 Vertex-Shader compile error:\n\n",
    "Shadow-Mapping 2 Vertex-Shader compile error:\n\n", "Fragment-shader compile error:\n\n",
    "Hud Fragment-shader compile error:\n\n", "Glow Fragment-shader compile error:\n\n",
    "Shadow Mapping 1 Fragment-Shader compile error:\n\n", "Shadow Mapping 2 Fragment-Shader compile error:\n\n",
    "Shader-program link error:\n\n", "Hud Shader-program link error:\n\n", "Glow Shader-program link error:\n\n",
    "Shadow 1 Shader-program link error:\n\n", "Shadow 2 Shader-program link error:\n\n"};

enum class Damage { Missing, Garbage, Truncated };
// One launch damages every file of one group in one way: the shaders and sounds, or the images, the font
// and the model. Kept apart, broken shaders cannot hide a fault in drawing a damaged model or font.
struct Launch { const char* name; Damage damage; bool shaders; };

// A pattern matching the pieces in order, where an empty piece stands for any text (a driver's log).
std::string inOrder(const std::vector<std::string>& pieces) {
  std::string pattern;
  for (const std::string& piece : pieces)
    pattern += piece.empty() ? "[\\s\\S]*?" : replaceAll(piece, R"([.^$|()\[\]{}*+?\\])", R"(\$&)");
  return pattern;
}

class E2EData : public E2E, public ::testing::WithParamInterface<Launch> {};

TEST_P(E2EData, EachDamagedFileReportedThenATowerBuiltFramesDrawnAndTheWindowClosedWithStatusZero) {
  const Launch& launch = GetParam();
  char pattern[] = "/tmp/varrow-e2e-data-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path dir(pattern), real(VARROW_RUN_DIR);
  std::mt19937 random(9000);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(real)) {
    const fs::path file = fs::relative(entry.path(), real), kind = file.extension();
    const bool shaderGroup = *file.begin() == "shader" || *file.begin() == "sound";
    if (!entry.is_regular_file() || (!shaderGroup && kind != ".tga" && kind != ".fnt" && kind != ".md2")) continue;
    fs::create_directories((dir / file).parent_path());
    if (shaderGroup != launch.shaders) fs::create_symlink(entry.path(), dir / file);
    if (shaderGroup != launch.shaders || launch.damage == Damage::Missing) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (launch.damage == Damage::Garbage)
      for (char& b : bytes) b = static_cast<char>(random());
    else
      bytes.resize(bytes.size() / 2);
    std::ofstream(dir / file, std::ios::binary) << bytes;
  }
  std::string banner = kCleanStartOutput;
  banner.resize(banner.find("Vertex-shader"));
  std::vector<std::string> pieces{launch.shaders ? banner : kCleanStartOutput};
  for (const char* report : kShaderReports)
    if (launch.shaders) pieces.insert(pieces.end(), {report, ""});
  if (!launch.shaders) pieces.insert(pieces.end(), 25, "Error passing texture.\n");
  if (!launch.shaders && launch.damage == Damage::Missing) pieces.push_back("Error reading font file.\n");
  const std::string startUpAndTower = inOrder(pieces) + "Tower at: [^\n]*\n";

  ASSERT_TRUE(game.start(true, "--data " + dir.string()) && game.waitForWindow(60.0)) << game.output() << game.errors();
  game.click({kTris, onScreen(20, 0, -20)});
  EXPECT_TRUE(game.waitFor(30.0, [&] { return matchesWhole(printed = game.output(), startUpAndTower); }))
      << "stdout:\n" << game.output() << "stderr:\n" << game.errors();
  // Each key is handled after a frame drawn with the tower, the later ones also from buffer objects and
  // with the frame rate written in the damaged font.
  press("F6", "[VBO] ENABLED!\n");
  press("F2", "FPS mode: true\n");
  press("F8", "[VIEW FRUSTUM] ENABLED!\n");
  EXPECT_TRUE(game.requestClose());
  EXPECT_EQ(game.waitForExit(30.0), 0);
  EXPECT_EQ(game.output(), printed + expected);
  fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Damages, E2EData,
                         ::testing::Values(Launch{"ShadersAndSoundsMissing", Damage::Missing, true},
                                           Launch{"ImagesFontModelMissing", Damage::Missing, false},
                                           Launch{"ShadersAndSoundsRandom", Damage::Garbage, true},
                                           Launch{"ImagesFontModelRandom", Damage::Garbage, false},
                                           Launch{"ImagesFontModelCutInHalf", Damage::Truncated, false}),
                         [](const ::testing::TestParamInfo<Launch>& info) { return std::string(info.param.name); });

}  // namespace
