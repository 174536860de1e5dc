// TGA images into the bound 2D texture with a full mipmap chain, as GLFW 2.7's loader did with only its
// mipmap flag. stb_image decodes; we check the header and the payload's extent first, because stb_image
// also reads other formats and fills a short file's missing pixels with zeros instead of failing.
#include <GL/glew.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <stb/stb_image.h>

#include "platform/Platform.h"

namespace platform {
namespace {

constexpr std::size_t kHeaderSize = 18;

struct TgaLayout {
  int width = 0;
  int height = 0;
  int channels = 0;
};

// Walks the run-length packets without decoding them: true when they cover every pixel inside the file.
bool rlePayloadComplete(const std::vector<unsigned char>& file, std::size_t offset, std::uint64_t pixels,
                        int bytesPerPixel) {
  std::uint64_t covered = 0;
  while (covered < pixels) {
    if (offset >= file.size()) return false;
    unsigned char packet = file[offset++];
    std::uint64_t count = (packet & 0x7Fu) + 1u;
    std::uint64_t bytes = (packet & 0x80u) ? bytesPerPixel : count * bytesPerPixel;
    if (bytes > file.size() - offset) return false;
    offset += bytes;
    covered += count;
  }
  return true;
}

// Accepts exactly what the game's images may be: uncompressed or run-length truecolour of 24 or 32 bits,
// or greyscale of 8 bits, without a colour map, no larger than the driver's biggest texture.
bool checkTga(const std::vector<unsigned char>& file, TgaLayout* layout) {
  if (file.size() < kHeaderSize) return false;
  const unsigned char* h = file.data();
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

  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  if (maxSize <= 0) maxSize = 2048;
  if (width > maxSize || height > maxSize) return false;

  int bytesPerPixel = bits / 8;
  std::size_t offset = kHeaderSize + idLength;
  if (offset > file.size()) return false;
  std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
  if (imageType >= 8) {
    if (!rlePayloadComplete(file, offset, pixels, bytesPerPixel)) return false;
  } else if (pixels * bytesPerPixel > file.size() - offset) {
    return false;
  }
  layout->width = width;
  layout->height = height;
  layout->channels = bytesPerPixel;
  return true;
}

bool readFile(const char* path, std::vector<unsigned char>* bytes) {
  if (!path) return false;
  std::FILE* in = std::fopen(path, "rb");
  if (!in) return false;
  unsigned char chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
  bool failed = std::ferror(in) != 0;
  std::fclose(in);
  return !failed;
}

GLenum formatFor(int channels) {
  switch (channels) {
    case 1: return GL_LUMINANCE;
    case 3: return GL_RGB;
    default: return GL_RGBA;
  }
}

}  // namespace

bool loadTexture2D(const char* path) {
  std::vector<unsigned char> file;
  if (!readFile(path, &file)) return false;
  TgaLayout layout;
  if (!checkTga(file, &layout)) return false;
  if (file.size() > static_cast<std::size_t>(INT32_MAX)) return false;

  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 0);
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

  GLint savedAlignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &savedAlignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLenum format = formatFor(channels);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE,
               flipped.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, savedAlignment);
  glGenerateMipmap(GL_TEXTURE_2D);
  return true;
}

}  // namespace platform
