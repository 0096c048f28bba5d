// What the font and the widgets put in the frame buffer: read back and compared with the glyph
// images, in a 256 × 256 window where a cell is 1/16 interface unit and interface point (x, y)
// is pixel (128 + 128·x, 128 + 128·y) from the bottom left.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "app/frame.h"
#include "base/text1251.h"
#include "tests/support/gl_context.h"
#include "ui/font.h"
#include "ui/widgets.h"
#include "ui/window_list.h"

namespace {

struct Rgb {
  int r, g, b;
};

class FontGlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ensureGlContext(256, 256));
    reshapeCallback(256, 256);
    ASSERT_FLOAT_EQ(cellSize, 0.0625f);
    initFont();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  void TearDown() override { closeAllWindows(); }

  void clear(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  Rgb at(int x, int y) {
    unsigned char p[3];
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
  }
  // Compares the 8×8 cell whose lower-left pixel is (x, y) with a glyph: green ink on black.
  void expectCell(int x, int y, const float* glyph, const char* what) {
    std::array<unsigned char, 8 * 8 * 3> cell{};
    glReadPixels(x, y, 8, 8, GL_RGB, GL_UNSIGNED_BYTE, cell.data());
    for (int i = 0; i < 64; ++i) {
      ASSERT_EQ(cell[i * 3 + 0], 0) << what << " pixel " << i;
      ASSERT_EQ(cell[i * 3 + 1], glyph[i] != 0.0f ? 255 : 0) << what << " pixel " << i;
      ASSERT_EQ(cell[i * 3 + 2], 0) << what << " pixel " << i;
    }
  }
};

TEST_F(FontGlTest, CharactersAreOpaqueGreenCellsOneCellApart) {
  clear(1, 1, 1);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(1, 0, 0, 0.5f);  // neither colour nor blending changes the cells
  const char* text = "Aa1Ж !g"_cp1251;
  drawText(-0.5f, 0.5f, 1.0f, 0.0f, text, static_cast<int>(std::strlen(text)));
  glDisable(GL_BLEND);
  for (int k = 0; text[k]; ++k) expectCell(64 + 8 * k, 184, glyphFor(static_cast<unsigned char>(text[k])), text + k);
  EXPECT_EQ(at(64 + 8 * 7, 186).g, 255);  // the box's background is untouched
  EXPECT_EQ(at(63, 186).r, 255);
  EXPECT_EQ(at(64, 192).r, 255);
}

TEST_F(FontGlTest, WrappedLinesStepDownOneCell) {
  clear(0, 0, 1);
  drawText(-0.5f, 0.5f, 2 * 0.0625f, 2 * 0.0625f, "ab cd ef", 8);  // two cells high: two lines
  expectCell(64, 184, glyphFor('a'), "a");
  expectCell(72, 184, glyphFor('b'), "b");
  expectCell(64, 176, glyphFor('c'), "c");
  expectCell(72, 176, glyphFor('d'), "d");
  EXPECT_EQ(at(66, 170).b, 255);  // the third line is not drawn
}

TEST_F(FontGlTest, AButtonIsATranslucentFillWithItsTextCentred) {
  clear(0, 0, 0);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 1, 0, 0.5f);
  Button* button = new Button(-0.5f, 0.5f, 1.0f, 0.25f, "OK", nullptr);
  button->draw();
  glDisable(GL_BLEND);
  Rgb fill = at(70, 180);
  EXPECT_EQ(fill.r, 0);
  EXPECT_NEAR(fill.g, 128, 2);
  EXPECT_EQ(fill.b, 0);
  // Centred: x + width/2 - 1 cell, the line's middle at the button's middle (pixel row 176).
  expectCell(120, 172, glyphFor('O'), "O");
  expectCell(128, 172, glyphFor('K'), "K");
}

TEST_F(FontGlTest, TheTextViewDrawsItsScrollArrowsInTheRightCorners) {
  clear(0, 0, 0);
  glColor4f(0, 1, 0, 1);
  TextView* view = new TextView(-0.5f, 0.5f, 1.0f, 1.0f, "abc");
  view->draw();
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(at(184 + i % 8, 184 + i / 8).g, scrollUpIcon[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(at(184 + i % 8, 64 + i / 8).g, scrollDownIcon[static_cast<std::size_t>(i)]) << i;
  }
  expectCell(72, 176, glyphFor('a'), "a");  // inside the one-cell margin
  EXPECT_EQ(at(80 + 30, 150).g, 0);         // the text area is black
  EXPECT_EQ(at(66, 150).g, 255);            // the margin in the widget's colour
}

}  // namespace
