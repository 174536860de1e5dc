// A screenshot read back from a PNG file, with the few pixel measures the end-to-end tests make on it:
// bright (text-white) pixels in a block, and pixels that changed between two shots.
#pragma once

#include <string>
#include <vector>

class ScreenImage {
 public:
  // Reads an RGBA copy of the PNG; false when the file is missing or not an image.
  bool load(const std::string& pngPath);
  int width() const { return width_; }
  int height() const { return height_; }
  // Channel c (0 red ... 2 blue) of the pixel in column x, row y counted from the top.
  int channel(int x, int y, int c) const;
  // Near-white pixels (every channel at least minimum) in the block at (x, y), rows from the top.
  int countBright(int x, int y, int w, int h, int minimum = 200) const;
  // Leftmost column of the block holding a near-white pixel, or -1.
  int leftmostBright(int x, int y, int w, int h, int minimum = 200) const;
  // Pixels of the block that are near-white here but not in the other shot.
  int countNewlyBright(const ScreenImage& before, int x, int y, int w, int h, int minimum = 200) const;
  // Pixels of the block where any channel differs from the other shot by more than tolerance.
  int countChanged(const ScreenImage& other, int x, int y, int w, int h, int tolerance = 40) const;

 private:
  bool bright(int x, int y, int minimum) const;

  int width_ = 0;
  int height_ = 0;
  std::vector<unsigned char> rgba_;
};
