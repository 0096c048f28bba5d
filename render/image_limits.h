// Limits every image reader applies before it allocates anything a file asks for.
#pragma once

#include <cstddef>
#include <cstdint>

// The longest side, in pixels, of an image the game will decode.
inline constexpr int maxImageSidePixels = 16384;
// The most pixels an image may have (4096 × 4096): its file, its decoded pixels and the texture
// GL builds from them stay well within the 256 MB any file may cost the game.
inline constexpr std::size_t maxImagePixels = std::size_t(1) << 24;
// The largest image file read into memory: the largest image of 4-byte pixels and its headers.
inline constexpr std::size_t maxImageFileBytes = maxImagePixels * 4 + 65536;

// a × b × c without wrapping; false when the product does not fit.
inline bool multiplyChecked(std::size_t a, std::size_t b, std::size_t c, std::size_t& product) {
  std::size_t ab = 0;
  return !__builtin_mul_overflow(a, b, &ab) && !__builtin_mul_overflow(ab, c, &product);
}
