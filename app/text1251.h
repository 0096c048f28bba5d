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

// Converts a UTF-8 literal; the result is zero-terminated and never longer than the input.
template <std::size_t N>
consteval std::array<char, N> convert(const Utf8Literal<N>& in) {
  std::array<char, N> out{};
  std::size_t o = 0;
  for (std::size_t i = 0; i + 1 < N;) {
    auto b = static_cast<unsigned char>(in.bytes[i]);
    char32_t c;
    std::size_t len;
    if (b < 0x80) { c = b; len = 1; }
    else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; len = 2; }
    else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; len = 3; }
    else throw "character outside Windows-1251";
    if (i + len > N - 1) throw "truncated UTF-8 sequence";
    for (std::size_t k = 1; k < len; ++k) {
      auto cont = static_cast<unsigned char>(in.bytes[i + k]);
      if ((cont & 0xC0) != 0x80) throw "malformed UTF-8 sequence";
      c = (c << 6) | (cont & 0x3F);
    }
    int byte = fromCodePoint(c);
    if (byte < 0) throw "character outside Windows-1251";
    out[o++] = static_cast<char>(byte);
    i += len;
  }
  return out;
}

template <Utf8Literal S>
inline constexpr auto literal = convert(S);

}  // namespace cp1251

// "Текст"_cp1251: the Windows-1251 bytes of a literal, zero-terminated, in static storage.
template <cp1251::Utf8Literal S>
constexpr const char* operator""_cp1251() {
  return cp1251::literal<S>.data();
}
