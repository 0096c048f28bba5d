// The name field and the highscore list as they reach the frame buffer, in a 320 × 320 window:
// a cell is 8 pixels (0.05 interface units), a list line 16, and interface point (x, y) is pixel
// (160 + 160·x, 160 + 160·y) from the bottom left.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/frame.h"
#include "base/text1251.h"
#include "game/state.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"
#include "ui/dialogs.h"
#include "ui/font.h"
#include "ui/highscore.h"
#include "ui/widgets.h"
#include "ui/window_list.h"

namespace {

constexpr int side = 320;

class DialogsGlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ensureGlContext(side, side));
    reshapeCallback(side, side);
    ASSERT_FLOAT_EQ(cellSize, 0.05f);
    connectDialogs();
    initFont();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 1, 1);  // blue shows where nothing was drawn
    glClear(GL_COLOR_BUFFER_BIT);
  }
  void TearDown() override { closeAllWindows(); }

  // As the frame draws a widget, in plain green rather than its translucent one.
  void draw(Widget* widget) {
    glColor4f(0, 1, 0, 1);
    widget->draw();
  }

  std::array<unsigned char, 3> at(int x, int y) {
    std::array<unsigned char, 3> p{};
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p.data());
    return p;
  }
  // Whether the 8 × 8 cell with lower-left pixel (x, y) shows the glyph: green ink on black.
  bool showsGlyph(int x, int y, unsigned char byte) {
    std::array<unsigned char, 8 * 8 * 3> cell{};
    glReadPixels(x, y, 8, 8, GL_RGB, GL_UNSIGNED_BYTE, cell.data());
    const float* glyph = glyphFor(byte);
    for (int i = 0; i < 64; ++i)
      if (cell[i * 3] != 0 || cell[i * 3 + 1] != (glyph[i] != 0.0f ? 255 : 0) || cell[i * 3 + 2] != 0) return false;
    return true;
  }
  void expectText(int x, int y, const std::string& text) {
    for (std::size_t k = 0; k < text.size(); ++k)
      EXPECT_TRUE(showsGlyph(x + 8 * int(k), y, static_cast<unsigned char>(text[k])))
          << "'" << text << "' character " << k << " at " << x + 8 * int(k) << ", " << y;
  }
};

const std::array<unsigned char, 3> green{0, 255, 0}, blue{0, 0, 255}, black{0, 0, 0};

TEST_F(DialogsGlTest, TheNameFieldShowsItsInputInABlackBoxAndHidesItsCaptionWhenLow) {
  // The name entry's own field: 4 cells high, at most 5, so no caption.
  showNameEntry();
  ASSERT_EQ(windowList.size(), 1);
  TextField* field = static_cast<TextField*>(windowList.at(0));
  for (unsigned char c : std::string("xy")) field->onKey(c, 0, 0);
  draw(field);
  expectText(88, 152, "xy");                     // the input, one cell in from the left
  EXPECT_TRUE(showsGlyph(104, 152, ' '));        // then the black box, no caption under it
  EXPECT_EQ(at(228, 155), black);                // the box reaches one cell short of the right
  EXPECT_EQ(at(236, 155), green);                // the field's fill around it
  EXPECT_EQ(at(84, 148), green);
  EXPECT_EQ(at(160, 164), green);                // up to one cell below the top...
  EXPECT_EQ(at(160, 172), blue);                 // ...where the strip stays unfilled
  EXPECT_EQ(at(160, 140), blue);                 // nothing below the field

  // Exactly five cells high: still no caption, the caption's band is plain fill.
  closeAllWindows();
  glClear(GL_COLOR_BUFFER_BIT);
  TextField* five = new TextField(-0.5f, 0.5f, 1.0f, 0.25f, "Ab", 20, nullptr);
  draw(five);
  for (int y = 216; y < 224; ++y)
    for (int x = 88; x < 104; ++x) ASSERT_EQ(at(x, y), green) << x << ", " << y;

  // Taller: the caption shows one cell in, two cells below the top; the box stays at the bottom.
  closeAllWindows();
  glClear(GL_COLOR_BUFFER_BIT);
  TextField* tall = new TextField(-0.5f, 0.5f, 1.0f, 0.4f, "Ab"_cp1251, 20, nullptr);
  tall->onKey('q', 0, 0);
  draw(tall);
  expectText(88, 216, "Ab");
  expectText(88, 184, "q");
  EXPECT_EQ(at(160, 236), blue);
}

TEST_F(DialogsGlTest, TheHighscoreListShowsOneLineEveryTenthOfAUnit) {
  ScratchDir dir("dialogs_gl");
  WorkingDir here(dir.path());  // the list's entry saves "h.bin" here
  gameState.collected = 5;
  onNameEntered("Петя"_cp1251);
  ASSERT_EQ(windowList.size(), 11);  // ten lines and OK
  for (int i = 0; i < windowList.size(); ++i) draw(windowList.at(i));
  // Line i: its cells one cell below the label's top, 0.5 − 0.1·i, from the left edge, -0.5.
  expectText(80, 224, "Петя  5"_cp1251);
  for (int i = 1; i < 10; ++i) expectText(80, 224 - 16 * i, "  0");
  EXPECT_EQ(at(200, 228), blue);  // a label has no background
  EXPECT_EQ(at(140, 70), blue);   // between the last line and OK
}

}  // namespace
