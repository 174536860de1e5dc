// Screenshot pixels for the end-to-end tests, decoded with stb_image.
#include "ScreenImage.h"

#include <algorithm>
#include <cstdlib>

#include <stb/stb_image.h>

bool ScreenImage::load(const std::string& pngPath) {
  int n = 0;
  unsigned char* data = stbi_load(pngPath.c_str(), &width_, &height_, &n, 4);
  if (!data) {
    width_ = height_ = 0;
    rgba_.clear();
    return false;
  }
  rgba_.assign(data, data + static_cast<size_t>(width_) * height_ * 4);
  stbi_image_free(data);
  return true;
}

int ScreenImage::channel(int x, int y, int c) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return rgba_[(static_cast<size_t>(y) * width_ + x) * 4 + c];
}

bool ScreenImage::bright(int x, int y, int minimum) const {
  return channel(x, y, 0) >= minimum && channel(x, y, 1) >= minimum && channel(x, y, 2) >= minimum;
}

int ScreenImage::countBright(int x, int y, int w, int h, int minimum) const {
  int n = 0;
  for (int row = y; row < y + h; ++row)
    for (int col = x; col < x + w; ++col) n += bright(col, row, minimum);
  return n;
}

int ScreenImage::leftmostBright(int x, int y, int w, int h, int minimum) const {
  for (int col = x; col < x + w; ++col)
    for (int row = y; row < y + h; ++row)
      if (bright(col, row, minimum)) return col;
  return -1;
}

int ScreenImage::countNewlyBright(const ScreenImage& before, int x, int y, int w, int h, int minimum) const {
  int n = 0;
  for (int row = y; row < y + h; ++row)
    for (int col = x; col < x + w; ++col) n += bright(col, row, minimum) && !before.bright(col, row, minimum);
  return n;
}

int ScreenImage::countChanged(const ScreenImage& other, int x, int y, int w, int h, int tolerance) const {
  int n = 0;
  for (int row = y; row < y + h; ++row)
    for (int col = x; col < x + w; ++col) {
      bool changed = false;
      for (int c = 0; c < 3; ++c) changed |= std::abs(channel(col, row, c) - other.channel(col, row, c)) > tolerance;
      n += changed;
    }
  return n;
}
