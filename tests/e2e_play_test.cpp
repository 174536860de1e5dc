// The real game played through its window: the start banner, every toggle key, building, selecting,
// upgrading and selling towers until the money runs out, and the two ways of quitting.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>

#include "PlayerSession.h"
#include "StartView.h"

namespace {

// The screen message is drawn from the top left corner.
const int kMessageBox[] = {40, 5, 420, 65};

class E2EPlay : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session.start()) << game.output();
    ASSERT_TRUE(game.waitForOutput(kCleanStartOutput, 30.0)) << game.output();
  }

  // Waits until everything printed after the banner is exactly `expected`, so each step is checked whole.
  bool waitForConsole(const std::string& expected, double seconds = 15.0) {
    const std::string wanted = kCleanStartOutput + expected;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
      const std::string out = game.output();
      if (out == wanted) return true;
      if (out.size() > wanted.size() || !game.running()) return false;
      sleepSeconds(0.05);
    }
    return false;
  }

  std::string console() { return game.output().substr(std::string(kCleanStartOutput).size()); }

  // Waits for the next "Tower at: " line and checks that it names the ground point under the click.
  void expectTowerAt(std::string& expected, const glm::vec3& ground) {
    const std::regex line("Tower at: (-?[0-9.e+-]+), (-?[0-9.e+-]+), (-?[0-9.e+-]+)\n");
    const auto start = std::chrono::steady_clock::now();
    std::smatch m;
    std::string rest;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < 15.0) {
      rest = console().substr(expected.size());
      if (std::regex_search(rest, m, line)) break;
      sleepSeconds(0.05);
    }
    ASSERT_TRUE(std::regex_search(rest, m, line)) << console();
    EXPECT_EQ(m.position(0), 0) << "unexpected lines before the tower line: " << rest;
    EXPECT_NEAR(std::stod(m[1]), ground.x, 0.3) << m[0];
    EXPECT_NEAR(std::stod(m[2]), 0.0, 1e-3) << m[0];
    EXPECT_NEAR(std::stod(m[3]), ground.z, 0.3) << m[0];
    expected += m[0];
  }

  ScreenImage shot(const std::string& name) {
    ScreenImage image = session.shot(name);
    EXPECT_GE(image.width(), 1024) << "no screenshot " << name;
    return image;
  }

  PlayerSession session;
  GameProcess& game = session.game;
};

TEST_F(E2EPlay, CleanStartPrintsExactlyTheBannerAndEscapeEndsWithStatusZero) {
  sleepSeconds(1.0);
  EXPECT_EQ(game.output(), kCleanStartOutput);
  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0) << game.output();
  EXPECT_EQ(game.output(), kCleanStartOutput);
}

TEST_F(E2EPlay, ClosingTheWindowEndsWithStatusZero) {
  ASSERT_TRUE(game.requestClose());
  EXPECT_EQ(game.waitForExit(20.0), 0) << game.output();
  EXPECT_EQ(game.output(), kCleanStartOutput);
}

