// The TGA reader on crafted files: orientation, run-length packets across rows, colour maps,
// and every rejection.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <initializer_list>
#include <vector>

#include "render/image_limits.h"
#include "render/tga.h"
#include "render/tga_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// An 18-byte header followed by body.
Bytes tgaFile(int type, int depth, int width, int height, int descriptor, const Bytes& body, int mapType = 0,
              int mapFirst = 0, int mapLength = 0, int mapBits = 0, int idLength = 0) {
  const std::uint8_t header[18] = {std::uint8_t(idLength), std::uint8_t(mapType), std::uint8_t(type),
                                   std::uint8_t(mapFirst), std::uint8_t(mapFirst >> 8), std::uint8_t(mapLength),
                                   std::uint8_t(mapLength >> 8), std::uint8_t(mapBits), 0, 0, 0, 0,
                                   std::uint8_t(width), std::uint8_t(width >> 8), std::uint8_t(height),
                                   std::uint8_t(height >> 8), std::uint8_t(depth), std::uint8_t(descriptor)};
  Bytes file(sizeof header + body.size());
  std::copy(std::begin(header), std::end(header), file.begin());
  std::copy(body.begin(), body.end(), file.begin() + sizeof header);
  return file;
}

std::optional<TgaImage> decode(const Bytes& file) {
  return readTga(std::as_bytes(std::span<const std::uint8_t>(file)));
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Bytes bottomRow = {1, 2, 3, 4, 5, 6};
const Bytes topRow = {7, 8, 9, 10, 11, 12};

}  // namespace

TEST(TgaReader, ThirtyByteImageStoredBottomUp) {
  Bytes file = tgaFile(2, 24, 2, 2, 0, concat({bottomRow, topRow}));
  ASSERT_EQ(file.size(), 30u);
  auto image = decode(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 2);
  EXPECT_EQ(image->height, 2);
  EXPECT_EQ(image->components, 3);
  EXPECT_EQ(image->format, glBgr);
  EXPECT_EQ(image->colourMapEntries, 0);
  EXPECT_TRUE(image->colourMap.empty());
  EXPECT_EQ(image->pixels, concat({bottomRow, topRow}));
}

TEST(TgaReader, OrientationBitsAllGiveBottomRowFirstLeftToRight) {
  const Bytes expected = concat({bottomRow, topRow});
  auto reversed = [](const Bytes& row) { return Bytes{row[3], row[4], row[5], row[0], row[1], row[2]}; };
  struct Case {
    int descriptor;
    Bytes body;
  } cases[] = {
      {tga::topToBottomBit, concat({topRow, bottomRow})},
      {tga::rightToLeftBit, concat({reversed(bottomRow), reversed(topRow)})},
      {tga::rightToLeftBit | tga::topToBottomBit, concat({reversed(topRow), reversed(bottomRow)})},
      {0x0F, concat({bottomRow, topRow})},  // alpha-bit count and other bits are ignored
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.descriptor);
    auto image = decode(tgaFile(2, 24, 2, 2, c.descriptor, c.body));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, expected);
  }
}

TEST(TgaReader, RunAndRawPackets) {
  // 0x83: one element four times; 0x02: three elements as they are. Width 7, one row.
  Bytes body = {0x83, 1, 2, 3, 0x02, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  auto image = decode(tgaFile(10, 24, 7, 1, 0, body));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(TgaReader, RunPacketCrossingARowFeedsTheNextRow) {
  // Width 8: six raw grey pixels, then a run of four that ends the first row and starts the
  // second, then six raw pixels; the file stores the top row first.
  Bytes body = {0x05, 1, 2, 3, 4, 5, 6, 0x83, 9, 0x05, 20, 21, 22, 23, 24, 25};
  auto image = decode(tgaFile(11, 8, 8, 2, tga::topToBottomBit, body));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->format, glLuminance);
  EXPECT_EQ(image->pixels, (Bytes{9, 9, 20, 21, 22, 23, 24, 25, 1, 2, 3, 4, 5, 6, 9, 9}));
}

TEST(TgaReader, RawPacketCrossingARowAndRightToLeftRows) {
  // A raw packet of 3 elements in rows of 2: the third element starts the next row; each row
  // is then reversed.
  Bytes body = {0x02, 1, 2, 3, 0x00, 4};
  auto image = decode(tgaFile(11, 8, 2, 2, tga::rightToLeftBit, concat({body, Bytes(16, 0)})));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, (Bytes{2, 1, 4, 3}));
}

