// Fuzz target: the BMP reader. A decoded image must be tightly packed red-green-blue rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/bmp.h"
#include "render/image_limits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RgbImage image;
  BmpFailure failure = decodeBmp({reinterpret_cast<const std::byte*>(data), size}, image);
  if (failure != BmpFailure::none) {
    if (bmpFailureText(failure) == nullptr) std::abort();
    return 0;
  }
  if (image.width <= 0 || image.height <= 0 || image.width > maxImageSidePixels || image.height > maxImageSidePixels ||
      image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) * 3)
    std::abort();
  return 0;
}
