// Streams one play of a tracker module onto an OpenAL source: rendered in chunks into a few queued
// buffers that are refilled as the source consumes them, so a long module costs a fixed amount of memory.
#pragma once
#include <AL/al.h>

#include <cstdint>
#include <set>
#include <vector>

struct openmpt_module;

class SoundStream {
 public:
  static constexpr int kBufferCount = 4;
  static constexpr int kFramesPerBuffer = 8192;

  SoundStream(ALuint source, int sampleRate);
  ~SoundStream();
  SoundStream(const SoundStream&) = delete;
  SoundStream& operator=(const SoundStream&) = delete;

  // Parses the module, queues the first chunks and starts the source; false if nothing can be played.
  bool start(const std::vector<char>& moduleBytes);
  // Refills what the source has consumed; false once the module has ended and everything queued was heard.
  bool service();
  // Silences the source and forgets the module; the buffers stay for the next play.
  void stop();

  int distinctBuffers() const { return int(buffersUsed_.size()); }
  int queuedBuffers() const;
  long long refills() const { return refills_; }

 private:
  bool fill(ALuint buffer);

  ALuint source_;
  int sampleRate_;
  ALuint buffers_[kBufferCount] = {};
  bool buffersMade_ = false;
  openmpt_module* module_ = nullptr;
  bool moduleEnded_ = false;
  std::vector<int16_t> pcm_;
  std::set<ALuint> buffersUsed_;
  long long refills_ = 0;
};
