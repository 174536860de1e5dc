// Instrument and effect synthesis: band-limited additive tones, drums from seeded noise, simple envelopes.
#pragma once

#include <cstdint>
#include <vector>

class Synth {
public:
    // A pitched sample whose waveform repeats every `period` samples (an exact loop when loopLength > 0).
    struct Sample {
        std::vector<float> data;
        int loopStart = 0;
        int loopLength = 0;
    };

    explicit Synth(uint32_t seed) : state_(seed ? seed : 1u) {}

    float noise();

    // Band-limited one-period waveforms built from harmonics.
    static std::vector<float> sawCycle(int period, int maxHarmonic);
    static std::vector<float> squareCycle(int period, int maxHarmonic, float duty);
    static std::vector<float> sineCycle(int period, float secondHarmonic);

    Sample bass(int period, int length);
    Sample lead(int period, int attackDecay, int loopCycles);
    Sample pluck(int period, int length);
    Sample kick(float sampleRate);
    Sample snare(float sampleRate);
    Sample hat(float sampleRate);

    static void normalize(std::vector<float>& data, float peak);
    static std::vector<int16_t> toInt16(const std::vector<float>& data);
    static std::vector<int8_t> toInt8(const std::vector<float>& data);

private:
    uint32_t state_;
};
