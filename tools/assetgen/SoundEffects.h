// The two short effects (laser zap, SuperGlow whoosh), synthesised and encoded as constant-bit-rate MP3.
#pragma once

#include <cstdint>
#include <vector>

class SoundEffects {
public:
    static constexpr int kSampleRate = 44100;

    static std::vector<float> laser();
    static std::vector<float> teleport();
    // Mono, 128 kbit/s CBR, no ID3 or info tag: the same input always gives the same bytes.
    static std::vector<uint8_t> encodeMp3(const std::vector<float>& pcm);
};
