// Builds the five shader programs from the ten GLSL files under shader/, reporting every step on the console.
#pragma once

#include <GL/glew.h>

#include <string>

// The whole file as one string; a file that cannot be opened reads as an empty source.
std::string readShaderSource(const char* path);

// Compiles one shader from a file and prints successMessage or failurePrefix followed by the driver's log.
GLuint compileShaderFile(GLenum type, const char* path, const char* successMessage, const char* failurePrefix);

// Links a program from two shaders with its fragment output bound to colour number 0, and reports.
GLuint linkShaderProgram(GLuint vertexShader, GLuint fragmentShader, const char* fragmentOutput,
                         const char* successMessage, const char* failurePrefix);

// A program of one of the vertex shaders above and a fragment shader file, built without a console line (the
// start-up lines stay those of the five programs) for a pass that only some settings draw. A failure is said
// in one line, and the answer is 0.
GLuint buildQuietProgram(GLuint vertexShader, const char* fragmentPath, const char* output);

// The shader objects and the five programs made from them at start-up: the plain lit program, the HUD and
// text program, the blur, the depth-only shadow program and the lit and shadowed program.
struct ShaderPrograms {
  GLuint simpleVertexShader = 0, hudVertexShader = 0, glowVertexShader = 0, shadow1VertexShader = 0,
         shadow2VertexShader = 0;
  GLuint simpleFragmentShader = 0, hudFragmentShader = 0, glowFragmentShader = 0, shadow1FragmentShader = 0,
         shadow2FragmentShader = 0;
  GLuint simpleProgram = 0, hudProgram = 0, glowProgram = 0, shadow1Program = 0, shadow2Program = 0;
};

extern ShaderPrograms shaders;

// The five vertex shaders, the five fragment shaders, then the five programs, in that order.
void buildShaderPrograms();
