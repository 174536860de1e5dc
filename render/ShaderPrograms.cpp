// Reading, compiling and linking of the game's shader programs, with the console reports players and
// modders rely on to find a broken shader file.
#include "render/ShaderPrograms.h"

#include <fstream>
#include <iostream>
#include <iterator>


ShaderPrograms shaders;

std::string readShaderSource(const char* path) {
  std::ifstream in(path, std::ios::in | std::ios::binary);
  if (!in) return std::string();
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

// The log is printed up to its terminating zero, whatever length the driver claimed.
void printLog(const char* prefix, const std::string& log) {
  std::cout << prefix << log.c_str() << std::endl;
}

}  // namespace

GLuint compileShaderFile(GLenum type, const char* path, const char* successMessage, const char* failurePrefix) {
  std::string source = readShaderSource(path);
  GLuint shader = glCreateShader(type);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint status = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status != 0 && glIsShader(shader)) {
    std::cout << successMessage << std::endl;
    return shader;
  }
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::string log(length > 0 ? length : 0, ' ');
  if (length > 0) glGetShaderInfoLog(shader, length, nullptr, &log[0]);
  printLog(failurePrefix, log);
  return shader;
}

GLuint linkShaderProgram(GLuint vertexShader, GLuint fragmentShader, const char* fragmentOutput,
                         const char* successMessage, const char* failurePrefix) {
  GLuint program = glCreateProgram();
  glAttachShader(program, vertexShader);
  glAttachShader(program, fragmentShader);
  // Only takes effect at the next link, so it must come first.
  glBindFragDataLocation(program, 0, fragmentOutput);
  glLinkProgram(program);
  GLint status = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &status);
  if (status != 0 && glIsProgram(program)) {
    std::cout << successMessage << std::endl;
    return program;
  }
  GLint length = 0;
  glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
  std::string log(length > 0 ? length : 0, ' ');
  if (length > 0) glGetProgramInfoLog(program, length, nullptr, &log[0]);
  printLog(failurePrefix, log);
  return program;
}

void buildShaderPrograms() {
  shaders.simpleVertexShader = compileShaderFile(GL_VERTEX_SHADER, "shader/simple_shader.vert",
                                         "Vertex-shader loaded and compiled successfully.",
                                         "Vertex-shader compile error:\n\n");
  shaders.hudVertexShader = compileShaderFile(GL_VERTEX_SHADER, "shader/hud_shader.vert",
                                      "Hud Vertex-shader loaded and compiled successfully.",
                                      "Hud Vertex-shader compile error:\n\n");
  shaders.glowVertexShader = compileShaderFile(GL_VERTEX_SHADER, "shader/glow_shader.vert",
                                       "Glow Vertex-shader loaded and compiled successfully.",
                                       "Glow Vertex-shader compile error:\n\n");
  shaders.shadow1VertexShader = compileShaderFile(GL_VERTEX_SHADER, "shader/shadow1.vert",
                                          "Shadow-Mapping 1 Vertex-shader loaded and compiled successfully.",
                                          "Shadow-Mapping 1 Vertex-Shader compile error:\n\n");
  shaders.shadow2VertexShader = compileShaderFile(GL_VERTEX_SHADER, "shader/shadow2.vert",
                                          "Shadow-Mapping 2 Vertex-shader loaded and compiled successfully.",
                                          "Shadow-Mapping 2 Vertex-Shader compile error:\n\n");

  shaders.simpleFragmentShader = compileShaderFile(GL_FRAGMENT_SHADER, "shader/simple_shader.frag",
                                           "Fragment-shader loaded and compiled successfully.",
                                           "Fragment-shader compile error:\n\n");
  shaders.hudFragmentShader = compileShaderFile(GL_FRAGMENT_SHADER, "shader/hud_shader.frag",
                                        "Hud Fragment-shader loaded and compiled successfully.",
                                        "Hud Fragment-shader compile error:\n\n");
  shaders.glowFragmentShader = compileShaderFile(GL_FRAGMENT_SHADER, "shader/glow_shader.frag",
                                         "Glow Fragment-shader loaded and compiled successfully.",
                                         "Glow Fragment-shader compile error:\n\n");
  shaders.shadow1FragmentShader = compileShaderFile(GL_FRAGMENT_SHADER, "shader/shadow1.frag",
                                            "Shadow Mapping 1 Fragment-Shader loaded and compiled successfully.",
                                            "Shadow Mapping 1 Fragment-Shader compile error:\n\n");
  shaders.shadow2FragmentShader = compileShaderFile(GL_FRAGMENT_SHADER, "shader/shadow2.frag",
                                            "Shadow Mapping 2 Fragment-Shader loaded and compiled successfully.",
                                            "Shadow Mapping 2 Fragment-Shader compile error:\n\n");

  shaders.simpleProgram = linkShaderProgram(shaders.simpleVertexShader, shaders.simpleFragmentShader, "fragColor",
                                    "Shader-program linked successfully.", "Shader-program link error:\n\n");
  shaders.hudProgram = linkShaderProgram(shaders.hudVertexShader, shaders.hudFragmentShader, "hudColor",
                                 "Hud Shader-program linked successfully.", "Hud Shader-program link error:\n\n");
  shaders.glowProgram = linkShaderProgram(shaders.glowVertexShader, shaders.glowFragmentShader, "outColor",
                                  "Glow Shader-program linked successfully.\n",
                                  "Glow Shader-program link error:\n\n");
  shaders.shadow1Program = linkShaderProgram(shaders.shadow1VertexShader, shaders.shadow1FragmentShader, "shadowColor",
                                     "Shadow 1 Shader-program linked successfully.\n",
                                     "Shadow 1 Shader-program link error:\n\n");
  shaders.shadow2Program = linkShaderProgram(shaders.shadow2VertexShader, shaders.shadow2FragmentShader, "shadow2Color",
                                     "Shadow 2 Shader-program linked successfully.\n",
                                     "Shadow 2 Shader-program link error:\n\n");
}

GLuint buildQuietProgram(GLuint vertexShader, const char* fragmentPath, const char* output) {
  const std::string source = readShaderSource(fragmentPath);
  const char* text = source.c_str();
  GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
  glShaderSource(fragment, 1, &text, nullptr);
  glCompileShader(fragment);
  GLuint program = glCreateProgram();
  glAttachShader(program, vertexShader);
  glAttachShader(program, fragment);
  glBindFragDataLocation(program, 0, output);
  glLinkProgram(program);
  glDeleteShader(fragment);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked) return program;
  std::cout << fragmentPath << " could not be built; the passes it draws are left out or drawn plainly" << std::endl;
  glDeleteProgram(program);
  return 0;
}
