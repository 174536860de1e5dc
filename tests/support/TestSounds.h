// Small sound files made by tests: sine tones through libsndfile and four-channel tracker modules.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

// A scratch folder of this test process, removed when the tests end.
std::string scratchDir();
// Where OpenAL Soft's wave writer puts what would have been heard.
std::string wavePath();
// A test environment that points OpenAL Soft at its wave writer before any test runs: it reads its
// configuration once per process. Register it with ::testing::AddGlobalTestEnvironment.
::testing::Environment* makeWaveWriterEnvironment();

// A mono sine tone; format is a libsndfile format such as SF_FORMAT_WAV | SF_FORMAT_PCM_16. False if unwritable.
bool writeTestTone(const std::string& path, double frequency, double seconds, double amplitude, int format);

// A module whose one looped square-wave sample sounds from row 0 of a pattern cut after `rows` rows,
// played `orders` times at `speed` ticks per row (0.02 s per tick at the default tempo). With `soundingRows`
// below `rows`, the channel is silenced from that row on, so every pass ends with a pause.
bool writeTestModule(const std::string& path, int orders, int rows, int speed, int soundingRows = 64);

// Stretches of a written sound file louder than silence (10 ms windows), each with the RMS over both
// channels of its central 80 %; empty if the file cannot be read.
struct SoundBurst {
  double start;
  double seconds;
  double rms;
};

std::vector<SoundBurst> readSoundBursts(const std::string& path);
std::string describeBursts(const std::vector<SoundBurst>& bursts);
