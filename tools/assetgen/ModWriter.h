// ProTracker "M.K." module writer: 31 sample slots, 4 channels, 64-row patterns, big-endian headers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct ModCell {
    int period = 0;  // Amiga period, 0 = no note
    int sample = 0;  // 1-based, 0 = none
    int effect = 0;
    int param = 0;
};

struct ModSample {
    std::string name;
    std::vector<int8_t> data;  // even length
    int volume = 64;
    int finetune = 0;
    int loopStart = 0;         // bytes, even
    int loopLength = 0;        // bytes, 0 = no loop
};

struct ModPattern {
    std::array<ModCell, 64 * 4> cells{};
    ModCell& at(int row, int channel) { return cells[size_t(row) * 4 + channel]; }
    const ModCell& at(int row, int channel) const { return cells[size_t(row) * 4 + channel]; }
};

struct ModModule {
    std::string title;
    std::vector<ModSample> samples;
    std::vector<int> orders;
    std::vector<ModPattern> patterns;
};

class ModWriter {
public:
    // Period of a note: octave 1..3 in ProTracker terms, semitone 0..11 from C, finetune 0.
    static int period(int octave, int semitone);
    static std::vector<uint8_t> write(const ModModule& module);
};
