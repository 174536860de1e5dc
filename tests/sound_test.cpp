// Tests of our sound library: real output through OpenAL Soft's wave writer, silent plays timed by a clock,
// streaming of long modules, and the fallback when no output device exists.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "TestSounds.h"
#include "game/SoundLibrary.h"

namespace {

const auto* const waveEnvironment = ::testing::AddGlobalTestEnvironment(makeWaveWriterEnvironment());

bool isPlaying(SoundChannel* channel) {
  SoundBool playing = 7;
  soundChannelIsPlaying(channel, &playing);
  return playing != 0;
}

// Polls like the game does (three queries per 60 Hz frame) until the play ends; seconds waited.
double waitUntilFinished(SoundChannel* channel, double limit) {
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!isPlaying(channel) || waited > limit) {
      return waited;
    }
    isPlaying(channel);
    isPlaying(channel);
    std::this_thread::sleep_for(std::chrono::milliseconds(16));
  }
}

long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      return std::atol(line.c_str() + 6);
    }
  }
  return 0;
}

// Captures what is written to file descriptor 1 by any code in the process, C libraries included.
class StdoutFd {
 public:
  StdoutFd() : path_(scratchDir() + "/stdout.txt") {
    std::fflush(stdout);
    saved_ = dup(1);
    FILE* file = std::fopen(path_.c_str(), "w");
    dup2(fileno(file), 1);
    std::fclose(file);
  }
  std::string finish() {
    std::fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
    std::ifstream in(path_);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

 private:
  std::string path_;
  int saved_;
};

struct FakeClock {
  double now = 100.0;
  static double read(void* user) { return static_cast<FakeClock*>(user)->now; }
};

}  // namespace

