// PNG files of 8-bit RGB pictures: what the preview writes and the golden-image tests read back.
// Only that one form is written and read (colour type 2, bit depth 8, no interlace); the reader
// checks every length, CRC and size before it trusts it.
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

// The PNG file of the picture.
std::vector<std::byte> encodePng(const RgbPicture& picture);

// Decodes a PNG file as encodePng writes it (any of the five row filters). Returns false with a
// short reason for anything else or for a damaged file.
bool decodePng(std::span<const std::byte> file, RgbPicture& picture, std::string& reason);
