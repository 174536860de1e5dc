// Our sound library on OpenAL Soft: one source per channel, effects decoded whole into one buffer each,
// modules streamed by a small refill thread; without an output device every play lasts its length by the clock.
#include "audio/SoundLibrary.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "audio/SoundData.h"
#include "audio/SoundStream.h"

namespace {

constexpr int kMaxChannels = 256;
constexpr auto kRefillPeriod = std::chrono::milliseconds(10);

struct Channel {
  ALuint source = 0;
  uint32_t serial = 0;  // number of the current or last play; handles of older plays no longer match
  bool active = false;  // the current play has neither ended nor been stopped
  bool paused = false;
  Sound* sound = nullptr;
  float volume = 1.0f;   // of the current play, as set last
  double endTime = 0.0;  // without a device: when the current play ends
  bool streamPending = false;
  std::unique_ptr<SoundStream> stream;
};

std::atomic<bool> forcedSilent{false};

double steadySeconds(void*) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

struct Sound {
  SoundSystem* system = nullptr;
  SoundData data;
  ALuint buffer = 0;
};

struct SoundSystem {
  uint16_t id = 0;
  std::mutex mutex;
  bool initialized = false;
  bool silent = false;
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  int sampleRate = 44100;
  std::vector<Channel> channels;
  std::set<Sound*> sounds;
  SoundClock clock = steadySeconds;
  void* clockUser = nullptr;
  std::thread streamer;
  std::condition_variable wake;
  bool quit = false;

  double now() const { return clock(clockUser); }
};

namespace {

// Channel handles name their system by a number, so a handle outliving its system is merely invalid.
// Never destroyed: the game's sound system is released by a static destructor in another file.
std::mutex& registryMutex = *new std::mutex;
std::map<uint16_t, SoundSystem*>& registry = *new std::map<uint16_t, SoundSystem*>;
uint16_t lastSystemId = 0;

uintptr_t encodeHandle(uint16_t systemId, int index, uint32_t serial) {
  return (uintptr_t(systemId) << 48) | (uintptr_t(uint32_t(index) & 0xFFFFu) << 32) | uintptr_t(serial);
}

struct DecodedHandle {
  uint16_t systemId;
  int index;
  uint32_t serial;
};

DecodedHandle decodeHandle(SoundChannel* channel) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(channel);
  return {uint16_t(value >> 48), int((value >> 32) & 0xFFFFu), uint32_t(value & 0xFFFFFFFFu)};
}

void finishChannel(Channel& channel) {
  if (channel.stream) {
    channel.stream->stop();
  } else if (channel.source != 0) {
    alSourceStop(channel.source);
    alSourcei(channel.source, AL_BUFFER, 0);
  }
  channel.active = false;
  channel.paused = false;
  channel.sound = nullptr;
  channel.streamPending = false;
}

// Brings a channel's state up to date; true while its current play is still going.
bool channelBusy(SoundSystem& system, Channel& channel) {
  if (!channel.active) {
    return false;
  }
  if (channel.paused) {
    return true;
  }
  if (system.silent) {
    if (system.now() >= channel.endTime) {
      finishChannel(channel);
      return false;
    }
    return true;
  }
  if (channel.sound->data.streamed) {
    return true;  // the refill thread ends streamed plays
  }
  ALint state = AL_STOPPED;
  alGetSourcei(channel.source, AL_SOURCE_STATE, &state);
  if (state != AL_PLAYING) {
    finishChannel(channel);
    return false;
  }
  return true;
}

void refillStreams(SoundSystem* system) {
  std::unique_lock<std::mutex> lock(system->mutex);
  while (!system->quit) {
    for (Channel& channel : system->channels) {
      if (!channel.active || channel.paused || channel.sound == nullptr || !channel.sound->data.streamed) {
        continue;
      }
      if (!channel.stream) {
        channel.stream = std::make_unique<SoundStream>(channel.source, system->sampleRate);
      }
      bool going;
      if (channel.streamPending) {
        channel.streamPending = false;
        going = channel.stream->start(channel.sound->data.moduleBytes);
      } else {
        going = channel.stream->service();
      }
      if (!going) {
        finishChannel(channel);
      }
    }
    system->wake.wait_for(lock, kRefillPeriod);
  }
}

// Runs f on the channel a handle names, with the system locked; false if the handle names no channel.
template <typename F>
bool withChannel(SoundChannel* handle, F f) {
  if (handle == nullptr) {
    return false;
  }
  const DecodedHandle decoded = decodeHandle(handle);
  std::lock_guard<std::mutex> registryLock(registryMutex);
  auto found = registry.find(decoded.systemId);
  if (found == registry.end()) {
    return false;
  }
  SoundSystem& system = *found->second;
  std::lock_guard<std::mutex> lock(system.mutex);
  if (decoded.index < 0 || decoded.index >= int(system.channels.size())) {
    return false;
  }
  f(system, system.channels[size_t(decoded.index)], decoded.serial);
  return true;
}

void closeLocked(SoundSystem& system) {
  for (Channel& channel : system.channels) {
    finishChannel(channel);
    channel.stream.reset();
    if (channel.source != 0) {
      alDeleteSources(1, &channel.source);
    }
  }
  system.channels.clear();
  for (Sound* sound : system.sounds) {
    if (sound->buffer != 0) {
      alDeleteBuffers(1, &sound->buffer);
      sound->buffer = 0;
    }
  }
  if (system.context != nullptr) {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(system.context);
    system.context = nullptr;
  }
  if (system.device != nullptr) {
    alcCloseDevice(system.device);
    system.device = nullptr;
  }
  system.initialized = false;
}

bool openDevice(SoundSystem& system) {
  system.device = alcOpenDevice(nullptr);
  if (system.device == nullptr) {
    return false;
  }
  system.context = alcCreateContext(system.device, nullptr);
  if (system.context == nullptr || alcMakeContextCurrent(system.context) == ALC_FALSE) {
    if (system.context != nullptr) {
      alcDestroyContext(system.context);
      system.context = nullptr;
    }
    alcCloseDevice(system.device);
    system.device = nullptr;
    return false;
  }
  ALCint frequency = 0;
  alcGetIntegerv(system.device, ALC_FREQUENCY, 1, &frequency);
  if (frequency > 0) {
    system.sampleRate = frequency;
  }
  return true;
}

}  // namespace

