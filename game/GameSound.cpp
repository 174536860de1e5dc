// The game's sounds: loading them at start-up, the music step that opens every draw call, effect plays at
// their fixed volumes times the player's, and the release at exit. A failed call only means that something
// is not heard.
#include "game/Game.h"

namespace {

constexpr float kMusicVolume = 0.8f;
constexpr float kEndVolume = 0.8f;

}  // namespace

void Game::initSound() {
  soundSystemCreate(&soundSystem);
  soundSystemInit(soundSystem, 32, soundMuted ? kSoundInitSilent : kSoundInitNormal);
  soundSystemCreateSound(soundSystem, "sound/bricks.xm", kSoundModeDefault, &musicSound);
  soundSystemCreateSound(soundSystem, "sound/Laser sound 1.mp3", kSoundModeDefault, &laserSound);
  soundSystemCreateSound(soundSystem, "sound/teleport_activate.mp3", kSoundModeDefault, &superGlowSound);
  soundSystemCreateSound(soundSystem, "sound/victory_.xm", kSoundModeDefault, &victorySound);
  soundSystemCreateSound(soundSystem, "sound/game_over.mod", kSoundModeDefault, &gameOverSound);
}

void Game::playEffect(Sound* sound, SoundChannel** channel, float volume) {
  soundSystemPlaySound(soundSystem, kSoundChannelFree, sound, false, channel);
  soundChannelSetVolume(*channel, volume);
}

void Game::setVolumes(float music, float effects) {
  musicVolume = music;
  effectsVolume = effects;
  soundChannelSetVolume(musicChannel, kMusicVolume * musicVolume);
  soundChannelSetVolume(endChannel, kEndVolume * musicVolume);
}

// Once the match is over the music is started and stopped again on every call while the end tune repeats.
void Game::musicStep() {
  soundChannelIsPlaying(musicChannel, &isPlaying);
  const bool over = gameState == Lost || gameState == Won;
  if (isPlaying && !over) {
    return;
  }
  // A new play goes to a free channel, so the music still running when the match ended must be stopped
  // here or it would go on under the end tune.
  if (over) {
    soundChannelStop(musicChannel);
  }
  playEffect(musicSound, &musicChannel, kMusicVolume * musicVolume);
  if (gameState == Lost) {
    soundChannelStop(musicChannel);
    soundChannelIsPlaying(endChannel, &isPlaying);
    if (!isPlaying) {
      playEffect(gameOverSound, &endChannel, kEndVolume * musicVolume);
    }
  } else if (gameState == Won) {
    soundChannelStop(musicChannel);
    soundChannelIsPlaying(endChannel, &isPlaying);
    if (!isPlaying) {
      playEffect(victorySound, &endChannel, kEndVolume * musicVolume);
    }
  }
}

void Game::releaseSound() {
  soundRelease(musicSound);
  soundRelease(laserSound);
  soundRelease(superGlowSound);
  soundRelease(victorySound);
  soundRelease(gameOverSound);
  soundSystemClose(soundSystem);
  soundSystemRelease(soundSystem);
  musicSound = laserSound = superGlowSound = victorySound = gameOverSound = nullptr;
  soundSystem = nullptr;
}
