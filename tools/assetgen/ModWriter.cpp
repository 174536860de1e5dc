// The period table is ProTracker's finetune-0 row; everything else follows the 1084-byte header layout.
#include "ModWriter.h"

#include "ByteWriter.h"

namespace {
const int kPeriods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                          428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                          214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
}

int ModWriter::period(int octave, int semitone)
{
    int i = (octave - 1) * 12 + semitone;
    if (i < 0) i = 0;
    if (i > 35) i = 35;
    return kPeriods[i];
}

std::vector<uint8_t> ModWriter::write(const ModModule& m)
{
    ByteWriter w;
    w.text(m.title, 20);
    for (int i = 0; i < 31; ++i) {
        if (i < int(m.samples.size())) {
            const ModSample& s = m.samples[i];
            w.text(s.name, 22);
            w.u16be(uint32_t(s.data.size() / 2));
            w.u8(uint32_t(s.finetune & 0x0F));
            w.u8(uint32_t(s.volume));
            w.u16be(uint32_t(s.loopLength > 0 ? s.loopStart / 2 : 0));
            w.u16be(uint32_t(s.loopLength > 0 ? s.loopLength / 2 : 1));
        } else {
            w.zeros(22);
            w.u16be(0);
            w.u8(0);
            w.u8(0);
            w.u16be(0);
            w.u16be(1);
        }
    }
    w.u8(uint32_t(m.orders.size()));
    w.u8(127);
    for (int i = 0; i < 128; ++i)
        w.u8(i < int(m.orders.size()) ? uint32_t(m.orders[i]) : 0u);
    w.text("M.K.", 4);
    for (const ModPattern& p : m.patterns)
        for (const ModCell& c : p.cells) {
            w.u8(uint32_t((c.sample & 0xF0) | ((c.period >> 8) & 0x0F)));
            w.u8(uint32_t(c.period & 0xFF));
            w.u8(uint32_t(((c.sample & 0x0F) << 4) | (c.effect & 0x0F)));
            w.u8(uint32_t(c.param & 0xFF));
        }
    for (const ModSample& s : m.samples)
        for (int8_t v : s.data)
            w.u8(uint32_t(static_cast<uint8_t>(v)));
    return w.bytes;
}
