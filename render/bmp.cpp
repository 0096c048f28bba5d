// BMP decoding from memory. Every offset and count the file holds is checked against the bytes
// that are there before anything is read or allocated; a damaged file gets one of the four
// messages, never a read or write outside the buffers.
#include "render/bmp.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "base/bytes.h"
#include "base/console.h"
#include "base/data_file.h"
#include "render/bmp_format.h"
#include "render/image_limits.h"

namespace {

// Fields at their offsets in the file.
std::uint32_t u8(std::span<const std::byte> b, std::size_t at) { return ByteReader(b, at).u8(); }
std::uint32_t u16(std::span<const std::byte> b, std::size_t at) { return ByteReader(b, at).u16(); }
std::uint32_t u32(std::span<const std::byte> b, std::size_t at) { return ByteReader(b, at).u32(); }

using Colour = std::array<std::uint8_t, 3>;  // red, green, blue

struct Layout {
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: rows stored top row first
  std::uint32_t planes = 0;
  std::uint32_t bitCount = 0;
  std::uint32_t compression = 0;
  std::size_t paletteEntries = 0;  // entries the file holds
  std::size_t paletteOffset = 0;
  std::size_t paletteEntryBytes = 0;
  std::size_t pixelOffset = 0;
};

BmpFailure readLayout(std::span<const std::byte> file, Layout& layout) {
  std::size_t info = 0;
  bool fileHeader = file.size() >= 2 && file[0] == std::byte{'B'} && file[1] == std::byte{'M'};
  if (fileHeader) {
    if (file.size() < bmp::fileHeaderBytes + 4) return BmpFailure::unknownFormat;
    layout.pixelOffset = u32(file, bmp::pixelOffsetOffset);
    info = bmp::fileHeaderBytes;
  }
  if (file.size() - info < 4) return BmpFailure::unknownFormat;
  const std::uint32_t headerBytes = u32(file, info);
  if (headerBytes != bmp::coreHeaderBytes && headerBytes != bmp::infoHeaderBytes) return BmpFailure::unknownFormat;
  if (file.size() - info < headerBytes) return BmpFailure::unknownFormat;

  std::uint64_t coloursUsed = 0;
  if (headerBytes == bmp::coreHeaderBytes) {
    layout.width = u16(file, info + bmp::coreWidthOffset);
    layout.height = u16(file, info + bmp::coreHeightOffset);
    layout.planes = u16(file, info + bmp::corePlanesOffset);
    layout.bitCount = u16(file, info + bmp::coreBitCountOffset);
    layout.paletteEntryBytes = bmp::coreColourBytes;
  } else {
    layout.width = std::int32_t(u32(file, info + bmp::widthOffset));
    layout.height = std::int32_t(u32(file, info + bmp::heightOffset));
    layout.planes = u16(file, info + bmp::planesOffset);
    layout.bitCount = u16(file, info + bmp::bitCountOffset);
    layout.compression = u32(file, info + bmp::compressionOffset);
    coloursUsed = u32(file, info + bmp::coloursUsedOffset);
    layout.paletteEntryBytes = bmp::infoColourBytes;
  }

  switch (layout.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return BmpFailure::unknownFormat;
  }
  const bool compressionFits =
      layout.compression == bmp::compressionNone ||
      (layout.compression == bmp::compressionRle8 && layout.bitCount == 8) ||
      (layout.compression == bmp::compressionRle4 && layout.bitCount == 4);
  if (!compressionFits || layout.planes != 1) return BmpFailure::unknownFormat;

  if (coloursUsed == 0 && layout.bitCount <= 8) coloursUsed = std::uint64_t(1) << layout.bitCount;
  layout.paletteOffset = info + headerBytes;
  if (coloursUsed * layout.paletteEntryBytes > file.size() - layout.paletteOffset) return BmpFailure::conversionError;
  layout.paletteEntries = std::size_t(coloursUsed);
  if (!fileHeader) layout.pixelOffset = layout.paletteOffset + layout.paletteEntries * layout.paletteEntryBytes;
  if (layout.pixelOffset > file.size()) return BmpFailure::conversionError;

  if (layout.width <= 0 || layout.height == 0) return BmpFailure::conversionError;
  if (layout.width > maxImageSidePixels || layout.height > maxImageSidePixels ||
      layout.height < -maxImageSidePixels ||
      std::size_t(layout.width) * std::size_t(layout.height < 0 ? -layout.height : layout.height) > maxImagePixels)
    return BmpFailure::outOfMemory;
  // Run-length rows run bottom up by definition.
  if (layout.compression != bmp::compressionNone && layout.height < 0) return BmpFailure::conversionError;
  return BmpFailure::none;
}

// The colours an index may name: the file's table, at most as many entries as the depth can address.
struct Palette {
  std::array<Colour, 256> colours{};
  std::size_t size = 0;
};

Palette readPalette(std::span<const std::byte> file, const Layout& layout) {
  Palette palette;
  if (layout.bitCount > 8) return palette;
  palette.size = std::min(layout.paletteEntries, std::size_t(1) << layout.bitCount);
  for (std::size_t i = 0; i < palette.size; ++i) {
    std::size_t at = layout.paletteOffset + i * layout.paletteEntryBytes;
    palette.colours[i] = {std::uint8_t(u8(file, at + 2)), std::uint8_t(u8(file, at + 1)), std::uint8_t(u8(file, at))};
  }
  return palette;
}

std::uint8_t fiveToEight(std::uint32_t v) { return std::uint8_t(v << 3 | v >> 2); }

// One stored row of uncompressed pixels into red-green-blue bytes.
bool convertRow(const std::byte* src, std::size_t width, std::uint32_t bitCount, const Palette& palette,
                std::uint8_t* out) {
  for (std::size_t x = 0; x < width; ++x, out += 3) {
    auto byte = [&](std::size_t i) { return std::uint32_t(static_cast<std::uint8_t>(src[i])); };
    std::uint32_t index = 0;
    switch (bitCount) {
      case 1: index = byte(x / 8) >> (7 - x % 8) & 1; break;
      case 4: index = byte(x / 2) >> (x % 2 ? 0 : 4) & 0xF; break;
      case 8: index = byte(x); break;
      case 16: {
        std::uint32_t v = byte(2 * x) | byte(2 * x + 1) << 8;
        out[0] = fiveToEight(v >> 10 & 31);
        out[1] = fiveToEight(v >> 5 & 31);
        out[2] = fiveToEight(v & 31);
        continue;
      }
      case 24:
      case 32: {
        std::size_t at = x * (bitCount / 8);
        out[0] = std::uint8_t(byte(at + 2));
        out[1] = std::uint8_t(byte(at + 1));
        out[2] = std::uint8_t(byte(at));
        continue;
      }
    }
    if (index >= palette.size) return false;
    std::memcpy(out, palette.colours[index].data(), 3);
  }
  return true;
}

BmpFailure decodeUncompressed(std::span<const std::byte> file, const Layout& layout, const Palette& palette,
                              RgbImage& image) {
  const std::size_t width = std::size_t(layout.width);
  const std::size_t rows = std::size_t(image.height);
  const std::size_t stride = (width * layout.bitCount + 31) / 32 * 4;
  for (std::size_t r = 0; r < rows; ++r) {
    std::size_t row = layout.height < 0 ? rows - 1 - r : r;
    const std::byte* src = file.data() + layout.pixelOffset + r * stride;
    if (!convertRow(src, width, layout.bitCount, palette, image.pixels.data() + row * width * 3))
      return BmpFailure::conversionError;
  }
  return BmpFailure::none;
}

// Run-length 4- and 8-bit data: runs, literal runs padded to whole words, end of line, delta
// moves and end of bitmap. Pixels the data never names keep the first colour of the table.
BmpFailure decodeRunLength(std::span<const std::byte> file, const Layout& layout, const Palette& palette,
                           RgbImage& image) {
  const std::size_t width = std::size_t(image.width);
  const std::size_t height = std::size_t(image.height);
  if (palette.size == 0) return BmpFailure::conversionError;
  for (std::size_t i = 0; i < width * height; ++i) std::memcpy(&image.pixels[i * 3], palette.colours[0].data(), 3);

  const bool rle4 = layout.compression == bmp::compressionRle4;
  // Encoders may fill a row out to its whole 32-bit words, as the uncompressed layout pads it;
  // those pixels are dropped. A packet that runs further fails.
  const std::size_t paddedWidth = (width * layout.bitCount + 31) / 32 * 32 / layout.bitCount;
  std::size_t at = layout.pixelOffset;
  std::size_t x = 0, y = 0;
  auto put = [&](std::uint32_t index) {
    if (x >= paddedWidth || y >= height || index >= palette.size) return false;
    if (x < width) std::memcpy(&image.pixels[(y * width + x) * 3], palette.colours[index].data(), 3);
    ++x;
    return true;
  };
  for (;;) {
    if (file.size() - at < 2) return BmpFailure::conversionError;
    std::uint32_t count = u8(file, at), value = u8(file, at + 1);
    at += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t index = rle4 ? (i % 2 ? value & 0xF : value >> 4) : value;
        if (!put(index)) return BmpFailure::conversionError;
      }
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return BmpFailure::none;
    } else if (value == 2) {
      if (file.size() - at < 2) return BmpFailure::conversionError;
      x += u8(file, at);
      y += u8(file, at + 1);
      at += 2;
      if (x > paddedWidth || y > height) return BmpFailure::conversionError;
    } else {
      std::size_t bytes = rle4 ? (value + 1) / 2 : value;
      bytes += bytes % 2;
      if (file.size() - at < bytes) return BmpFailure::conversionError;
      for (std::uint32_t i = 0; i < value; ++i) {
        std::uint32_t b = u8(file, at + (rle4 ? i / 2 : i));
        std::uint32_t index = rle4 ? (i % 2 ? b & 0xF : b >> 4) : b;
        if (!put(index)) return BmpFailure::conversionError;
      }
      at += bytes;
    }
  }
}

}  // namespace

