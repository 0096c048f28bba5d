// The sculpt recorder: replays a recording (model/sculpt_format.h) onto one sphere mesh and
// collects the attachment points it declares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_source.h"
#include "model/mesh.h"
#include "model/mesh_brush.h"

class SculptRecorder {
 public:
  explicit SculptRecorder(SphereMesh* target) : SculptRecorder(target, diskFiles()) {}
  // Reads the recordings, bases included, from `source` instead of the disk.
  SculptRecorder(SphereMesh* target, FileSource& source);
  virtual ~SculptRecorder() = default;

  // Applies the recording at `path`, its base first. Returns false, changing nothing, when the
  // file cannot be opened. Brush work past sculpt::maxBrushBalls balls or sculpt::maxVertexVisits
  // visits is skipped, from the ball that would pass the bound on; the other records still count.
  bool replay(const std::string& path);

  // Applies a recording held in memory; `name` is its path, which a base must not lead back to.
  void replayBytes(std::span<const std::byte> data, std::string_view name);

  const std::vector<AttachmentPoint>& attachments() const { return attachmentList; }
  // The vertex visits of the brushes (model/mesh_brush.h) this recorder may still make: lowered
  // by a caller that shares a budget among recorders, read back to see what a replay spent (all
  // it had, once it ran out).
  void limitVertexVisits(std::int64_t visits);
  std::int64_t vertexVisitsLeft() const;

  SphereMesh* mesh;                                           // not owned
  std::int32_t mode = 0;                                      // 0 shape (push), 1 paint
  BrushPoint previousPoint{0.0f, 0.0f, 0.0f, 0.4f};           // start of the last stroke
  Colour previousColour{1.0f, 1.0f, 1.0f, 1.0f};
  BrushPoint currentPoint{0.0f, 0.0f, 0.0f, 0.4f};            // single operation, or stroke end
  Colour currentColour{1.0f, 1.0f, 1.0f, 1.0f};
  std::vector<AttachmentPoint> attachmentList;                // in file order, base first
  FileSource* files;                                          // where recordings and bases are read; not owned

 private:
  void replayNamed(std::span<const std::byte> data, const std::string& name);
  void replayBase(const std::string& basePath, const std::string& from);
  // Takes `balls` from the replay's budget; false (with one message) once it would run out.
  bool spendBalls(std::int64_t balls, const std::string& name);
  std::int64_t strokeBalls(BrushPoint from, BrushPoint to) const;
  // The brush for an operation of `balls` balls, or nullptr when it is skipped.
  MeshBrush* brushFor(std::int64_t balls, const std::string& name);
  void reportCut(const std::string& name);

  std::vector<std::string> openRecordings;  // the chain of recordings being replayed, outermost first
  std::int64_t ballsLeft;                   // brush balls this recorder may still apply
  std::int64_t visitsLimit;                 // vertex visits, until the brush is made
  std::unique_ptr<MeshBrush> brush;         // made at the first brush operation on `brushMesh`
  SphereMesh* brushMesh = nullptr;
};
