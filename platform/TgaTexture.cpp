// TGA images into the bound 2D texture with a full mipmap chain, as GLFW 2.7's loader did with only its
// mipmap flag. The file is checked and decoded by decodeTga; this side reads it and uploads.
#include <GL/glew.h>

#include <cstddef>
#include <cstdio>
#include <vector>

#include "platform/Platform.h"
#include "platform/TgaImage.h"

namespace platform {
namespace {

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
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  if (maxSize <= 0) maxSize = 2048;
  TgaImage image;
  if (!decodeTga(file.data(), file.size(), maxSize, &image)) return false;

  GLint savedAlignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &savedAlignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLenum format = formatFor(image.channels);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image.width, image.height, 0, format,
               GL_UNSIGNED_BYTE, image.pixels.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, savedAlignment);
  glGenerateMipmap(GL_TEXTURE_2D);
  return true;
}

}  // namespace platform
