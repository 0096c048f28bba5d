// Limits every image reader applies before it allocates anything a file asks for.
#pragma once

#include <cstddef>
#include <cstdint>

// The longest side, in pixels, of an image the game will decode.
inline constexpr int maxImageSidePixels = 16384;
// The largest image file read into memory: a 16384 × 16384 image of 4-byte pixels and its headers.
inline constexpr std::size_t maxImageFileBytes = std::size_t(16384) * 16384 * 4 + 65536;

// a × b × c without wrapping; false when the product does not fit.
inline bool multiplyChecked(std::size_t a, std::size_t b, std::size_t c, std::size_t& product) {
  std::size_t ab = 0;
  return !__builtin_mul_overflow(a, b, &ab) && !__builtin_mul_overflow(ab, c, &product);
}