TEST(TgaReader, RunLengthTrueColourWithAlpha) {
  Bytes body = {0x81, 10, 20, 30, 40, 0x01, 1, 2, 3, 4, 5, 6, 7, 8};
  auto image = decode(tgaFile(10, 32, 2, 2, 0, concat({body, Bytes(10, 0xEE)})));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->format, glBgra);
  EXPECT_EQ(image->components, 4);
  EXPECT_EQ(image->pixels, (Bytes{10, 20, 30, 40, 10, 20, 30, 40, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(TgaReader, ColourMapStartsAtItsFirstIndexAndTurnsRedGreenBlue) {
  // Two blue-green-red entries from index 2: entries 0 and 1 stay zero.
  Bytes map = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
  Bytes pixels = {2, 3, 3, 2};
  for (int type : {1, 9}) {
    SCOPED_TRACE(type);
    Bytes body = type == 1 ? pixels : Bytes{0x83, 2};
    auto image = decode(tgaFile(type, 8, 2, 2, 0, concat({map, body, Bytes(20, 0)}), 1, 2, 2, 24));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, glColourIndex);
    EXPECT_EQ(image->components, 1);
    EXPECT_EQ(image->colourMapEntries, 4);
    EXPECT_EQ(image->colourMapFormat, glRgb);
    EXPECT_EQ(image->colourMap, (Bytes{0, 0, 0, 0, 0, 0, 0x30, 0x20, 0x10, 0x60, 0x50, 0x40}));
    EXPECT_EQ(image->pixels, type == 1 ? pixels : (Bytes{2, 2, 2, 2}));
  }
}

TEST(TgaReader, IdFieldIsSkipped) {
  Bytes id = {'h', 'e', 'l', 'l', 'o'};
  auto image = decode(tgaFile(3, 8, 2, 2, 0, concat({id, Bytes{1, 2, 3, 4}, Bytes(10, 0)}), 0, 0, 0, 0, 5));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, (Bytes{1, 2, 3, 4}));
}

TEST(TgaReader, RejectsWhatItCannotRead) {
  const Bytes pixels24(12, 7);
  const Bytes map24 = {1, 2, 3};
  struct Case {
    const char* what;
    Bytes file;
  } cases[] = {
      {"1 x 1 file of 21 bytes, shorter than the footer area", tgaFile(2, 24, 1, 1, 0, {1, 2, 3})},
      {"empty file", {}},
      {"16-bit true colour", tgaFile(2, 16, 2, 2, 0, Bytes(20, 0))},
      {"16-bit run-length true colour", tgaFile(10, 16, 2, 2, 0, Bytes(20, 0))},
      {"8-bit true colour", tgaFile(2, 8, 2, 2, 0, Bytes(20, 0))},
      {"32-bit grey", tgaFile(3, 32, 2, 2, 0, Bytes(20, 0))},
      {"16-bit colour index", tgaFile(1, 16, 2, 2, 0, Bytes(20, 0), 1, 0, 1, 24)},
      {"colour map with 16-bit entries", tgaFile(1, 8, 2, 2, 0, Bytes(20, 0), 1, 0, 2, 16)},
      {"colour map with 32-bit entries", tgaFile(1, 8, 2, 2, 0, Bytes(20, 0), 1, 0, 2, 32)},
      {"colour-mapped without a map", tgaFile(1, 8, 2, 2, 0, Bytes(20, 0), 0, 0, 1, 24)},
      {"colour map of length 0", tgaFile(1, 8, 2, 2, 0, Bytes(20, 0), 1, 0, 0, 24)},
      {"short colour map", tgaFile(1, 8, 1, 1, 0, concat({map24, Bytes(8, 0)}), 1, 0, 4, 24)},
      {"true colour with a colour map", tgaFile(2, 24, 2, 2, 0, pixels24, 1, 0, 1, 24)},
      {"grey with a colour map", tgaFile(3, 8, 2, 2, 0, Bytes(12, 0), 1, 0, 1, 24)},
      {"image type 0", tgaFile(0, 24, 2, 2, 0, pixels24)},
      {"image type 32", tgaFile(32, 24, 2, 2, 0, pixels24)},
      {"truncated rows", tgaFile(2, 24, 4, 4, 0, pixels24)},
      {"run-length data ending early",
       tgaFile(10, 24, 8, 4, 0, {0x83, 1, 2, 3, 0x83, 1, 2, 3, 0x83, 1, 2, 3, 0x8F, 0, 0})},
      {"raw packet cut short", tgaFile(11, 8, 20, 1, 0, {0x7F, 1, 2, 3, 4, 5, 6, 7, 8, 9})},
      {"ID field past the end", tgaFile(2, 24, 1, 1, 0, Bytes(10, 0), 0, 0, 0, 0, 200)},
      {"zero width", tgaFile(2, 24, 0, 2, 0, pixels24)},
      {"zero height", tgaFile(2, 24, 2, 0, 0, pixels24)},
      {"wider than the cap", tgaFile(3, 8, 16385, 1, 0, Bytes(16400, 0))},
      {"a huge run-length picture from a few bytes", tgaFile(10, 32, 16384, 16384, 0, Bytes(20, 0xFF))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(decode(c.file));
  }
}

TEST(TgaReader, CapSizedGreyImageIsRead) {
  Bytes file = tgaFile(3, 8, 16384, 2, 0, Bytes(16384 * 2, 5));
  auto image = decode(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels.size(), 16384u * 2);
}

TEST(TgaReader, RunLengthPicturesAreCappedByTheirPixelCount) {
  // A run of 128 grey pixels takes two bytes, so a small file describes a huge picture: the one
  // of exactly the most pixels there may be is read, one column more is refused.
  for (int width : {4096, 4097}) {
    const std::size_t pixels = std::size_t(width) * 4096;
    Bytes runs;
    for (std::size_t left = pixels; left > 0; left -= std::min<std::size_t>(left, 128)) {
      runs.push_back(static_cast<std::uint8_t>(0x80 | (std::min<std::size_t>(left, 128) - 1)));
      runs.push_back(7);
    }
    runs.resize(runs.size() + 28, 0);  // the footer area a file keeps after its pixels
    auto image = decode(tgaFile(11, 8, width, 4096, 0, runs));
    EXPECT_EQ(bool(image), pixels <= maxImagePixels) << width;
    if (image) {
      EXPECT_EQ(image->pixels.size(), pixels);
    }
  }
}

TEST(TgaReader, FileLayerReadsAndRejects) {
  EXPECT_FALSE(readTgaFile("no-such-file.tga"));
  EXPECT_FALSE(readTgaFile("."));
  EXPECT_FALSE(readTgaFile(nullptr));
}
