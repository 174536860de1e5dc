// Growable byte buffer with little- and big-endian writers, used by every binary format the generator emits.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class ByteWriter {
public:
    std::vector<uint8_t> bytes;

    size_t size() const { return bytes.size(); }

    void u8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v & 0xFF)); }
    void u16le(uint32_t v) { u8(v); u8(v >> 8); }
    void u32le(uint32_t v) { u16le(v & 0xFFFF); u16le(v >> 16); }
    void i16le(int v) { u16le(static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(v)))); }
    void i32le(int32_t v) { u32le(static_cast<uint32_t>(v)); }
    void u16be(uint32_t v) { u8(v >> 8); u8(v); }
    void f32le(float f)
    {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        u32le(v);
    }
    // Fixed-width text field: truncated or NUL-padded to exactly n bytes.
    void text(const std::string& s, size_t n, char pad = '\0')
    {
        for (size_t i = 0; i < n; ++i)
            u8(i < s.size() ? static_cast<uint8_t>(s[i]) : static_cast<uint8_t>(pad));
    }
    void zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
    void append(const std::vector<uint8_t>& other) { bytes.insert(bytes.end(), other.begin(), other.end()); }
    void patch32le(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void patch16le(size_t at, uint32_t v)
    {
        bytes[at] = static_cast<uint8_t>(v);
        bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    }
};

// Writes a whole buffer to a file; returns false when the file cannot be written.
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& data);
bool writeFileText(const std::string& path, const std::string& text);
