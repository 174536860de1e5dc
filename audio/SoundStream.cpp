// Chunked rendering of tracker modules into a ring of reused OpenAL buffers.
#include "audio/SoundStream.h"

#include <libopenmpt/libopenmpt.h>

SoundStream::SoundStream(ALuint source, int sampleRate)
    : source_(source), sampleRate_(sampleRate), pcm_(size_t(kFramesPerBuffer) * 2) {}

SoundStream::~SoundStream() {
  stop();
  if (buffersMade_) {
    alDeleteBuffers(kBufferCount, buffers_);
  }
}

bool SoundStream::fill(ALuint buffer) {
  if (module_ == nullptr || moduleEnded_) {
    return false;
  }
  const size_t frames = openmpt_module_read_interleaved_stereo(module_, sampleRate_, kFramesPerBuffer, pcm_.data());
  if (frames == 0) {
    moduleEnded_ = true;
    return false;
  }
  alBufferData(buffer, AL_FORMAT_STEREO16, pcm_.data(), ALsizei(frames * 2 * sizeof(int16_t)), sampleRate_);
  alSourceQueueBuffers(source_, 1, &buffer);
  buffersUsed_.insert(buffer);
  ++refills_;
  return true;
}

bool SoundStream::start(const std::vector<char>& moduleBytes) {
  stop();
  if (!buffersMade_) {
    alGetError();
    alGenBuffers(kBufferCount, buffers_);
    if (alGetError() != AL_NO_ERROR) {
      return false;
    }
    buffersMade_ = true;
  }
  module_ = openmpt_module_create_from_memory2(moduleBytes.data(), moduleBytes.size(), openmpt_log_func_silent,
                                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  if (module_ == nullptr) {
    return false;
  }
  moduleEnded_ = false;
  refills_ = 0;
  int queued = 0;
  for (ALuint buffer : buffers_) {
    if (fill(buffer)) {
      ++queued;
    }
  }
  if (queued == 0) {
    stop();
    return false;
  }
  alSourcePlay(source_);
  return true;
}

bool SoundStream::service() {
  if (module_ == nullptr) {
    return false;
  }
  ALint processed = 0;
  alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
  while (processed-- > 0) {
    ALuint buffer = 0;
    alSourceUnqueueBuffers(source_, 1, &buffer);
    fill(buffer);
  }
  ALint state = AL_STOPPED;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  const int queued = queuedBuffers();
  if (state != AL_PLAYING) {
    if (queued == 0) {
      stop();
      return false;
    }
    // The source ran dry before we refilled it (a stalled machine): carry on where it stopped.
    alSourcePlay(source_);
  }
  return true;
}

void SoundStream::stop() {
  alSourceStop(source_);
  alSourcei(source_, AL_BUFFER, 0);
  if (module_ != nullptr) {
    openmpt_module_destroy(module_);
    module_ = nullptr;
  }
  moduleEnded_ = true;
}

int SoundStream::queuedBuffers() const {
  ALint queued = 0;
  alGetSourcei(source_, AL_BUFFERS_QUEUED, &queued);
  return queued;
}
