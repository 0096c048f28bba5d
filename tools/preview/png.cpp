// The preview's PNG files, through libpng's simplified interface.
#include "tools/preview/png.h"

#include <png.h>

std::vector<std::byte> encodePng(const RgbPicture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGB;
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() != PNG_IMAGE_SIZE(image))
    return {};
  // The pixels are the GL's, not colours of a named space: no sRGB chunk.
  image.flags = PNG_IMAGE_FLAG_COLORSPACE_NOT_sRGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, picture.pixels.data(), 0, nullptr)) return {};
  std::vector<std::byte> file(size);
  if (!png_image_write_to_memory(&image, file.data(), &size, 0, picture.pixels.data(), 0, nullptr)) return {};
  file.resize(size);
  return file;
}

bool decodePng(std::span<const std::byte> file, RgbPicture& picture, std::string& reason) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) {
    reason = image.message;
    return false;
  }
  if (image.width > png_uint_32(maxPngSide) || image.height > png_uint_32(maxPngSide)) {
    png_image_free(&image);
    reason = "larger than " + std::to_string(maxPngSide) + " pixels a side";
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    reason = image.message;
    return false;
  }
  picture.width = int(image.width);
  picture.height = int(image.height);
  picture.pixels = std::move(pixels);
  return true;
}
