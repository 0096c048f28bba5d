// PNG files of 8-bit RGB pictures: what the preview writes and the golden-image tests read back,
// through libpng.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A picture of width × height RGB pixels, the top row first.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // 3 × width × height bytes
};

inline constexpr int maxPngSide = 8192;  // pixels; a larger picture is refused

// The PNG file of the picture (8-bit RGB); empty when it cannot be made (no pixels, too few or
// too many bytes for its size, no memory).
std::vector<std::byte> encodePng(const RgbPicture& picture);

// Decodes any PNG file into 8-bit RGB. Returns false with a short reason for a damaged file or a
// picture larger than maxPngSide a side.
bool decodePng(std::span<const std::byte> file, RgbPicture& picture, std::string& reason);
