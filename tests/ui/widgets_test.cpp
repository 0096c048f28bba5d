// The widgets' answers to the mouse and the keys, and the geometry their drawing depends on.
#include "ui/widgets.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frame.h"
#include "base/text1251.h"
#include "ui/font.h"
#include "ui/text_layout.h"
#include "ui/window_list.h"

namespace {

std::vector<std::string> calls;  // what the actions below were asked to do, in order

void actionA() { calls.push_back("a"); }
void actionB() { calls.push_back("b"); }
void actionRebuilding() {
  calls.push_back("rebuild");
  closeAllWindows();
  new Button(-1, 1, 2, 2, "fresh", actionB);
}
void enterRecorder(const std::string& text) { calls.push_back("enter:" + text); }
void enterClosing(const std::string& text) {
  calls.push_back("enter:" + text);
  closeAllWindows();
}

class WidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = appFrame;
    savedCellSize_ = cellSize;
    appFrame.windowWidth = 200;
    appFrame.windowHeight = 200;
    cellSize = 0.125f;
    closeAllWindows();
    windowList.listRebuilt = false;
    calls.clear();
  }
  void TearDown() override {
    closeAllWindows();
    appFrame = saved_;
    cellSize = savedCellSize_;
  }
  AppFrame saved_;
  float savedCellSize_ = 0.0f;
};

TEST_F(WidgetTest, APressInsideOrOnTheEdgeOfAButtonRunsItsAction) {
  Button* button = new Button(-0.5f, 0.5f, 1.0f, 0.25f, "b", actionA);
  struct Case {
    float mx, my;
    int state;
    int mouseButton;
    bool runs;
  };
  const Case cases[] = {
      {0.0f, 0.4f, GLUT_DOWN, GLUT_LEFT_BUTTON, true},
      {-0.5f, 0.5f, GLUT_DOWN, GLUT_LEFT_BUTTON, true},    // top-left corner
      {0.5f, 0.25f, GLUT_DOWN, GLUT_LEFT_BUTTON, true},    // bottom-right corner
      {0.0f, 0.4f, GLUT_DOWN, GLUT_MIDDLE_BUTTON, true},
      {0.0f, 0.4f, GLUT_DOWN, GLUT_RIGHT_BUTTON, true},
      {0.0f, 0.4f, GLUT_UP, GLUT_LEFT_BUTTON, false},      // a release inside
      {0.51f, 0.4f, GLUT_DOWN, GLUT_LEFT_BUTTON, false},
      {0.0f, 0.24f, GLUT_DOWN, GLUT_LEFT_BUTTON, false},
      {0.0f, 0.51f, GLUT_DOWN, GLUT_LEFT_BUTTON, false},
  };
  for (const Case& c : cases) {
    calls.clear();
    button->onMouse(c.mouseButton, c.state, c.mx, c.my);
    EXPECT_EQ(calls.size(), c.runs ? 1u : 0u) << c.mx << "," << c.my << " state " << c.state;
  }
}

