// The interface of everything drawn in the 3D world, and the helpers the box-shaped objects share:
// the box mesh, the bounding-box corners, the client-array and buffer-object draws.
#pragma once

#include <GL/glew.h>

#include <array>
#include <glm/glm.hpp>

#include "scene/Material.h"
#include "scene/Mesh.h"

class SceneObject {
 public:
  virtual ~SceneObject() {}
  virtual void update(double dt) = 0;
  virtual void draw(GLuint program) = 0;
  virtual float* getVertices() = 0;
  virtual float* getNormals() = 0;
  virtual float* getColors() = 0;
  virtual unsigned int* getIndices() = 0;
  virtual int getVertexCount() = 0;
  virtual int getIndexCount() = 0;
  virtual glm::mat4 getModelMatrix() = 0;
  virtual float* getTexCoords() = 0;
};

// Axis extents of a set of vertices. Measuring starts from the local origin, so the origin always lies
// inside: an object standing on the ground keeps min y 0 even if no vertex touches it.
struct Extent {
  float minX = 0.0f, maxX = 0.0f;
  float minY = 0.0f, maxY = 0.0f;
  float minZ = 0.0f, maxZ = 0.0f;
};

// Vertices hold 4 floats each (x, y, z, w).
Extent measureExtent(const float* vertices, int vertexCount);

// Writes the eight corners (x, y, z, 1) in the order frustum culling expects:
// (min,max,max) (max,max,max) (min,max,min) (max,max,min) (min,min,min) (min,min,max) (max,min,max) (max,min,min).
void fillBoundingBox(const Extent& extent, glm::vec4* corners);

using BoundingBox = std::array<glm::vec4, 8>;

// The corners of a set of vertices; extent, when given, receives the extents.
BoundingBox makeBoundingBox(const float* vertices, int vertexCount, Extent* extent = nullptr);

// The box layout shared by enemies, files and the tower beam: 24 vertices (four per face: back, bottom,
// right, top, left, front), 36 indices, one normal, colour and set of texture coordinates per face.
constexpr int kBoxVertexCount = 24;
constexpr int kBoxIndexCount = 36;
void fillBoxMesh(float x0, float x1, float y1, float z0, float z1, float* vertices, float* normals, float* colors,
                 float* texCoords, unsigned int* indices);
Mesh boxMesh(float x0, float x1, float y1, float z0, float z1);

// How a draw treats the "color" attribute: the board never asks for it, enemies ask but leave it off,
// files and spawn points feed their vertex colours.
enum class ColorAttribute { NotLookedUp, Unused, Fed };

// The first half of every draw, always in this order: bind the texture to unit 0 and set both filters on it,
// then "colorTexture", "model" (through the object's own getModelMatrix) and the material uniforms.
// Locations are looked up by name each time, so any of our programs can be current.
void bindObjectTexture(GLuint texture, GLint minFilter, GLint magFilter);
void uploadObjectUniforms(GLuint program, SceneObject& object, const glm::vec4& diffuse, const glm::vec4& specular,
                          const glm::vec4& ambient, const float* specPower);
// Both of the above for an object's own material.
void applyMaterial(GLuint program, SceneObject& object, const Material& material);

// The second half of a draw from client memory: attributes from the object's accessors, glDrawElements of
// count indices, attributes disabled again.
void drawClientArrays(GLuint program, SceneObject& object, GLenum mode, int count, ColorAttribute color);

// The second half of a draw from the buffers Mesh::createBuffers filled.
void drawObjectBuffers(GLuint program, SceneObject& object, GLuint vbo, GLuint ibo, bool lookUpColor);
