// The preview's PNG files: what it writes reads back exactly, every row filter decodes, and a
// damaged file is refused with a reason instead of crashing.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/preview/png.h"

namespace {

RgbPicture pattern(int width, int height) {
  RgbPicture p;
  p.width = width;
  p.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.pixels.insert(p.pixels.end(), {static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 13),
                                       static_cast<std::uint8_t>((x ^ y) * 31)});
  return p;
}

void put32(std::vector<std::byte>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::byte>((v >> shift) & 0xFF));
}

// A file written by hand: the picture's raw rows as given (filter byte first) and a header whose
// bit depth and colour type can be chosen.
std::vector<std::byte> handMade(int width, int height, const std::vector<std::uint8_t>& rows, int depth = 8, int type = 2) {
  std::vector<std::byte> out;
  for (int b : {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}) out.push_back(static_cast<std::byte>(b));
  auto chunk = [&](const char* name, const std::vector<std::uint8_t>& data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t at = out.size();
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::byte>(name[i]));
    for (std::uint8_t b : data) out.push_back(static_cast<std::byte>(b));
    put32(out, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(out.data() + at), static_cast<uInt>(out.size() - at))));
  };
  std::vector<std::uint8_t> header = {0, 0, 0, static_cast<std::uint8_t>(width), 0, 0, 0, static_cast<std::uint8_t>(height),
                                      static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(type), 0, 0, 0};
  chunk("IHDR", header);
  uLongf size = compressBound(static_cast<uLong>(rows.size()));
  std::vector<std::uint8_t> packed(size);
  compress(packed.data(), &size, rows.data(), static_cast<uLong>(rows.size()));
  packed.resize(size);
  chunk("IDAT", packed);
  chunk("IEND", {});
  return out;
}

}  // namespace

TEST(PreviewPng, WhatIsWrittenReadsBackExactly) {
  for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {17, 5}, {64, 64}}) {
    const RgbPicture picture = pattern(w, h);
    RgbPicture back;
    std::string reason;
    ASSERT_TRUE(decodePng(encodePng(picture), back, reason)) << w << "x" << h << ": " << reason;
    EXPECT_EQ(back.width, w);
    EXPECT_EQ(back.height, h);
    EXPECT_EQ(back.pixels, picture.pixels) << w << "x" << h;
  }
}

TEST(PreviewPng, EveryRowFilterDecodes) {
  // Two rows of two pixels; each filter's bytes worked out by hand to give the same picture:
  // row 0 (10 20 30)(40 60 80), row 1 (15 25 35)(50 70 90).
  const std::vector<std::uint8_t> expected = {10, 20, 30, 40, 60, 80, 15, 25, 35, 50, 70, 90};
  const std::vector<std::vector<std::uint8_t>> rows = {
      {0, 10, 20, 30, 40, 60, 80, 0, 15, 25, 35, 50, 70, 90},
      {1, 10, 20, 30, 30, 40, 50, 1, 15, 25, 35, 35, 45, 55},
      {2, 10, 20, 30, 40, 60, 80, 2, 5, 5, 5, 10, 10, 10},
      // average: row 0 predicts a/2; row 1 predicts (left + above) / 2
      {3, 10, 20, 30, 35, 50, 65, 3, 10, 15, 20, 23, 28, 33},
      // paeth: row 0 predicts the left pixel; row 1 at x 0 the pixel above, at x 1 the nearest of
      // left, above and above-left to left + above - above-left
      {4, 10, 20, 30, 30, 40, 50, 4, 5, 5, 5, 10, 10, 10},
  };
  for (std::size_t f = 0; f < rows.size(); ++f) {
    RgbPicture picture;
    std::string reason;
    ASSERT_TRUE(decodePng(handMade(2, 2, rows[f]), picture, reason)) << "filter " << f << ": " << reason;
    EXPECT_EQ(picture.pixels, expected) << "filter " << f;
  }
}

TEST(PreviewPng, DamagedFilesAreRefused) {
  const std::vector<std::byte> good = encodePng(pattern(9, 7));
  RgbPicture picture;
  std::string reason;
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_FALSE(decodePng(std::span(good).first(cut), picture, reason)) << "cut at " << cut;
    EXPECT_FALSE(reason.empty());
  }
  for (std::size_t at = 8; at < good.size(); at += 3) {
    std::vector<std::byte> bad = good;
    bad[at] ^= std::byte{0x41};
    EXPECT_FALSE(decodePng(bad, picture, reason)) << "byte " << at << " changed";
  }
  const std::vector<std::uint8_t> rows(2 * (1 + 6), 0);
  EXPECT_FALSE(decodePng(handMade(2, 2, rows, 16, 2), picture, reason));
  EXPECT_FALSE(decodePng(handMade(2, 2, rows, 8, 6), picture, reason));
  EXPECT_FALSE(decodePng(handMade(2, 2, std::vector<std::uint8_t>(13, 0)), picture, reason)) << "one byte short";
  EXPECT_FALSE(decodePng(handMade(2, 2, {5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), picture, reason)) << "filter 5";
}
