// The sound library and the game's sounds: real output through OpenAL Soft's wave writer, plays timed by a
// test clock without a device, a long module streamed, the fallback without a device, and each of the
// game's sounds started on its channel at its volume through the game's own draws, updates and input.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <tuple>

#include "CaptureStdout.h"
#include "WorldTest.h"
#include "input/Camera.h"
#include "game/Game.h"
#include "render/ShaderPrograms.h"
#include "render/Light.h"
#include "platform/Platform.h"
#include "scene/MatchClock.h"
#include "scene/File.h"
#include "scene/SpawnPoint.h"

namespace {

namespace fs = std::filesystem;
const std::string kDir = fs::temp_directory_path() / ("varrow-sound-" + std::to_string(getpid()));
const std::string kWave = kDir + "/out.wav";

// OpenAL Soft reads its configuration once per process, so the wave writer is set up before any test.
class WaveWriter : public ::testing::Environment {
  void SetUp() override {
    fs::create_directories(kDir);
    std::ofstream(kDir + "/alsoft.conf") << "[general]\ndrivers=wave\nchannels=stereo\nsample-type=float32\n"
                                            "output-limiter=false\ndither=false\n[wave]\nfile=" << kWave << "\n";
    setenv("ALSOFT_CONF", (kDir + "/alsoft.conf").c_str(), 1);
  }
  void TearDown() override { fs::remove_all(kDir); }
};
const auto* const waveWriter = ::testing::AddGlobalTestEnvironment(new WaveWriter);

std::string writeTone(const std::string& name, double hertz, double seconds,
                      int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
  SF_INFO info{0, 44100, 1, format, 0, 0};
  SNDFILE* file = sf_open((kDir + "/" + name).c_str(), SFM_WRITE, &info);
  std::vector<float> samples(size_t(seconds * 44100));
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = float(0.5 * std::sin(2 * M_PI * hertz * double(i) / 44100));
  sf_writef_float(file, samples.data(), sf_count_t(samples.size()));
  sf_close(file);
  return kDir + "/" + name;
}

// A module of one looped square wave from row 0 of a pattern cut after `rows` rows, played `orders` times at
// `speed` ticks (0.02 s) a row.
std::string writeModule(const std::string& name, int orders, int rows, int speed) {
  std::vector<unsigned char> mod(1084 + 1024 + 32, 0);
  mod[20 + 23] = mod[20 + 29] = 16;  // sample 1: 16 words, looped whole, volume 64
  mod[20 + 25] = 64;
  for (int s = 1; s < 31; ++s) mod[20 + size_t(s) * 30 + 29] = 1;
  mod[950] = static_cast<unsigned char>(orders);
  mod[951] = 127;
  const unsigned char note[4] = {0x01, 0xAC, 0x1F, static_cast<unsigned char>(speed)};  // C-2, set speed
  std::memcpy(&mod[1080], "M.K.", 4);
  std::memcpy(&mod[1084], note, 4);
  if (rows < 64) mod[1084 + size_t((rows - 1) * 4 + 1) * 4 + 2] = 0x0D;  // pattern break
  for (int i = 0; i < 32; ++i) mod[1084 + 1024 + size_t(i)] = static_cast<unsigned char>(i < 16 ? 100 : -100);
  std::ofstream(kDir + "/" + name, std::ios::binary).write(reinterpret_cast<char*>(mod.data()), long(mod.size()));
  return kDir + "/" + name;
}

struct Burst { double seconds, rms; };

// Stretches of the wave writer's output louder than silence, in 10 ms windows, with the RMS of their central
// 80 %. A pause under 0.1 s (a late refill on a loaded machine) does not split a stretch.
std::vector<Burst> heardBursts() {
  SF_INFO info{};
  SNDFILE* file = sf_open(kWave.c_str(), SFM_READ, &info);
  std::vector<float> s(file ? size_t(info.frames * info.channels) : 0);
  sf_readf_float(file, s.data(), info.frames);
  sf_close(file);
  const size_t window = size_t(info.samplerate / 100 * info.channels);
  const double rate = info.samplerate * info.channels;
  auto rms = [&](size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
  };
  std::vector<std::pair<size_t, size_t>> runs;
  for (size_t w = 0; w + window <= s.size(); w += window) {
    if (rms(w, w + window) <= 1e-3) continue;
    if (runs.empty() || w - runs.back().second >= 10 * window) runs.push_back({w, w});
    runs.back().second = w + window;
  }
  std::vector<Burst> bursts;
  for (auto [from, to] : runs) {
    const size_t margin = (to - from) / 10 / window * window;
    bursts.push_back({(to - from) / rate, rms(from + margin, to - margin)});
  }
  return bursts;
}

// What one of the library's getters writes through its last argument; `unset` when it writes nothing.
template <typename Handle, typename Value>
Value got(SoundResult (*getter)(Handle*, Value*), Handle* handle, Value unset = Value()) {
  getter(handle, &unset);
  return unset;
}

bool isPlaying(SoundChannel* channel) { return got(soundChannelIsPlaying, channel, SoundBool(7)) != 0; }

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// Polls as the game does, once a 60 Hz frame, until the play ends.
void waitUntilFinished(SoundChannel* channel, double limit = 5.0) {
  for (int i = 0; isPlaying(channel) && i < limit * 60; ++i) pause(1.0 / 60);
}

struct TestClock {
  double now = 100.0;
  static double read(void* user) { return static_cast<TestClock*>(user)->now; }
};

SoundSystem* openSystem(int flags = kSoundInitNormal) {
  SoundSystem* system = nullptr;
  EXPECT_EQ(soundSystemCreate(&system), SOUND_OK);
  EXPECT_EQ(soundSystemInit(system, 32, flags), SOUND_OK);
  return system;
}

Sound* load(SoundSystem* system, const std::string& path) {
  Sound* sound = nullptr;
  EXPECT_EQ(soundSystemCreateSound(system, path.c_str(), kSoundModeDefault, &sound), SOUND_OK) << path;
  return sound;
}

SoundChannel* play(SoundSystem* system, Sound* sound, float volume) {
  SoundChannel* channel = nullptr;
  EXPECT_EQ(soundSystemPlaySound(system, kSoundChannelFree, sound, false, &channel), SOUND_OK);
  EXPECT_EQ(soundChannelSetVolume(channel, volume), SOUND_OK);
  return channel;
}

void closeSystem(SoundSystem* system) {
  soundSystemClose(system);
  soundSystemRelease(system);
}

}  // namespace

