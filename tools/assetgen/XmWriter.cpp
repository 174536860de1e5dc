// Cells are packed with the high-bit flag byte; sample data is stored as 16-bit deltas as the format requires.
#include "XmWriter.h"

#include "ByteWriter.h"

std::vector<uint8_t> XmWriter::write(const XmModule& m)
{
    ByteWriter w;
    w.text("Extended Module: ", 17);
    w.text(m.name, 20, ' ');
    w.u8(0x1A);
    w.text("Varrow assetgen", 20, ' ');
    w.u16le(0x0104);
    w.u32le(276);
    w.u16le(uint32_t(m.orders.size()));
    w.u16le(uint32_t(m.restart));
    w.u16le(uint32_t(m.channels));
    w.u16le(uint32_t(m.patterns.size()));
    w.u16le(uint32_t(m.instruments.size()));
    w.u16le(1); // linear frequency table
    w.u16le(uint32_t(m.speed));
    w.u16le(uint32_t(m.bpm));
    for (int i = 0; i < 256; ++i)
        w.u8(i < int(m.orders.size()) ? uint32_t(m.orders[i]) : 0u);

    for (const XmPattern& p : m.patterns) {
        ByteWriter data;
        for (int r = 0; r < p.rows; ++r)
            for (int c = 0; c < p.channels; ++c) {
                const XmCell& cell = p.at(r, c);
                uint8_t flags = 0x80;
                if (cell.note) flags |= 0x01;
                if (cell.instrument) flags |= 0x02;
                if (cell.volume) flags |= 0x04;
                if (cell.effect) flags |= 0x08;
                if (cell.param) flags |= 0x10;
                data.u8(flags);
                if (cell.note) data.u8(cell.note);
                if (cell.instrument) data.u8(cell.instrument);
                if (cell.volume) data.u8(cell.volume);
                if (cell.effect) data.u8(cell.effect);
                if (cell.param) data.u8(cell.param);
            }
        w.u32le(9);
        w.u8(0);
        w.u16le(uint32_t(p.rows));
        w.u16le(uint32_t(data.size()));
        w.append(data.bytes);
    }

    for (const XmInstrument& ins : m.instruments) {
        const size_t start = w.size();
        w.u32le(263);
        w.text(ins.name, 22);
        w.u8(0);
        w.u16le(1);
        w.u32le(40);
        w.zeros(96);      // every note plays sample 0
        w.zeros(48 * 2);  // no envelopes
        w.zeros(2 + 6 + 2 + 4);
        w.u16le(0);       // fadeout
        while (w.size() < start + 263)
            w.u8(0);

        const bool loops = ins.loopLength > 0;
        w.u32le(uint32_t(ins.sample.size() * 2));
        w.u32le(uint32_t(loops ? ins.loopStart * 2 : 0));
        w.u32le(uint32_t(loops ? ins.loopLength * 2 : 0));
        w.u8(uint32_t(ins.volume));
        w.u8(uint32_t(static_cast<uint8_t>(static_cast<int8_t>(ins.finetune))));
        w.u8((loops ? 0x01u : 0x00u) | 0x10u);
        w.u8(uint32_t(ins.panning));
        w.u8(uint32_t(static_cast<uint8_t>(static_cast<int8_t>(ins.relativeNote))));
        w.u8(0);
        w.text(ins.name, 22);

        int16_t previous = 0;
        for (int16_t s : ins.sample) {
            w.u16le(uint16_t(uint16_t(s) - uint16_t(previous)));
            previous = s;
        }
    }
    return w.bytes;
}
