// Replaying sculpt recordings. Every field is read through a bounded reader: a record cut short is
// applied with what it holds and ends the replay.
#include "model/sculpt.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "base/bytes.h"
#include "base/console.h"
#include "model/sculpt_format.h"

namespace {

// Reads the fields of records: a field that does not fit is left as it was and every later read
// fails too.
class FieldReader {
 public:
  explicit FieldReader(std::span<const std::byte> bytes) : in(bytes) {}

  bool integer(std::int32_t& value) {
    const std::int32_t v = in.i32();
    if (in.overrun()) return false;
    value = v;
    return true;
  }
  bool real(float& value) {
    const float v = in.f32();
    if (in.overrun()) return false;
    value = v;
    return true;
  }
  bool point(BrushPoint& p) { return real(p.x) && real(p.y) && real(p.z) && real(p.radius); }
  bool colour(Colour& k) { return real(k.red) && real(k.green) && real(k.blue) && real(k.alpha); }
  bool bytes(std::size_t count, std::string& out) {
    std::string v = in.text(count);
    if (in.overrun()) return false;
    out = std::move(v);
    return true;
  }
  bool ok() const { return !in.overrun(); }
  bool atEnd() const { return in.left() == 0; }

 private:
  ByteReader in;
};

// The name a recording is known by in the chain: its canonical path where it exists.
std::string chainName(const std::string& path) {
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  if (error) return std::filesystem::path(path).lexically_normal().string();
  return canonical.string();
}

}  // namespace

SculptRecorder::SculptRecorder(SphereMesh* target, FileSource& source)
    : mesh(target), files(&source), ballsLeft(sculpt::maxBrushBalls), visitsLimit(sculpt::maxVertexVisits) {}

void SculptRecorder::limitVertexVisits(std::int64_t visits) {
  visitsLimit = std::min(visitsLimit, visits);
  if (brush) brush->limitVisits(visits);
}

std::int64_t SculptRecorder::vertexVisitsLeft() const {
  if (ballsLeft < 0) return 0;
  return brush ? brush->visitsRemaining() : visitsLimit;
}

// Balls a stroke pushes or paints on the recorder's mesh (at most maxStrokeSteps); once the
// budget is spent nothing is counted any more.
std::int64_t SculptRecorder::strokeBalls(BrushPoint from, BrushPoint to) const {
  if (ballsLeft < 0) return 1;
  std::int64_t balls = 0;
  forEachStrokeStep(from, to, mesh->detail, [&](float) { ++balls; });
  return balls;
}

bool SculptRecorder::spendBalls(std::int64_t balls, const std::string& name) {
  if (ballsLeft < 0) return false;  // spent and reported
  if (balls <= ballsLeft) {
    ballsLeft -= balls;
    return true;
  }
  reportCut(name);
  return false;
}

void SculptRecorder::reportCut(const std::string& name) {
  ballsLeft = -1;
  consolePrint(stderr, "Sculpt recording %s: too much brush work; the remaining brush operations are skipped\n",
               printableName(name).c_str());
}

MeshBrush* SculptRecorder::brushFor(std::int64_t balls, const std::string& name) {
  if (!mesh || !spendBalls(balls, name)) return nullptr;
  if (!brush || brushMesh != mesh) {
    const std::int64_t left = brush ? brush->visitsRemaining() : visitsLimit;
    brush.reset();  // the old grid goes before the new one is made
    brush = std::make_unique<MeshBrush>(*mesh, left);
    brushMesh = mesh;
  }
  return brush.get();
}

bool SculptRecorder::replay(const std::string& path) {
  std::vector<std::byte> data;
  if (files->read(path, sculpt::maxRecordingBytes, data) != FileRead::ok) return false;
  replayNamed(data, path);
  return true;
}

void SculptRecorder::replayBytes(std::span<const std::byte> data, std::string_view name) {
  replayNamed(data, std::string(name));
}

void SculptRecorder::replayBase(const std::string& basePath, const std::string& from) {
  std::string key = chainName(basePath);
  bool loops = std::find(openRecordings.begin(), openRecordings.end(), key) != openRecordings.end();
  if (loops || openRecordings.size() >= static_cast<std::size_t>(sculpt::maxBaseDepth)) {
    consolePrint(stderr, "Sculpt recording %s: base recording %s %s; it is not replayed\n", printableName(from).c_str(),
                 printableName(basePath).c_str(), loops ? "leads back to a recording being replayed" : "is nested too deep");
    return;
  }
  replay(basePath);
}

void SculptRecorder::replayNamed(std::span<const std::byte> data, const std::string& name) {
  openRecordings.push_back(chainName(name));
  FieldReader in(data);

  std::int32_t baseLength = 0;
  if (in.integer(baseLength) && baseLength > 0) {
    std::string basePath;
    if (in.bytes(static_cast<std::size_t>(baseLength), basePath)) replayBase(basePath, name);
  }

  while (in.ok() && !in.atEnd()) {
    std::int32_t opcode;
    if (!in.integer(opcode)) break;
    switch (opcode) {
      case sculpt::opPush:
        mode = 0;
        in.point(currentPoint);
        if (MeshBrush* b = brushFor(1, name)) b->push({currentPoint.x, currentPoint.y, currentPoint.z}, currentPoint.radius);
        break;
      case sculpt::opPushStroke:
        mode = 0;
        in.point(currentPoint);
        previousPoint = currentPoint;
        previousColour = currentColour;
        in.point(currentPoint);
        if (MeshBrush* b = brushFor(strokeBalls(previousPoint, currentPoint), name)) b->pushStroke(previousPoint, currentPoint);
        break;
      case sculpt::opPaint:
        mode = 1;
        in.point(currentPoint) && in.colour(currentColour);
        if (MeshBrush* b = brushFor(1, name)) b->paint({currentPoint.x, currentPoint.y, currentPoint.z}, currentPoint.radius, currentColour);
        break;
      case sculpt::opPaintStroke:
        mode = 1;
        in.point(currentPoint) && in.colour(currentColour);
        previousPoint = currentPoint;
        previousColour = currentColour;
        in.point(currentPoint) && in.colour(currentColour);
        if (MeshBrush* b = brushFor(strokeBalls(previousPoint, currentPoint), name))
          b->paintStroke(previousPoint, previousColour, currentPoint, currentColour);
        break;
      case sculpt::opAttachments: {
        std::int32_t count = 0;
        if (!in.integer(count)) break;
        for (std::int32_t i = 0; i < count; ++i) {
          AttachmentPoint p{0.0f, 0.0f, 0.0f, 0.0f};
          if (!(in.real(p.x) && in.real(p.y) && in.real(p.z) && in.real(p.w))) break;
          if (attachmentList.size() < sculpt::maxAttachmentPoints) attachmentList.push_back(p);
        }
        break;
      }
      case sculpt::opPivot: {
        float x = 0.0f, y = 0.0f, z = 0.0f;
        in.real(x) && in.real(y) && in.real(z);
        if (mesh) mesh->setPivot(x, y, z);
        break;
      }
      default:
        break;  // unknown: no payload
    }
    if (brush && brush->exhausted() && ballsLeft >= 0) reportCut(name);
  }
  openRecordings.pop_back();
}
