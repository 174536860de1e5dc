// Definitions and static initial values of the application globals.
#include "app/Globals.h"

Settings settings;

int windowWidth = 1024;
int windowHeight = 768;
double lastFrameTime = 0.0;
double pauseStartTime = 0.0;
double frameCount = 0.0;
double fpsLastTime = 0.0;
double msPerFrame = 0.0;
double framesPerSecond = 0.0;

bool spectatorMode = false;
bool fpsMode = false;
bool wireframeMode = false;
GLint textureFilter = GL_LINEAR;
GLint mipmapMode = GL_LINEAR_MIPMAP_LINEAR;
int mouseX = 0;
int mouseY = 0;

glm::mat4 projectionMatrix(1.0f);
glm::mat4 viewMatrix(1.0f);
glm::mat4 tiltMatrix(1.0f);
glm::mat4 hudProjection(1.0f);
glm::vec3 lightPosition(-10.0f, 40.0f, 10.0f);
glm::mat4 lightViewMatrix(1.0f);
glm::mat4 lightProjectionMatrix(1.0f);
glm::mat4 shadowTextureMatrix(1.0f);

const float blurKernel[9] = {0.05f, 0.09f, 0.12f, 0.15f, 0.16f, 0.15f, 0.12f, 0.09f, 0.05f};
const glm::vec2 blurOffsetsHorizontal[9] = {
    {-4.0f / 256, 0.0f}, {-3.0f / 256, 0.0f}, {-2.0f / 256, 0.0f}, {-1.0f / 256, 0.0f}, {0.0f, 0.0f},
    {1.0f / 256, 0.0f},  {2.0f / 256, 0.0f},  {3.0f / 256, 0.0f},  {4.0f / 256, 0.0f}};
const glm::vec2 blurOffsetsVertical[9] = {
    {0.0f, -4.0f / 256}, {0.0f, -3.0f / 256}, {0.0f, -2.0f / 256}, {0.0f, -1.0f / 256}, {0.0f, 0.0f},
    {0.0f, 1.0f / 256},  {0.0f, 2.0f / 256},  {0.0f, 3.0f / 256},  {0.0f, 4.0f / 256}};

GLuint simpleVertexShader = 0, hudVertexShader = 0, glowVertexShader = 0, shadow1VertexShader = 0,
       shadow2VertexShader = 0;
GLuint simpleFragmentShader = 0, hudFragmentShader = 0, glowFragmentShader = 0, shadow1FragmentShader = 0,
       shadow2FragmentShader = 0;
GLuint simpleProgram = 0, hudProgram = 0, glowProgram = 0, shadow1Program = 0, shadow2Program = 0;

GLuint textureTable[kTextureSlots] = {};
GLuint glowTextureTable[kTextureSlots] = {};
GLuint glowFramebuffer = 0;
GLuint glowDepthRenderbuffer = 0;
GLuint shadowFramebuffer = 0;
GLuint shadowDepthTexture = 0;

float screenQuadVertices[16] = {};
float screenQuadTexCoords[8] = {};
unsigned int screenQuadIndices[6] = {};
