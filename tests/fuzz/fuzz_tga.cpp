// Fuzzes the TGA checks and decode behind every texture the game loads, with no GL involved.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/TgaImage.h"

namespace {
// llvmpipe's GL_MAX_TEXTURE_SIZE: the largest side the game would ever accept.
constexpr int kMaxSide = 16384;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::TgaImage image;
  if (!platform::decodeTga(data, size, kMaxSide, &image)) {
    if (image.width != 0 || image.height != 0 || !image.pixels.empty()) std::abort();
    return 0;
  }
  if (image.width < 1 || image.height < 1 || image.width > kMaxSide || image.height > kMaxSide) std::abort();
  if (image.channels != 1 && image.channels != 3 && image.channels != 4) std::abort();
  size_t expected = static_cast<size_t>(image.width) * image.height * image.channels;
  if (image.pixels.size() != expected) std::abort();
  // The texture upload reads every byte: do the same so ASan sees any byte that was never written.
  unsigned sum = 0;
  for (unsigned char byte : image.pixels) sum += byte;
  volatile unsigned sink = sum;
  (void)sink;
  return 0;
}
