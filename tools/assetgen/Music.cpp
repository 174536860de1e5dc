// Pitched samples are built with a 64-sample period and tuned (relative note 12, finetune 3) so that note
// C-4 plays them at 261.6 Hz; drums are built at twice the rate for a brighter top end.
#include "Music.h"

#include <string>

#include "ModWriter.h"
#include "Synth.h"
#include "XmWriter.h"

namespace {

constexpr int kPeriod = 64;
constexpr float kDrumRate = 33452.0f;
constexpr int kKeyOff = 97;

enum Semitone { C = 0, Cs, D, Ds, E, F, Fs, G, Gs, A, As, B };

uint8_t xmNote(int semitone, int octave) { return uint8_t(octave * 12 + semitone + 1); }
uint8_t vol(int v) { return uint8_t(0x10 + v); }

XmInstrument pitched(const char* name, const Synth::Sample& s, int volume)
{
    XmInstrument ins;
    ins.name = name;
    std::vector<float> d = s.data;
    Synth::normalize(d, 0.95f);
    ins.sample = Synth::toInt16(d);
    ins.loopStart = s.loopStart;
    ins.loopLength = s.loopLength;
    ins.volume = volume;
    ins.relativeNote = 12;
    ins.finetune = 3;
    return ins;
}

XmInstrument drum(const char* name, const Synth::Sample& s, int volume)
{
    XmInstrument ins = pitched(name, s, volume);
    ins.relativeNote = 24;
    ins.finetune = 0;
    return ins;
}

std::vector<XmInstrument> instruments(uint32_t seed)
{
    Synth synth(seed);
    return {pitched("bass", synth.bass(kPeriod, 24000), 64),
            pitched("lead", synth.lead(kPeriod, 3000, 16), 48),
            pitched("pluck", synth.pluck(kPeriod, 9000), 40),
            drum("kick", synth.kick(kDrumRate), 64),
            drum("snare", synth.snare(kDrumRate), 50),
            drum("hat", synth.hat(kDrumRate), 36)};
}

enum Instrument { Bass = 1, Lead = 2, Pluck = 3, Kick = 4, Snare = 5, Hat = 6 };

void put(XmPattern& p, int row, int channel, uint8_t note, int instrument, int volume = -1)
{
    XmCell& c = p.at(row, channel);
    c.note = note;
    c.instrument = note == kKeyOff ? 0 : uint8_t(instrument);
    c.volume = volume >= 0 ? vol(volume) : 0;
}

struct Chord {
    int root;   // semitone of the bass note
    int third;  // semitones above the root
};

// i - VI - III - VII in A minor, one chord per bar.
const Chord kVerse[4] = {{A, 3}, {F, 4}, {C, 4}, {G, 4}};

enum Ch { ChBass = 0, ChLead, ChArp, ChKick, ChSnare, ChHat };

void bassLine(XmPattern& p, const Chord (&chords)[4])
{
    // The same eighth-note figure every bar: root, root, octave, root, root, octave, fifth, octave.
    const int steps[8] = {0, 0, 12, 0, 0, 12, 7, 12};
    const int accents[8] = {64, 44, 52, 44, 60, 44, 52, 48};
    for (int bar = 0; bar < 4; ++bar)
        for (int e = 0; e < 8; ++e) {
            int n = chords[bar].root + steps[e];
            put(p, bar * 16 + e * 2, ChBass, xmNote(n % 12, 2 + n / 12), Bass, accents[e]);
        }
}

void drums(XmPattern& p, bool snares, bool fill)
{
    for (int bar = 0; bar < 4; ++bar) {
        int b = bar * 16;
        put(p, b, ChKick, xmNote(C, 4), Kick, 64);
        put(p, b + 8, ChKick, xmNote(C, 4), Kick, 60);
        if (bar % 2 == 1)
            put(p, b + 10, ChKick, xmNote(C, 4), Kick, 44);
        if (snares) {
            put(p, b + 4, ChSnare, xmNote(C, 4), Snare, 56);
            put(p, b + 12, ChSnare, xmNote(C, 4), Snare, 56);
        }
        for (int r = 0; r < 16; r += 2)
            put(p, b + r, ChHat, xmNote(C, 4), Hat, r % 4 == 2 ? 48 : 30);
    }
    if (fill)
        for (int r = 56; r < 64; ++r)
            put(p, r, ChSnare, xmNote(C, 4), Snare, 28 + (r - 56) * 4);
}

void arpeggio(XmPattern& p, const Chord (&chords)[4], int volume)
{
    for (int bar = 0; bar < 4; ++bar) {
        const int tones[4] = {0, chords[bar].third, 7, 12};
        const int order[8] = {0, 1, 2, 3, 2, 1, 2, 3};
        for (int e = 0; e < 8; ++e) {
            int n = chords[bar].root + tones[order[e]];
            put(p, bar * 16 + e * 2, ChArp, xmNote(n % 12, 4 + n / 12), Pluck, volume - (e % 2) * 8);
        }
    }
}

struct Note {
    int row;
    int semitone;  // -1 = key off
    int octave;
};

void melody(XmPattern& p, const std::vector<Note>& notes)
{
    for (const Note& n : notes)
        put(p, n.row, ChLead, n.semitone < 0 ? uint8_t(kKeyOff) : xmNote(n.semitone, n.octave), Lead, n.semitone < 0 ? -1 : 52);
}

const std::vector<Note> kPhraseA = {
    {0, E, 5}, {4, D, 5}, {6, C, 5}, {8, A, 4}, {12, C, 5}, {14, D, 5},
    {16, E, 5}, {20, F, 5}, {22, E, 5}, {24, C, 5}, {28, A, 4}, {31, -1, 0},
    {32, G, 4}, {34, C, 5}, {36, E, 5}, {40, G, 5}, {44, E, 5}, {46, D, 5},
    {48, D, 5}, {52, B, 4}, {54, D, 5}, {56, G, 5}, {62, -1, 0}};

const std::vector<Note> kPhraseB = {
    {0, A, 5}, {4, G, 5}, {6, E, 5}, {8, C, 5}, {12, E, 5}, {14, G, 5},
    {16, F, 5}, {22, E, 5}, {24, C, 5}, {28, A, 4}, {30, C, 5},
    {32, E, 5}, {36, G, 5}, {38, E, 5}, {40, C, 5}, {44, D, 5}, {46, E, 5},
    {48, D, 5}, {56, B, 4}, {60, -1, 0}};

const std::vector<Note> kPhraseOutro = {
    {0, A, 4}, {8, C, 5}, {14, -1, 0}, {16, A, 4}, {24, F, 4}, {30, -1, 0},
    {32, G, 4}, {40, E, 5}, {46, -1, 0}, {48, D, 5}, {52, B, 4}, {56, -1, 0}};

} // namespace

