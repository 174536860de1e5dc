// Start-up, main loop and shutdown. Start-up reports each step on the console in a fixed order that
// players (and our tests) read to see how far the program got.
#include "app/Application.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "platform/Core.h"
#include "platform/FrameClock.h"
#include "render/Light.h"
#include "render/RenderTargets.h"
#include "config/Settings.h"
#include "app/InputRouter.h"
#include "app/HelpScreen.h"
#include "app/LevelStart.h"
#include "app/LevelsScreen.h"
#include "app/OptionsScreen.h"
#include "game/MatchRecords.h"
#include "app/QuitSignals.h"
#include "app/ReplayWatch.h"
#include "app/ResumeScreen.h"
#include "render/RenderFrame.h"
#include "render/ShaderPrograms.h"
#include "render/TextureCatalogue.h"
#include "app/Window.h"
#include "game/Game.h"
#include "game/MatchRecording.h"
#include "input/Camera.h"
#include "platform/Platform.h"

void consolePause() {
  std::cout << "Press any key to continue . . ." << std::endl;
  if (!isatty(STDIN_FILENO)) return;
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  termios raw = saved;
  raw.c_lflag &= ~(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  char key = 0;
  ssize_t got = read(STDIN_FILENO, &key, 1);
  (void)got;
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

void initApplication(const LaunchOptions& options) {
  // Initialization: window and context. A size from the settings is the window's only, as if the player had
  // resized it: the HUD keeps its 1024 x 768 layout, and the size callback reports the real size.
  if (platform::init()) std::cout << "GLFW 2.7 SVN 2010-03-16 Successfull " << std::endl;
  if (!platform::openWindow(settings.width, settings.height, 24, 8, true, settings.fullscreen)) {
    std::cout << "GLFW Error: Initialization Failed. " << std::endl;
    platform::terminate();
    consolePause();
    std::exit(1);
  }
  platform::setWindowTitle("Varrow");
  platform::enableMouseCursor();
  platform::setSwapInterval(settings.vsync ? 1 : 0);

  GLenum glewResult = glewInit();
  if (glewResult != GLEW_OK) {
    std::cout << "GLEW Error: " << reinterpret_cast<const char*>(glewGetErrorString(glewResult)) << std::endl;
    consolePause();
    std::exit(1);
  }
  std::cout << "GLEW 1.5.3 Successfull " << std::endl;
  if (glewIsSupported("GL_VERSION_3_2")) std::cout << "OpenGL 3.2 Successfull " << std::endl;
  std::cout << "Mathematics by GLM 0.8.4.4  " << std::endl;

  // Initialization: GL state, shaders, matrices
  setInitialGlState();
  buildShaderPrograms();
  initCamera();
  light.lightProjectionMatrix = glm::perspective(glm::radians(120.0f), 1.0f, 0.1f, 150.0f);
  camera.hudProjection = glm::ortho(static_cast<float>(-(core.windowWidth / 2)), core.windowWidth * 0.5f,
                             static_cast<float>(-(core.windowHeight / 2)), core.windowHeight * 0.5f, -1.0f, 1.0f);

  // Initialization: callbacks (the size callback fires once at registration)
  platform::setKeyCallback(routeKey);
  platform::setMouseButtonCallback(routeMouseButton);
  platform::setWindowSizeCallback(onWindowSize);

  // Initialization: textures, render targets, full-screen quad
  loadTextureTables();
  createRenderTargets();
  createScreenQuad();

  frameClock.lastFrameTime = platform::getTime();

  // Initialization: the game world
  game.createMap(textures.textureTable[SlotBoard]);
  applyTextureTable(textures.textureTable);
  game.textRenderer.init(shaders.hudProgram, textures.textureTable[SlotFont], camera.hudProjection);
  game.hud.init(shaders.hudProgram, camera.hudProjection);

  game.clickHandler = routeMouseButton;
  game.difficulty = settings.difficulty;
  game.buildLevel();
  game.soundMuted = options.mute;
  game.setVolumes(settings.musicVolume / 100.0f, settings.effectsVolume / 100.0f);
  game.initSound();
  game.createFiles();
  game.overlay.shown = settings.overlay;
}

void shutdownApplication() {
  glDeleteShader(shaders.simpleVertexShader);
  glDeleteShader(shaders.simpleFragmentShader);
  glDeleteProgram(shaders.simpleProgram);
  glDeleteProgram(shaders.shadow1Program);
  glDeleteProgram(shaders.shadow2Program);
  glDeleteTextures(kTextureSlots, textures.textureTable);
  glDeleteFramebuffers(1, &renderTargets.shadowFramebuffer);
  glDeleteFramebuffers(1, &renderTargets.glowFramebuffer);
  glDeleteRenderbuffers(1, &renderTargets.glowDepthRenderbuffer);
  glDeleteTextures(1, &renderTargets.shadowDepthTexture);
  releaseSceneTarget();
  optionsScreen.release();
  levelsScreen.release();
  helpScreen.release();
  resumeScreen.release();
  platform::terminate();
}

void renderFrame() {
  drawFrame();
  replayWatch.draw();
  inputRouter.drawScreens();
  glUseProgram(0);
  platform::swapBuffers();
}

int runApplication(const LaunchOptions& options) {
  // The settings: the defaults, then the file, then the command line for this run only.
  const std::string settingsPath = settingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  const SettingsRead fromFile = readSettingsFile(settingsPath);
  for (const std::string& warning : fromFile.warnings) std::cerr << warning << std::endl;
  settings = applyCommandLine(fromFile.settings, options);
  optionsScreen.keepIn(settingsPath, fromFile.settings);
  inputRouter.removeAllScreens();
  inputRouter.addScreen(&optionsScreen);
  // A replay being watched plays its own level to its end: no other match is started over it.
  if (!replayWatch.active()) inputRouter.addScreen(&levelsScreen);
  inputRouter.addScreen(&helpScreen);
  inputRouter.addScreen(&resumeScreen);
  inputRouter.watchOnly(replayWatch.active());
  catchQuitSignals();
  matchRecords.keepIn(replayWatch.active() ? "" : recordsFilePath());
  // --level plays its level for this run; otherwise the level last started from the levels screen.
  const bool remembered = options.level.empty() && !replayWatch.active() && !fromFile.settings.level.empty() &&
                          playRememberedLevel(fromFile.settings.level, std::cerr);
  // Initialization
  initApplication(options);
  if (!options.level.empty() || remembered) std::cout << "Level: " << game.level.name << std::endl;
  if (replayWatch.active()) {
    std::cout << replayWatch.line() << std::endl;
  } else {
    // Every match from here on is recorded; one left before its end is offered over the first frame.
    const char* home = std::getenv("HOME");
    matchRecording.enable(replayFolder(std::getenv("XDG_DATA_HOME"), home), lastMatchPath(std::getenv("XDG_STATE_HOME"), home));
    matchRecording.begin(game.level, game.difficulty);
    resumeScreen.offer(matchRecording.lastMatchFile());
  }
  // Main loop: a frame that has begun is always finished before Escape, a close or a quit signal is noticed.
  do {
    updateFrame();
    renderFrame();
  } while (!inputRouter.escapeQuits(platform::getKey(platform::KEY_ESC) == platform::PRESS) &&
           platform::windowOpened() && !quitSignalled());
  // A window closed over the options screen keeps what the player changed there.
  if (optionsScreen.isOpen()) optionsScreen.close();
  matchRecording.quit(game);
  // De-Initialization
  shutdownApplication();
  return 0;
}
