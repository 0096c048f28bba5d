// The sculpt recording format: a base length and path, then operation records. Every integer is
// 32-bit signed little-endian, every float IEEE single little-endian; there is no magic or version.
//
//   offset 0   base length L; L > 0: the base recording's path follows (L bytes, no terminator,
//              relative to the working directory); L <= 0 or a file too short: no base
//   4 + L      records to the end: a 4-byte opcode and its payload
//
//   0 push          x y z radius                                         20 bytes
//   1 push stroke   x1 y1 z1 radius1  x2 y2 z2 radius2                   36 bytes
//   2 paint         x y z radius  red green blue alpha                   36 bytes
//   3 paint stroke  x1 y1 z1 radius1 rgba1  x2 y2 z2 radius2 rgba2       68 bytes
//   4 attachments   count, then count times x y z w                      8 + 16 count bytes
//   5 pivot         x y z                                                16 bytes
//   other           no payload                                            4 bytes
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/mesh.h"

namespace sculpt {

enum Opcode : std::int32_t {
  opPush = 0,
  opPushStroke = 1,
  opPaint = 2,
  opPaintStroke = 3,
  opAttachments = 4,
  opPivot = 5,
};

// A chain of bases holds every file of it in memory at once: 16 files of 1 MB at most (the
// game's recordings are a few kilobytes).
inline constexpr std::size_t maxRecordingBytes = 1u << 20;  // a larger file is not read
inline constexpr int maxBaseDepth = 16;                     // base recordings nested deeper are skipped
// Balls pushed or painted by one replay, stroke steps and bases included; the operations after
// the one that would pass it are skipped. A mountain of the game needs about 160 000 at detail
// 360, so the bound caps a recording's time at a few times what the largest real one takes.
inline constexpr std::int64_t maxBrushBalls = 1 << 20;
// Vertex visits of one replay's brushes (model/mesh_brush.h); the balls after the bound are
// skipped. A mountain of the game makes up to 0.77 × 10^9 at detail 360, about a second and a
// half of work; the costliest recording the bound lets through takes under three seconds
// (velmo_brush_bench measures both).
inline constexpr std::int64_t maxVertexVisits = std::int64_t{1} << 30;
// Attachment points kept from one replay; later ones are dropped (a part takes at most 64).
inline constexpr std::size_t maxAttachmentPoints = 4096;

// Builds a recording in memory, record by record, exactly as the reader takes it.
class Writer {
 public:
  explicit Writer(std::string_view basePath = {});

  Writer& push(BrushPoint p);
  Writer& pushStroke(BrushPoint from, BrushPoint to);
  Writer& paint(BrushPoint p, Colour k);
  Writer& paintStroke(BrushPoint from, Colour fromColour, BrushPoint to, Colour toColour);
  Writer& attachments(std::span<const AttachmentPoint> points);
  Writer& pivot(float x, float y, float z);
  Writer& opcode(std::int32_t code);  // a bare opcode, e.g. one the reader skips

  const std::vector<std::byte>& bytes() const { return data; }

 private:
  void integer(std::int32_t v);
  void real(float v);
  void point(BrushPoint p);
  void colour(Colour k);

  std::vector<std::byte> data;
};

}  // namespace sculpt
