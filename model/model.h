// The model tree: parts made of sculpted sphere meshes, each with attachment points at which
// child parts hang. The ship is such a tree; the builders of parts and model files fill it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/mesh.h"

struct ModelNode {
  ModelNode() = default;
  ModelNode(const ModelNode&) = delete;
  ModelNode& operator=(const ModelNode&) = delete;
  virtual ~ModelNode() = default;

  // Draws the part shifted by minus its mesh's pivot, then each child at its attachment point.
  void draw() const;
  // Frees every child and attachment below this node and empties the name; the mesh stays.
  void release();

  SphereMesh* mesh = nullptr;                               // not owned: meshes live for the whole run
  std::vector<std::unique_ptr<ModelNode>> children;         // count slots; an empty slot draws nothing
  std::vector<std::unique_ptr<AttachmentPoint>> attachments;  // count entries, where each child hangs
  std::int32_t count = 0;                                   // attachment points = child slots
  std::string name;                                         // the part directory the part came from
  float detailScale = 1.0f;                                 // factor on the detail the sphere had
  std::uint32_t extra = 0;                                  // second value of the part's file record
};

class Model {
 public:
  virtual ~Model() = default;
  // Draws the whole tree with the current transform and render state.
  void draw() const;

  std::unique_ptr<ModelNode> root;  // may be empty
};
