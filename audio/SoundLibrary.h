// Our small sound library: a system of 32 mixing channels that plays loaded or streamed sounds.
// Calls never throw and never print; a failed call only means that nothing is heard.
#pragma once

struct SoundSystem;   // the library instance: device, channels, decoders
struct Sound;         // one loaded sound (effects decoded whole, tracker modules streamed)
struct SoundChannel;  // handle of one play of a sound on one channel

using SoundBool = int;

enum SoundResult {
  SOUND_OK = 0,
  SOUND_ERR_INVALID_HANDLE,
  SOUND_ERR_FILE_NOT_FOUND,
  SOUND_ERR_FORMAT,
  SOUND_ERR_NO_FREE_CHANNEL,
  SOUND_ERR_UNINITIALIZED,
};

constexpr int kSoundInitNormal = 0;   // init flags: nothing special
constexpr int kSoundModeDefault = 0;  // sound mode: play once, no looping
constexpr int kSoundChannelFree = -1; // let the library pick a channel that is not playing

SoundResult soundSystemCreate(SoundSystem** system);
SoundResult soundSystemInit(SoundSystem* system, int maxChannels, int flags);
// On failure *sound is set to null; a null sound plays nothing.
SoundResult soundSystemCreateSound(SoundSystem* system, const char* path, int mode, Sound** sound);
// Starts the sound on a free channel and stores the handle of that play in *channel.
SoundResult soundSystemPlaySound(SoundSystem* system, int channelIndex, Sound* sound, bool paused,
                                 SoundChannel** channel);
SoundResult soundChannelSetVolume(SoundChannel* channel, float volume);
// *isPlaying becomes 0 once the play has ended or been stopped; a null handle answers 0.
SoundResult soundChannelIsPlaying(SoundChannel* channel, SoundBool* isPlaying);
SoundResult soundChannelStop(SoundChannel* channel);
SoundResult soundRelease(Sound* sound);
SoundResult soundSystemClose(SoundSystem* system);
SoundResult soundSystemRelease(SoundSystem* system);

// Hooks for tests and tools; the game itself does not call them.
constexpr int kSoundInitSilent = 0x10000;  // init flag: open no output device, plays last their length by the clock
using SoundClock = double (*)(void* user); // monotonic seconds
// Every later soundSystemInit behaves as if kSoundInitSilent had been given.
void soundForceSilent(bool silent);
// Replaces the steady clock that times plays when there is no output device.
SoundResult soundSystemSetClock(SoundSystem* system, SoundClock clock, void* user);
SoundResult soundSystemIsSilent(SoundSystem* system, SoundBool* silent);
SoundResult soundGetLength(Sound* sound, double* seconds);
SoundResult soundChannelGetIndex(SoundChannel* channel, int* index);
// The sound and the volume (1 until set) of a play that is still going; both left alone otherwise.
SoundResult soundChannelGetPlay(SoundChannel* channel, Sound** sound, float* volume);
struct SoundStreamInfo {
  int distinctBuffers;  // different buffer names ever queued on this channel's source
  int queuedBuffers;    // buffers queued right now
  long long refills;    // chunks rendered since this play started
};
// Only for the current play of a streamed sound on a device.
SoundResult soundChannelGetStreamInfo(SoundChannel* channel, SoundStreamInfo* info);
