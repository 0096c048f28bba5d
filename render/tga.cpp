// TGA decoding from memory: header checks, the colour map, and plain or run-length rows that
// are stored bottom row first and left to right whatever the file's orientation bits say.
#include "render/tga.h"

#include <algorithm>
#include <cstring>

#include "base/bytes.h"
#include "base/data_file.h"
#include "render/image_limits.h"
#include "render/tga_format.h"

namespace {

std::uint8_t byteAt(std::span<const std::byte> bytes, std::size_t offset) {
  return static_cast<std::uint8_t>(bytes[offset]);
}

int wordAt(std::span<const std::byte> bytes, std::size_t offset) { return ByteReader(bytes, offset).u16(); }

// Hands out elements from the pixel section, plainly or through run-length packets. A packet
// that runs past the end of a row leaves its remainder in the carry buffer for the next row.
class RowReader {
 public:
  RowReader(std::span<const std::byte> data, int elementBytes, bool runLength)
      : data_(data), size_(std::size_t(elementBytes)), runLength_(runLength) {}

  // Reads count elements into dest; returns the number of whole elements delivered.
  std::size_t read(std::uint8_t* dest, std::size_t count) {
    return runLength_ ? readPackets(dest, count) : readPlain(dest, count);
  }

 private:
  std::size_t readPlain(std::uint8_t* dest, std::size_t count) {
    std::size_t whole = std::min(count, (data_.size() - position_) / size_);
    std::memcpy(dest, data_.data() + position_, whole * size_);
    position_ += whole * size_;
    return whole;
  }

  bool take(std::uint8_t* dest, std::size_t bytes) {
    if (data_.size() - position_ < bytes) return false;
    std::memcpy(dest, data_.data() + position_, bytes);
    position_ += bytes;
    return true;
  }

  std::size_t readPackets(std::uint8_t* dest, std::size_t count) {
    const std::size_t total = count * size_;
    std::size_t delivered = 0;
    for (;;) {
      if (carryPosition_ < carryFill_) {
        std::size_t n = std::min(total - delivered, carryFill_ - carryPosition_);
        std::memcpy(dest + delivered, carry_ + carryPosition_, n);
        carryPosition_ += n;
        delivered += n;
        if (carryPosition_ == carryFill_) carryPosition_ = carryFill_ = 0;
      }
      if (delivered == total) return count;
      if (position_ >= data_.size()) return delivered / size_;
      std::uint8_t header = byteAt(data_, position_++);
      std::size_t elements = (header & 0x7F) + 1u;
      std::size_t packetBytes = elements * size_;
      bool direct = delivered + packetBytes <= total;
      std::uint8_t* out = direct ? dest + delivered : carry_;
      if (header & tga::runPacketBit) {
        if (!take(out, size_)) return delivered / size_;
        for (std::size_t i = 1; i < elements; ++i) std::memcpy(out + i * size_, out, size_);
      } else if (!take(out, packetBytes)) {
        return delivered / size_;
      }
      if (direct) {
        delivered += packetBytes;
      } else {
        carryFill_ = packetBytes;
        carryPosition_ = 0;
      }
    }
  }

  std::span<const std::byte> data_;
  std::size_t position_ = 0;
  std::size_t size_;
  bool runLength_;
  std::uint8_t carry_[tga::maxPacketElements * tga::maxElementBytes];
  std::size_t carryFill_ = 0;
  std::size_t carryPosition_ = 0;
};

void reverseRow(std::uint8_t* row, std::size_t width, std::size_t elementBytes) {
  for (std::size_t i = 0, j = width - 1; i < j; ++i, --j)
    std::swap_ranges(row + i * elementBytes, row + (i + 1) * elementBytes, row + j * elementBytes);
}

}  // namespace

