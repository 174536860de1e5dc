// Tones are summed from harmonics below the sample's Nyquist limit, so they loop exactly and never alias.
#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTau = 6.283185307179586;
}

float Synth::noise()
{
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return float(state_ & 0xFFFFFF) / float(0x800000) - 1.0f;
}

std::vector<float> Synth::sawCycle(int period, int maxHarmonic)
{
    std::vector<float> c(period, 0.0f);
    int top = std::min(maxHarmonic, period / 2 - 1);
    for (int i = 0; i < period; ++i) {
        double x = kTau * i / period, v = 0;
        for (int k = 1; k <= top; ++k)
            v += std::sin(k * x) / k;
        c[i] = float(v * 0.6);
    }
    return c;
}

std::vector<float> Synth::squareCycle(int period, int maxHarmonic, float duty)
{
    std::vector<float> c(period, 0.0f);
    int top = std::min(maxHarmonic, period / 2 - 1);
    for (int i = 0; i < period; ++i) {
        double x = kTau * i / period, v = 0;
        for (int k = 1; k <= top; ++k)
            v += std::sin(kTau * k * duty * 0.5) / k * std::cos(k * (x - kTau * duty * 0.5));
        c[i] = float(v * 1.1);
    }
    return c;
}

std::vector<float> Synth::sineCycle(int period, float secondHarmonic)
{
    std::vector<float> c(period, 0.0f);
    for (int i = 0; i < period; ++i) {
        double x = kTau * i / period;
        c[i] = float(std::sin(x) + secondHarmonic * std::sin(2 * x + 0.3));
    }
    return c;
}

Synth::Sample Synth::bass(int period, int length)
{
    // Saw with fewer harmonics as it fades: a plucked, round bass.
    Sample s;
    s.data.resize(length);
    std::vector<float> bright = sawCycle(period, 16), dull = sawCycle(period, 4);
    for (int i = 0; i < length; ++i) {
        float t = float(i) / length;
        float env = std::exp(-3.0f * t) * std::min(1.0f, i / 40.0f);
        float tone = 0.6f * std::exp(-6.0f * t);
        s.data[i] = env * (dull[i % period] * (1 - tone) + bright[i % period] * tone);
    }
    return s;
}

Synth::Sample Synth::lead(int period, int attackDecay, int loopCycles)
{
    // Pulse plus a softer saw; the sustain part repeats whole cycles so the loop is seamless.
    Sample s;
    std::vector<float> pulse = squareCycle(period, 24, 0.3f), saw = sawCycle(period, 24);
    int head = (attackDecay / period + 1) * period;
    int length = head + loopCycles * period;
    s.data.resize(length);
    for (int i = 0; i < length; ++i) {
        float env;
        if (i < 60)
            env = i / 60.0f;
        else if (i < head)
            env = 0.65f + 0.35f * std::exp(-5.0f * float(i - 60) / float(head));
        else
            env = 0.65f + 0.35f * std::exp(-5.0f * float(head - 60) / float(head));
        s.data[i] = env * (0.6f * pulse[i % period] + 0.4f * saw[i % period]);
    }
    s.loopStart = head;
    s.loopLength = loopCycles * period;
    return s;
}

Synth::Sample Synth::pluck(int period, int length)
{
    Sample s;
    s.data.resize(length);
    std::vector<float> body = sineCycle(period, 0.35f), edge = sawCycle(period, 10);
    for (int i = 0; i < length; ++i) {
        float t = float(i) / length;
        float env = std::exp(-5.0f * t) * std::min(1.0f, i / 20.0f);
        s.data[i] = env * (0.8f * body[i % period] + 0.3f * std::exp(-12.0f * t) * edge[i % period]);
    }
    return s;
}

Synth::Sample Synth::kick(float sr)
{
    Sample s;
    int n = int(sr * 0.35f);
    s.data.resize(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        float t = i / sr;
        float f = 48.0f + 110.0f * std::exp(-t * 28.0f);
        phase += kTau * f / sr;
        float env = std::exp(-t * 9.0f);
        float click = std::exp(-t * 300.0f) * noise() * 0.3f;
        s.data[i] = float(std::sin(phase)) * env + click;
    }
    return s;
}

Synth::Sample Synth::snare(float sr)
{
    Sample s;
    int n = int(sr * 0.25f);
    s.data.resize(n);
    double phase = 0;
    float lp = 0, prev = 0;
    for (int i = 0; i < n; ++i) {
        float t = i / sr;
        phase += kTau * (190.0f - 40.0f * t) / sr;
        float nz = noise();
        lp += 0.45f * (nz - lp);
        float hp = lp - prev;
        prev = lp;
        float tone = float(std::sin(phase)) * std::exp(-t * 30.0f) * 0.6f;
        s.data[i] = tone + (lp * 0.6f + hp * 0.8f) * std::exp(-t * 16.0f);
    }
    return s;
}

Synth::Sample Synth::hat(float sr)
{
    Sample s;
    int n = int(sr * 0.07f);
    s.data.resize(n);
    float prev = 0;
    for (int i = 0; i < n; ++i) {
        float t = i / sr;
        float nz = noise();
        float hp = nz - prev;
        prev = nz;
        s.data[i] = hp * 0.5f * std::exp(-t * 60.0f);
    }
    return s;
}

void Synth::normalize(std::vector<float>& data, float peak)
{
    float m = 0;
    for (float v : data)
        m = std::max(m, std::fabs(v));
    if (m > 0)
        for (float& v : data)
            v *= peak / m;
}

std::vector<int16_t> Synth::toInt16(const std::vector<float>& data)
{
    std::vector<int16_t> out(data.size());
    for (size_t i = 0; i < data.size(); ++i)
        out[i] = int16_t(std::lround(std::max(-1.0f, std::min(1.0f, data[i])) * 32767.0f));
    return out;
}

std::vector<int8_t> Synth::toInt8(const std::vector<float>& data)
{
    std::vector<int8_t> out(data.size());
    for (size_t i = 0; i < data.size(); ++i)
        out[i] = int8_t(std::lround(std::max(-1.0f, std::min(1.0f, data[i])) * 127.0f));
    return out;
}