TEST_F(E2EPlay, EveryToggleKeyPrintsItsLinesAndShowsItsMessageForThreeSeconds) {
  ScreenImage quiet = shot("keys_before");
  EXPECT_EQ(quiet.countBright(kMessageBox[0], kMessageBox[1], kMessageBox[2], kMessageBox[3]), 0);

  struct Press {
    const char* key;
    const char* line;
  };
  const Press presses[] = {
      {"c", "Spectator mode: true\n"},       {"c", "Spectator mode: false\n"},
      {"p", "Pause mode: true\n"},           {"p", "Pause mode: false\n"},
      {"F2", "FPS mode: true\n"},            {"F2", "FPS mode: false\n"},
      {"F3", "Wireframe mode: true\n"},      {"F3", "Wireframe mode: false\n"},
      {"F4", "Texture mode: NEAREST\n"},     {"F4", "Texture mode: LINEAR\n"},
      {"F5", "Mipmap mode: OFF\n"},          {"F5", "Mipmap mode: NEAREST\n"},
      {"F5", "Mipmap mode: LINEAR\n"},       {"F6", "[VBO] ENABLED!\n"},
      {"F6", "[VBO] DISABLED!\n"},           {"F8", "[VIEW FRUSTUM] ENABLED!\n"},
      {"F8", "[VIEW FRUSTUM] DISABLED!\n"},
  };
  std::string expected;
  for (const Press& press : presses) {
    game.sendKey(press.key);
    expected += press.line;
    ASSERT_TRUE(waitForConsole(expected)) << "after " << press.key << ":\n" << console();
    if (std::string(press.line) == "Wireframe mode: true\n") {
      // "Wireframe mode ON" in the top left corner, its letters drawn as outlines too.
      sleepSeconds(0.5);
      ScreenImage message = shot("keys_wireframe");
      EXPECT_GT(message.countBright(kMessageBox[0], kMessageBox[1], kMessageBox[2], kMessageBox[3], 120), 100);
    }
  }
  const auto lastKey = std::chrono::steady_clock::now();
  ScreenImage last = shot("keys_last_message");
  EXPECT_GT(last.countBright(kMessageBox[0], kMessageBox[1], kMessageBox[2], kMessageBox[3]), 100);
  // The last message goes away by itself three seconds after its key.
  int bright = 1;
  while (bright > 0 && std::chrono::steady_clock::now() - lastKey < std::chrono::seconds(15)) {
    sleepSeconds(0.5);
    ScreenImage now = shot("keys_after");
    bright = now.countBright(kMessageBox[0], kMessageBox[1], kMessageBox[2], kMessageBox[3]);
  }
  EXPECT_EQ(bright, 0);
  EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - lastKey).count(), 2.5);

  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0) << game.output();
  EXPECT_EQ(console(), expected);
}

TEST_F(E2EPlay, AClickCountsWhereTheButtonWentDownThoughTheCursorMovesOnAtOnce) {
  // The game handles the click a frame later; by then the cursor is already back in the middle.
  const glm::vec3 ground(12.0f, 0.0f, -24.0f);
  const glm::ivec2 p = startWindowPoint(ground);
  const std::string w = game.windowId();
  game.x11("xdotool mousemove --window " + w + " " + std::to_string(hudButton::tris.x) + " " +
           std::to_string(hudButton::tris.y) + " mousedown 1 mouseup 1 mousemove --window " + w + " " +
           std::to_string(p.x) + " " + std::to_string(p.y) + " mousedown 1 mouseup 1 mousemove --window " + w +
           " " + std::to_string(kWindowCentre.x) + " " + std::to_string(kWindowCentre.y));
  std::string expected;
  expectTowerAt(expected, ground);
  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0) << game.output();
  EXPECT_EQ(console(), expected);
}

