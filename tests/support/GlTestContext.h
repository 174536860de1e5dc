// A real GL context for tests: one hidden 1024x768 window per test process, GLEW loaded, and the run
// directory (where shaders and assets live) as the working directory.
#pragma once

#include <gtest/gtest.h>

#include <string>

// Creates the context on first use; fails the calling test when no display or GL is available.
void ensureGlContext();

// Fixture for tests that make GL calls.
class GlTest : public ::testing::Test {
 protected:
  void SetUp() override { ensureGlContext(); }
};

// Reads back a w x h block of the bound framebuffer's colour as RGBA bytes, bottom row first.
std::string readPixelsRgba(int x, int y, int w, int h);

// Writes RGBA bytes (bottom row first) to a PNG file, for looking at what a test saw.
bool writePng(const std::string& path, int w, int h, const std::string& rgba);