TEST(SoundLibrary, LevelsChannelsAndStreamedModulesReachTheOutput) {
  SoundSystem* system = openSystem();
  ASSERT_EQ(got(soundSystemIsSilent, system, SoundBool(1)), 0) << "the wave writer is a device";
  Sound* longMusic = load(system, writeModule("long.mod", 128, 64, 6));  // 16 minutes, 170 MB decoded whole
  Sound* music = load(system, writeModule("short.mod", 1, 8, 6));
  Sound* tone = load(system, writeTone("tone.wav", 440, 0.4));
  const double length = got(soundGetLength, music);
  EXPECT_NEAR(length, 0.96, 0.05);
  SoundChannel* channel = play(system, longMusic, 0.8f);
  pause(2.5);  // a stalled game makes no call, yet the music goes on
  EXPECT_TRUE(isPlaying(channel));
  const SoundStreamInfo info = got(soundChannelGetStreamInfo, channel);
  EXPECT_TRUE(info.distinctBuffers <= 4 && info.queuedBuffers <= 4);
  EXPECT_GT(info.refills, 3 * info.distinctBuffers) << "the same buffers are refilled again and again";
  soundChannelStop(channel);
  for (auto [sound, volume] : {std::pair{music, 0.8f}, {tone, 0.8f}, {tone, 0.1f}}) {
    pause(0.2);
    waitUntilFinished(play(system, sound, volume));
  }
  pause(0.1);
  for (Sound* sound : {longMusic, music, tone}) soundRelease(sound);
  closeSystem(system);
  const std::vector<Burst> b = heardBursts();
  ASSERT_EQ(b.size(), 4u);
  EXPECT_GT(b[0].seconds, 2.4) << "no gap while the game stalled";
  EXPECT_GT(b[1].rms, 0.05) << "music at 0.8 is clearly heard";
  EXPECT_NEAR(b[1].seconds, length, 0.15);
  EXPECT_NEAR(b[2].seconds, 0.4, 0.05);
  EXPECT_NEAR(b[3].rms / b[2].rms, 0.1 / 0.8, 0.015) << "volume 0.1 against 0.8";
}

