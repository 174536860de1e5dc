// How a scene object's surface looks: the texture bound for it with the filters set on that texture at
// every draw, and the material colours and specular power sent to the shader.
#pragma once

#include <GL/glew.h>

#include <glm/glm.hpp>

struct Material {
  GLuint texture = 0;
  GLint minFilter = GL_LINEAR_MIPMAP_LINEAR;
  GLint magFilter = GL_LINEAR;
  glm::vec4 diffuse = glm::vec4(1.0f);
  glm::vec4 specular = glm::vec4(0.0f);
  glm::vec4 ambient = glm::vec4(0.0f);
  float specPower = 10.0f;

  Material() = default;
  // Every object of the world is lit white; they differ in texture, highlights and ambient share.
  Material(GLuint texture, glm::vec4 specular, glm::vec4 ambient, float specPower)
      : texture(texture), specular(specular), ambient(ambient), specPower(specPower) {}
};
