// FastTracker 2 extended module (XM 1.04) writer: one sample per instrument, packed pattern cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct XmCell {
    uint8_t note = 0;        // 1..96 = C-0..B-7, 97 = key off
    uint8_t instrument = 0;  // 1-based, 0 = none
    uint8_t volume = 0;      // volume column byte (0x10..0x50 sets volume 0..64)
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct XmPattern {
    int rows = 64;
    int channels = 0;
    std::vector<XmCell> cells;
    XmPattern(int rows_, int channels_) : rows(rows_), channels(channels_), cells(size_t(rows_) * channels_) {}
    XmCell& at(int row, int channel) { return cells[size_t(row) * channels + channel]; }
    const XmCell& at(int row, int channel) const { return cells[size_t(row) * channels + channel]; }
};

struct XmInstrument {
    std::string name;
    std::vector<int16_t> sample;
    int loopStart = 0;   // in sample frames
    int loopLength = 0;  // 0 = no loop
    int volume = 64;
    int finetune = 0;
    int relativeNote = 0;
    int panning = 128;
};

struct XmModule {
    std::string name;
    int channels = 4;
    int speed = 6;
    int bpm = 125;
    int restart = 0;
    std::vector<int> orders;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

class XmWriter {
public:
    static std::vector<uint8_t> write(const XmModule& module);
};
