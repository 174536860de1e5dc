// The interface of everything drawn in the 3D world, and the helpers the box-shaped objects share:
// the box mesh, the bounding-box corners, the client-array and buffer-object draws.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

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
