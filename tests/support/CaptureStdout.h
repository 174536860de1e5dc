// Captures what the game writes to std::cout while an instance is alive, so tests can assert exact console text.
#pragma once
#include <iostream>
#include <sstream>
#include <string>

class CaptureStdout {
 public:
  CaptureStdout() : saved_(std::cout.rdbuf(buffer_.rdbuf())) {}
  ~CaptureStdout() { std::cout.rdbuf(saved_); }

  std::string text() const { return buffer_.str(); }
  void clear() { buffer_.str(""); }

 private:
  std::ostringstream buffer_;
  std::streambuf* saved_;
};
