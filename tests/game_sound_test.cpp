// Tests of the game's sound rules with the real sound library: the music step in every match state, effect
// plays on their own channels, missing sound files, and the end tune heard through OpenAL Soft's wave writer.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "CaptureStdout.h"
#include "TestSounds.h"
#include "game/Game.h"

namespace {

const auto* const waveEnvironment = ::testing::AddGlobalTestEnvironment(makeWaveWriterEnvironment());

struct FakeClock {
  double now = 50.0;
  static double read(void* user) { return static_cast<FakeClock*>(user)->now; }
};

bool isPlaying(SoundChannel* channel) {
  SoundBool playing = 0;
  soundChannelIsPlaying(channel, &playing);
  return playing != 0;
}

int channelIndex(SoundChannel* channel) {
  int index = -1;
  soundChannelGetIndex(channel, &index);
  return index;
}

// Runs the game in a folder of its own whose sound/ holds the files the test made.
class GameSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    folder_ = scratchDir() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(folder_ + "/sound");
    std::filesystem::current_path(folder_);
  }
  void TearDown() override {
    soundForceSilent(false);
    std::filesystem::current_path(previous_);
  }

  // Music 1.92 s, laser 0.3 s, SuperGlow 0.6 s, victory 1.92 s, game over 0.96 s.
  void writeSounds(int gameOverSoundingRows = 64, int musicOrders = 2) {
    ASSERT_TRUE(writeTestModule("sound/bricks.xm", musicOrders, 16, 3));
    ASSERT_TRUE(writeTestTone("sound/Laser sound 1.mp3", 880.0, 0.3, 0.5, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III));
    ASSERT_TRUE(
        writeTestTone("sound/teleport_activate.mp3", 330.0, 0.6, 0.5, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III));
    ASSERT_TRUE(writeTestModule("sound/victory_.xm", 1, 16, 6));
    ASSERT_TRUE(writeTestModule("sound/game_over.mod", 1, 8, 6, gameOverSoundingRows));
  }

  // A game whose sound system has no device and runs on the test's clock.
  std::unique_ptr<Game> silentGame() {
    auto game = std::make_unique<Game>();
    soundForceSilent(true);
    game->initSound();
    soundForceSilent(false);
    soundSystemSetClock(game->soundSystem, FakeClock::read, &clock_);
    return game;
  }

  // One frame: three render passes, each opening with the music step.
  void frame(Game& game, double seconds) {
    clock_.now += seconds;
    for (int pass = 0; pass < 3; ++pass) {
      game.musicStep();
    }
  }

  FakeClock clock_;

 private:
  std::filesystem::path previous_;
  std::string folder_;
};

}  // namespace

TEST_F(GameSoundTest, MusicRestartsWhenItEndsAndEffectsOverlap) {
  writeSounds();
  auto game = silentGame();
  ASSERT_NE(game->musicSound, nullptr);
  ASSERT_NE(game->laserSound, nullptr);
  ASSERT_NE(game->superGlowSound, nullptr);
  ASSERT_NE(game->victorySound, nullptr);
  ASSERT_NE(game->gameOverSound, nullptr);

  EXPECT_EQ(game->musicChannel, nullptr);
  frame(*game, 0.0);
  SoundChannel* firstMusic = game->musicChannel;
  EXPECT_TRUE(isPlaying(firstMusic)) << "the first draw starts the music";

  game->gameState = Paused;
  for (int i = 0; i < 100; ++i) {
    frame(*game, 1.0 / 60.0);
    ASSERT_EQ(game->musicChannel, firstMusic) << "the music is not restarted while it plays, paused or not";
  }
  game->gameState = Running;
  while (clock_.now < 50.0 + 1.92 - 1.0 / 60.0) {
    frame(*game, 1.0 / 60.0);
    ASSERT_EQ(game->musicChannel, firstMusic);
  }
  frame(*game, 2.0 / 60.0);
  EXPECT_NE(game->musicChannel, firstMusic) << "the next draw after the end starts the music again";
  EXPECT_TRUE(isPlaying(game->musicChannel));
  EXPECT_FALSE(isPlaying(firstMusic));

  game->playEffect(game->laserSound, &game->laserChannel, 0.1f);
  SoundChannel* firstLaser = game->laserChannel;
  game->playEffect(game->laserSound, &game->laserChannel, 0.1f);
  EXPECT_NE(channelIndex(firstLaser), channelIndex(game->laserChannel));
  EXPECT_TRUE(isPlaying(firstLaser)) << "a new laser does not stop the previous one";
  EXPECT_TRUE(isPlaying(game->laserChannel));
  game->playEffect(game->superGlowSound, &game->superGlowChannel, 1.0f);
  EXPECT_TRUE(isPlaying(game->superGlowChannel));
  frame(*game, 0.31);
  EXPECT_FALSE(isPlaying(game->laserChannel));
  EXPECT_TRUE(isPlaying(game->superGlowChannel));
  frame(*game, 0.3);
  EXPECT_FALSE(isPlaying(game->superGlowChannel));

  game->releaseSound();
  EXPECT_EQ(game->soundSystem, nullptr);
  game->releaseSound();
}

