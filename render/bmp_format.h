// The Windows bitmap layout as the game reads it: file header, the two info headers it knows,
// compressions, and the reader's four messages.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bmp {

// The optional file header: "BM", file size, two reserved words, the offset of the pixel data.
inline constexpr std::size_t fileHeaderBytes = 14;
inline constexpr std::size_t pixelOffsetOffset = 10;

// Info header sizes: the 12-byte core header (16-bit width and height) and the 40-byte one.
inline constexpr std::uint32_t coreHeaderBytes = 12;
inline constexpr std::uint32_t infoHeaderBytes = 40;

// Fields of the 40-byte info header, relative to its start.
inline constexpr std::size_t widthOffset = 4;
inline constexpr std::size_t heightOffset = 8;
inline constexpr std::size_t planesOffset = 12;
inline constexpr std::size_t bitCountOffset = 14;
inline constexpr std::size_t compressionOffset = 16;
inline constexpr std::size_t coloursUsedOffset = 32;

// Fields of the 12-byte core header.
inline constexpr std::size_t coreWidthOffset = 4;
inline constexpr std::size_t coreHeightOffset = 6;
inline constexpr std::size_t corePlanesOffset = 8;
inline constexpr std::size_t coreBitCountOffset = 10;

// Compressions.
inline constexpr std::uint32_t compressionNone = 0;
inline constexpr std::uint32_t compressionRle8 = 1;
inline constexpr std::uint32_t compressionRle4 = 2;

// Colour-table entry sizes: blue, green, red after the core header, plus a reserved byte after
// the info header.
inline constexpr std::size_t coreColourBytes = 3;
inline constexpr std::size_t infoColourBytes = 4;

// The reader's messages.
inline constexpr const char* openFailedText = "Failed to open DIB file %s.\n";
inline constexpr const char* unknownFormatText = "Unknown DIB file format.";
inline constexpr const char* outOfMemoryText = "Out of memory.";
inline constexpr const char* conversionErrorText = "Image file conversion error.";

}  // namespace bmp
