// Fuzz target: "config.txt". Whatever the text, the clamped details are ones the game can draw.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  Config config = clampConfig(parseConfig({reinterpret_cast<const std::byte*>(data), size}), sink);
  if (config.landscapeDetail < minLandscapeDetail || config.landscapeDetail > maxLandscapeDetail ||
      config.shipDetail < minShipDetail || config.shipDetail > maxShipDetail)
    std::abort();
  return 0;
}
