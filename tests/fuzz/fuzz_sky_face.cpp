// Fuzz target: a raw sky face. Only a file holding a whole face gives pixels, and exactly one face.
// Each input is read as a whole file and as the end of a file whose first bytes are a face's all
// but the last 2048, so short inputs reach the boundary without keeping faces in the corpus.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/skybox.h"

namespace {

constexpr std::size_t tailBytes = 2048;

void check(std::span<const std::uint8_t> file) {
  std::span<const std::uint8_t> pixels = rawFacePixels(file);
  bool whole = file.size() >= skyFaceBytes;
  if (whole ? (pixels.size() != skyFaceBytes || pixels.data() != file.data()) : !pixels.empty()) std::abort();
  volatile std::uint8_t sum = 0;
  for (std::uint8_t b : pixels) sum = static_cast<std::uint8_t>(sum + b);  // every byte is readable
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  check({data, size});
  std::vector<std::uint8_t> file(skyFaceBytes - tailBytes + size, 0x40);
  if (size > 0) std::memcpy(file.data() + skyFaceBytes - tailBytes, data, size);
  check(file);
  return 0;
}
