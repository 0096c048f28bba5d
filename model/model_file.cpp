// Reading the binary model file into a tree of parts.
#include "model/model_file.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "model/model.h"
#include "model/part_directory.h"

// A field cut short ends the reading.
std::uint32_t ModelFileReader::word() {
  const std::uint32_t u = in.u32();
  if (in.overrun()) throw 1;
  return u;
}

std::int32_t ModelFileReader::integer() { return static_cast<std::int32_t>(word()); }

float ModelFileReader::real() { return std::bit_cast<float>(word()); }

std::string ModelFileReader::text(std::size_t length) {
  std::string out = in.text(length);
  if (in.overrun()) throw 1;
  return out;
}

std::string_view ModelFileReader::peek(std::size_t length) const {
  ByteReader ahead = in;
  const std::span<const std::byte> next = ahead.bytes(std::min(length, in.left()));
  return {reinterpret_cast<const char*>(next.data()), next.size()};
}

void ModelFileReader::skip(std::size_t length) {
  if (!in.skip(length)) throw 1;
}

std::unique_ptr<ModelNode> ModelNode::read(ModelFileReader& in) {
  if (in.depth >= modelfile::maxDepth || in.records >= modelfile::maxRecords) throw 1;
  ++in.records;
  std::int32_t nameLength = in.integer();
  if (nameLength > modelfile::maxNameBytes) throw 1;
  std::string directory = nameLength > 0 ? in.text(static_cast<std::size_t>(nameLength)) : std::string();
  float scale = in.real();
  std::uint32_t extraValue = in.word();
  if (directory.empty()) return nullptr;
  const int detail = partDetail(in.detail, scale);
  in.meshBytes += SphereMesh::vertexCapacity(detail) * std::int64_t{sizeof(MeshVertex)} +
                  SphereMesh::indexCapacity(detail) * std::int64_t{sizeof(std::uint32_t)};
  if (in.meshBytes > modelfile::maxMeshBytes) throw 1;

  auto node = std::make_unique<ModelNode>();
  node->build(directory, in.detail, scale, extraValue, in.files, &in.brushWork);
  ++in.depth;
  for (std::size_t i = 0; i < node->children.size(); ++i) node->children[i] = read(in);
  --in.depth;
  return node;
}

Model::Model(std::span<const std::byte> file, FileSource& files, int detail) {
  ModelFileReader in(file, files, detail);
  // Compared as the nine bytes they are: a zero byte among them is simply a mismatch.
  if (in.peek(modelfile::magic.size()) != modelfile::magic) throw 1;
  in.skip(modelfile::magic.size());
  root = ModelNode::read(in);
  if (!root) throw 1;
}

namespace {

std::vector<std::byte> modelFileBytes(const char* path) {
  std::vector<std::byte> bytes;
  if (!path || diskFiles().read(path, modelfile::maxFileBytes, bytes) != FileRead::ok) throw 1;
  return bytes;
}

}  // namespace

Model::Model(const char* path, int detail) : Model(modelFileBytes(path), diskFiles(), detail) {}

namespace modelfile {

Writer::Writer() { raw(magic); }

Writer& Writer::integer(std::int32_t v) {
  ByteWriter(data).i32(v);
  return *this;
}

Writer& Writer::real(float v) {
  ByteWriter(data).f32(v);
  return *this;
}

Writer& Writer::raw(std::string_view bytes) {
  ByteWriter(data).text(bytes);
  return *this;
}

Writer& Writer::node(std::string_view directory, float detailScale, std::uint32_t extra) {
  integer(static_cast<std::int32_t>(directory.size()));
  raw(directory);
  real(detailScale);
  return integer(static_cast<std::int32_t>(extra));
}

Writer& Writer::emptySlot() { return node({}, 1.0f, 0); }

}  // namespace modelfile
