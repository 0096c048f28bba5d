// The Truevision TGA layout as the game reads it: header fields, image types and limits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tga {

inline constexpr std::size_t headerBytes = 18;
// The reader insists on a file at least as long as the footer area, whose content it ignores.
inline constexpr std::size_t footerBytes = 28;

// Header field offsets (little-endian).
inline constexpr std::size_t idLengthOffset = 0;
inline constexpr std::size_t colourMapTypeOffset = 1;
inline constexpr std::size_t imageTypeOffset = 2;
inline constexpr std::size_t colourMapFirstOffset = 3;
inline constexpr std::size_t colourMapLengthOffset = 5;
inline constexpr std::size_t colourMapEntryBitsOffset = 7;
inline constexpr std::size_t widthOffset = 12;
inline constexpr std::size_t heightOffset = 14;
inline constexpr std::size_t pixelDepthOffset = 16;
inline constexpr std::size_t descriptorOffset = 17;

// Image descriptor bits.
inline constexpr std::uint8_t rightToLeftBit = 0x10;
inline constexpr std::uint8_t topToBottomBit = 0x20;

// Image types.
inline constexpr int typeColourMapped = 1;
inline constexpr int typeTrueColour = 2;
inline constexpr int typeGrey = 3;
inline constexpr int typeColourMappedRle = 9;
inline constexpr int typeTrueColourRle = 10;
inline constexpr int typeGreyRle = 11;
inline constexpr int runLengthFlag = 8;  // set in each run-length type, over its plain type

// The only colour-map entry size accepted, in bits (blue, green, red).
inline constexpr int colourMapEntryBits = 24;

// Run-length packets: the high bit marks a run, the low seven bits hold the element count - 1.
inline constexpr std::uint8_t runPacketBit = 0x80;
inline constexpr int maxPacketElements = 128;
inline constexpr int maxElementBytes = 4;

}  // namespace tga

// GL pixel formats the reader reports, by value so the reader needs no GL header.
inline constexpr unsigned glColourIndex = 0x1900;  // GL_COLOR_INDEX
inline constexpr unsigned glLuminance = 0x1909;    // GL_LUMINANCE
inline constexpr unsigned glRgb = 0x1907;          // GL_RGB
inline constexpr unsigned glBgr = 0x80E0;          // GL_BGR_EXT
inline constexpr unsigned glBgra = 0x80E1;         // GL_BGRA_EXT