TEST_F(GameSoundTest, EndOfMatchSilencesTheMusicAndRepeatsTheEndTune) {
  writeSounds();
  for (int state : {Lost, Won}) {
    auto game = silentGame();
    frame(*game, 0.0);
    frame(*game, 0.5);
    SoundChannel* runningMusic = game->musicChannel;
    ASSERT_TRUE(isPlaying(runningMusic));
    game->gameState = state;
    frame(*game, 0.0);
    EXPECT_FALSE(isPlaying(runningMusic)) << "the music playing when the match ends stops with it";
    int endStarts = 0;
    SoundChannel* endChannel = nullptr;
    for (int i = 0; i < 240; ++i) {  // four seconds
      frame(*game, 1.0 / 60.0);
      ASSERT_FALSE(isPlaying(game->musicChannel)) << "music after the end, frame " << i;
      ASSERT_TRUE(isPlaying(game->endChannel)) << "end tune silent, frame " << i;
      if (game->endChannel != endChannel) {
        endChannel = game->endChannel;
        ++endStarts;
      }
    }
    // Game over lasts 0.96 s, victory 1.92 s.
    EXPECT_EQ(endStarts, state == Lost ? 5 : 3) << "state " << state;

    // Starting and stopping the music on every pass must not use up channels.
    int lasers = 0;
    SoundChannel* laser = nullptr;
    while (lasers < 40 && soundSystemPlaySound(game->soundSystem, kSoundChannelFree, game->laserSound, false,
                                               &laser) == SOUND_OK) {
      ++lasers;
    }
    EXPECT_EQ(lasers, 31) << "all channels but the end tune's are free";
    game->releaseSound();
  }
}

TEST_F(GameSoundTest, MissingFilesLeaveTheGameSilent) {
  CaptureStdout capture;
  auto game = silentGame();
  EXPECT_NE(game->soundSystem, nullptr);
  EXPECT_EQ(game->musicSound, nullptr);
  EXPECT_EQ(game->laserSound, nullptr);
  EXPECT_EQ(game->superGlowSound, nullptr);
  EXPECT_EQ(game->victorySound, nullptr);
  EXPECT_EQ(game->gameOverSound, nullptr);
  frame(*game, 0.0);
  game->playEffect(game->laserSound, &game->laserChannel, 0.1f);
  game->gameState = Lost;
  frame(*game, 1.0);
  EXPECT_EQ(game->musicChannel, nullptr);
  EXPECT_EQ(game->laserChannel, nullptr);
  EXPECT_EQ(game->endChannel, nullptr);
  game->releaseSound();
  EXPECT_EQ(capture.text(), "");
}

// Through the wave writer: the music sounds while the match runs; after Lost it is silent and the game-over
// tune (0.48 s of sound, 0.48 s of pause) comes back after each pause.
TEST_F(GameSoundTest, GameOverTuneRepeatsInTheOutput) {
  writeSounds(4, 100);
  auto game = std::make_unique<Game>();
  game->initSound();
  SoundBool silent = 1;
  soundSystemIsSilent(game->soundSystem, &silent);
  ASSERT_EQ(silent, 0) << "the wave writer should give us a device";

  auto playFor = [&](double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      for (int pass = 0; pass < 3; ++pass) {
        game->musicStep();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
  };
  playFor(1.0);
  game->gameState = Lost;
  playFor(1.7);
  game->releaseSound();

  // The hand-over from the music to the end tune may leave one refill period (tens of milliseconds) of
  // silence, which nobody hears; only pauses longer than that separate two bursts.
  std::vector<SoundBurst> bursts;
  for (const SoundBurst& b : readSoundBursts(wavePath())) {
    SoundBurst* previous = bursts.empty() ? nullptr : &bursts.back();
    if (previous && b.start - (previous->start + previous->seconds) < 0.1) {
      double end = b.start + b.seconds;
      previous->rms = (previous->rms * previous->seconds + b.rms * b.seconds) / (previous->seconds + b.seconds);
      previous->seconds = end - previous->start;
    } else {
      bursts.push_back(b);
    }
  }
  ASSERT_EQ(bursts.size(), 2u) << describeBursts(bursts);
  EXPECT_NEAR(bursts[0].seconds, 1.0 + 0.48, 0.1) << "music, then the first game-over pass";
  // The pause of the tune plus the restart on the next frame; music leaking into it would join the bursts.
  EXPECT_NEAR(bursts[1].start - (bursts[0].start + bursts[0].seconds), 0.55, 0.12) << "the music stays silent";
  EXPECT_NEAR(bursts[1].seconds, 0.48, 0.1);
  EXPECT_NEAR(bursts[1].rms / bursts[0].rms, 1.0, 0.2) << "music and end tune both at 0.8";
  EXPECT_GT(bursts[0].rms, 0.05);
}
