// The BMP reader on crafted files: both header sizes, with and without the file header, every
// bit depth it reads, run-length data, top-down rows, and every rejection with its message.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "render/bmp.h"
#include "tests/support/test_files.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct BmpLayout {
  std::uint32_t headerBytes = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  int bits = 24;
  std::uint32_t compression = 0;
  std::vector<Bytes> palette = {};  // blue, green, red
  std::uint32_t coloursUsed = 0;
  bool fileHeader = true;
  std::int64_t pixelOffset = -1;  // -1: right after the colour table
  int planes = 1;
};

void put(Bytes& b, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

void put32At(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

Bytes bmpFile(const BmpLayout& s, const Bytes& data) {
  Bytes info;
  put(info, s.headerBytes, 4);
  if (s.headerBytes == 12) {
    put(info, std::uint32_t(s.width), 2);
    put(info, std::uint32_t(s.height), 2);
    put(info, std::uint32_t(s.planes), 2);
    put(info, std::uint32_t(s.bits), 2);
  } else {
    put(info, std::uint32_t(s.width), 4);
    put(info, std::uint32_t(s.height), 4);
    put(info, std::uint32_t(s.planes), 2);
    put(info, std::uint32_t(s.bits), 2);
    put(info, s.compression, 4);
    put(info, 0, 4);
    put(info, 2835, 4);
    put(info, 2835, 4);
    put(info, s.coloursUsed, 4);
    put(info, 0, 4);
    info.resize(s.headerBytes, 0);
  }
  // An index table holds every colour the depth can name unless the colours-used field says less.
  std::vector<Bytes> palette = s.palette;
  if (s.headerBytes == 12 && s.bits <= 8) palette.resize(std::size_t(1) << s.bits, Bytes{0, 0, 0});
  if (s.headerBytes == 40 && s.coloursUsed == 0 && !palette.empty()) put32At(info, 32, std::uint32_t(palette.size()));
  for (const Bytes& entry : palette) {
    info.insert(info.end(), entry.begin(), entry.begin() + 3);
    if (s.headerBytes != 12) info.push_back(0);
  }
  Bytes file;
  if (s.fileHeader) {
    std::uint32_t offset = s.pixelOffset >= 0 ? std::uint32_t(s.pixelOffset) : std::uint32_t(14 + info.size());
    file = {'B', 'M'};
    put(file, std::uint32_t(14 + info.size() + data.size()), 4);
    put(file, 0, 4);
    put(file, offset, 4);
  }
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

BmpFailure decode(const Bytes& file, RgbImage& image) {
  return decodeBmp(std::as_bytes(std::span<const std::uint8_t>(file)), image);
}

const std::vector<Bytes> fourColours = {{0, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 0, 0}};  // black, red, green, blue
const Bytes black = {0, 0, 0}, blue = {0, 0, 255}, green = {0, 255, 0}, red = {255, 0, 0};

Bytes rgbRow(std::initializer_list<Bytes> pixels) {
  Bytes row;
  for (const Bytes& p : pixels) row.insert(row.end(), p.begin(), p.end());
  return row;
}

// A file that decodes, and the pixels it gives.
struct DecodeCase {
  const char* what;
  BmpLayout layout;
  Bytes data;
  Bytes expected;
};

void expectEachDecodes(std::span<const DecodeCase> cases) {
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.what);
    RgbImage image;
    ASSERT_EQ(decode(bmpFile(c.layout, c.data), image), BmpFailure::none);
    EXPECT_EQ(image.pixels, c.expected);
  }
}

}  // namespace

TEST(BmpReader, Width3RowsDropTheirPaddingAndSwapRedAndBlue) {
  BmpLayout layout;
  layout.width = 3;
  layout.height = 2;
  Bytes data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xAA, 0xAA, 0xAA, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0xBB, 0xBB, 0xBB};
  RgbImage image;
  ASSERT_EQ(decode(bmpFile(layout, data), image), BmpFailure::none);
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 13, 12, 11, 16, 15, 14, 19, 18, 17}));
}

