// Validating and decoding a TGA file held in memory into pixel rows, bottom row first; no GL involved,
// so the decoder can be exercised on any bytes (the texture loader and the fuzzer share it).
#pragma once

#include <cstddef>
#include <vector>

namespace platform {

struct TgaImage {
  int width = 0;
  int height = 0;
  int channels = 0;  // 1 (greyscale), 3 (RGB) or 4 (RGBA)
  // width * height * channels bytes; row 0 is the image's bottom row, as GL expects.
  std::vector<unsigned char> pixels;
};

// Accepts uncompressed or run-length truecolour of 24 or 32 bits, or greyscale of 8 bits, without a colour
// map, no wider or taller than maxSide, whose pixel data lies wholly inside the buffer. Anything else
// (another format, a truncated file, a damaged header) is refused: false, and out is left unchanged.
bool decodeTga(const unsigned char* data, std::size_t size, int maxSide, TgaImage* out);

}  // namespace platform
