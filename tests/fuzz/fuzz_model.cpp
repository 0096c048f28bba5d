// Fuzz target: the model file with its part directories, files.txt lists and recordings, all held
// in memory (see file_bundle.h); the first file is the model file. A load either builds a tree
// within the reader's bounds or throws one of the errors start-up reports.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/error.h"
#include "base/random.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/part_directory.h"
#include "tests/fuzz/file_bundle.h"

namespace {

// Levels and nodes of the tree; aborts when a bound is broken.
int checkTree(const ModelNode& node, int level, int& nodes) {
  if (level > modelfile::maxDepth || ++nodes > modelfile::maxRecords) std::abort();
  if (node.children.size() != node.attachments.size() || node.children.size() > maxPartAttachments) std::abort();
  int deepest = level;
  for (const auto& child : node.children)
    if (child) deepest = std::max(deepest, checkTree(*child, level + 1, nodes));
  return deepest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FileBundle bundle = unpackBundle(data, size);
  sharedRandom = RandomSequence{};
  std::vector<std::byte> file;
  bundle.files.read(bundle.first, modelfile::maxFileBytes, file);
  try {
    // At detail 4 parts may still ask for up to 360 through their detail scale.
    Model model(file, bundle.files, 4);
    if (!model.root) std::abort();
    int nodes = 0;
    checkTree(*model.root, 1, nodes);
  } catch (const GameError& failure) {
    if (failure.message && std::strlen(failure.message) == 0) std::abort();
  }
  return 0;
}
