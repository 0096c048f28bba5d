// Windows-1251 text: the game's own character set. Russian literals are written in UTF-8 in
// the source and turned into Windows-1251 bytes at compile time by the _cp1251 literal:
//     drawText(..., "Собрано: %i"_cp1251, ...)
// A character that Windows-1251 cannot hold is a compile error.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace cp1251 {

// Unicode code points of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
// 0x98 is unassigned (0).
inline constexpr char16_t upperHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

// The code point of one Windows-1251 byte (0 for the unassigned 0x98).
constexpr char32_t toCodePoint(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return char32_t(0x0410 + (byte - 0xC0));
  return upperHalf[byte - 0x80];
}

// The Windows-1251 byte of a code point, or -1 when it has none.
constexpr int fromCodePoint(char32_t c) {
  if (c < 0x80) return int(c);
  if (c >= 0x0410 && c <= 0x044F) return int(0xC0 + (c - 0x0410));
  for (int i = 0; i < 64; ++i)
    if (upperHalf[i] != 0 && upperHalf[i] == c) return 0x80 + i;
  return -1;
}

// A UTF-8 string literal captured as a template argument.
template <std::size_t N>
struct Utf8Literal {
  char bytes[N]{};
  consteval Utf8Literal(const char (&text)[N]) {
    for (std::size_t i = 0; i < N; ++i) bytes[i] = text[i];
  }
};

// One UTF-8 sequence read from text[at..size): its code point and its length in bytes. The
// length is 0 for a sequence that is malformed, cut short or overlong.
struct Utf8Step {
  char32_t codePoint;
  std::size_t length;
};
constexpr Utf8Step decodeUtf8(const char* text, std::size_t size, std::size_t at) {
  auto b = static_cast<unsigned char>(text[at]);
  std::size_t length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
  if (length == 0 || at + length > size) return {0, 0};
  char32_t c = length == 1 ? b : b & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    auto cont = static_cast<unsigned char>(text[at + k]);
    if ((cont & 0xC0) != 0x80) return {0, 0};
    c = (c << 6) | (cont & 0x3F);
  }
  constexpr char32_t shortest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < shortest[length]) return {0, 0};
  return {c, length};
}

// Converts a UTF-8 literal; the result is zero-terminated and never longer than the input.
template <std::size_t N>
consteval std::array<char, N> convert(const Utf8Literal<N>& in) {
  std::array<char, N> out{};
  std::size_t o = 0;
  for (std::size_t i = 0; i + 1 < N;) {
    Utf8Step step = decodeUtf8(in.bytes, N - 1, i);
    if (step.length == 0) throw "malformed UTF-8 sequence";
    int byte = fromCodePoint(step.codePoint);
    if (byte < 0) throw "character outside Windows-1251";
    out[o++] = static_cast<char>(byte);
    i += step.length;
  }
  return out;
}

// The Windows-1251 bytes of UTF-8 text that comes from outside at run time, at most `capacity`
// of them into `out`; returns how many. A character Windows-1251 lacks, or a malformed sequence,
// is dropped, never turned into another character.
inline std::size_t fromUtf8(const char* text, std::size_t size, unsigned char* out, std::size_t capacity) {
  std::size_t o = 0;
  for (std::size_t i = 0; i < size && o < capacity;) {
    Utf8Step step = decodeUtf8(text, size, i);
    if (step.length == 0) {
      ++i;
      continue;
    }
    i += step.length;
    int byte = fromCodePoint(step.codePoint);
    if (byte >= 0) out[o++] = static_cast<unsigned char>(byte);
  }
  return o;
}

template <Utf8Literal S>
inline constexpr auto literal = convert(S);

}  // namespace cp1251

// "Текст"_cp1251: the Windows-1251 bytes of a literal, zero-terminated, in static storage.
template <cp1251::Utf8Literal S>
constexpr const char* operator""_cp1251() {
  return cp1251::literal<S>.data();
}
