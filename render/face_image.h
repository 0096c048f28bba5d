// The image of one environment-cube face: 128 × 128 RGB pixels, 3 bytes each, rows tightly
// packed, row 0 first. Pure byte work, no GL.
#pragma once

#include <cstddef>
#include <span>

inline constexpr int faceSide = 128;  // pixels per side of every cube face and of its capture
inline constexpr std::size_t faceImageBytes = std::size_t(faceSide) * faceSide * 3;  // 49 152

using FaceImageIn = std::span<const unsigned char, faceImageBytes>;
using FaceImageOut = std::span<unsigned char, faceImageBytes>;

// Turns the image by 180°: pixel (r, c) of the source becomes pixel (127 - r, 127 - c) of the
// destination, its three bytes kept in order. Source and destination must not overlap.
void rotateImage180(FaceImageIn source, FaceImageOut destination);

// Copies the image unchanged.
void copyImage(FaceImageIn source, FaceImageOut destination);

// The mipmap chain of a face: level 0 is the face itself (128 × 128), each further level halves
// the side, down to 1 × 1 at level 7. Levels 1 to 7 lie one after the other, each tightly packed.
inline constexpr int faceMipLevels = 8;
inline constexpr std::size_t faceMipTailBytes = (faceImageBytes - 3) / 3;  // levels 1..7: 16 383

using FaceMipTail = std::span<unsigned char, faceMipTailBytes>;

// Side in pixels of a level, and where it starts in the tail (levels 1 and above).
constexpr int faceMipSide(int level) { return faceSide >> level; }
constexpr std::size_t faceMipOffset(int level) {
  std::size_t offset = 0;
  for (int l = 1; l < level; ++l) offset += std::size_t(faceMipSide(l)) * faceMipSide(l) * 3;
  return offset;
}
static_assert(faceMipOffset(faceMipLevels) == faceMipTailBytes);
static_assert(faceMipTailBytes == (std::size_t(faceSide) * faceSide - 1) / 3 * 3);

// Halves a square RGB image of `side` (even) pixels: each output byte is the rounded mean of
// the 2 × 2 bytes above it, (a + b + c + d + 2) / 4, as GLU's mipmap builder computes them.
void halveImage(const unsigned char* source, int side, unsigned char* destination);

// Fills levels 1 to 7 of a face's mipmap chain from the face.
void buildFaceMipTail(FaceImageIn face, FaceMipTail tail);

// The same for any square RGB image whose side is a power of two: the bytes of its levels 1 and
// above (down to 1 × 1), and the levels themselves, one after the other, each halved from the
// one before.
constexpr std::size_t mipTailBytes(int side) { return (std::size_t(side) * side - 1) / 3 * 3; }
void buildMipTail(const unsigned char* image, int side, unsigned char* tail);