TEST(SoundWave, LevelsAndChannelsReachTheOutput) {
  const std::string tone = scratchDir() + "/tone.wav";
  const std::string otherTone = scratchDir() + "/tone2.wav";
  const std::string module = scratchDir() + "/short.mod";
  ASSERT_TRUE(writeTestTone(tone, 440.0, 0.4, 0.5, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  ASSERT_TRUE(writeTestTone(otherTone, 660.0, 0.4, 0.5, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  ASSERT_TRUE(writeTestModule(module, 1, 8, 6));

  SoundSystem* system = nullptr;
  ASSERT_EQ(soundSystemCreate(&system), SOUND_OK);
  ASSERT_EQ(soundSystemInit(system, 32, kSoundInitNormal), SOUND_OK);
  SoundBool silent = 1;
  soundSystemIsSilent(system, &silent);
  ASSERT_EQ(silent, 0) << "the wave writer should give us a device";
  Sound* music = nullptr;
  Sound* laser = nullptr;
  Sound* laser2 = nullptr;
  ASSERT_EQ(soundSystemCreateSound(system, module.c_str(), kSoundModeDefault, &music), SOUND_OK);
  ASSERT_EQ(soundSystemCreateSound(system, tone.c_str(), kSoundModeDefault, &laser), SOUND_OK);
  ASSERT_EQ(soundSystemCreateSound(system, otherTone.c_str(), kSoundModeDefault, &laser2), SOUND_OK);
  double moduleLength = 0.0;
  soundGetLength(music, &moduleLength);
  EXPECT_NEAR(moduleLength, 0.96, 0.05);

  auto playAt = [&](Sound* sound, float volume) {
    SoundChannel* channel = nullptr;
    EXPECT_EQ(soundSystemPlaySound(system, kSoundChannelFree, sound, false, &channel), SOUND_OK);
    EXPECT_EQ(soundChannelSetVolume(channel, volume), SOUND_OK);
    return channel;
  };
  const double musicHeard = waitUntilFinished(playAt(music, 0.8f), 5.0);
  EXPECT_NEAR(musicHeard, moduleLength, 0.4);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  waitUntilFinished(playAt(laser, 0.8f), 3.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  waitUntilFinished(playAt(laser, 0.1f), 3.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  SoundChannel* first = playAt(laser, 0.8f);
  SoundChannel* second = playAt(laser2, 0.8f);
  int firstIndex = -1;
  int secondIndex = -1;
  soundChannelGetIndex(first, &firstIndex);
  soundChannelGetIndex(second, &secondIndex);
  EXPECT_NE(firstIndex, secondIndex);
  EXPECT_TRUE(isPlaying(first));
  EXPECT_TRUE(isPlaying(second));
  waitUntilFinished(first, 3.0);
  waitUntilFinished(second, 3.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));

  soundRelease(music);
  soundRelease(laser);
  soundRelease(laser2);
  soundSystemClose(system);
  soundSystemRelease(system);

  const std::vector<SoundBurst> bursts = readSoundBursts(wavePath());
  ASSERT_EQ(bursts.size(), 4u) << describeBursts(bursts);
  EXPECT_NEAR(bursts[0].seconds, moduleLength, 0.15);
  EXPECT_GT(bursts[0].rms, 0.05) << "the music at 0.8 should be clearly audible";
  EXPECT_NEAR(bursts[1].seconds, 0.4, 0.05);
  const double ratio = bursts[2].rms / bursts[1].rms;
  EXPECT_NEAR(ratio, 0.1 / 0.8, 0.015) << "volume 0.1 against 0.8";
  const double overlap = bursts[3].rms / bursts[1].rms;
  EXPECT_NEAR(overlap, std::sqrt(2.0), 0.15) << "two tones at once on two channels";
  std::printf("sound levels: music rms %.4f, laser 0.8 rms %.4f, laser 0.1 rms %.4f (ratio %.4f), pair ratio %.3f\n",
              bursts[0].rms, bursts[1].rms, bursts[2].rms, ratio, overlap);
}

TEST(SoundWave, LongModuleStreamsThroughReusedBuffers) {
  const std::string module = scratchDir() + "/long.mod";
  ASSERT_TRUE(writeTestModule(module, 128, 64, 6));  // about 16 minutes

  SoundSystem* system = nullptr;
  soundSystemCreate(&system);
  soundSystemInit(system, 32, kSoundInitNormal);
  Sound* music = nullptr;
  ASSERT_EQ(soundSystemCreateSound(system, module.c_str(), kSoundModeDefault, &music), SOUND_OK);
  double length = 0.0;
  soundGetLength(music, &length);
  EXPECT_GT(length, 900.0);

  const long before = residentKilobytes();
  SoundChannel* channel = nullptr;
  ASSERT_EQ(soundSystemPlaySound(system, kSoundChannelFree, music, false, &channel), SOUND_OK);
  soundChannelSetVolume(channel, 0.8f);
  waitUntilFinished(channel, 1.0);
  // A game that stalls for a while must not stop the music.
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  waitUntilFinished(channel, 1.0);
  const long after = residentKilobytes();

  EXPECT_TRUE(isPlaying(channel));
  SoundStreamInfo info{};
  ASSERT_EQ(soundChannelGetStreamInfo(channel, &info), SOUND_OK);
  EXPECT_LE(info.distinctBuffers, 4);
  EXPECT_GT(info.refills, 3 * info.distinctBuffers) << "the same buffers are refilled again and again";
  EXPECT_LE(info.queuedBuffers, 4);
  // Decoding the whole module would take 16 minutes * 44100 * 4 bytes, about 170 MB.
  EXPECT_LT(after - before, 20 * 1024) << "resident memory grew by " << (after - before) << " kB";
  std::printf("streaming: %d buffers, %lld refills, resident memory %ld kB -> %ld kB\n", info.distinctBuffers,
              info.refills, before, after);

  soundChannelStop(channel);
  EXPECT_FALSE(isPlaying(channel));
  soundRelease(music);
  soundSystemClose(system);
  soundSystemRelease(system);

  const std::vector<SoundBurst> bursts = readSoundBursts(wavePath());
  ASSERT_EQ(bursts.size(), 1u) << describeBursts(bursts) << "the music must sound without a gap, stall included";
  EXPECT_GT(bursts[0].seconds, 3.0);
}

TEST(SoundSilent, PlaysLastTheirLengthByTheClock) {
  const std::string tone = scratchDir() + "/silent.mp3";
  const std::string module = scratchDir() + "/silent.mod";
  ASSERT_TRUE(writeTestTone(tone, 440.0, 0.5, 0.5, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III));
  ASSERT_TRUE(writeTestModule(module, 2, 16, 3));  // 2 * 16 rows * 3 ticks * 0.02 s

  StdoutFd capture;
  FakeClock clock;
  SoundSystem* system = nullptr;
  soundSystemCreate(&system);
  ASSERT_EQ(soundSystemInit(system, 32, kSoundInitSilent), SOUND_OK);
  soundSystemSetClock(system, FakeClock::read, &clock);
  Sound* effect = nullptr;
  Sound* music = nullptr;
  Sound* missing = reinterpret_cast<Sound*>(1);
  ASSERT_EQ(soundSystemCreateSound(system, tone.c_str(), kSoundModeDefault, &effect), SOUND_OK);
  ASSERT_EQ(soundSystemCreateSound(system, module.c_str(), kSoundModeDefault, &music), SOUND_OK);
  EXPECT_EQ(soundSystemCreateSound(system, "sound/no such file.mp3", kSoundModeDefault, &missing),
            SOUND_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);
  double effectLength = 0.0;
  double musicLength = 0.0;
  soundGetLength(effect, &effectLength);
  soundGetLength(music, &musicLength);
  EXPECT_NEAR(effectLength, 0.5, 0.06);  // MP3 frames pad the end a little
  EXPECT_NEAR(musicLength, 1.92, 0.05);

  SoundChannel* nullChannel = reinterpret_cast<SoundChannel*>(1);
  EXPECT_NE(soundSystemPlaySound(system, kSoundChannelFree, missing, false, &nullChannel), SOUND_OK);
  EXPECT_EQ(nullChannel, nullptr);
  EXPECT_FALSE(isPlaying(nullChannel));
  soundChannelSetVolume(nullChannel, 0.5f);
  soundChannelStop(nullChannel);

  SoundChannel* musicChannel = nullptr;
  SoundChannel* effectChannel = nullptr;
  soundSystemPlaySound(system, kSoundChannelFree, music, false, &musicChannel);
  soundSystemPlaySound(system, kSoundChannelFree, effect, false, &effectChannel);
  clock.now += effectLength - 0.01;
  EXPECT_TRUE(isPlaying(effectChannel));
  clock.now += 0.02;
  EXPECT_FALSE(isPlaying(effectChannel));
  EXPECT_TRUE(isPlaying(musicChannel));
  clock.now += musicLength - effectLength;
  EXPECT_FALSE(isPlaying(musicChannel));

  // The finished play's channel is taken by the next play; the old handle must not reach it.
  SoundChannel* reused = nullptr;
  soundSystemPlaySound(system, kSoundChannelFree, effect, false, &reused);
  int oldIndex = -1;
  int newIndex = -2;
  soundChannelGetIndex(musicChannel, &oldIndex);
  soundChannelGetIndex(reused, &newIndex);
  EXPECT_EQ(oldIndex, newIndex);
  EXPECT_FALSE(isPlaying(musicChannel));
  EXPECT_NE(soundChannelStop(musicChannel), SOUND_OK);
  EXPECT_NE(soundChannelSetVolume(musicChannel, 0.0f), SOUND_OK);
  EXPECT_TRUE(isPlaying(reused));
  EXPECT_EQ(soundChannelStop(reused), SOUND_OK);
  EXPECT_FALSE(isPlaying(reused));

  std::vector<SoundChannel*> channels(33, nullptr);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(soundSystemPlaySound(system, kSoundChannelFree, effect, false, &channels[size_t(i)]), SOUND_OK);
    EXPECT_TRUE(isPlaying(channels[size_t(i)]));
  }
  channels[32] = reinterpret_cast<SoundChannel*>(1);
  EXPECT_EQ(soundSystemPlaySound(system, kSoundChannelFree, effect, false, &channels[32]), SOUND_ERR_NO_FREE_CHANNEL);
  EXPECT_EQ(channels[32], nullptr);
  for (int i = 0; i < 32; ++i) {
    EXPECT_TRUE(isPlaying(channels[size_t(i)])) << "the refused play must not steal channel " << i;
  }
  clock.now += effectLength + 0.01;
  SoundChannel* later = nullptr;
  EXPECT_EQ(soundSystemPlaySound(system, kSoundChannelFree, effect, false, &later), SOUND_OK);

  // Released with plays in flight, in the game's order and in the reverse one.
  soundRelease(effect);
  EXPECT_FALSE(isPlaying(later));
  soundSystemClose(system);
  soundSystemRelease(system);
  soundRelease(music);
  EXPECT_FALSE(isPlaying(later));
  EXPECT_EQ(capture.finish(), "");
}

// The checks of the child process of SoundNoDevice.FallsBackToSilence, whose OpenAL Soft is asked for a
// driver that does not exist. Registered only inside that child, so a plain test run does not list it.
void checkWithoutDevice() {
  const std::string tone = scratchDir() + "/child.wav";
  ASSERT_TRUE(writeTestTone(tone, 440.0, 0.3, 0.5, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  StdoutFd capture;
  SoundSystem* system = nullptr;
  soundSystemCreate(&system);
  EXPECT_EQ(soundSystemInit(system, 32, kSoundInitNormal), SOUND_OK);
  SoundBool silent = 0;
  soundSystemIsSilent(system, &silent);
  Sound* effect = nullptr;
  Sound* missing = nullptr;
  soundSystemCreateSound(system, tone.c_str(), kSoundModeDefault, &effect);
  soundSystemCreateSound(system, "sound/missing.xm", kSoundModeDefault, &missing);
  SoundChannel* channel = nullptr;
  soundSystemPlaySound(system, kSoundChannelFree, effect, false, &channel);
  soundChannelSetVolume(channel, 0.1f);
  const double heard = waitUntilFinished(channel, 2.0);
  soundRelease(effect);
  soundRelease(missing);
  soundSystemClose(system);
  soundSystemRelease(system);
  const std::string printed = capture.finish();
  EXPECT_EQ(silent, 1);
  EXPECT_NE(effect, nullptr);
  EXPECT_EQ(missing, nullptr);
  EXPECT_NEAR(heard, 0.3, 0.1);
  EXPECT_EQ(printed, "");
}

class ChildWithoutDevice : public ::testing::Test {
 public:
  void TestBody() override { checkWithoutDevice(); }
};

const bool childRegistered = std::getenv("VARROW_SOUND_NO_DEVICE_CHILD") != nullptr &&
                             ::testing::RegisterTest("SoundNoDevice", "ChildWithoutDevice", nullptr, nullptr,
                                                     __FILE__, __LINE__,
                                                     []() -> ::testing::Test* { return new ChildWithoutDevice; });

TEST(SoundNoDevice, FallsBackToSilence) {
  if (std::getenv("VARROW_SOUND_NO_DEVICE_CHILD") != nullptr) {
    GTEST_SKIP();
  }
  // The child's environment is ours plus two variables, put together before the fork.
  std::vector<std::string> variables = {"VARROW_SOUND_NO_DEVICE_CHILD=1", "ALSOFT_DRIVERS=varrow-no-such-driver"};
  for (char** v = environ; *v != nullptr; ++v) {
    if (std::strncmp(*v, "ALSOFT_DRIVERS=", 15) != 0) {
      variables.emplace_back(*v);
    }
  }
  std::vector<char*> envp;
  for (std::string& v : variables) {
    envp.push_back(v.data());
  }
  envp.push_back(nullptr);
  char program[] = "sound_test";
  char filter[] = "--gtest_filter=SoundNoDevice.ChildWithoutDevice";
  char* argv[] = {program, filter, nullptr};
  const std::string log = scratchDir() + "/child.log";
  const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(logFd, 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(logFd, 1);
    dup2(logFd, 2);
    execve("/proc/self/exe", argv, envp.data());
    _exit(127);
  }
  close(logFd);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  std::ifstream in(log);
  const std::string output((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the child without a device failed its checks:\n" << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}
