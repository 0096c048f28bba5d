// Little-endian fields in bytes: a reader over a span that never runs past its end, and a writer
// that appends to a vector. Every file format of the game stores its numbers this way.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reads fields in order. A field that does not fit whole reads as zero and takes nothing; the
// reader is then overrun and at the end, and every later field reads as zero too.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::byte> data, std::size_t at = 0)
      : data_(data), at_(at < data.size() ? at : data.size()), overrun_(at > data.size()) {}

  std::uint8_t u8() { return static_cast<std::uint8_t>(field(1)); }
  std::uint16_t u16() { return static_cast<std::uint16_t>(field(2)); }
  std::uint32_t u32() { return field(4); }
  std::int32_t i32() { return static_cast<std::int32_t>(field(4)); }
  float f32() { return std::bit_cast<float>(field(4)); }
  // The next `count` bytes, or none.
  std::span<const std::byte> bytes(std::size_t count) {
    if (!fits(count)) return {};
    const std::span<const std::byte> out = data_.subspan(at_, count);
    at_ += count;
    return out;
  }
  std::string text(std::size_t length) {
    const std::span<const std::byte> b = bytes(length);
    return std::string(reinterpret_cast<const char*>(b.data()), b.size());
  }
  bool skip(std::size_t count) {
    if (!fits(count)) return false;
    at_ += count;
    return true;
  }

  std::size_t position() const { return at_; }
  std::size_t left() const { return data_.size() - at_; }
  bool overrun() const { return overrun_; }

 private:
  bool fits(std::size_t count) {
    if (!overrun_ && count <= data_.size() - at_) return true;
    overrun_ = true;
    at_ = data_.size();
    return false;
  }
  std::uint32_t field(std::size_t count) {
    if (!fits(count)) return 0;
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < count; ++i) v |= static_cast<std::uint32_t>(data_[at_ + i]) << (8 * i);
    at_ += count;
    return v;
  }

  std::span<const std::byte> data_;
  std::size_t at_;
  bool overrun_;
};

// Appends fields to a vector.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::byte>& out) : out_(out) {}

  ByteWriter& u8(std::uint32_t v) { return field(v, 1); }
  ByteWriter& u16(std::uint32_t v) { return field(v, 2); }
  ByteWriter& u32(std::uint32_t v) { return field(v, 4); }
  ByteWriter& i32(std::int32_t v) { return field(static_cast<std::uint32_t>(v), 4); }
  ByteWriter& f32(float v) { return field(std::bit_cast<std::uint32_t>(v), 4); }
  ByteWriter& text(std::string_view bytes) {
    for (char c : bytes) out_.push_back(static_cast<std::byte>(c));
    return *this;
  }
  ByteWriter& zeros(std::size_t count) {
    out_.insert(out_.end(), count, std::byte{0});
    return *this;
  }

 private:
  ByteWriter& field(std::uint32_t v, int count) {
    for (int i = 0; i < count; ++i) out_.push_back(static_cast<std::byte>(v >> (8 * i) & 0xFF));
    return *this;
  }

  std::vector<std::byte>& out_;
};