TEST_F(E2EPlay, TowersAreBuiltSelectedUpgradedAndSoldUntilTheMoneyRunsOut) {
  // Paused, no enemy moves or is shot, so the money changes only by what the player does, and the
  // picture stays still between shots. Building, selecting, upgrading and selling work while paused.
  game.sendKey("p");
  std::string expected = "Pause mode: true\n";
  ASSERT_TRUE(waitForConsole(expected)) << console();
  sleepSeconds(0.5);
  ScreenImage before = shot("build_before");
  const int moneyAt1000 = before.leftmostBright(kMoneyBox[0], kMoneyBox[1], kMoneyBox[2], kMoneyBox[3]);
  ASSERT_GT(moneyAt1000, 0);

  const glm::vec3 first(20.0f, 0.0f, -20.0f);
  const glm::ivec2 firstPixel = startWindowPoint(first);
  session.clickButton(hudButton::tris);
  session.clickGround(first);
  expectTowerAt(expected, first);
  ASSERT_TRUE(waitForConsole(expected)) << console();
  sleepSeconds(0.5);
  ScreenImage built = shot("build_tower");
  // 900 has one digit less than 1000, so the right-aligned number starts about one digit further right.
  const int moneyAt900 = built.leftmostBright(kMoneyBox[0], kMoneyBox[1], kMoneyBox[2], kMoneyBox[3]);
  EXPECT_GE(moneyAt900 - moneyAt1000, 6) << "money did not lose a digit";
  EXPECT_LE(moneyAt900 - moneyAt1000, 20);
  const int towerBox[] = {firstPixel.x - 30, firstPixel.y - 60, 60, 70};
  const int changedByBuild = built.countChanged(before, towerBox[0], towerBox[1], towerBox[2], towerBox[3]);
  EXPECT_GT(changedByBuild, 300) << "no tower drawn where it was built";

  // Select the tower by clicking its body, then upgrade and sell it.
  session.clickButton(hudButton::selection);
  expected += "SelectionMode!\n";
  ASSERT_TRUE(waitForConsole(expected)) << console();
  session.clickGround(glm::vec3(first.x, 1.5f, first.z));
  sleepSeconds(0.5);
  session.clickButton(hudButton::upgrade);
  expected += "level: 2 distance: 6 power: 50\nUpgrade!\n";
  ASSERT_TRUE(waitForConsole(expected)) << console();
  session.clickButton(hudButton::sell);
  expected += "Sell!\n";
  ASSERT_TRUE(waitForConsole(expected)) << console();
  // A second sell has nothing selected: no line, nothing removed.
  session.clickButton(hudButton::sell);
  sleepSeconds(0.5);
  ScreenImage sold = shot("build_sold");
  EXPECT_LT(sold.countChanged(before, towerBox[0], towerBox[1], towerBox[2], towerBox[3]), changedByBuild / 10)
      << "the sold tower is still drawn";
  // 1000 - 100 - 200 + 100 = 800, three digits again.
  EXPECT_EQ(sold.leftmostBright(kMoneyBox[0], kMoneyBox[1], kMoneyBox[2], kMoneyBox[3]), moneyAt900);

  // 800 pays for a power tower (500) and a sniper (250); the 50 left do not pay for a standard tower.
  const glm::vec3 second(12.0f, 0.0f, -20.0f), third(28.0f, 0.0f, -20.0f), fourth(20.0f, 0.0f, -28.0f);
  session.clickButton(hudButton::trisBl);
  session.clickGround(second);
  expectTowerAt(expected, second);
  session.clickButton(hudButton::trisGr);
  session.clickGround(third);
  expectTowerAt(expected, third);
  ASSERT_TRUE(waitForConsole(expected)) << console();
  // The same spot again is taken.
  session.clickGround(second);
  expected += "Can't build a tower here!\n";
  ASSERT_TRUE(waitForConsole(expected)) << console();
  session.clickButton(hudButton::tris);
  session.clickGround(fourth);
  expectTowerAt(expected, fourth);
  expected += "[BUILD]: Not enough Resources!\n";
  ASSERT_TRUE(waitForConsole(expected)) << console();
  sleepSeconds(0.5);
  ScreenImage broke = shot("build_broke");
  const int moneyAt50 = broke.leftmostBright(kMoneyBox[0], kMoneyBox[1], kMoneyBox[2], kMoneyBox[3]);
  EXPECT_GE(moneyAt50 - moneyAt900, 6) << "money did not fall to two digits";
  for (const glm::vec3& ground : {second, third}) {
    glm::ivec2 p = startWindowPoint(ground);
    EXPECT_GT(broke.countChanged(before, p.x - 30, p.y - 60, 60, 70), 300) << "no tower at " << p.x << "," << p.y;
  }
  glm::ivec2 p = startWindowPoint(fourth);
  EXPECT_LT(broke.countChanged(before, p.x - 20, p.y - 40, 40, 40), 100) << "a tower that was not paid for";

  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0) << game.output();
  EXPECT_EQ(console(), expected);
}

}  // namespace