std::optional<TgaImage> readTga(std::span<const std::byte> file) {
  if (file.size() < tga::footerBytes || file.size() < tga::headerBytes) return std::nullopt;
  std::size_t position = tga::headerBytes + byteAt(file, tga::idLengthOffset);
  if (position > file.size()) return std::nullopt;

  const int type = byteAt(file, tga::imageTypeOffset);
  const int colourMapType = byteAt(file, tga::colourMapTypeOffset);
  const int depth = byteAt(file, tga::pixelDepthOffset);
  const std::uint8_t descriptor = byteAt(file, tga::descriptorOffset);
  TgaImage image;
  image.width = wordAt(file, tga::widthOffset);
  image.height = wordAt(file, tga::heightOffset);

  const bool runLength = (type & tga::runLengthFlag) != 0;
  switch (type & ~tga::runLengthFlag) {
    case tga::typeColourMapped:
      if (depth != 8) return std::nullopt;
      image.format = glColourIndex;
      image.components = 1;
      break;
    case tga::typeTrueColour:
      if (depth != 24 && depth != 32) return std::nullopt;
      image.format = depth == 24 ? glBgr : glBgra;
      image.components = depth / 8;
      break;
    case tga::typeGrey:
      if (depth != 8) return std::nullopt;
      image.format = glLuminance;
      image.components = 1;
      break;
    default:
      return std::nullopt;
  }

  image.colourMapFormat = glRgb;
  const bool colourMapped = image.format == glColourIndex;
  if (!colourMapped) {
    if (colourMapType != 0) return std::nullopt;
  } else {
    const std::size_t first = std::size_t(wordAt(file, tga::colourMapFirstOffset));
    const std::size_t length = std::size_t(wordAt(file, tga::colourMapLengthOffset));
    if (colourMapType != 1 || length == 0 || byteAt(file, tga::colourMapEntryBitsOffset) != tga::colourMapEntryBits)
      return std::nullopt;
    if (file.size() - position < length * 3) return std::nullopt;
    image.colourMapEntries = int(first + length);
    image.colourMap.assign((first + length) * 3, 0);
    for (std::size_t i = 0; i < length; ++i, position += 3) {
      std::uint8_t* entry = &image.colourMap[(first + i) * 3];
      entry[0] = byteAt(file, position + 2);
      entry[1] = byteAt(file, position + 1);
      entry[2] = byteAt(file, position);
    }
  }

  // A picture with no pixels cannot be uploaded; one larger than the cap is not a texture.
  if (image.width == 0 || image.height == 0 || image.width > maxImageSidePixels ||
      image.height > maxImageSidePixels || std::size_t(image.width) * std::size_t(image.height) > maxImagePixels)
    return std::nullopt;
  const std::size_t elementBytes = std::size_t(depth / 8);
  const std::size_t width = std::size_t(image.width);
  const std::size_t height = std::size_t(image.height);
  std::size_t pixelBytes = 0;
  if (!multiplyChecked(width, height, elementBytes, pixelBytes)) return std::nullopt;
  // Refuse before allocating when the data left cannot possibly hold the picture: a packet of
  // one header byte and one element gives at most 128 elements.
  const std::size_t dataBytes = file.size() - position;
  const std::size_t mostElements =
      runLength ? (dataBytes / (1 + elementBytes) + 1) * tga::maxPacketElements : dataBytes / elementBytes;
  if (width * height > mostElements) return std::nullopt;

  image.pixels.assign(pixelBytes, 0);
  RowReader rows(file.subspan(position), int(elementBytes), runLength);
  const std::size_t rowBytes = width * elementBytes;
  for (std::size_t i = 0; i < height; ++i) {
    std::size_t row = (descriptor & tga::topToBottomBit) ? height - 1 - i : i;
    std::uint8_t* dest = image.pixels.data() + row * rowBytes;
    if (rows.read(dest, width) < width) return std::nullopt;
    if (descriptor & tga::rightToLeftBit) reverseRow(dest, width, elementBytes);
  }
  return image;
}

std::optional<TgaImage> readTgaFile(const char* path) {
  const DataFile file = readDataFile(path, maxImageFileBytes);
  if (!file.ok()) return std::nullopt;
  return readTga(file.bytes);
}
