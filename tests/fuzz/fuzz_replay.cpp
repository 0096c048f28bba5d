// Fuzz target: replay files. A refused file gets one line of reason; an accepted one encodes back
// to exactly its own bytes, so nothing the reader accepted was misread.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> file(reinterpret_cast<const std::byte*>(data), size);
  Replay replay;
  std::string error;
  if (!parseReplay(file, replay, error)) {
    if (error.empty() || error.find('\n') != std::string::npos) std::abort();
    return 0;
  }
  std::vector<std::byte> again;
  encodeReplayHeader(replay.header, again);
  for (const ReplayEvent& e : replay.events) encodeReplayEvent(e, again);
  if (again.size() != size || !std::equal(again.begin(), again.end(), file.begin())) std::abort();
  return 0;
}
