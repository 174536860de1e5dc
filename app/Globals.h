// The application's global state: window size, timing, render switches, camera, light and HUD matrices,
// and the names of the GL objects made at start-up. Start-up, the frame update, the renderer, the camera
// and the input callbacks all read and write these directly.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "config/Settings.h"

// The settings in force: the defaults, then the settings file, then the command line. The frame rendering
// reads the quality from them at every frame.
extern Settings settings;

// Window, time and frame rate
extern int windowWidth;
extern int windowHeight;
extern double lastFrameTime;
extern double pauseStartTime;
extern double frameCount;
extern double fpsLastTime;
extern double msPerFrame;
extern double framesPerSecond;

// Input and view settings
extern bool spectatorMode;
extern bool fpsMode;
extern bool wireframeMode;
extern GLint textureFilter;
extern GLint mipmapMode;
extern int mouseX;
extern int mouseY;

// Matrices and light
extern glm::mat4 projectionMatrix;
extern glm::mat4 viewMatrix;
extern glm::mat4 tiltMatrix;
extern glm::mat4 hudProjection;
extern glm::vec3 lightPosition;
extern glm::mat4 lightViewMatrix;
extern glm::mat4 lightProjectionMatrix;
extern glm::mat4 shadowTextureMatrix;
extern const float blurKernel[9];
extern const glm::vec2 blurOffsetsHorizontal[9];
extern const glm::vec2 blurOffsetsVertical[9];

// Shader objects and programs
extern GLuint simpleVertexShader, hudVertexShader, glowVertexShader, shadow1VertexShader, shadow2VertexShader;
extern GLuint simpleFragmentShader, hudFragmentShader, glowFragmentShader, shadow1FragmentShader,
    shadow2FragmentShader;
extern GLuint simpleProgram, hudProgram, glowProgram, shadow1Program, shadow2Program;

// Texture tables and render targets
constexpr int kTextureSlots = 21;
extern GLuint textureTable[kTextureSlots];
extern GLuint glowTextureTable[kTextureSlots];
extern GLuint glowFramebuffer;
extern GLuint glowDepthRenderbuffer;
extern GLuint shadowFramebuffer;
extern GLuint shadowDepthTexture;

// The full-screen quad, built once at start-up
extern float screenQuadVertices[16];
extern float screenQuadTexCoords[8];
extern unsigned int screenQuadIndices[6];
