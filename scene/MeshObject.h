// A scene object drawn from a mesh of its own (the board, files, spawn points and enemies): the mesh, its
// material and model matrix, and the accessors through which the draws read the mesh.
#pragma once

#include <utility>

#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/SceneObject.h"

class MeshObject : public SceneObject {
 public:
  Mesh mesh;
  Material material;
  glm::mat4 modelMatrix = glm::mat4(1.0f);

  // Only enemies move; the others stay as they were built.
  void update(double) override {}
  float* getVertices() override { return mesh.vertices.data(); }
  float* getNormals() override { return mesh.normals.data(); }
  float* getColors() override { return mesh.colors.data(); }
  unsigned int* getIndices() override { return mesh.indices.data(); }
  int getVertexCount() override { return mesh.vertexCount(); }
  int getIndexCount() override { return mesh.indexCount(); }
  glm::mat4 getModelMatrix() override { return modelMatrix; }
  float* getTexCoords() override { return mesh.texCoords.data(); }

 protected:
  MeshObject(Mesh mesh, Material material) : mesh(std::move(mesh)), material(material) {}
};
