// What a sound file holds once loaded: a tracker module kept as its file bytes for streaming, or
// an effect decoded whole to 16-bit samples.
#pragma once
#include <cstdint>
#include <vector>

#include "audio/SoundLibrary.h"

struct SoundData {
  bool streamed = false;              // tracker module rendered while it plays
  std::vector<char> moduleBytes;      // the module file, parsed anew for every play
  std::vector<int16_t> samples;       // interleaved PCM of an effect
  int channels = 0;                   // 1 or 2 for an effect
  int sampleRate = 0;
  double length = 0.0;                // seconds one play lasts

  // Tracker formats go to the module renderer, everything else to the sample-file decoder.
  SoundResult load(const char* path);
};
