// The TGA reader: uncompressed and run-length-encoded colour-mapped, true-colour and grey images.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct TgaImage {
  int width = 0;                        // pixels per row
  int height = 0;                       // rows
  int components = 0;                   // 1, 3 or 4: the internal format handed to GL
  unsigned format = 0;                  // GL pixel format of `pixels`: colour index, BGR, BGRA or luminance
  int colourMapEntries = 0;             // first entry index + map length for colour-mapped images, else 0
  unsigned colourMapFormat = 0;         // GL_RGB: the entries are turned to red, green, blue
  std::vector<std::uint8_t> colourMap;  // 3 bytes per entry; entries below the first index are zero
  std::vector<std::uint8_t> pixels;     // rows bottom first, each left to right, depth / 8 bytes a pixel
};

// Decodes a whole TGA file; none on any fault (the reader prints nothing).
std::optional<TgaImage> readTga(std::span<const std::byte> file);

// Reads and decodes the file at path; none when it cannot be read or decoded.
std::optional<TgaImage> readTgaFile(const char* path);