std::vector<uint8_t> Music::backgroundXm()
{
    XmModule m;
    m.name = "bricks";
    m.channels = 6;
    m.speed = 6;
    m.bpm = 125;
    m.instruments = instruments(0x5EED1234u);

    XmPattern intro(64, 6), verseA(64, 6), verseB(64, 6), outro(64, 6);
    bassLine(intro, kVerse);
    drums(intro, false, false);
    arpeggio(intro, kVerse, 36);

    bassLine(verseA, kVerse);
    drums(verseA, true, false);
    melody(verseA, kPhraseA);

    bassLine(verseB, kVerse);
    drums(verseB, true, false);
    arpeggio(verseB, kVerse, 30);
    melody(verseB, kPhraseB);

    bassLine(outro, kVerse);
    drums(outro, true, true);
    arpeggio(outro, kVerse, 40);
    melody(outro, kPhraseOutro);

    m.patterns = {intro, verseA, verseB, outro};
    m.orders = {0, 1, 2, 1, 2, 3};
    m.restart = 1;
    return XmWriter::write(m);
}

std::vector<uint8_t> Music::victoryXm()
{
    XmModule m;
    m.name = "victory";
    m.channels = 4;
    m.speed = 6;
    m.bpm = 140;
    m.instruments = instruments(0x0BADC0DEu);
    XmPattern p(40, 4);
    // Ta-ta-ta-taaa, then a rising answer that lands on a held high C.
    const Note tune[] = {{0, G, 4}, {2, G, 4}, {4, G, 4}, {6, C, 5}, {14, -1, 0}, {16, A, 4}, {18, B, 4},
                         {20, C, 5}, {22, E, 5}, {24, D, 5}, {26, E, 5}, {28, G, 5}, {30, C, 6}};
    for (const Note& n : tune)
        put(p, n.row, 0, n.semitone < 0 ? uint8_t(kKeyOff) : xmNote(n.semitone, n.octave), Lead, n.semitone < 0 ? -1 : 56);
    put(p, 39, 0, kKeyOff, 0);
    const Note bass[] = {{0, C, 2}, {6, C, 3}, {16, F, 2}, {20, G, 2}, {24, G, 2}, {30, C, 2}};
    for (const Note& n : bass)
        put(p, n.row, 1, xmNote(n.semitone, n.octave), Bass, 60);
    for (int r = 0; r < 6; ++r)
        put(p, r, 2, xmNote(C, 4), Snare, 24 + r * 6);
    put(p, 6, 2, xmNote(C, 4), Kick, 64);
    put(p, 16, 2, xmNote(C, 4), Kick, 56);
    put(p, 24, 2, xmNote(C, 4), Snare, 48);
    put(p, 30, 2, xmNote(C, 4), Kick, 64);
    const int chord[] = {C, E, G, C + 12, E + 12, G + 12, C + 24};
    for (int i = 0; i < 7; ++i)
        put(p, 30 + i, 3, xmNote(chord[i] % 12, 4 + chord[i] / 12), Pluck, 44);
    m.patterns = {p};
    m.orders = {0};
    return XmWriter::write(m);
}