TEST(BmpReader, PalettedDepthsYieldTheirPaletteColours) {
  const DecodeCase cases[] = {
      {"8-bit", {40, 4, 1, 8, 0, fourColours}, {3, 2, 1, 0}, rgbRow({blue, green, red, black})},
      {"8-bit, 12-byte header", {12, 4, 1, 8, 0, fourColours}, {0, 1, 2, 3}, rgbRow({black, red, green, blue})},
      {"4-bit, odd width", {40, 3, 1, 4, 0, fourColours}, {0x13, 0x20, 0, 0}, rgbRow({red, blue, green})},
      {"1-bit, most significant bit first",
       {40, 10, 1, 1, 0, {fourColours[0], fourColours[3]}},
       {0xA0, 0x40, 0, 0},
       rgbRow({blue, black, blue, black, black, black, black, black, black, blue})},
      {"1-bit, 12-byte header, two rows",
       {12, 2, 2, 1, 0, {fourColours[1], fourColours[2]}},
       {0x40, 0, 0, 0, 0x80, 0, 0, 0},
       rgbRow({red, green, green, red})},
      {"colours used smaller than the depth allows",
       {40, 2, 1, 8, 0, {fourColours[2], fourColours[3]}, 2},
       {1, 0, 0, 0},
       rgbRow({blue, green})},
  };
  expectEachDecodes(cases);
}

TEST(BmpReader, SixteenAndThirtyTwoBitPixels) {
  BmpLayout layout16{40, 2, 1, 16};
  // x1r5g5b5: pure red, then red 1, green 16, blue 31.
  RgbImage image;
  ASSERT_EQ(decode(bmpFile(layout16, {0x00, 0x7C, 0x1F, 0x06}), image), BmpFailure::none);
  EXPECT_EQ(image.pixels, (Bytes{255, 0, 0, 8, 132, 255}));
  BmpLayout layout32{40, 1, 1, 32};
  ASSERT_EQ(decode(bmpFile(layout32, {10, 20, 30, 40}), image), BmpFailure::none);
  EXPECT_EQ(image.pixels, (Bytes{30, 20, 10}));
}

TEST(BmpReader, BareBitmapReadsLikeTheSameBitmapWithItsFileHeader) {
  for (std::uint32_t header : {12u, 40u}) {
    SCOPED_TRACE(header);
    BmpLayout layout{header, 4, 2, 8, 0, fourColours};
    Bytes data = {0, 1, 2, 3, 3, 2, 1, 0};
    RgbImage with, without;
    ASSERT_EQ(decode(bmpFile(layout, data), with), BmpFailure::none);
    layout.fileHeader = false;
    ASSERT_EQ(decode(bmpFile(layout, data), without), BmpFailure::none);
    EXPECT_EQ(with.pixels, without.pixels);
    EXPECT_EQ(with.pixels.size(), 24u);
  }
}

TEST(BmpReader, PixelOffsetFromTheFileHeaderIsHonoured) {
  BmpLayout layout{40, 1, 1, 24};
  layout.pixelOffset = 14 + 40 + 4;
  RgbImage image;
  ASSERT_EQ(decode(bmpFile(layout, {9, 9, 9, 9, 1, 2, 3, 0}), image), BmpFailure::none);
  EXPECT_EQ(image.pixels, (Bytes{3, 2, 1}));
}

TEST(BmpReader, TopDownRowsAreTurnedBottomUp) {
  BmpLayout layout{40, 1, -3, 8, 0, fourColours};
  RgbImage image;
  ASSERT_EQ(decode(bmpFile(layout, {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}), image), BmpFailure::none);
  EXPECT_EQ(image.height, 3);
  EXPECT_EQ(image.pixels, rgbRow({blue, green, red}));
}

