// The model tree: parts made of sculpted sphere meshes, each with attachment points at which
// child parts hang. The ship is such a tree, read from a model file (model/model_file.h) whose
// parts are built from part directories (model/part_directory.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "model/file_source.h"
#include "model/mesh.h"

class ModelFileReader;

struct ModelNode {
  ModelNode() = default;
  ModelNode(const ModelNode&) = delete;
  ModelNode& operator=(const ModelNode&) = delete;
  virtual ~ModelNode() = default;

  // Makes this node the part in `directory`: a sphere of the part's detail (the model's `detail` ×
  // detailScale, kept within 2..360) sculpted by a variant picked from its files.txt, with one
  // empty child slot per attachment point the variant declares. Throws a GameError: the part
  // directory's (model/part_directory.h), or one without a text when memory runs out or the
  // variant declares more than maxPartAttachments points. With `brushWork`, the variant's brushes may make at most that
  // many vertex visits (model/mesh_brush.h); the balls after are skipped, and the work done is
  // taken from it.
  void build(const std::string& directory, int detail, float detailScale, std::uint32_t extra, FileSource& files,
             std::int64_t* brushWork = nullptr);

  // Reads one node record and, recursively, its children; returns nullptr for a record that
  // marks an empty slot. Throws a GameError without a text on any format error.
  static std::unique_ptr<ModelNode> read(ModelFileReader& in);

  // Frees every child and attachment below this node and empties the name; the mesh stays.
  void release();

  SphereMesh* mesh = nullptr;                               // the part's geometry, drawn as it is
  std::unique_ptr<SphereMesh> ownedMesh;                    // the mesh build made (mesh points at it)
  std::vector<std::unique_ptr<ModelNode>> children;         // count slots; an empty slot draws nothing
  std::vector<std::unique_ptr<AttachmentPoint>> attachments;  // count entries, where each child hangs
  std::int32_t count = 0;                                   // attachment points = child slots
  std::string name;                                         // the part directory the part came from
  float detailScale = 1.0f;                                 // factor on the detail the sphere had
  std::uint32_t extra = 0;                                  // second value of the part's file record
};

class Model {
 public:
  Model() = default;
  // Reads the model file at `path` (relative to the working directory) and builds its parts at
  // the sphere detail given (each part's is this times its detail scale). Throws a GameError
  // naming the file when it is missing or malformed, and lets the part directories' errors pass.
  Model(const char* path, int detail);
  // The same from the file's bytes, the part directories read through `files`.
  Model(std::span<const std::byte> file, FileSource& files, int detail);
  virtual ~Model() = default;

  std::unique_ptr<ModelNode> root;  // may be empty
};
