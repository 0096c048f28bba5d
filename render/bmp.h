// The BMP reader: 12- and 40-byte headers, with or without the file header; uncompressed 1-, 4-,
// 8-, 16-, 24- and 32-bit pixels and run-length-encoded 4- and 8-bit ones, as red-green-blue rows.
// Also the small 24-bit writer the tools and tests make images with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct RgbImage {
  int width = 0;                     // pixels per row
  int height = 0;                    // rows (a top-down file's height comes back positive)
  std::vector<std::uint8_t> pixels;  // red, green, blue; rows bottom first, without padding
};

// Why a BMP did not decode; each has the reader's message.
enum class BmpFailure {
  none,
  openFailed,       // "Failed to open DIB file %s.\n"
  unknownFormat,    // "Unknown DIB file format.": header size, bit count or compression not read
  outOfMemory,      // "Out of memory.": dimensions beyond the cap or an allocation that fails
  conversionError,  // "Image file conversion error.": pixel data missing, short or damaged
};

// Decodes a whole BMP file into image; returns why it failed, or none.
BmpFailure decodeBmp(std::span<const std::byte> file, RgbImage& image);

// The message text of a failure (the open failure's holds a %s for the path).
const char* bmpFailureText(BmpFailure failure);

// Reads and decodes the file at path; on failure prints the reader's message on standard error
// and returns none.
std::optional<RgbImage> readBmp(const char* path);

// A 24-bit uncompressed BMP with the file header of an image whose rows are red, green, blue,
// bottom first, without padding (pixels holds width × height × 3 bytes).
std::vector<std::byte> writeBmp24(int width, int height, std::span<const std::uint8_t> pixels);