TEST(BmpReader, RunLengthData) {
  const DecodeCase cases[] = {
      // A run, an absolute run padded to a word, end of line, a delta of (1, 1) that skips the
      // second row, a run, end of bitmap; pixels the data never names keep the first colour.
      {"8-bit",
       {40, 6, 3, 8, 1, fourColours},
       {2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 1, 3, 3, 0, 1},
       rgbRow({red, red, green, blue, red, black, black, black, black, black, black, black, black, blue, blue, blue,
               black, black})},
      // Runs that fill rows of 2 out to their 4-pixel words, as ImageMagick writes them.
      {"8-bit, rows filled out to whole words",
       {40, 2, 2, 8, 1, fourColours},
       {4, 1, 0, 0, 2, 2, 0, 2, 0, 0, 0, 1},
       rgbRow({red, red, green, green})},
      {"4-bit",
       {40, 8, 1, 4, 2, fourColours},
       {5, 0x12, 0, 3, 0x31, 0x20, 0, 1},
       rgbRow({red, green, red, green, red, blue, red, green})},
  };
  expectEachDecodes(cases);
}

TEST(BmpReader, RejectsDamagedFilesWithTheirMessage) {
  BmpLayout rgb24{40, 2, 2, 24};
  const Bytes rows24(16, 0);
  BmpLayout rle8{40, 2, 2, 8, 1, fourColours};
  BmpLayout rle4{40, 2, 2, 4, 2, fourColours};
  auto with = [](BmpLayout s, auto change) {
    change(s);
    return s;
  };
  struct Case {
    const char* what;
    Bytes file;
    BmpFailure failure;
  } cases[] = {
      {"108-byte header", bmpFile(with(rgb24, [](BmpLayout& s) { s.headerBytes = 108; }), rows24),
       BmpFailure::unknownFormat},
      {"64-byte header", bmpFile(with(rgb24, [](BmpLayout& s) { s.headerBytes = 64; }), rows24),
       BmpFailure::unknownFormat},
      {"empty file", {}, BmpFailure::unknownFormat},
      {"file header only", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}, BmpFailure::unknownFormat},
      {"header cut short", [&] { Bytes f = bmpFile(rgb24, rows24); f.resize(30); return f; }(),
       BmpFailure::unknownFormat},
      {"2-bit pixels", bmpFile(with(rgb24, [](BmpLayout& s) { s.bits = 2; }), rows24), BmpFailure::unknownFormat},
      {"bit count 0", bmpFile(with(rgb24, [](BmpLayout& s) { s.bits = 0; }), rows24), BmpFailure::unknownFormat},
      {"two planes", bmpFile(with(rgb24, [](BmpLayout& s) { s.planes = 2; }), rows24), BmpFailure::unknownFormat},
      {"bit fields", bmpFile(with(rgb24, [](BmpLayout& s) { s.compression = 3; }), rows24), BmpFailure::unknownFormat},
      {"RLE8 on 24-bit pixels", bmpFile(with(rgb24, [](BmpLayout& s) { s.compression = 1; }), rows24),
       BmpFailure::unknownFormat},
      {"width beyond the cap", bmpFile(with(rgb24, [](BmpLayout& s) { s.width = 16385; }), rows24),
       BmpFailure::outOfMemory},
      {"height beyond the cap", bmpFile(with(rgb24, [](BmpLayout& s) { s.height = -16385; }), rows24),
       BmpFailure::outOfMemory},
      {"the largest height there is", bmpFile(with(rgb24, [](BmpLayout& s) { s.height = INT32_MIN; }), rows24),
       BmpFailure::outOfMemory},
      {"a cap-sized picture without its pixels",
       bmpFile(with(rgb24, [](BmpLayout& s) { s.width = s.height = 4096; }), rows24), BmpFailure::conversionError},
      {"more pixels than the cap, each side within it",
       bmpFile(with(rgb24, [](BmpLayout& s) { s.width = 4097, s.height = -4096; }), rows24), BmpFailure::outOfMemory},
      {"negative width", bmpFile(with(rgb24, [](BmpLayout& s) { s.width = -2; }), rows24), BmpFailure::conversionError},
      {"zero height", bmpFile(with(rgb24, [](BmpLayout& s) { s.height = 0; }), rows24), BmpFailure::conversionError},
      {"short pixel data", bmpFile(rgb24, Bytes(15, 0)), BmpFailure::conversionError},
      {"pixel data offset past the end", bmpFile(with(rgb24, [](BmpLayout& s) { s.pixelOffset = 1000; }), rows24),
       BmpFailure::conversionError},
      {"pixel data offset far past the end",
       bmpFile(with(rgb24, [](BmpLayout& s) { s.pixelOffset = 0xFFFFFFF0; }), rows24), BmpFailure::conversionError},
      {"colour table past the end",
       bmpFile(with(rgb24, [](BmpLayout& s) { s.bits = 8, s.coloursUsed = 0x40000000; }), rows24),
       BmpFailure::conversionError},
      {"palette index beyond the palette", bmpFile({40, 2, 1, 8, 0, fourColours, 4}, {1, 4, 0, 0}),
       BmpFailure::conversionError},
      {"RLE8 run past its padded row", bmpFile(rle8, {5, 1, 0, 1}), BmpFailure::conversionError},
      {"RLE8 absolute run past its padded row", bmpFile(rle8, {0, 5, 1, 1, 1, 1, 1, 0, 0, 1}),
       BmpFailure::conversionError},
      {"RLE8 rows past the image", bmpFile(rle8, {0, 0, 0, 0, 1, 1, 0, 1}), BmpFailure::conversionError},
      {"RLE8 delta past the image", bmpFile(rle8, {0, 2, 0, 3, 0, 1}), BmpFailure::conversionError},
      {"RLE8 absolute run cut short", bmpFile(rle8, {0, 4, 1, 1}), BmpFailure::conversionError},
      {"RLE8 without end of bitmap", bmpFile(rle8, {2, 1}), BmpFailure::conversionError},
      {"RLE8 index beyond the palette", bmpFile(rle8, {2, 9, 0, 1}), BmpFailure::conversionError},
      {"RLE4 run past its padded row", bmpFile(rle4, {9, 0x11, 0, 1}), BmpFailure::conversionError},
      {"RLE on a top-down picture", bmpFile(with(rle8, [](BmpLayout& s) { s.height = -2; }), {0, 1}),
       BmpFailure::conversionError},
      {"a huge RLE picture from a few bytes",
       bmpFile(with(rle8, [](BmpLayout& s) { s.width = s.height = 16384; }), {0, 1}), BmpFailure::outOfMemory},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    RgbImage image;
    image.width = 77;
    EXPECT_EQ(decode(c.file, image), c.failure);
    EXPECT_EQ(image.width, 77) << "a failed decode leaves the image alone";
  }
}

