// The binary model file the ship is read from ("vorizozadi1"). Integers and floats are 32-bit
// little-endian, floats IEEE single precision.
//
//   offset 0   magic "C3DOBJECT", 9 bytes, no terminator
//   offset 9   the root node record; the others follow depth first
//
// Node record:
//   name length L (signed), then L bytes of part directory name when L > 0
//   detailScale (float): the factor on the model's detail for the part's sphere
//   extra (32 bits): kept in the node, never interpreted
//   one child record per attachment point of the part as built; the count is not in the file
//   but comes from the variant recording picked for the part, so the reader builds each part
//   before it reads the part's children
//
// A record with an empty name (L <= 0) marks an empty attachment point: no part is built for it
// and no child records follow it. The root must name a part. Bytes after the last record the tree
// needs are ignored. Every format error is thrown as a GameError without a text, with what was
// found as its reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/bytes.h"
#include "model/file_source.h"

namespace modelfile {

inline constexpr std::string_view magic{"C3DOBJECT", 9};
// Drawing a part takes two modelview stack entries per level; 15 levels leave the stack's bottom
// entry and one for the caller within the 32 entries every GL offers.
inline constexpr int maxDepth = 15;
inline constexpr std::int32_t maxNameBytes = 4096;  // a longer part directory name is an error
inline constexpr int maxRecords = 64;               // node records per file, empty ones included
inline constexpr std::size_t maxFileBytes = 4u << 20;  // a larger file is not read
// The meshes of all parts together; a file whose parts would need more is an error. The game's
// ship takes about 33 MB at the highest ship detail, 64 parts at that detail would take 680 MB.
inline constexpr std::int64_t maxMeshBytes = 96 << 20;
// Vertex visits of the brushes of all parts together (model/mesh_brush.h). The game's ship makes
// about 0.17 × 10^9 at the highest ship detail (its hull 0.1 × 10^9), a third of a second of
// work; without this bound each of the 64 records could spend a whole replay's visits.
inline constexpr std::int64_t maxBrushWork = std::int64_t{1} << 28;

// Builds a model file in memory, record by record, exactly as the reader takes it.
class Writer {
 public:
  Writer();  // starts with the magic

  // A node record naming a part directory; its children are the records written after it.
  Writer& node(std::string_view directory, float detailScale, std::uint32_t extra = 0);
  // A record that marks an empty attachment point.
  Writer& emptySlot();

  // Raw fields, for files the reader must refuse.
  Writer& integer(std::int32_t v);
  Writer& real(float v);
  Writer& raw(std::string_view bytes);

  const std::vector<std::byte>& bytes() const { return data; }

 private:
  std::vector<std::byte> data;
};

}  // namespace modelfile

// Reads the fields of a model file in order; every read is checked against what is left, and a
// field that does not fit throws a GameError saying where the file ends.
class ModelFileReader {
 public:
  ModelFileReader(std::span<const std::byte> file, FileSource& partFiles, int modelDetail)
      : in(file), files(partFiles), detail(modelDetail) {}

  std::int32_t integer();
  std::uint32_t word();
  float real();
  std::string text(std::size_t length);
  std::string_view peek(std::size_t length) const;  // the next bytes, fewer at the end
  void skip(std::size_t length);

  ByteReader in;             // the file, from the next byte to read
  FileSource& files;         // where the part directories are read from
  int detail;                // the model's sphere detail, the factor on each part's detail scale
  int depth = 0;             // levels of node records being read
  int records = 0;           // node records read so far
  std::int64_t meshBytes = 0;  // mesh storage of the parts built so far
  std::int64_t brushWork = modelfile::maxBrushWork;  // vertex visits the parts' brushes may still make
};
