// The TGA checks and decode behind texture loading. stb_image decodes; we check the header and the
// payload's extent first, because stb_image also reads other formats and fills a short file's missing
// pixels with zeros instead of failing.
#include "platform/TgaImage.h"

#include <cstdint>
#include <cstring>

#include <stb/stb_image.h>

namespace platform {
namespace {

constexpr std::size_t kHeaderSize = 18;

struct TgaLayout {
  int width = 0;
  int height = 0;
  int channels = 0;
};

// Walks the run-length packets without decoding them: true when they cover every pixel inside the file.
bool rlePayloadComplete(const unsigned char* file, std::size_t size, std::size_t offset, std::uint64_t pixels,
                        int bytesPerPixel) {
  std::uint64_t covered = 0;
  while (covered < pixels) {
    if (offset >= size) return false;
    unsigned char packet = file[offset++];
    std::uint64_t count = (packet & 0x7Fu) + 1u;
    std::uint64_t bytes = (packet & 0x80u) ? bytesPerPixel : count * bytesPerPixel;
    if (bytes > size - offset) return false;
    offset += bytes;
    covered += count;
  }
  return true;
}

bool checkTga(const unsigned char* file, std::size_t size, int maxSide, TgaLayout* layout) {
  if (!file || size < kHeaderSize) return false;
  const unsigned char* h = file;
  int idLength = h[0];
  int colorMapType = h[1];
  int imageType = h[2];
  int width = h[12] | (h[13] << 8);
  int height = h[14] | (h[15] << 8);
  int bits = h[16];
  if (colorMapType != 0) return false;
  bool greyscale = imageType == 3 || imageType == 11;
  bool truecolour = imageType == 2 || imageType == 10;
  if (greyscale && bits != 8) return false;
  if (truecolour && bits != 24 && bits != 32) return false;
  if (!greyscale && !truecolour) return false;
  if (width == 0 || height == 0) return false;
  if (width > maxSide || height > maxSide) return false;

  int bytesPerPixel = bits / 8;
  std::size_t offset = kHeaderSize + idLength;
  if (offset > size) return false;
  std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
  if (imageType >= 8) {
    if (!rlePayloadComplete(file, size, offset, pixels, bytesPerPixel)) return false;
  } else if (pixels * bytesPerPixel > size - offset) {
    return false;
  }
  layout->width = width;
  layout->height = height;
  layout->channels = bytesPerPixel;
  return true;
}

}  // namespace

bool decodeTga(const unsigned char* data, std::size_t size, int maxSide, TgaImage* out) {
  TgaLayout layout;
  if (!checkTga(data, size, maxSide, &layout)) return false;
  if (size > static_cast<std::size_t>(INT32_MAX)) return false;

  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 0);
  if (!pixels) return false;
  if (width != layout.width || height != layout.height || channels != layout.channels) {
    stbi_image_free(pixels);
    return false;
  }

  // stb_image hands rows top first whatever the origin bit says; GL's row 0 is the image's bottom row.
  std::size_t rowBytes = static_cast<std::size_t>(width) * channels;
  std::vector<unsigned char> flipped(rowBytes * height);
  for (int row = 0; row < height; ++row)
    std::memcpy(&flipped[rowBytes * row], pixels + rowBytes * (height - 1 - row), rowBytes);
  stbi_image_free(pixels);

  out->width = width;
  out->height = height;
  out->channels = channels;
  out->pixels.swap(flipped);
  return true;
}

}  // namespace platform