TEST(SoundLibrary, WithoutADevicePlaysLastTheirLengthByTheClock) {
  CaptureStdout printed;
  TestClock clock;
  SoundSystem* system = openSystem(kSoundInitSilent);
  soundSystemSetClock(system, TestClock::read, &clock);
  Sound* effect = load(system, writeTone("silent.mp3", 440, 0.5, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III));
  Sound* missing = reinterpret_cast<Sound*>(1);
  const SoundResult result = soundSystemCreateSound(system, "none.mp3", kSoundModeDefault, &missing);
  EXPECT_EQ(std::tuple(result, missing), std::tuple(SOUND_ERR_FILE_NOT_FOUND, nullptr));
  const double effectLength = got(soundGetLength, effect);
  EXPECT_NEAR(effectLength, 0.5, 0.06);  // MP3 frames pad the end a little
  SoundChannel* none = reinterpret_cast<SoundChannel*>(1);
  EXPECT_NE(soundSystemPlaySound(system, kSoundChannelFree, missing, false, &none), SOUND_OK);
  EXPECT_FALSE(none || isPlaying(none));

  SoundChannel* finished = play(system, effect, 0.1f);
  clock.now += effectLength - 0.01;
  EXPECT_TRUE(isPlaying(finished));
  clock.now += 0.02;
  EXPECT_FALSE(isPlaying(finished));
  // The next play takes the finished play's channel; the old handle must not reach it.
  SoundChannel* reused = play(system, effect, 0.1f);
  EXPECT_EQ(got(soundChannelGetIndex, finished, -1), got(soundChannelGetIndex, reused, -2));
  EXPECT_TRUE(!isPlaying(finished) && soundChannelStop(finished) != SOUND_OK &&
              soundChannelSetVolume(finished, 0) != SOUND_OK);
  soundChannelStop(reused);  // a stopped play frees its channel for the 32 below

  std::vector<SoundChannel*> channels(32);
  for (SoundChannel*& c : channels) c = play(system, effect, 0.1f);
  SoundChannel* refused = reinterpret_cast<SoundChannel*>(1);
  const SoundResult full = soundSystemPlaySound(system, kSoundChannelFree, effect, false, &refused);
  EXPECT_EQ(std::tuple(full, refused), std::tuple(SOUND_ERR_NO_FREE_CHANNEL, nullptr));
  for (SoundChannel* c : channels) EXPECT_TRUE(isPlaying(c)) << "a refused play steals no channel";
  clock.now += effectLength + 0.01;
  SoundChannel* later = play(system, effect, 0.1f);
  soundRelease(effect);  // released with a play in flight
  EXPECT_FALSE(isPlaying(later));
  closeSystem(system);
  EXPECT_EQ(printed.text(), "");
}

// Runs again in a child process whose OpenAL Soft is asked for a driver that does not exist.
TEST(SoundLibrary, FallsBackToSilenceWithoutADevice) {
  if (std::getenv("VARROW_NO_DEVICE_CHILD") == nullptr) {
    const std::string child = "VARROW_NO_DEVICE_CHILD=1 ALSOFT_DRIVERS=varrow-no-such-driver '" +
                              fs::read_symlink("/proc/self/exe").string() +
                              "' --gtest_filter=SoundLibrary.FallsBackToSilenceWithoutADevice";
    EXPECT_EQ(std::system(child.c_str()), 0) << "the child without a device failed";
    return;
  }
  SoundSystem* system = openSystem();
  EXPECT_EQ(got(soundSystemIsSilent, system, SoundBool(0)), 1);
  const auto start = std::chrono::steady_clock::now();
  Sound* tone = load(system, writeTone("child.wav", 440, 1.0));
  SoundChannel* channel = play(system, tone, 0.1f);
  EXPECT_TRUE(isPlaying(channel));
  waitUntilFinished(channel);
  const std::chrono::duration<double> heard = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(!isPlaying(channel) && heard.count() >= 1.0) << heard.count() << " s: its length by the steady clock";
  soundRelease(tone);
  closeSystem(system);
}

