// The real game with one data file missing, replaced by random bytes, or cut short: it starts, reports
// exactly what it is meant to report, builds and draws a tower, keeps running, and quits cleanly.
// Each run gets a run directory of its own and its own X server, so several run side by side.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "PlayerSession.h"

namespace fs = std::filesystem;

namespace {

enum class Damage { Intact, Missing, Garbage, Truncated };

struct Shader {
  const char* file;
  const char* compiled;     // the line of a good compile
  const char* compileError; // the start of a failed compile's report
  const char* linkError;    // the start of its program's failed link report
};

const Shader kShaders[] = {
    {"shader/simple_shader.vert", "Vertex-shader loaded and compiled successfully.\n", "Vertex-shader compile error:\n\n",
     "Shader-program link error:\n\n"},
    {"shader/hud_shader.vert", "Hud Vertex-shader loaded and compiled successfully.\n",
     "Hud Vertex-shader compile error:\n\n", "Hud Shader-program link error:\n\n"},
    {"shader/glow_shader.vert", "Glow Vertex-shader loaded and compiled successfully.\n",
     "Glow Vertex-shader compile error:\n\n", "Glow Shader-program link error:\n\n"},
    {"shader/shadow1.vert", "Shadow-Mapping 1 Vertex-shader loaded and compiled successfully.\n",
     "Shadow-Mapping 1 Vertex-Shader compile error:\n\n", "Shadow 1 Shader-program link error:\n\n"},
    {"shader/shadow2.vert", "Shadow-Mapping 2 Vertex-shader loaded and compiled successfully.\n",
     "Shadow-Mapping 2 Vertex-Shader compile error:\n\n", "Shadow 2 Shader-program link error:\n\n"},
    {"shader/simple_shader.frag", "Fragment-shader loaded and compiled successfully.\n",
     "Fragment-shader compile error:\n\n", "Shader-program link error:\n\n"},
    {"shader/hud_shader.frag", "Hud Fragment-shader loaded and compiled successfully.\n",
     "Hud Fragment-shader compile error:\n\n", "Hud Shader-program link error:\n\n"},
    {"shader/glow_shader.frag", "Glow Fragment-shader loaded and compiled successfully.\n",
     "Glow Fragment-shader compile error:\n\n", "Glow Shader-program link error:\n\n"},
    {"shader/shadow1.frag", "Shadow Mapping 1 Fragment-Shader loaded and compiled successfully.\n",
     "Shadow Mapping 1 Fragment-Shader compile error:\n\n", "Shadow 1 Shader-program link error:\n\n"},
    {"shader/shadow2.frag", "Shadow Mapping 2 Fragment-Shader loaded and compiled successfully.\n",
     "Shadow Mapping 2 Fragment-Shader compile error:\n\n", "Shadow 2 Shader-program link error:\n\n"},
};

// The nineteen images of the main table and the six of the glow table.
const char* const kImages[] = {
    "quads.tga",         "e_quads.tga",        "t_quads.tga",        "arial_0.tga",      "tris.tga",
    "SelectionMode.tga", "SelectionTool.tga",  "Towers.tga",         "markUp.tga",       "SuperGlow.tga",
    "tris_bl.tga",       "tris_gr.tga",        "e_quads_or.tga",     "e_quads_yl.tga",   "e_quads_wh.tga",
    "selected.tga",      "sel_standard.tga",   "sel_sniper.tga",     "sel_power.tga",    "quads_glow.tga",
    "e_quads_glow.tga",  "t_quads_glow.tga",   "arial_0_glow.tga",   "tris_glow.tga",    "e_quads_wh_glow.tga",
};

const char* const kSounds[] = {"sound/bricks.xm", "sound/Laser sound 1.mp3", "sound/teleport_activate.mp3",
                               "sound/victory_.xm", "sound/game_over.mod"};

const char* const kFont = "arial.fnt";
const char* const kModel = "models/tris.md2";

std::vector<std::string> everyDataFile() {
  std::vector<std::string> files(std::begin(kImages), std::end(kImages));
  for (const Shader& s : kShaders) files.push_back(s.file);
  files.insert(files.end(), std::begin(kSounds), std::end(kSounds));
  files.push_back(kFont);
  files.push_back(kModel);
  return files;
}

struct Case {
  std::string file;  // the damaged file, empty for an intact run
  Damage damage = Damage::Intact;
  unsigned seed = 0;

