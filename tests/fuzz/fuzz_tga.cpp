// Fuzz target: the TGA reader. A decoded image must hold exactly the pixels its header promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/image_limits.h"
#include "render/tga.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto image = readTga({reinterpret_cast<const std::byte*>(data), size});
  if (!image) return 0;
  const std::size_t pixelBytes = static_cast<std::size_t>(image->components);  // 1, 3 or 4
  if (image->width <= 0 || image->height <= 0 || image->width > maxImageSidePixels ||
      image->height > maxImageSidePixels || (pixelBytes != 1 && pixelBytes != 3 && pixelBytes != 4) ||
      image->pixels.size() != std::size_t(image->width) * std::size_t(image->height) * pixelBytes ||
      image->colourMap.size() != std::size_t(image->colourMapEntries) * 3)
    std::abort();
  return 0;
}
