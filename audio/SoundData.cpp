// Loads sound files: tracker modules through libopenmpt, sampled audio through libsndfile.
#include "audio/SoundData.h"

#include <libopenmpt/libopenmpt.h>
#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string lowerExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && slash > dot)) {
    return std::string();
  }
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return ext;
}

bool isSampledExtension(const std::string& ext) {
  static const char* const kSampled[] = {"wav", "mp3", "ogg", "oga", "flac", "aif", "aiff", "au", "opus"};
  return std::find_if(std::begin(kSampled), std::end(kSampled), [&](const char* e) { return ext == e; }) !=
         std::end(kSampled);
}

}  // namespace

static bool loadModule(const std::vector<char>& bytes, SoundData& data) {
  openmpt_module* module = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  if (module == nullptr) {
    return false;
  }
  data.streamed = true;
  data.moduleBytes = bytes;
  data.channels = 2;
  data.sampleRate = 0;
  data.length = std::max(0.0, openmpt_module_get_duration_seconds(module));
  openmpt_module_destroy(module);
  return true;
}

static bool loadSampled(const char* path, SoundData& data) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path, SFM_READ, &info);
  if (file == nullptr) {
    return false;
  }
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(file);
    return false;
  }
  // Float files would otherwise clip at the integer limits instead of being scaled to them.
  sf_command(file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
  const int fileChannels = info.channels;
  const int keep = std::min(fileChannels, 2);
  std::vector<int16_t> chunk(size_t(4096) * size_t(fileChannels));
  data.samples.clear();
  for (;;) {
    const sf_count_t frames = sf_readf_short(file, chunk.data(), 4096);
    if (frames <= 0) {
      break;
    }
    for (sf_count_t f = 0; f < frames; ++f) {
      for (int c = 0; c < keep; ++c) {
        data.samples.push_back(chunk[size_t(f) * size_t(fileChannels) + size_t(c)]);
      }
    }
  }
  sf_close(file);
  data.streamed = false;
  data.channels = keep;
  data.sampleRate = info.samplerate;
  data.length = double(data.samples.size() / size_t(keep)) / double(info.samplerate);
  return true;
}

SoundResult SoundData::load(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return SOUND_ERR_FILE_NOT_FOUND;
  }
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();

  const std::string ext = lowerExtension(path);
  const bool trackerFirst = !isSampledExtension(ext) && openmpt_is_extension_supported(ext.c_str());
  if (trackerFirst) {
    if (loadModule(bytes, *this) || loadSampled(path, *this)) {
      return SOUND_OK;
    }
  } else if (loadSampled(path, *this) || loadModule(bytes, *this)) {
    return SOUND_OK;
  }
  return SOUND_ERR_FORMAT;
}
