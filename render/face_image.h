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
