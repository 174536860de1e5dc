// Effects are written straight at 44.1 kHz; MP3 encoding goes through libmp3lame with every choice fixed.
#include "SoundEffects.h"

#include <algorithm>
#include <cmath>

#include <lame.h>

#include "Synth.h"

namespace {
constexpr double kTau = 6.283185307179586;
}

std::vector<float> SoundEffects::laser()
{
    const int n = int(kSampleRate * 0.3);
    std::vector<float> out(n);
    Synth synth(0x1A5E4u);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        double t = double(i) / kSampleRate;
        double f = 300.0 + 2300.0 * std::exp(-t * 14.0);
        phase += kTau * f / kSampleRate;
        double tone = std::tanh(2.5 * std::sin(phase)) * 0.7 + 0.3 * std::sin(phase * 0.5);
        double env = std::min(1.0, t / 0.003) * std::exp(-t * 9.0) * std::min(1.0, (0.3 - t) / 0.02);
        double crackle = synth.noise() * std::exp(-t * 60.0) * 0.3;
        out[i] = float((tone + crackle) * env);
    }
    Synth::normalize(out, 0.8f);
    return out;
}

std::vector<float> SoundEffects::teleport()
{
    const double seconds = 1.5;
    const int n = int(kSampleRate * seconds);
    std::vector<float> out(n);
    Synth synth(0x7E1E9u);
    double phase = 0, low1 = 0, band1 = 0, low2 = 0, band2 = 0;
    for (int i = 0; i < n; ++i) {
        double t = double(i) / kSampleRate, x = t / seconds;
        // Two cascaded state-variable band-passes sweeping upward over noise give the rush of air.
        double fc = 180.0 * std::pow(30.0, x);
        double fq = 2.0 * std::sin(3.14159265 * std::min(fc, 8000.0) / kSampleRate);
        double in = synth.noise();
        low1 += fq * band1;
        double high1 = in - low1 - 0.5 * band1;
        band1 += fq * high1;
        low2 += fq * band2;
        double high2 = band1 - low2 - 0.5 * band2;
        band2 += fq * high2;
        double band = band2;
        double f = 150.0 * std::pow(8.0, x) * (1.0 + 0.02 * std::sin(kTau * 7.0 * t));
        phase += kTau * f / kSampleRate;
        double tremolo = 0.75 + 0.25 * std::sin(kTau * (6.0 + 10.0 * x) * t);
        double env = std::sin(3.14159265 * std::pow(x, 0.7)) * std::min(1.0, t / 0.05);
        out[i] = float((band * 0.5 + std::sin(phase) * 0.35 * x) * tremolo * env);
    }
    Synth::normalize(out, 0.8f);
    return out;
}

std::vector<uint8_t> SoundEffects::encodeMp3(const std::vector<float>& pcm)
{
    std::vector<uint8_t> out;
    lame_global_flags* gf = lame_init();
    if (!gf)
        return out;
    lame_set_in_samplerate(gf, kSampleRate);
    lame_set_out_samplerate(gf, kSampleRate);
    lame_set_num_channels(gf, 1);
    lame_set_mode(gf, MONO);
    lame_set_VBR(gf, vbr_off);
    lame_set_brate(gf, 128);
    lame_set_quality(gf, 2);
    lame_set_bWriteVbrTag(gf, 0);
    lame_set_write_id3tag_automatic(gf, 0);
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        return out;
    }
    std::vector<float> left(pcm.begin(), pcm.end());
    // lame's float interface expects full-scale 16-bit values.
    for (float& v : left)
        v *= 32767.0f;
    std::vector<unsigned char> buffer(left.size() * 5 / 4 + 7200 * 2);
    int written = lame_encode_buffer_float(gf, left.data(), left.data(), int(left.size()), buffer.data(), int(buffer.size()));
    if (written > 0)
        out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    written = lame_encode_flush(gf, buffer.data(), int(buffer.size()));
    if (written > 0)
        out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    lame_close(gf);
    return out;
}