namespace {

// The game's sounds without a device on the test's clock, on the fresh world, played through its draw
// calls, updates and input callbacks.
class GameSound : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    soundForceSilent(true);
    g.initSound();
    soundForceSilent(false);
    soundSystemSetClock(g.soundSystem, TestClock::read, &clock);
  }
  void TearDown() override {
    g.releaseSound();
    WorldTest::TearDown();
  }
  // One frame later: three render passes, each draw opening with the music step.
  void frame(double seconds) {
    clock.now += seconds;
    for (int pass = 0; pass < 3; ++pass) g.draw(DrawPass{shaders.simpleProgram, true, false, &light.lightPosition}, camera.projectionMatrix, camera.viewMatrix);
  }
  // What a channel plays now and at which volume; "nothing" once the play has ended or been stopped.
  std::string playOn(SoundChannel* channel) const {
    Sound* sound = nullptr;
    float volume = -1.0f;
    if (soundChannelGetPlay(channel, &sound, &volume) != SOUND_OK) return "nothing";
    const std::pair<Sound*, const char*> names[] = {{g.musicSound, "music"}, {g.laserSound, "laser"},
        {g.superGlowSound, "SuperGlow"}, {g.gameOverSound, "game over"}, {g.victorySound, "victory"}};
    std::string name = "another sound";
    for (auto [known, text] : names) name = sound == known ? text : name;
    char level[16];
    std::snprintf(level, sizeof level, " at %.2f", volume);
    return name + level;
  }
  double length(Sound* sound) const { return got(soundGetLength, sound); }
  TestClock clock;
};

}  // namespace

TEST_F(GameSound, EachSoundStartsOnItsChannelAtItsVolumeAndTheMusicAndEndTunesRepeat) {
  CaptureStdout quiet;
  frame(0.0);
  EXPECT_EQ(playOn(g.musicChannel), "music at 0.80") << "the first draw starts the music";
  SoundChannel* music = g.musicChannel;
  g.gameState = Paused;
  frame(length(g.musicSound) - 1.0 / 60.0);
  EXPECT_EQ(g.musicChannel, music) << "not restarted while it plays, paused or not";
  g.gameState = Running;
  frame(2.0 / 60.0);
  EXPECT_NE(g.musicChannel, music);
  EXPECT_EQ(playOn(g.musicChannel), "music at 0.80") << "the next draw after its end starts it again";

  // A tower's shot in the game step; the SuperGlow button clicked once it is ready.
  static const float here[2] = {10, -10};
  addTower("tris", 10, -10);
  addEnemy("cube", 10, -10, here, 1);
  matchClock.jumpTo(3.0);
  g.update(1.0 / 60.0);
  EXPECT_EQ(playOn(g.laserChannel), "laser at 0.10");
  matchClock.jumpTo(325.5);
  platform::injectCursor(512, 114);
  platform::mouseButtonCallback()(platform::MOUSE_BUTTON_LEFT, platform::PRESS);
  EXPECT_EQ(playOn(g.superGlowChannel), "SuperGlow at 1.00");

  // The sixteenth file taken loses the match; after R, every wave sent and none left wins the next one.
  for (auto& f : g.files) f->setIntact(f == g.files.back(), 0);
  addEnemy("cube", 39, -39, here, 1);
  g.update(1.0 / 60.0);
  ASSERT_EQ(g.gameState, Lost);
  SoundChannel* endedMusic = g.musicChannel;
  for (auto [name, tune] : {std::pair{"game over", g.gameOverSound}, {"victory", g.victorySound}}) {
    const std::string expected = std::string(name) + " at 0.80";
    frame(1.0 / 60.0);
    EXPECT_EQ(playOn(endedMusic), "nothing") << "the music playing when the match ends stops with it";
    EXPECT_EQ(playOn(g.endChannel), expected);
    SoundChannel* end = g.endChannel;
    frame(length(tune) - 2.0 / 60.0);
    EXPECT_EQ(g.endChannel, end) << name << ": not restarted while it plays";
    frame(2.0 / 60.0);
    EXPECT_NE(g.endChannel, end);
    EXPECT_EQ(playOn(g.endChannel), expected) << "the next draw after its end starts it again";
    EXPECT_EQ(playOn(g.musicChannel), "nothing") << name << ": no music under the end tune";

    if (g.gameState == Won) break;
    platform::keyCallback()('R', platform::PRESS);
    for (auto& sp : g.spawnPoints) sp->waveIndex = sp->waveCount;
    frame(1.0 / 60.0);
    endedMusic = g.musicChannel;
    g.update(1.0 / 60.0);
    ASSERT_EQ(g.gameState, Won);
  }
}