  std::string name() const {
    const char* how[] = {"intact", "missing", "garbage", "truncated"};
    return std::string(how[static_cast<int>(damage)]) + (file.empty() ? "" : " " + file);
  }
};

struct Outcome {
  std::string output;
  std::string errors;
  bool started = false;
  bool towerLine = false;
  bool aliveAfterPlay = false;
  int exitStatus = -1;
};

std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A run directory of links to the real data, with the one file of the case removed or replaced.
fs::path prepareRunDir(const fs::path& root, size_t index, const Case& c) {
  const fs::path dir = root / ("run" + std::to_string(index));
  const fs::path source(VARROW_RUN_DIR);
  for (const std::string& file : everyDataFile()) {
    fs::create_directories((dir / file).parent_path());
    if (file != c.file) {
      fs::create_symlink(source / file, dir / file);
      continue;
    }
    const std::string original = readBytes(source / file);
    if (c.damage == Damage::Garbage) {
      std::mt19937 random(c.seed);
      std::string bytes(original.size(), '\0');
      for (char& b : bytes) b = static_cast<char>(random() & 0xff);
      writeBytes(dir / file, bytes);
    } else if (c.damage == Damage::Truncated) {
      writeBytes(dir / file, original.substr(0, original.size() / 2));
    }
  }
  return dir;
}

// Concurrent forks could hand one start's pipe to another's X server; starts take turns.
std::mutex startTurn;

Outcome play(const fs::path& runDir, double playSeconds) {
  Outcome outcome;
  PlayerSession session;
  GameProcess& game = session.game;
  {
    std::lock_guard<std::mutex> turn(startTurn);
    outcome.started = game.start(true, runDir.string());
  }
  if (outcome.started) outcome.started = game.waitForWindow(60.0);
  if (outcome.started) {
    game.moveMouse(kWindowCentre.x, kWindowCentre.y);
    // A standard tower in the middle of the view, so the model is loaded and drawn.
    session.clickButton(hudButton::tris);
    session.clickGround(glm::vec3(20.0f, 0.0f, -20.0f));
    outcome.towerLine = game.waitForOutput("Tower at: ", 30.0);
    sleepSeconds(playSeconds);
    outcome.aliveAfterPlay = game.running();
    game.sendKey("Escape");
  }
  outcome.exitStatus = game.waitForExit(30.0);
  outcome.output = game.output();
  outcome.errors = game.errors();
  return outcome;
}

size_t countOf(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

const Shader* shaderOf(const std::string& file) {
  for (const Shader& s : kShaders)
    if (file == s.file) return &s;
  return nullptr;
}

bool isImage(const std::string& file) { return file.size() > 4 && file.substr(file.size() - 4) == ".tga"; }

// What one run must have printed; empty when it did.
std::string judge(const Case& c, const Outcome& o) {
  if (!o.started) return "the game did not open its window";
  if (!o.towerLine) return "no \"Tower at: \" after choosing a tower and clicking the board";
  if (!o.aliveAfterPlay) return "the game ended during play, status " + std::to_string(o.exitStatus);
  if (o.exitStatus != 0) return "exit status " + std::to_string(o.exitStatus) + " after Escape";

  static const std::regex towerLine("Tower at: [-0-9.e+]+, [-0-9.e+]+, [-0-9.e+]+\n$");
  if (!std::regex_search(o.output, towerLine)) return "the output does not end with the tower line";
  const std::string startup = o.output.substr(0, o.output.rfind("Tower at: "));

  if (const Shader* shader = c.damage == Damage::Intact ? nullptr : shaderOf(c.file)) {
    // Whole lines: "Vertex-shader ..." is also the end of "Hud Vertex-shader ...".
    const auto hasLine = [&](const char* text) { return startup.find(std::string("\n") + text) != std::string::npos; };
    if (hasLine(shader->compiled)) return "the damaged shader compiled";
    if (!hasLine(shader->compileError)) return "no compile error report";
    if (!hasLine(shader->linkError)) return "no link error report";
    if (countOf(startup, "compiled successfully.") != 9) return "other shaders failed too";
    if (countOf(startup, "linked successfully.") != 4) return "other programs failed too";
    if (startup.rfind("GLFW 2.7 SVN 2010-03-16 Successfull \n", 0) != 0) return "the banner is missing";
    if (startup.find("Error passing texture.") != std::string::npos) return "a texture failed too";
    if (startup.find("Error reading font file.") != std::string::npos) return "the font failed too";
    return "";
  }
  std::string expected = kCleanStartOutput;
  if (c.damage != Damage::Intact && isImage(c.file)) expected += "Error passing texture.\n";
  if (c.damage == Damage::Missing && c.file == kFont) expected += "Error reading font file.\n";
  if (startup != expected) return "start-up printed\n" + startup.substr(std::string(kCleanStartOutput).size());
  return "";
}

int parallelRuns() {
  const char* wanted = std::getenv("VARROW_E2E_PARALLEL");
  int n = wanted ? std::atoi(wanted) : 4;
  return std::max(1, n);
}

// Plays every case, several at a time, and reports each failure with what the game printed.
void playAll(const std::vector<Case>& cases, double playSeconds = 2.0) {
  char pattern[] = "/tmp/varrow-e2e-data-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path root(pattern);
  std::vector<fs::path> dirs;
  for (size_t i = 0; i < cases.size(); ++i) dirs.push_back(prepareRunDir(root, i, cases[i]));

  std::vector<Outcome> outcomes(cases.size());
  std::atomic<size_t> next{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < parallelRuns(); ++w)
    workers.emplace_back([&] {
      for (size_t i = next++; i < cases.size(); i = next++) outcomes[i] = play(dirs[i], playSeconds);
    });
  for (std::thread& worker : workers) worker.join();

  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string failure = judge(cases[i], outcomes[i]);
    EXPECT_EQ(failure, "") << cases[i].name() << "\n--- stdout:\n"
                           << outcomes[i].output << "--- stderr (last part):\n"
                           << outcomes[i].errors.substr(outcomes[i].errors.size() > 2000
                                                            ? outcomes[i].errors.size() - 2000
                                                            : 0);
  }
  fs::remove_all(root);
}

std::vector<Case> casesFor(const std::vector<std::string>& files, Damage damage) {
  std::vector<Case> cases;
  unsigned seed = 9000;
  for (const std::string& file : files) cases.push_back({file, damage, seed++});
  return cases;
}

TEST(E2EData, EachFileMissingInTurn) {
  std::vector<Case> cases = casesFor(everyDataFile(), Damage::Missing);
  cases.insert(cases.begin(), Case{});
  playAll(cases);
}

TEST(E2EData, EachFileReplacedByRandomBytes) { playAll(casesFor(everyDataFile(), Damage::Garbage)); }

TEST(E2EData, EachImageTheFontAndTheModelCutInHalf) {
  std::vector<std::string> files(std::begin(kImages), std::end(kImages));
  files.push_back(kFont);
  files.push_back(kModel);
  playAll(casesFor(files, Damage::Truncated));
}

}  // namespace