void soundForceSilent(bool silent) { forcedSilent = silent; }

SoundResult soundSystemCreate(SoundSystem** system) {
  if (system == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  auto* created = new SoundSystem();
  std::lock_guard<std::mutex> registryLock(registryMutex);
  do {
    ++lastSystemId;
  } while (lastSystemId == 0 || registry.count(lastSystemId) != 0);
  created->id = lastSystemId;
  registry[created->id] = created;
  *system = created;
  return SOUND_OK;
}

SoundResult soundSystemInit(SoundSystem* system, int maxChannels, int flags) {
  if (system == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  std::lock_guard<std::mutex> lock(system->mutex);
  if (system->initialized) {
    return SOUND_OK;
  }
  const int count = std::clamp(maxChannels, 1, kMaxChannels);
  const bool wantSilent = (flags & kSoundInitSilent) != 0 || forcedSilent;
  system->silent = wantSilent || !openDevice(*system);
  system->channels.resize(size_t(count));
  if (!system->silent) {
    alGetError();
    for (Channel& channel : system->channels) {
      alGenSources(1, &channel.source);
      if (alGetError() != AL_NO_ERROR) {
        channel.source = 0;
        break;
      }
      alSourcei(channel.source, AL_SOURCE_RELATIVE, AL_TRUE);
      alSource3f(channel.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    }
    // A device that cannot give every channel a source offers only those it could.
    const auto usable = std::find_if(system->channels.begin(), system->channels.end(),
                                     [](const Channel& channel) { return channel.source == 0; });
    system->channels.erase(usable, system->channels.end());
    system->quit = false;
    system->streamer = std::thread(refillStreams, system);
  }
  system->initialized = true;
  return SOUND_OK;
}

SoundResult soundSystemCreateSound(SoundSystem* system, const char* path, int /*mode*/, Sound** sound) {
  if (sound == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  *sound = nullptr;
  if (system == nullptr || path == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  auto created = std::make_unique<Sound>();
  const SoundResult loaded = created->data.load(path);
  if (loaded != SOUND_OK) {
    return loaded;
  }
  std::lock_guard<std::mutex> lock(system->mutex);
  if (!system->initialized) {
    return SOUND_ERR_UNINITIALIZED;
  }
  if (!system->silent && !created->data.streamed) {
    const SoundData& data = created->data;
    alGetError();
    alGenBuffers(1, &created->buffer);
    if (alGetError() != AL_NO_ERROR) {
      created->buffer = 0;
      return SOUND_ERR_FORMAT;
    }
    alBufferData(created->buffer, data.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, data.samples.data(),
                 ALsizei(data.samples.size() * sizeof(int16_t)), data.sampleRate);
    // The samples now live in the device's buffer.
    created->data.samples = std::vector<int16_t>();
  }
  created->system = system;
  *sound = created.release();
  system->sounds.insert(*sound);
  return SOUND_OK;
}

SoundResult soundSystemPlaySound(SoundSystem* system, int channelIndex, Sound* sound, bool paused,
                                 SoundChannel** channel) {
  if (channel != nullptr) {
    *channel = nullptr;
  }
  if (system == nullptr || sound == nullptr || sound->system != system) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  std::lock_guard<std::mutex> lock(system->mutex);
  if (!system->initialized) {
    return SOUND_ERR_UNINITIALIZED;
  }
  int index = -1;
  if (channelIndex == kSoundChannelFree) {
    for (size_t i = 0; i < system->channels.size(); ++i) {
      if (!channelBusy(*system, system->channels[i])) {
        index = int(i);
        break;
      }
    }
    if (index < 0) {
      return SOUND_ERR_NO_FREE_CHANNEL;
    }
  } else if (channelIndex >= 0 && channelIndex < int(system->channels.size())) {
    index = channelIndex;
    finishChannel(system->channels[size_t(index)]);
  } else {
    return SOUND_ERR_INVALID_HANDLE;
  }

  Channel& target = system->channels[size_t(index)];
  finishChannel(target);
  if (++target.serial == 0) {
    target.serial = 1;
  }
  target.active = true;
  target.paused = paused;
  target.sound = sound;
  target.volume = 1.0f;
  if (system->silent) {
    target.endTime = paused ? std::numeric_limits<double>::infinity() : system->now() + sound->data.length;
  } else {
    alSourcef(target.source, AL_GAIN, 1.0f);
    if (sound->data.streamed) {
      target.streamPending = true;
      system->wake.notify_one();
    } else {
      alSourcei(target.source, AL_BUFFER, ALint(sound->buffer));
      if (!paused) {
        alSourcePlay(target.source);
      }
    }
  }
  if (channel != nullptr) {
    *channel = reinterpret_cast<SoundChannel*>(encodeHandle(system->id, index, target.serial));
  }
  return SOUND_OK;
}

SoundResult soundChannelSetVolume(SoundChannel* channel, float volume) {
  bool current = false;
  const bool known = withChannel(channel, [&](SoundSystem& system, Channel& target, uint32_t serial) {
    current = target.serial == serial && channelBusy(system, target);
    if (current) {
      target.volume = std::clamp(volume, 0.0f, 1.0f);
      if (target.source != 0) {
        alSourcef(target.source, AL_GAIN, target.volume);
      }
    }
  });
  return known && current ? SOUND_OK : SOUND_ERR_INVALID_HANDLE;
}

SoundResult soundChannelIsPlaying(SoundChannel* channel, SoundBool* isPlaying) {
  bool playing = false;
  const bool known = withChannel(channel, [&](SoundSystem& system, Channel& target, uint32_t serial) {
    playing = target.serial == serial && channelBusy(system, target);
  });
  if (isPlaying != nullptr) {
    *isPlaying = playing ? 1 : 0;
  }
  return known ? SOUND_OK : SOUND_ERR_INVALID_HANDLE;
}

SoundResult soundChannelStop(SoundChannel* channel) {
  bool current = false;
  const bool known = withChannel(channel, [&](SoundSystem& system, Channel& target, uint32_t serial) {
    current = target.serial == serial && channelBusy(system, target);
    if (current) {
      finishChannel(target);
    }
  });
  return known && current ? SOUND_OK : SOUND_ERR_INVALID_HANDLE;
}

SoundResult soundRelease(Sound* sound) {
  if (sound == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  if (SoundSystem* system = sound->system) {
    std::lock_guard<std::mutex> lock(system->mutex);
    for (Channel& channel : system->channels) {
      if (channel.sound == sound) {
        finishChannel(channel);
      }
    }
    if (sound->buffer != 0) {
      alDeleteBuffers(1, &sound->buffer);
    }
    system->sounds.erase(sound);
  }
  delete sound;
  return SOUND_OK;
}

SoundResult soundSystemClose(SoundSystem* system) {
  if (system == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  {
    std::lock_guard<std::mutex> lock(system->mutex);
    system->quit = true;
  }
  system->wake.notify_all();
  if (system->streamer.joinable()) {
    system->streamer.join();
  }
  std::lock_guard<std::mutex> lock(system->mutex);
  closeLocked(*system);
  return SOUND_OK;
}

SoundResult soundSystemRelease(SoundSystem* system) {
  if (system == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  {
    std::lock_guard<std::mutex> registryLock(registryMutex);
    registry.erase(system->id);
  }
  soundSystemClose(system);
  {
    std::lock_guard<std::mutex> lock(system->mutex);
    for (Sound* sound : system->sounds) {
      sound->system = nullptr;
    }
    system->sounds.clear();
  }
  delete system;
  return SOUND_OK;
}

SoundResult soundSystemSetClock(SoundSystem* system, SoundClock clock, void* user) {
  if (system == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  std::lock_guard<std::mutex> lock(system->mutex);
  system->clock = clock != nullptr ? clock : steadySeconds;
  system->clockUser = clock != nullptr ? user : nullptr;
  return SOUND_OK;
}

SoundResult soundSystemIsSilent(SoundSystem* system, SoundBool* silent) {
  if (system == nullptr || silent == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  std::lock_guard<std::mutex> lock(system->mutex);
  *silent = system->silent ? 1 : 0;
  return SOUND_OK;
}

SoundResult soundGetLength(Sound* sound, double* seconds) {
  if (sound == nullptr || seconds == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  *seconds = sound->data.length;
  return SOUND_OK;
}

SoundResult soundChannelGetIndex(SoundChannel* channel, int* index) {
  if (channel == nullptr || index == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  *index = decodeHandle(channel).index;
  return SOUND_OK;
}

SoundResult soundChannelGetPlay(SoundChannel* channel, Sound** sound, float* volume) {
  if (sound == nullptr || volume == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  bool found = false;
  withChannel(channel, [&](SoundSystem& system, Channel& target, uint32_t serial) {
    if (target.serial == serial && channelBusy(system, target)) {
      *sound = target.sound;
      *volume = target.volume;
      found = true;
    }
  });
  return found ? SOUND_OK : SOUND_ERR_INVALID_HANDLE;
}

SoundResult soundChannelGetStreamInfo(SoundChannel* channel, SoundStreamInfo* info) {
  if (info == nullptr) {
    return SOUND_ERR_INVALID_HANDLE;
  }
  *info = SoundStreamInfo{0, 0, 0};
  bool found = false;
  withChannel(channel, [&](SoundSystem& system, Channel& target, uint32_t serial) {
    if (target.serial == serial && channelBusy(system, target) && target.stream) {
      *info = SoundStreamInfo{target.stream->distinctBuffers(), target.stream->queuedBuffers(),
                              target.stream->refills()};
      found = true;
    }
  });
  return found ? SOUND_OK : SOUND_ERR_INVALID_HANDLE;
}
