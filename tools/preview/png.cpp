// The PNG encoder and reader; zlib does the compression.
#include "tools/preview/png.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t maxChunkBytes = 64u << 20;  // a longer chunk makes the file unreadable

void put32(std::vector<std::byte>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::byte>((v >> shift) & 0xFF));
}

std::uint32_t get32(const std::byte* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}

void putChunk(std::vector<std::byte>& out, const char* type, const std::vector<std::uint8_t>& data) {
  put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::byte>(type[i]));
  for (std::uint8_t b : data) out.push_back(static_cast<std::byte>(b));
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data() + typeAt), static_cast<uInt>(out.size() - typeAt));
  put32(out, static_cast<std::uint32_t>(crc));
}

int paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

}  // namespace

std::vector<std::byte> encodePng(const RgbPicture& picture) {
  const std::size_t rowBytes = 3 * static_cast<std::size_t>(picture.width);
  // Each row filtered with "sub": flat backgrounds and soft shading become runs of small values.
  std::vector<std::uint8_t> raw;
  raw.reserve((rowBytes + 1) * static_cast<std::size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* row = picture.pixels.data() + rowBytes * static_cast<std::size_t>(y);
    raw.push_back(1);
    for (std::size_t i = 0; i < rowBytes; ++i) raw.push_back(static_cast<std::uint8_t>(row[i] - (i >= 3 ? row[i - 3] : 0)));
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> packed(packedSize);
  compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9);
  packed.resize(packedSize);

  std::vector<std::byte> out;
  for (std::uint8_t b : signature) out.push_back(static_cast<std::byte>(b));
  std::vector<std::uint8_t> header(13, 0);
  for (int i = 0; i < 4; ++i) {
    header[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(picture.width) >> (24 - 8 * i));
    header[4 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(picture.height) >> (24 - 8 * i));
  }
  header[8] = 8;  // bits per sample
  header[9] = 2;  // RGB
  putChunk(out, "IHDR", header);
  putChunk(out, "IDAT", packed);
  putChunk(out, "IEND", {});
  return out;
}

bool decodePng(std::span<const std::byte> file, RgbPicture& picture, std::string& reason) {
  picture = RgbPicture{};
  if (file.size() < 8 || std::memcmp(file.data(), signature, 8) != 0) {
    reason = "not a PNG file";
    return false;
  }
  std::size_t at = 8;
  bool haveHeader = false, ended = false;
  std::vector<std::uint8_t> packed;
  while (!ended) {
    if (file.size() - at < 12) {
      reason = "cut short";
      return false;
    }
    const std::uint32_t length = get32(file.data() + at);
    if (length > maxChunkBytes || length > file.size() - at - 12) {
      reason = "a chunk runs past the end";
      return false;
    }
    const std::byte* type = file.data() + at + 4;
    const std::byte* data = type + 4;
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(type), length + 4);
    if (crc != get32(data + length)) {
      reason = "bad chunk checksum";
      return false;
    }
    const std::string name(reinterpret_cast<const char*>(type), 4);
    if (name == "IHDR") {
      if (length != 13) {
        reason = "bad header";
        return false;
      }
      const std::uint32_t w = get32(data), h = get32(data + 4);
      if (w == 0 || h == 0 || w > maxPngSide || h > maxPngSide) {
        reason = "unsupported size";
        return false;
      }
      if (data[8] != std::byte{8} || data[9] != std::byte{2} || data[10] != std::byte{0} || data[11] != std::byte{0} ||
          data[12] != std::byte{0}) {
        reason = "only 8-bit RGB without interlace is read";
        return false;
      }
      picture.width = static_cast<int>(w);
      picture.height = static_cast<int>(h);
      haveHeader = true;
    } else if (name == "IDAT") {
      if (!haveHeader) {
        reason = "image data before the header";
        return false;
      }
      if (packed.size() + length > maxChunkBytes) {
        reason = "too much image data";
        return false;
      }
      packed.insert(packed.end(), reinterpret_cast<const std::uint8_t*>(data),
                    reinterpret_cast<const std::uint8_t*>(data) + length);
    } else if (name == "IEND") {
      ended = true;
    }
    at += 12 + length;
  }
  if (!haveHeader || packed.empty()) {
    reason = "no image data";
    return false;
  }
  const std::size_t rowBytes = 3 * static_cast<std::size_t>(picture.width);
  const std::size_t expected = (rowBytes + 1) * static_cast<std::size_t>(picture.height);
  std::vector<std::uint8_t> raw(expected + 1);  // one spare byte shows data that is too long
  uLongf rawSize = static_cast<uLongf>(raw.size());
  const int status = uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size()));
  if ((status != Z_OK && status != Z_BUF_ERROR) || rawSize != expected) {
    reason = "damaged image data";
    return false;
  }
  picture.pixels.assign(rowBytes * static_cast<std::size_t>(picture.height), 0);
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* in = raw.data() + (rowBytes + 1) * static_cast<std::size_t>(y);
    std::uint8_t* row = picture.pixels.data() + rowBytes * static_cast<std::size_t>(y);
    const std::uint8_t* above = y > 0 ? row - rowBytes : nullptr;
    const int filter = in[0];
    if (filter > 4) {
      reason = "unknown row filter";
      picture = RgbPicture{};
      return false;
    }
    for (std::size_t i = 0; i < rowBytes; ++i) {
      const int a = i >= 3 ? row[i - 3] : 0, b = above ? above[i] : 0, c = (above && i >= 3) ? above[i - 3] : 0;
      const int predictor = filter == 0 ? 0 : filter == 1 ? a : filter == 2 ? b : filter == 3 ? (a + b) / 2 : paeth(a, b, c);
      row[i] = static_cast<std::uint8_t>(in[1 + i] + predictor);
    }
  }
  return true;
}