BmpFailure decodeBmp(std::span<const std::byte> file, RgbImage& image) {
  Layout layout;
  if (BmpFailure failure = readLayout(file, layout); failure != BmpFailure::none) return failure;
  const Palette palette = readPalette(file, layout);

  const std::size_t width = std::size_t(layout.width);
  const std::size_t rows = std::size_t(layout.height < 0 ? -layout.height : layout.height);
  std::size_t pixelBytes = 0;
  if (!multiplyChecked(width, rows, 3, pixelBytes)) return BmpFailure::outOfMemory;
  // Uncompressed rows are padded to whole 32-bit words; all of them must be there.
  const std::size_t stride = (width * layout.bitCount + 31) / 32 * 4;
  if (layout.compression == bmp::compressionNone && stride * rows > file.size() - layout.pixelOffset)
    return BmpFailure::conversionError;

  RgbImage decoded;
  decoded.width = int(width);
  decoded.height = int(rows);
  try {
    decoded.pixels.resize(pixelBytes);
  } catch (const std::bad_alloc&) {
    return BmpFailure::outOfMemory;
  }
  BmpFailure failure = layout.compression == bmp::compressionNone
                           ? decodeUncompressed(file, layout, palette, decoded)
                           : decodeRunLength(file, layout, palette, decoded);
  if (failure == BmpFailure::none) image = std::move(decoded);
  return failure;
}