std::vector<uint8_t> Music::gameOverMod()
{
    ModModule m;
    m.title = "game over";
    Synth synth(0xDEAD0001u);
    // ProTracker period 428 plays a sample at about 8287 Hz: a 32-sample cycle is roughly middle C.
    auto looped = [](const char* name, std::vector<float> cycle, int cycles, int volume) {
        ModSample s;
        s.name = name;
        std::vector<float> d;
        for (int i = 0; i < cycles; ++i)
            d.insert(d.end(), cycle.begin(), cycle.end());
        Synth::normalize(d, 0.9f);
        s.data = Synth::toInt8(d);
        s.volume = volume;
        s.loopStart = 0;
        s.loopLength = int(s.data.size());
        return s;
    };
    m.samples.push_back(looped("square", Synth::squareCycle(32, 12, 0.5f), 8, 44));
    m.samples.push_back(looped("triangle", Synth::sineCycle(32, 0.15f), 8, 60));
    Synth::Sample hit = synth.snare(8287.0f);
    ModSample noise;
    noise.name = "hit";
    Synth::normalize(hit.data, 0.9f);
    noise.data = Synth::toInt8(hit.data);
    if (noise.data.size() % 2)
        noise.data.push_back(0);
    noise.volume = 40;
    m.samples.push_back(noise);

    ModPattern p;
    p.at(0, 0).effect = 0xF;
    p.at(0, 0).param = 5;
    // Four falling steps, the last one held with a slow vibrato, then a low final thud.
    struct Step {
        int row, semitone, octave, length;
    };
    const Step steps[] = {{0, G, 2, 8}, {10, Fs, 2, 8}, {20, F, 2, 8}, {30, E, 2, 24}};
    for (const Step& s : steps) {
        ModCell& lead = p.at(s.row, 1);
        lead.period = ModWriter::period(s.octave, s.semitone);
        lead.sample = 1;
        ModCell& low = p.at(s.row, 2);
        low.period = ModWriter::period(s.octave - 1, s.semitone);
        low.sample = 2;
        ModCell& drum = p.at(s.row, 3);
        drum.period = ModWriter::period(2, C);
        drum.sample = 3;
        int end = s.row + s.length;
        if (s.length > 10)
            for (int r = s.row + 4; r < end; ++r) {
                p.at(r, 1).effect = 4;
                p.at(r, 1).param = 0x46;
            }
        p.at(end, 1).effect = 0xC;
        p.at(end, 2).effect = 0xC;
    }
    ModCell& thud = p.at(56, 2);
    thud.period = ModWriter::period(1, A);
    thud.sample = 2;
    p.at(56, 3).period = ModWriter::period(1, C);
    p.at(56, 3).sample = 3;
    for (int r = 58; r < 64; ++r) {
        p.at(r, 2).effect = 0xA;
        p.at(r, 2).param = 0x0C;
    }
    // A short descending echo an octave up on the free channel.
    const int echo[][2] = {{4, B}, {14, As}, {24, A}};
    for (const auto& e : echo) {
        ModCell& c = p.at(e[0], 0);
        c.period = ModWriter::period(2, e[1]);
        c.sample = 1;
        c.effect = 0xC;
        c.param = 20;
        p.at(e[0] + 4, 0).effect = 0xC;
    }
    m.patterns = {p};
    m.orders = {0};
    return ModWriter::write(m);
}
