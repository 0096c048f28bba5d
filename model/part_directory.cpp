// Part directories: reading files.txt, choosing a variant and building the part from it.
#include "model/part_directory.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "base/error.h"
#include "base/random.h"
#include "model/model.h"
#include "model/sculpt.h"
#include "model/sculpt_format.h"
#include "model/sphere_detail.h"

bool parsePartList(std::span<const std::byte> text, std::vector<std::string>& entries) {
  entries.clear();
  const char* chars = reinterpret_cast<const char*>(text.data());
  std::size_t start = 0;
  for (;;) {
    std::size_t end = start;
    while (end < text.size() && chars[end] != '\n') ++end;
    std::size_t nameEnd = end;
    if (end < text.size() && nameEnd > start && chars[nameEnd - 1] == '\r') --nameEnd;
    if (nameEnd - start > maxPartLineChars) {
      entries.clear();
      return false;
    }
    entries.emplace_back(chars + start, nameEnd - start);
    if (end >= text.size()) return true;  // the remainder after the last line feed, maybe empty
    start = end + 1;
  }
}

std::size_t chooseEntry(std::size_t count, int draw) {
  std::size_t n = static_cast<std::size_t>(draw) % count;
  return n == 0 ? count - 1 : n - 1;
}

namespace {

std::vector<std::string> picked;  // what pickRecording returned, in order, up to maxPickedRecordings

const std::string& remember(std::string path) {
  static std::string beyond;  // returned once the list is full, so fuzzing many models stays bounded
  if (picked.size() >= maxPickedRecordings) return beyond = std::move(path);
  picked.push_back(std::move(path));
  return picked.back();
}

}  // namespace

const std::vector<std::string>& pickedRecordings() { return picked; }

std::string pickRecording(const std::string& directory, FileSource& files) {
  const std::string listPath = directory + "/files.txt";
  std::vector<std::byte> text;
  switch (files.read(listPath, maxPartListBytes, text)) {
    case FileRead::cannotOpen:
      return remember({});
    case FileRead::cannotRead:
      throw GameError{failureText::accessingFile, listPath, unreadableReason(maxPartListBytes)};
    case FileRead::ok:
      break;
  }
  std::vector<std::string> entries;
  if (!parsePartList(text, entries))
    throw GameError{nullptr, listPath, "a line is longer than " + std::to_string(maxPartLineChars) + " characters"};
  std::string chosen = entries[chooseEntry(entries.size(), nextRandom())];
  // A zero byte ends the name, as it ends any C string.
  chosen.resize(std::min(chosen.size(), chosen.find('\0')));
  return remember(directory + "/" + chosen);
}

std::string pickRecording(const std::string& directory) { return pickRecording(directory, diskFiles()); }

int partDetail(int detail, float detailScale) {
  if (std::isnan(detailScale)) detailScale = 1.0f;
  float product = static_cast<float>(detail) * detailScale;
  if (!(product >= static_cast<float>(minShipDetail))) return minShipDetail;
  if (product >= static_cast<float>(maxShipDetail)) return maxShipDetail;
  return static_cast<int>(product);  // truncated toward zero
}

void ModelNode::build(const std::string& directory, int detail, float scale, std::uint32_t extraValue,
                      FileSource& files, std::int64_t* brushWork) {
  std::unique_ptr<SphereMesh> part(new (std::nothrow) SphereMesh);
  if (!part) throw GameError{};
  part->generate(partDetail(detail, scale));
  SculptRecorder recorder(part.get(), files);

  const std::string chosen = pickRecording(directory, files);
  if (chosen.empty()) {
    const std::string listPath = directory + "/files.txt";
    throw GameError{failureText::noVariantFound, listPath,
                    staysInGameFolder(listPath) ? "cannot be opened" : "leaves the game folder"};
  }
  if (brushWork) recorder.limitVertexVisits(*brushWork);
  const std::int64_t visitsBefore = recorder.vertexVisitsLeft();
  std::vector<std::byte> recording;
  // A variant that cannot be read leaves the part a plain sphere without attachment points.
  if (files.read(chosen, sculpt::maxRecordingBytes, recording) == FileRead::ok) recorder.replayBytes(recording, chosen);
  if (brushWork) *brushWork -= visitsBefore - recorder.vertexVisitsLeft();

  const std::vector<AttachmentPoint>& points = recorder.attachments();
  if (points.size() > maxPartAttachments)
    throw GameError{nullptr, chosen,
                    "declares " + std::to_string(points.size()) + " attachment points; a part takes at most " +
                        std::to_string(maxPartAttachments)};
  ownedMesh = std::move(part);
  mesh = ownedMesh.get();
  name = directory;
  count = static_cast<std::int32_t>(points.size());
  children.clear();
  children.resize(points.size());
  attachments.clear();
  for (const AttachmentPoint& point : points) attachments.push_back(std::make_unique<AttachmentPoint>(point));
  detailScale = scale;
  extra = extraValue;
}