const char* bmpFailureText(BmpFailure failure) {
  switch (failure) {
    case BmpFailure::none: return "";
    case BmpFailure::openFailed: return bmp::openFailedText;
    case BmpFailure::unknownFormat: return bmp::unknownFormatText;
    case BmpFailure::outOfMemory: return bmp::outOfMemoryText;
    case BmpFailure::conversionError: return bmp::conversionErrorText;
  }
  return "";
}

std::optional<RgbImage> readBmp(const char* path) {
  const DataFile file = readDataFile(path, maxImageFileBytes);
  if (!file.ok()) {
    consolePrint(stderr, bmp::openFailedText, path ? path : "");
    return std::nullopt;
  }
  RgbImage image;
  BmpFailure failure = decodeBmp(file.bytes, image);
  if (failure != BmpFailure::none) {
    // A message box shows its text as a line of its own.
    consolePrint(stderr, "%s\n", bmpFailureText(failure));
    return std::nullopt;
  }
  return image;
}

std::vector<std::byte> writeBmp24(int width, int height, std::span<const std::uint8_t> pixels) {
  const std::size_t w = std::size_t(std::max(width, 0)), h = std::size_t(std::max(height, 0));
  const std::size_t stride = (w * 3 + 3) / 4 * 4;
  const std::size_t dataOffset = bmp::fileHeaderBytes + bmp::infoHeaderBytes;
  std::vector<std::byte> out;
  out.reserve(dataOffset + stride * h);
  ByteWriter header(out);
  // The file header: its size, two reserved words, where the pixels start.
  header.text("BM").u32(std::uint32_t(dataOffset + stride * h)).u32(0).u32(std::uint32_t(dataOffset));
  // The info header: its size, width, height, planes, bits per pixel, compression, the pixels'
  // size, and resolutions and colour counts left at zero.
  header.u32(bmp::infoHeaderBytes).u32(std::uint32_t(w)).u32(std::uint32_t(h)).u16(1).u16(24);
  header.u32(bmp::compressionNone).u32(std::uint32_t(stride * h)).zeros(16);
  out.resize(dataOffset + stride * h);
  for (std::size_t y = 0; y < h; ++y)
    for (std::size_t x = 0; x < w && (y * w + x) * 3 + 2 < pixels.size(); ++x) {
      const std::uint8_t* p = &pixels[(y * w + x) * 3];
      std::byte* q = &out[dataOffset + y * stride + x * 3];
      q[0] = std::byte(p[2]);
      q[1] = std::byte(p[1]);
      q[2] = std::byte(p[0]);
    }
  return out;
}