TEST(BmpReader, MessagesGoToStandardError) {
  ScratchDir dir("bmp-messages");
  BmpLayout layout{108, 1, 1, 24};
  Bytes file = bmpFile(layout, {1, 2, 3, 0});
  auto path = dir.write("v4.bmp", std::string(file.begin(), file.end()));
  std::string missing = (dir.path() / "missing.bmp").string();
  struct Case {
    std::string path;
    std::string message;
  } cases[] = {
      {missing, "Failed to open DIB file " + missing + ".\n"},
      {path.string(), "Unknown DIB file format.\n"},
      {dir.path().string(), "Failed to open DIB file " + dir.path().string() + ".\n"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readBmp(c.path.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
  }
}

TEST(BmpReader, WriterRoundTrips) {
  const int width = 5, height = 3;
  std::vector<std::uint8_t> pixels(width * height * 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = std::uint8_t(i * 7 + 1);
  std::vector<std::byte> file = writeBmp24(width, height, pixels);
  EXPECT_EQ(file.size(), 14u + 40 + 16 * 3);
  RgbImage image;
  ASSERT_EQ(decodeBmp(file, image), BmpFailure::none);
  EXPECT_EQ(image.width, width);
  EXPECT_EQ(image.height, height);
  EXPECT_EQ(image.pixels, pixels);
}
