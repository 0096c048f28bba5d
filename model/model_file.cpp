// Reading the binary model file into a tree of parts.
#include "model/model_file.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <string>

#include "base/error.h"
#include "model/model.h"
#include "model/part_directory.h"

namespace {

// A format error: the file is named where the reader is called from a path.
[[noreturn]] void badModel(std::string reason) { throw GameError{nullptr, {}, std::move(reason)}; }

[[noreturn]] void cutShort(std::size_t position) {
  badModel("ends inside a record at byte " + std::to_string(position));
}

}  // namespace

// A field cut short ends the reading.
std::uint32_t ModelFileReader::word() {
  const std::size_t at = in.position();
  const std::uint32_t u = in.u32();
  if (in.overrun()) cutShort(at);
  return u;
}

std::int32_t ModelFileReader::integer() { return static_cast<std::int32_t>(word()); }

float ModelFileReader::real() { return std::bit_cast<float>(word()); }

std::string ModelFileReader::text(std::size_t length) {
  const std::size_t at = in.position();
  std::string out = in.text(length);
  if (in.overrun()) cutShort(at);
  return out;
}

std::string_view ModelFileReader::peek(std::size_t length) const {
  ByteReader ahead = in;
  const std::span<const std::byte> next = ahead.bytes(std::min(length, in.left()));
  return {reinterpret_cast<const char*>(next.data()), next.size()};
}

void ModelFileReader::skip(std::size_t length) {
  const std::size_t at = in.position();
  if (!in.skip(length)) cutShort(at);
}

std::unique_ptr<ModelNode> ModelNode::read(ModelFileReader& in) {
  if (in.depth >= modelfile::maxDepth || in.records >= modelfile::maxRecords)
    badModel("parts nested deeper than " + std::to_string(modelfile::maxDepth) + " levels or more than " +
             std::to_string(modelfile::maxRecords) + " records");
  ++in.records;
  std::int32_t nameLength = in.integer();
  if (nameLength > modelfile::maxNameBytes)
    badModel("a part name of " + std::to_string(nameLength) + " bytes; at most " + std::to_string(modelfile::maxNameBytes));
  std::string directory = nameLength > 0 ? in.text(static_cast<std::size_t>(nameLength)) : std::string();
  float scale = in.real();
  std::uint32_t extraValue = in.word();
  if (directory.empty()) return nullptr;
  const int detail = partDetail(in.detail, scale);
  in.meshBytes += SphereMesh::vertexCapacity(detail) * std::int64_t{sizeof(MeshVertex)} +
                  SphereMesh::indexCapacity(detail) * std::int64_t{sizeof(std::uint32_t)};
  if (in.meshBytes > modelfile::maxMeshBytes)
    badModel("its parts need more than " + std::to_string(modelfile::maxMeshBytes >> 20) + " MB of mesh");

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
  if (in.peek(modelfile::magic.size()) != modelfile::magic) badModel("does not begin with C3DOBJECT");
  in.skip(modelfile::magic.size());
  root = ModelNode::read(in);
  if (!root) badModel("holds no part");
}

namespace {

std::vector<std::byte> modelFileBytes(const char* path) {
  std::vector<std::byte> bytes;
  if (!path) throw GameError{};
  switch (diskFiles().read(path, modelfile::maxFileBytes, bytes)) {
    case FileRead::cannotOpen:
      throw GameError{nullptr, path, std::strerror(errno)};
    case FileRead::cannotRead:
      throw GameError{nullptr, path, unreadableReason(modelfile::maxFileBytes)};
    case FileRead::ok:
      break;
  }
  return bytes;
}

}  // namespace

Model::Model(const char* path, int detail) try : Model(modelFileBytes(path), diskFiles(), detail) {
} catch (GameError& failure) {  // thrown on with the file named
  if (failure.file.empty() && path) failure.file = path;
}

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
