// Line breaking of the text box and the text view's scrolling, without drawing.
#include "ui/text_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/frame.h"
#include "base/text1251.h"

namespace {

constexpr float cell = 0.125f;  // exact in binary, so box sizes in cells are exact

// The lines drawText shows of `text` in a box `widthCells` wide and `heightCells` high.
std::vector<std::string> shownLines(const char* text, float widthCells, float heightCells, float cellSize = cell) {
  std::vector<std::string> lines;
  forEachTextLine(text, static_cast<int>(std::strlen(text)), widthCells * cellSize, heightCells * cellSize, cellSize,
                  [&](int start, int end, int, float) { lines.emplace_back(text + start, text + end); });
  return lines;
}

using Lines = std::vector<std::string>;

TEST(TextLayout, BreaksLinesAsTheBoxAllows) {
  struct Case {
    const char* name;
    const char* text;
    float widthCells;
    float heightCells;
    Lines expected;
  };
  const Case cases[] = {
      {"empty text", "", 10, 10, {}},
      {"height 0 shows only the first line", "one two three", 4, 0, {"one"}},
      {"restart caption in nine cells", "Заново (F2)"_cp1251, 9, 2, {"Заново"_cp1251, "(F2)"}},
      {"a word longer than a line is split", "abcdefghij", 4, 10, {"abcd", "efgh", "ij"}},
      {"narrower than one cell shows nothing", "abc", 0.9f, 10, {}},
      {"second space of a break starts the next line", "abcd  efgh", 4, 10, {"abcd", " efg", "h"}},
      {"text that fits is one line", "short", 40, 0, {"short"}},
      {"break at the last space within reach", "ab cd ef", 5, 10, {"ab cd", "ef"}},
      {"a line of exactly the width", "abcd efgh", 4, 10, {"abcd", "efgh"}},
  };
  for (const Case& c : cases) EXPECT_EQ(shownLines(c.text, c.widthCells, c.heightCells), c.expected) << c.name;
}

TEST(TextLayout, LineKIsShownOnlyWhenItEndsWithinTheHeight) {
  const char* text = "a b c d e f";
  EXPECT_EQ(shownLines(text, 1, 0).size(), 1u);
  EXPECT_EQ(shownLines(text, 1, 1.99f).size(), 1u);
  EXPECT_EQ(shownLines(text, 1, 2).size(), 2u);
  EXPECT_EQ(shownLines(text, 1, 3).size(), 3u);
  EXPECT_EQ(shownLines(text, 1, 100).size(), 6u);
}

TEST(TextLayout, LinesStepDownOneCellFromTheTop) {
  std::vector<float> offsets;
  const char* text = "ab cd ef";
  forEachTextLine(text, 8, 2 * cell, 10 * cell, cell, [&](int, int, int, float offset) { offsets.push_back(offset); });
  EXPECT_EQ(offsets, (std::vector<float>{-cell, -2 * cell, -3 * cell}));
}

TEST(TextLayout, TheWindowSizeSetsTheCharactersPerLine) {
  // A button 0.5 wide holds 9 characters in a 300-pixel window and 12 in a 400-pixel one.
  EXPECT_EQ(charsPerLine(0.5f, computeProjection(300, 300).cellSize), 9);
  EXPECT_EQ(charsPerLine(0.5f, computeProjection(400, 300).cellSize), 9);
  EXPECT_EQ(charsPerLine(0.5f, computeProjection(400, 400).cellSize), 12);
  EXPECT_EQ(charsPerLine(-1.0f, cell), 0);
  EXPECT_EQ(charsPerLine(0.0f, cell), 0);
}

TEST(TextViewScroll, SkipsTheLinesDrawTextWouldDraw) {
  const char* text = "aaaa bbbb cc";
  const int length = 12;
  struct Case {
    int scroll;
    int expectedStart;
    int expectedScroll;
  };
  const Case cases[] = {
      {0, 0, 0},
      {1, 5, 1},
      {2, 10, 2},
      {3, 10, 2},   // past the end: the last line stays at the top, the excess drains by one
      {10, 10, 9},
  };
  for (const Case& c : cases) {
    int scroll = c.scroll;
    EXPECT_EQ(scrolledTextStart(text, length, 4, scroll), c.expectedStart) << c.scroll;
    EXPECT_EQ(scroll, c.expectedScroll) << c.scroll;
  }
}

TEST(TextViewScroll, ALastLineOfExactlyTheWidthScrollsOnceMoreToAnEmptyArea) {
  const char* text = "aaaa bbbb";
  int scroll = 2;
  EXPECT_EQ(scrolledTextStart(text, 9, 4, scroll), 9);
  EXPECT_EQ(scroll, 2);
  scroll = 3;
  EXPECT_EQ(scrolledTextStart(text, 9, 4, scroll), 9);
  EXPECT_EQ(scroll, 2);
}

TEST(TextViewScroll, NoRoomForACharacterKeepsTheScroll) {
  for (int perLine : {0, -1}) {  // a view one or less than two cells wide
    int scroll = 5;
    EXPECT_EQ(scrolledTextStart("abc", 3, perLine, scroll), 0);
    EXPECT_EQ(scroll, 5);
  }
}

}  // namespace
