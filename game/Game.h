// The game world: the board, the object lists, money, match state, the level's waves, the tower model
// cache, sounds, text and HUD. One instance, `game`, lives for the whole run.
// Its operations are split by concern over GameWorld, GameLevel, GameRules, GameBuild, GameDraw and GameSound.
#pragma once

#include <GL/glew.h>

#include <glm/glm.hpp>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/Difficulty.h"
#include "game/Level.h"
#include "game/Rules.h"
#include "game/WaveCall.h"
#include "audio/SoundLibrary.h"
#include "hud/Hud.h"
#include "hud/Overlay.h"
#include "hud/TextRenderer.h"
#include "game/ScreenMessage.h"
#include "platform/Platform.h"

class Map;
class Tower;
class Enemy;
class File;
class SpawnPoint;
struct Md2Model;

enum GameState { Running = 0, Paused = 1, Lost = 2, Won = 3 };

// What one pass of the frame draws with: its program, whether the spawn points and their paths take part
// (they cast no shadow), whether it is the frame's last draw into the window (the overlay shows there alone),
// and the light's position for the lighting uniforms.
struct DrawPass {
  GLuint program = 0;
  bool spawnPoints = true;
  bool finalPass = false;
  const glm::vec3* light = nullptr;
};

// The world owns the board and every object in its lists; removing an object from its list destroys it.
// The cursors, the selection, the active texture table, the tower model handed out and the light only point
// at things owned elsewhere.
class Game {
 public:
  std::unique_ptr<Map> map;
  std::list<std::unique_ptr<Tower>> towers;
  Tower* currentTower = nullptr;
  std::list<std::unique_ptr<Enemy>> enemies;
  Enemy* currentEnemy = nullptr;
  std::list<std::unique_ptr<File>> files;
  File* currentFile = nullptr;
  std::list<std::unique_ptr<SpawnPoint>> spawnPoints;
  SpawnPoint* currentSpawnPoint = nullptr;
  const GLuint* activeTextures = nullptr;
  GLint minFilter = 0;
  GLint magFilter = 0;
  std::map<std::string, std::unique_ptr<Md2Model>> towerModels;
  Md2Model* towerModel = nullptr;
  int gameState = Running;
  int resources = 1000;
  int fileRadius = 0;
  // The level every match is built from; its spawn points walk its wave lists, so it changes only while
  // the world holds no spawn point.
  Level level = classicLevel();
  // Held for the match and kept by a new one: the enemies' hit points and the starting money follow it.
  Difficulty difficulty = Difficulty::Normal;
  // Seconds this match's waves start earlier than the level's schedule, by the waves called early; the
  // level itself stays as written, so the next match starts on its own schedule.
  double waveShift = 0.0;
  double superGlowReadyTime = kSuperGlowCooldown;
  TextRenderer textRenderer;
  Hud hud;
  ScreenMessage screenMessage = {" ", 0.0};
  // The text of a screen message made up during the match, which screenMessage points into.
  std::string screenMessageText;
  bool frustumCulling = false;
  Overlay overlay;
  bool useVbo = false;
  bool selectionMode = true;
  // The tower kind board clicks build outside selection mode: empty until a tower button is clicked.
  std::string selectedTowerType;
  Tower* selectedTower = nullptr;
  // Where clicks go again when a new match follows a lost one (a lost match unhooks them).
  platform::MouseButtonCallback clickHandler = nullptr;
  // Handles of the sound library: made by its create calls, handed back to it by releaseSound.
  SoundSystem* soundSystem = nullptr;
  Sound* musicSound = nullptr;
  Sound* laserSound = nullptr;
  Sound* superGlowSound = nullptr;
  Sound* victorySound = nullptr;
  Sound* gameOverSound = nullptr;
  SoundChannel* musicChannel = nullptr;
  SoundChannel* laserChannel = nullptr;
  SoundChannel* superGlowChannel = nullptr;
  SoundChannel* endChannel = nullptr;
  SoundBool isPlaying = 0;
  bool soundMuted = false;  // set before initSound: no output device is opened
  // The player's volumes, 1 for the game's own: music and end tunes, and the laser and SuperGlow sounds.
  float musicVolume = 1.0f;
  float effectsVolume = 1.0f;

  Game();
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // World and level (GameWorld.cpp, GameLevel.cpp)
  void createMap(GLuint texture);
  // The level's spawn points and starting money.
  void buildLevel();
  void createFiles();
  // Deletes every tower, enemy, file and spawn point; the board stays.
  void clearMatchObjects();
  // Starts the match again: the same level and files anew, no towers or enemies, the level's money and
  // SuperGlow as at start-up, the end tune stopped and the match clock at 0 and normal speed. The player's
  // switches stay.
  void newMatch();

  // Match rules (GameRules.cpp)
  void update(double dt);
  // One frame of the match at the match clock's speed: that many updates of dt each.
  void advance(double dt);
  void spawnEnemy(float* path, std::string kind, float x, float z, int pathLength, GLuint texture);

  // The waves of this match (GameWaves.cpp). The times its waves start, as Level::waveStartTimes gives the
  // level's, moved by the waves called early: what the wave line counts down to.
  std::vector<double> waveStartTimes() const;
  // Starts the next wave now and moves every later one as much earlier, pays the bonus, prints it and shows
  // it. Nothing while the match is not running or once no wave is left to start.
  std::optional<WaveCall> callNextWaveEarly();

  // The tower step of update: animate every tower and let it fire (GameTowers.cpp)
  void fireTowers(double dt);
  // The selected tower's next target priority, printed; nothing without a selected tower or once the match
  // is over.
  void cycleTargeting();

  // Drawing one view of the world (GameDraw.cpp): the world, then the texts and the HUD over it.
  void draw(const DrawPass& pass, glm::mat4 projection, glm::mat4 view);
  // The music step, the lighting and camera uniforms and every scene object.
  void drawWorld(const DrawPass& pass, glm::mat4 projection, glm::mat4 view);
  // Money, the end of the match, the last message and the HUD, in HUD pixels.
  void drawInterface(const DrawPass& pass);

  // Building (GameBuild.cpp)
  void buildTower(std::string kind, float x, float z, GLuint skinTexture, GLuint texture5, GLuint markTexture);
  void loadTowerModel(std::string name);
  void removeSelectedTowers();

  // Render switches flipped by the keyboard
  void toggleFrustumCulling();
  void toggleVbo();

  // Sound (GameSound.cpp)
  void initSound();
  void musicStep();
  // Starts a sound on a free channel, keeps that play's handle in *channel and sets its volume.
  void playEffect(Sound* sound, SoundChannel** channel, float volume);
  // New volumes for music and effects; the music and end tune playing now change at once.
  void setVolumes(float music, float effects);
  // Destructor steps 3 and 4: the five sounds, then the sound system.
  void releaseSound();
};

extern Game game;