TEST_F(WidgetTest, SpaceRunsTheFocusedButtonEnterDoesNot) {
  new Button(-0.5f, 0.5f, 1.0f, 0.25f, "b", actionA);
  keyboardCallback('\r', 0, 0);
  keyboardCallback('x', 0, 0);
  EXPECT_TRUE(calls.empty());
  keyboardCallback(' ', 0, 0);
  EXPECT_EQ(calls, std::vector<std::string>{"a"});
  closeAllWindows();
  new Button(-0.5f, 0.5f, 1.0f, 0.25f, "no action", nullptr);  // an absent action is simply not run
  keyboardCallback(' ', 0, 0);
  mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(WidgetTest, OverlappingButtonsBothActUnlessTheFirstRebuildsTheList) {
  new Button(-0.5f, 0.5f, 1.0f, 1.0f, "first", actionA);
  new Button(-0.5f, 0.5f, 1.0f, 1.0f, "second", actionB);
  mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
  EXPECT_EQ(calls, (std::vector<std::string>{"a", "b"}));

  closeAllWindows();
  calls.clear();
  new Button(-0.5f, 0.5f, 1.0f, 1.0f, "first", actionRebuilding);
  new Button(-0.5f, 0.5f, 1.0f, 1.0f, "second", actionA);
  mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
  EXPECT_EQ(calls, std::vector<std::string>{"rebuild"});  // neither the old second nor the new button
  EXPECT_EQ(windowList.size(), 1);
}

TEST_F(WidgetTest, TheTextFieldHoldsAtMostCapacityLessOneCharacters) {
  TextField* field = new TextField(-0.5f, 0.1f, 1.0f, 0.2f, "caption", 20, enterRecorder);
  for (char c : std::string("abcdefghijklmnopqrstuvwxyz")) keyboardCallback(static_cast<unsigned char>(c), 0, 0);
  EXPECT_EQ(field->length, 19);
  EXPECT_STREQ(field->input(), "abcdefghijklmnopqrs");
}

TEST_F(WidgetTest, TextFieldEditing) {
  TextField* field = new TextField(-0.5f, 0.1f, 1.0f, 0.2f, "caption", 20, enterRecorder);
  keyboardCallback(8, 0, 0);                // backspace on an empty input
  specialCallback(GLUT_KEY_LEFT, 0, 0);     // Left on an empty input
  EXPECT_EQ(field->length, 0);
  keyboardCallback('\r', 0, 0);             // Enter on an empty input passes ""
  for (unsigned char c : std::string("Ив"_cp1251) + "\x01\xff") keyboardCallback(c, 0, 0);  // no filter
  EXPECT_EQ(field->length, 4);
  keyboardCallback(8, 0, 0);
  specialCallback(GLUT_KEY_LEFT, 0, 0);
  EXPECT_STREQ(field->input(), "Ив"_cp1251);
  specialCallback(GLUT_KEY_RIGHT, 0, 0);    // other special keys change nothing
  keyboardCallback('\r', 0, 0);
  EXPECT_STREQ(field->input(), "Ив"_cp1251);  // Enter keeps the input
  EXPECT_EQ(calls, (std::vector<std::string>{"enter:", std::string("enter:") + "Ив"_cp1251}));
}

TEST_F(WidgetTest, AnEnterActionMayDestroyTheField) {
  new TextField(-0.5f, 0.1f, 1.0f, 0.2f, "caption", 20, enterClosing);
  keyboardCallback('x', 0, 0);
  keyboardCallback('\r', 0, 0);  // the field is gone when its action returns
  EXPECT_EQ(calls, std::vector<std::string>{"enter:x"});
  EXPECT_EQ(windowList.size(), 0);
}

TEST_F(WidgetTest, TheCaptionShowsOnlyInAFieldTallerThanFiveCells) {
  TextField& field = *new TextField(0, 0, 1, 0.625f, "c", 20, nullptr);
  EXPECT_FALSE(field.showsCaption(0.125f));  // exactly five cells
  field.height = 0.626f;
  EXPECT_TRUE(field.showsCaption(0.125f));
  // The name field (0.2 high) shows its caption from a shorter window side of 400 pixels up.
  field.height = 0.2f;
  EXPECT_FALSE(field.showsCaption(computeProjection(399, 600).cellSize));
  EXPECT_FALSE(field.showsCaption(computeProjection(300, 300).cellSize));
  EXPECT_TRUE(field.showsCaption(computeProjection(401, 600).cellSize));
  EXPECT_TRUE(field.showsCaption(computeProjection(800, 600).cellSize));
}

TEST_F(WidgetTest, TheTextViewScrollsWithArrowsPageKeysAndItsCorners) {
  TextView* view = new TextView(-0.5f, 0.5f, 1.0f, 1.0f, "text");
  specialCallback(GLUT_KEY_UP, 0, 0);
  specialCallback(GLUT_KEY_PAGE_UP, 0, 0);
  EXPECT_EQ(view->scroll, 0);
  specialCallback(GLUT_KEY_DOWN, 0, 0);
  specialCallback(GLUT_KEY_PAGE_DOWN, 0, 0);
  EXPECT_EQ(view->scroll, 2);
  specialCallback(GLUT_KEY_PAGE_UP, 0, 0);
  EXPECT_EQ(view->scroll, 1);
  keyboardCallback(' ', 0, 0);
  specialCallback(GLUT_KEY_LEFT, 0, 0);
  EXPECT_EQ(view->scroll, 1);

  // The bottom-right cell spans 0.375..0.5 by -0.5..-0.375, the top-right one 0.375..0.5 by 0.375..0.5.
  view->onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0.5f, -0.5f);
  view->onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0.375f, -0.375f);
  EXPECT_EQ(view->scroll, 3);
  view->onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 0.4f, -0.4f);     // releases do nothing
  view->onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0.37f, -0.4f);  // left of the cell
  view->onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0.0f, 0.0f);
  EXPECT_EQ(view->scroll, 3);
  for (int i = 0; i < 5; ++i) view->onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0.45f, 0.45f);
  EXPECT_EQ(view->scroll, 0);
}

TEST_F(WidgetTest, TheRestartCaptionFitsItsButtonAbove352Pixels) {
  const char* caption = "Заново (F2)"_cp1251;
  const int length = 11;
  for (int side : {300, 340, 351, 353, 400, 600}) {
    const float cell = computeProjection(side, side).cellSize;
    TextPlacement p = buttonTextPlacement(-0.9f, 0.9f, 0.5f, 0.1f, length, cell);
    std::vector<std::string> shown;
    forEachTextLine(caption, length, 0.5f, 0.0f, cell,
                    [&](int start, int end, int, float) { shown.emplace_back(caption + start, caption + end); });
    if (side > 352) {
      EXPECT_FLOAT_EQ(p.x, -0.9f + 0.25f - 5 * cell) << side;
      EXPECT_EQ(shown, std::vector<std::string>{caption}) << side;
    } else {
      EXPECT_FLOAT_EQ(p.x, -0.9f + cell) << side;
      EXPECT_EQ(shown, std::vector<std::string>{"Заново"_cp1251}) << side;
    }
    EXPECT_FLOAT_EQ(p.y, 0.9f - 0.05f + cell / 2) << side;
  }
}

TEST(ScrollIcons, TheUpArrowAndItsMirrorImage) {
  const char* rows[8] = {"########", "#......#", "#..##..#", "#..##..#",
                         "#.####.#", "#.####.#", "#......#", "########"};
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) {
      const unsigned char expected = rows[r][c] == '#' ? 255 : 0;
      EXPECT_EQ(scrollUpIcon[static_cast<std::size_t>((7 - r) * 8 + c)], expected) << r << "," << c;
      EXPECT_EQ(scrollDownIcon[static_cast<std::size_t>(r * 8 + c)], expected) << r << "," << c;
    }
}

}  // namespace
