// The font table: which bytes have glyphs, the shared look-alikes, the two reference glyphs and
// the one-pixel ring that only the listed tails and marks may reach into.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/text1251.h"
#include "ui/font.h"

namespace {

// Every byte the font draws: Latin letters, digits, twelve marks and the Russian alphabet.
std::set<unsigned char> mappedBytes() {
  std::set<unsigned char> bytes;
  for (int c = 'A'; c <= 'Z'; ++c) bytes.insert(static_cast<unsigned char>(c));
  for (int c = 'a'; c <= 'z'; ++c) bytes.insert(static_cast<unsigned char>(c));
  for (int c = '0'; c <= '9'; ++c) bytes.insert(static_cast<unsigned char>(c));
  for (unsigned char c : std::string(".,;:-`<>=+*/")) bytes.insert(c);
  for (int c = 0xC0; c <= 0xFF; ++c) bytes.insert(static_cast<unsigned char>(c));
  bytes.insert(0xA8);  // Ё
  bytes.insert(0xB8);  // ё
  return bytes;
}

// Pixel at column (0 left) and row from the top (0 top), as the art draws it.
float pixel(const float* glyph, int column, int rowFromTop) { return glyph[(7 - rowFromTop) * 8 + column]; }

std::vector<std::string> art(const float* glyph) {
  std::vector<std::string> rows;
  for (int r = 0; r < 8; ++r) {
    std::string row;
    for (int c = 0; c < 8; ++c) row += pixel(glyph, c, r) != 0.0f ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override { initFont(); }
};

TEST_F(FontTest, MappedBytesHaveGlyphsAndEveryOtherByteIsBlank) {
  const std::set<unsigned char> mapped = mappedBytes();
  ASSERT_EQ(mapped.size(), 140u);
  for (int b = 0; b < 256; ++b) {
    const float* glyph = glyphFor(static_cast<unsigned char>(b));
    ASSERT_NE(glyph, nullptr) << b;
    const bool blank = std::all_of(glyph, glyph + 64, [](float v) { return v == 0.0f; });
    EXPECT_EQ(blank, mapped.count(static_cast<unsigned char>(b)) == 0) << "byte " << b;
    if (!mapped.count(static_cast<unsigned char>(b))) {
      EXPECT_EQ(glyph, blankGlyph()) << b;
    }
  }
  for (unsigned char c : std::string(" \t!?\"#$%&'()@[\\]^_{|}~")) EXPECT_EQ(glyphFor(c), blankGlyph()) << int(c);
}

TEST_F(FontTest, ImagesAreDistinctExceptTheLookAlikes) {
  const char* russian = "АВЕКМНОРСТХаекорсх"_cp1251;
  const char* latin = "ABEKMHOPCTXaekopcx";
  for (int i = 0; russian[i]; ++i)
    EXPECT_EQ(glyphFor(static_cast<unsigned char>(russian[i])), glyphFor(static_cast<unsigned char>(latin[i]))) << i;

  std::set<const float*> images;
  for (unsigned char b : mappedBytes()) images.insert(glyphFor(b));
  EXPECT_EQ(images.size(), static_cast<std::size_t>(glyphImageCount));
  std::set<std::vector<std::string>> pictures;
  for (const float* image : images) pictures.insert(art(image));
  EXPECT_EQ(pictures.size(), images.size()) << "two glyphs look the same";
}

TEST_F(FontTest, PixelsAreInkOrBackground) {
  for (unsigned char b : mappedBytes()) {
    const float* glyph = glyphFor(b);
    for (int i = 0; i < 64; ++i) EXPECT_TRUE(glyph[i] == 0.0f || glyph[i] == 1.0f) << int(b);
  }
}

TEST_F(FontTest, OnlyTheListedTailsAndMarksLeaveTheInnerSquare) {
  const std::string bottomRow = std::string("Qgq,;") + "ДЦЩдцщ"_cp1251;
  const std::string topRow = std::string("ij") + "ЁЙёй"_cp1251;
  const std::string leftColumn = "Ъъ"_cp1251;
  const std::string rightColumn = std::string("Qq") + "ЦЩцщ"_cp1251;
  auto listed = [](const std::string& set, unsigned char b) { return set.find(static_cast<char>(b)) != std::string::npos; };
  for (unsigned char b : mappedBytes()) {
    const float* glyph = glyphFor(b);
    bool bottom = false, top = false, left = false, right = false;
    for (int i = 0; i < 8; ++i) {
      bottom |= pixel(glyph, i, 7) != 0.0f;
      top |= pixel(glyph, i, 0) != 0.0f;
      left |= pixel(glyph, 0, i) != 0.0f;
      right |= pixel(glyph, 7, i) != 0.0f;
    }
    EXPECT_EQ(bottom, listed(bottomRow, b)) << "bottom row of byte " << int(b);
    EXPECT_EQ(top, listed(topRow, b)) << "top row of byte " << int(b);
    EXPECT_EQ(left, listed(leftColumn, b)) << "left column of byte " << int(b);
    EXPECT_EQ(right, listed(rightColumn, b)) << "right column of byte " << int(b);
  }
}

TEST_F(FontTest, TheTwoReferenceGlyphs) {
  const std::vector<std::string> capitalA = {
      "........", "..#####.", ".#....#.", ".######.", ".#....#.", ".#....#.", ".#....#.", "........"};
  const std::vector<std::string> smallA = {
      "........", "........", "..####..", "......#.", "..#####.", ".#....#.", "..#####.", "........"};
  EXPECT_EQ(art(glyphFor('A')), capitalA);
  EXPECT_EQ(art(glyphFor('a')), smallA);
  // Rows are stored from the bottom up: the first stored row is the empty bottom row.
  EXPECT_EQ(glyphFor('A')[8 + 1], 1.0f);   // bottom body row, column 1
  EXPECT_EQ(glyphFor('A')[6 * 8 + 1], 0.0f);  // top body row starts at column 2
}

}  // namespace
