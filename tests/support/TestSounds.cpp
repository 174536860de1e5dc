// Writers of the tones and modules that sound tests play.
#include "TestSounds.h"

#include <sndfile.h>

#include <stdlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

bool writeTestTone(const std::string& path, double frequency, double seconds, double amplitude, int format) {
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 1;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    return false;
  }
  std::vector<float> samples(size_t(seconds * 44100));
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = float(amplitude * std::sin(2.0 * M_PI * frequency * double(i) / 44100.0));
  }
  sf_writef_float(file, samples.data(), sf_count_t(samples.size()));
  sf_close(file);
  return true;
}

bool writeTestModule(const std::string& path, int orders, int rows, int speed, int soundingRows) {
  std::vector<unsigned char> mod(1084 + 1024 + 32, 0);
  std::memcpy(mod.data(), "varrow test", 11);
  unsigned char* sample = &mod[20];
  sample[23] = 16;  // length: 16 words
  sample[25] = 64;  // volume
  sample[29] = 16;  // loop length: the whole sample
  for (int s = 1; s < 31; ++s) {
    mod[20 + size_t(s) * 30 + 29] = 1;
  }
  mod[950] = static_cast<unsigned char>(orders);
  mod[951] = 127;
  std::memcpy(&mod[1080], "M.K.", 4);
  unsigned char* pattern = &mod[1084];
  auto cell = [&](int row, int channel) { return pattern + (row * 4 + channel) * 4; };
  unsigned char* first = cell(0, 0);
  first[0] = 0x01;  // sample 1, period 428 (C-2)
  first[1] = 0xAC;
  first[2] = 0x1F;  // sample 1 continued, set speed
  first[3] = static_cast<unsigned char>(speed);
  if (soundingRows < rows) {
    cell(soundingRows, 0)[2] = 0x0C;  // set volume 0
  }
  if (rows < 64) {
    cell(rows - 1, 1)[2] = 0x0D;  // pattern break
  }
  for (int i = 0; i < 32; ++i) {
    mod[1084 + 1024 + size_t(i)] = static_cast<unsigned char>(i < 16 ? 100 : -100);
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(mod.data()), std::streamsize(mod.size()));
  return bool(out);
}

std::vector<SoundBurst> readSoundBursts(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    return {};
  }
  std::vector<float> all(size_t(info.frames) * size_t(info.channels));
  sf_readf_float(file, all.data(), info.frames);
  sf_close(file);
  const size_t window = size_t(info.samplerate) / 100;
  const size_t frames = size_t(info.frames);
  auto power = [&](size_t from, size_t to) {
    double sum = 0.0;
    for (size_t f = from; f < to; ++f) {
      for (int c = 0; c < info.channels; ++c) {
        const double v = all[f * size_t(info.channels) + size_t(c)];
        sum += v * v;
      }
    }
    return sum / double((to - from) * size_t(info.channels));
  };
  std::vector<SoundBurst> bursts;
  size_t runStart = 0;
  bool inRun = false;
  for (size_t w = 0; w * window + window <= frames; ++w) {
    const bool loud = std::sqrt(power(w * window, w * window + window)) > 1e-3;
    if (loud && !inRun) {
      runStart = w * window;
      inRun = true;
    }
    const bool last = (w + 2) * window > frames;
    if (inRun && (!loud || last)) {
      const size_t runEnd = loud ? w * window + window : w * window;
      const size_t margin = (runEnd - runStart) / 10;
      bursts.push_back({double(runStart) / info.samplerate, double(runEnd - runStart) / info.samplerate,
                        std::sqrt(power(runStart + margin, runEnd - margin))});
      inRun = false;
    }
  }
  return bursts;
}

std::string describeBursts(const std::vector<SoundBurst>& bursts) {
  std::string text;
  for (const SoundBurst& b : bursts) {
    text += "[at " + std::to_string(b.start) + " s for " + std::to_string(b.seconds) + " s, rms " +
            std::to_string(b.rms) + "] ";
  }
  return text;
}


std::string scratchDir() {
  static const std::string dir = [] {
    char name[] = "/tmp/varrow-sound-XXXXXX";
    const char* made = mkdtemp(name);
    return std::string(made != nullptr ? made : "/tmp");
  }();
  return dir;
}

std::string wavePath() { return scratchDir() + "/out.wav"; }

namespace {

class WaveWriterEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const std::string conf = scratchDir() + "/alsoft.conf";
    std::ofstream out(conf);
    out << "[general]\ndrivers=wave\nchannels=stereo\nfrequency=44100\nsample-type=float32\n"
           "output-limiter=false\ndither=false\n[wave]\nfile="
        << wavePath() << "\n";
    out.close();
    setenv("ALSOFT_CONF", conf.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(scratchDir()); }
};

}  // namespace

::testing::Environment* makeWaveWriterEnvironment() { return new WaveWriterEnvironment; }
