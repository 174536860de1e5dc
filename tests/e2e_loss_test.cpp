// A real-time match left alone: the enemies reach the files, "GAME OVER!" appears in the middle of the
// screen about a minute in, and from then on the mouse does nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>

#include "PlayerSession.h"

namespace {

// The left part of "GAME OVER!" (drawn from (-30, 0) about the window centre), clear of the enemy path that
// crosses its right part.
const int kBannerBox[] = {480, 386, 90, 20};
const int kBannerShot[] = {440, 340, 260, 100};
// The letters are pure white; the pulsing glow of the paths and the grid never gets quite that white in red.
const int kWhite = 240;

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(E2ELoss, AMatchWithoutTowersIsLostAboutAMinuteInAndThenClicksDoNothing) {
  PlayerSession session;
  GameProcess& game = session.game;
  const auto launched = std::chrono::steady_clock::now();
  ASSERT_TRUE(session.start()) << game.output();
  ASSERT_TRUE(game.waitForOutput(kCleanStartOutput, 30.0)) << game.output();

  // The mouse works while the match runs.
  session.clickButton(hudButton::selection);
  ASSERT_TRUE(game.waitForOutput("SelectionMode!\n", 15.0)) << game.output();
  const std::string beforeLoss = std::string(kCleanStartOutput) + "SelectionMode!\n";
  EXPECT_EQ(game.output(), beforeLoss);

  ScreenImage start = session.shot("loss_start");
  ASSERT_GE(start.width(), 1024);
  EXPECT_EQ(start.countBright(kBannerBox[0], kBannerBox[1], kBannerBox[2], kBannerBox[3], kWhite), 0);
  const int moneyAtStart = start.leftmostBright(kMoneyBox[0], kMoneyBox[1], kMoneyBox[2], kMoneyBox[3]);

  // Game time follows the clock: the sixteenth enemy reaches the centre about 56 s after start-up.
  const std::string bannerPath = PlayerSession::shotPath("loss_banner");
  int bannerBright = 0;
  double lostAfter = 0.0;
  while (secondsSince(launched) < 150.0 && game.running()) {
    ScreenImage banner;
    if (game.screenshot(bannerPath, kBannerShot[0], kBannerShot[1], kBannerShot[2], kBannerShot[3]) &&
        banner.load(bannerPath)) {
      bannerBright = banner.countBright(kBannerBox[0] - kBannerShot[0], kBannerBox[1] - kBannerShot[1],
                                       kBannerBox[2], kBannerBox[3], kWhite);
      if (bannerBright > 150) {
        lostAfter = secondsSince(launched);
        break;
      }
    }
    sleepSeconds(secondsSince(launched) < 40.0 ? 2.0 : 0.5);
  }
  ASSERT_GT(bannerBright, 150) << "no GAME OVER! after " << secondsSince(launched) << " s";
  std::cout << "GAME OVER! seen " << lostAfter << " s after launch" << std::endl;
  EXPECT_GT(lostAfter, 45.0);
  EXPECT_EQ(game.output(), beforeLoss) << "the loss prints nothing";

  ScreenImage lost = session.shot("loss_game_over");
  ASSERT_GE(lost.width(), 1024);
  EXPECT_GT(lost.countNewlyBright(start, kBannerBox[0], kBannerBox[1], kBannerBox[2], kBannerBox[3], kWhite), 150);
  // Sixteen arrivals cost more than the 1000 the match starts with: the money shows a single 0.
  EXPECT_GE(lost.leftmostBright(kMoneyBox[0], kMoneyBox[1], kMoneyBox[2], kMoneyBox[3]) - moneyAtStart, 25);

  // Neither the buttons nor the board answer any more.
  session.clickButton(hudButton::tris);
  session.clickGround(glm::vec3(20.0f, 0.0f, -20.0f));
  session.clickButton(hudButton::selection);
  session.clickGround(glm::vec3(28.0f, 0.0f, -20.0f));
  sleepSeconds(2.0);
  EXPECT_EQ(game.output(), beforeLoss);
  ScreenImage after = session.shot("loss_after_clicks");
  EXPECT_GT(after.countNewlyBright(start, kBannerBox[0], kBannerBox[1], kBannerBox[2], kBannerBox[3], kWhite), 150)
      << "GAME OVER! is gone";

  game.sendKey("Escape");
  EXPECT_EQ(game.waitForExit(20.0), 0) << game.output();
  EXPECT_EQ(game.output(), beforeLoss);
}

}  // namespace
