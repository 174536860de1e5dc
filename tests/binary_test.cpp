// The real game binary: it quits with status 0 on Escape, and fails with status 1 and the fatal message
// when there is no display, without waiting for a key when nobody is at a terminal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "GameProcess.h"

TEST(Binary, EscapeEndsTheGameWithStatusZero) {
  GameProcess game;
  ASSERT_TRUE(game.start());
  ASSERT_TRUE(game.waitForOutput("Shadow 2 Shader-program linked successfully.", 20.0)) << game.output();
  ASSERT_TRUE(game.waitForWindow(20.0));
  game.sendKey("Escape");
  int status = game.waitForExit(20.0);
  EXPECT_EQ(status, 0) << game.output();
}

TEST(Binary, WithoutADisplayItReportsAndExitsWithStatusOne) {
  GameProcess game;
  ASSERT_TRUE(game.start(/*withDisplay=*/false));
  int status = game.waitForExit(20.0);
  EXPECT_EQ(status, 1);
  std::string out = game.output();
  EXPECT_NE(out.find("GLFW Error: Initialization Failed. \n"), std::string::npos) << out;
  EXPECT_NE(out.find("Press any key to continue . . .\n"), std::string::npos) << out;
}
