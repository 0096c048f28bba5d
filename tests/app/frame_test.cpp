// The projection, the mouse conversion and the routing of input through the window list.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <vector>

#include "app/frame.h"
#include "ui/widget.h"
#include "ui/window_list.h"

namespace {

TEST(Projection, Window800x600) {
  Projection p = computeProjection(800, 600);
  EXPECT_FLOAT_EQ(p.aspect, 800.0f / 600.0f);
  EXPECT_FLOAT_EQ(p.matrix[0], 2.0f / (2.0f * 800.0f / 600.0f));  // bounds ±1.333
  EXPECT_FLOAT_EQ(p.matrix[5], 1.0f);                              // bounds ±1
  EXPECT_FLOAT_EQ(p.matrix[2], 0.0f);
  EXPECT_FLOAT_EQ(p.matrix[6], 0.0f);
  EXPECT_FLOAT_EQ(p.matrix[10], -1.0f);
  EXPECT_FLOAT_EQ(p.matrix[11], -1.0f);
  EXPECT_FLOAT_EQ(p.matrix[14], -1.0f);
  EXPECT_FLOAT_EQ(p.matrix[15], 0.0f);
  EXPECT_FLOAT_EQ(p.cellSize, 16.0f / 600.0f);

  // Eye depth 1 lands in the middle of the depth range, depth 0.5 at its near end.
  auto ndcDepth = [&](float eyeZ) { return (p.matrix[10] * eyeZ + p.matrix[14]) / (p.matrix[11] * eyeZ); };
  EXPECT_FLOAT_EQ(ndcDepth(-1.0f), 0.0f);
  EXPECT_FLOAT_EQ(ndcDepth(-0.5f), -1.0f);
}

TEST(Projection, PortraitAndHeightZero) {
  Projection tall = computeProjection(300, 600);
  EXPECT_FLOAT_EQ(tall.matrix[0], 1.0f);
  EXPECT_FLOAT_EQ(tall.matrix[5], 0.5f);  // bounds ±2 vertically
  EXPECT_FLOAT_EQ(tall.cellSize, 16.0f / 300.0f);

  Projection flat = computeProjection(640, 0);
  EXPECT_EQ(flat.height, 1);
  EXPECT_FLOAT_EQ(flat.aspect, 640.0f);
  EXPECT_FLOAT_EQ(flat.cellSize, 16.0f);
}

TEST(Projection, TheGlyphScaleGrowsTheCellAndAutoFollowsTheShorterSide) {
  EXPECT_FLOAT_EQ(computeProjection(800, 600, 2).cellSize, 32.0f / 600.0f);
  const struct {
    int uiScale, width, height, scale;
  } cases[] = {
      {1, 3840, 2160, 1},  // a fixed scale whatever the window
      {3, 320, 200, 3},
      {autoGlyphScale, 800, 600, 1},
      {autoGlyphScale, 640, 479, 1},  // never below 1
      {autoGlyphScale, 1920, 1080, 2},
      {autoGlyphScale, 1080, 1920, 2},
      {autoGlyphScale, 2000, 1439, 2},
      {autoGlyphScale, 2000, 1440, 3},
      {autoGlyphScale, 3840, 2160, 4},
      {autoGlyphScale, 9000, 9000, maxGlyphScale},
      {autoGlyphScale, 800, 0, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(glyphScaleFor(c.uiScale, c.width, c.height), c.scale) << c.uiScale << " " << c.width << "x" << c.height;
}

TEST(WindowDisplayMode, MultisampledUnlessAntialiasingIsOff) {
  // Without the option the window is exactly the multisampled one it always was.
  EXPECT_EQ(windowDisplayMode(true), unsigned(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL | GLUT_MULTISAMPLE));
  EXPECT_EQ(windowDisplayMode(false), unsigned(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL));
}

TEST(MouseConversion, CentreAndCornerOf800x600) {
  InterfacePoint centre = toInterfaceUnits(400, 300, 800, 600);
  EXPECT_FLOAT_EQ(centre.x, 0.0f);
  EXPECT_FLOAT_EQ(centre.y, 0.0f);
  InterfacePoint corner = toInterfaceUnits(0, 0, 800, 600);
  EXPECT_FLOAT_EQ(corner.x, -400.0f / 300.0f);
  EXPECT_FLOAT_EQ(corner.y, 1.0f);
  // Odd sizes halve by integer division.
  InterfacePoint odd = toInterfaceUnits(0, 0, 801, 601);
  EXPECT_FLOAT_EQ(odd.x, -400.0f / 300.0f);
  // A one-pixel window gives finite values.
  InterfacePoint tiny = toInterfaceUnits(0, 0, 1, 1);
  EXPECT_FLOAT_EQ(tiny.x, 0.0f);
}

// A widget that records what reaches it, and may rebuild the list when clicked.
std::vector<std::string> seen;

class ProbeWidget : public Widget {
 public:
  ProbeWidget(const char* name, bool rebuilds = false) : Widget(0, 0, 1, 1), name_(name), rebuilds_(rebuilds) {}
  void onMouse(int, int state, float, float) override {
    seen.push_back(std::string(name_) + (state == GLUT_DOWN ? ":down" : ":up"));
    if (rebuilds_) {
      closeAllWindows();
      new ProbeWidget("fresh");
    }
  }
  void onKey(unsigned char key, int, int) override { seen.push_back(std::string(name_) + ":key" + char(key)); }
  void onSpecialKey(int key, int, int) override { seen.push_back(std::string(name_) + ":special" + std::to_string(key)); }

 private:
  const char* name_;
  bool rebuilds_;
};

class WindowListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    closeAllWindows();
    seen.clear();
    appFrame = AppFrame{};
    appFrame.windowWidth = 800;
    appFrame.windowHeight = 600;
  }
  void TearDown() override {
    closeAllWindows();
    appFrame = AppFrame{};
  }
};

TEST_F(WindowListTest, TabCyclesFocusAndHighlightOverThreeWidgets) {
  auto* a = new ProbeWidget("a");
  auto* b = new ProbeWidget("b");
  auto* c = new ProbeWidget("c");
  EXPECT_EQ(windowList.focus(), a);  // the first, not the newest
  EXPECT_EQ(windowList.highlighted(), nullptr);
  keyboardCallback('\t', 0, 0);
  EXPECT_EQ(windowList.focus(), b);
  EXPECT_EQ(windowList.highlighted(), b);
  keyboardCallback('\t', 0, 0);
  EXPECT_EQ(windowList.highlighted(), c);
  keyboardCallback('\t', 0, 0);
  EXPECT_EQ(windowList.focus(), a);
  EXPECT_EQ(windowList.highlighted(), a);
  EXPECT_TRUE(seen.empty());  // no widget sees a Tab
}

TEST_F(WindowListTest, KeysGoToTheFocusAndSpecialKeysAlsoToTheHook) {
  static std::vector<int> hooked;
  hooked.clear();
  appFrame.specialHook = [](int key, int, int) { hooked.push_back(key); };
  keyboardCallback('\t', 0, 0);  // empty list: nothing happens
  specialCallback(GLUT_KEY_F2, 0, 0);
  EXPECT_EQ(hooked, std::vector<int>{GLUT_KEY_F2});

  new ProbeWidget("a");
  new ProbeWidget("b");
  keyboardCallback('x', 0, 0);
  specialCallback(GLUT_KEY_LEFT, 0, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"a:keyx", "a:special100"}));
  EXPECT_EQ(hooked, (std::vector<int>{GLUT_KEY_F2, GLUT_KEY_LEFT}));
}

TEST_F(WindowListTest, MouseWalkStopsWhenAWidgetRebuildsTheList) {
  new ProbeWidget("a");
  new ProbeWidget("b", true);
  new ProbeWidget("c");
  mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 400, 300);
  EXPECT_EQ(seen, (std::vector<std::string>{"a:down", "b:down"}));
  EXPECT_EQ(windowList.size(), 1);
  EXPECT_FALSE(windowList.listRebuilt);
  EXPECT_EQ(windowList.highlighted(), nullptr);

  // The next click reaches every widget of the new list.
  seen.clear();
  new ProbeWidget("d");
  mouseCallback(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"fresh:up", "d:up"}));
}

TEST_F(WindowListTest, TheWheelPressesNothingAndScrollsTheFocusedWidget) {
  static std::vector<int> hooked;
  hooked.clear();
  appFrame.specialHook = [](int key, int, int) { hooked.push_back(key); };
  new ProbeWidget("a");
  new ProbeWidget("b");
  for (int button = 3; button <= 8; ++button) {  // wheel up, down, left, right, extra buttons
    mouseCallback(button, GLUT_DOWN, 400, 300);
    mouseCallback(button, GLUT_UP, 400, 300);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"a:special101", "a:special103"}));
  EXPECT_TRUE(hooked.empty());  // the game sees no wheel

  // The real buttons still reach every widget.
  seen.clear();
  for (int button : {GLUT_LEFT_BUTTON, GLUT_MIDDLE_BUTTON, GLUT_RIGHT_BUTTON}) mouseCallback(button, GLUT_DOWN, 0, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"a:down", "b:down", "a:down", "b:down", "a:down", "b:down"}));
}

TEST_F(WindowListTest, RebuildOutsideAWalkDoesNotStopTheNextClick) {
  new ProbeWidget("a");
  closeAllWindows();  // as F2 or the game frame would
  EXPECT_TRUE(windowList.listRebuilt);
  new ProbeWidget("b");
  new ProbeWidget("c");
  mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
  EXPECT_EQ(seen, (std::vector<std::string>{"b:down", "c:down"}));
}

}  // namespace

namespace {

// What the input hook saw, for the recording and replaying tests below.
std::vector<InputEvent> offered;

TEST_F(WindowListTest, TheInputHookSeesEveryInputInInterfaceUnitsAndCanDropIt) {
  offered.clear();
  appFrame.inputHook = [](const InputEvent& input) {
    offered.push_back(input);
    return true;
  };
  new ProbeWidget("a");
  specialCallback(GLUT_KEY_LEFT, 5, 5);
  keyboardCallback(0xC0, 5, 5);
  keyboardCallback('\t', 5, 5);  // taken by the frame, but still an input a replay must repeat
  mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
  ASSERT_EQ(offered.size(), 4u);
  EXPECT_EQ(offered[0].kind, InputKind::specialKey);
  EXPECT_EQ(offered[0].key, GLUT_KEY_LEFT);
  EXPECT_EQ(offered[1].kind, InputKind::character);
  EXPECT_EQ(offered[1].key, 0xC0);
  EXPECT_EQ(offered[2].key, '\t');
  EXPECT_EQ(offered[3].kind, InputKind::mouse);
  EXPECT_FLOAT_EQ(offered[3].x, -400.0f / 300.0f);  // the top-left corner of 800 x 600
  EXPECT_FLOAT_EQ(offered[3].y, 1.0f);
  EXPECT_EQ(seen, (std::vector<std::string>{"a:special100", "a:key\xC0", "a:down"}));

  // Dropped inputs reach no widget and no hook: the player's own keys during a replay.
  seen.clear();
  static int hooked = 0;
  appFrame.specialHook = [](int, int, int) { ++hooked; };
  appFrame.inputHook = [](const InputEvent&) { return false; };
  specialCallback(GLUT_KEY_F2, 0, 0);
  keyboardCallback('x', 0, 0);
  mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 400, 300);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(hooked, 0);
}

TEST_F(WindowListTest, ADispatchedInputActsAsTheLiveOneAndAWindowSizeChangesNothing) {
  static int hooked = 0;
  appFrame.specialHook = [](int, int, int) { ++hooked; };
  appFrame.inputHook = [](const InputEvent&) { return false; };  // a replay: dispatch bypasses it
  new ProbeWidget("a");
  new ProbeWidget("b", true);
  new ProbeWidget("c");
  dispatchInput({.kind = InputKind::specialKey, .key = GLUT_KEY_RIGHT});
  dispatchInput({.kind = InputKind::character, .key = 'q'});
  dispatchInput({.kind = InputKind::windowSize, .width = 10, .height = 10});
  dispatchInput({.kind = InputKind::mouse, .key = GLUT_LEFT_BUTTON, .state = GLUT_DOWN, .x = 0.5f, .y = 0.5f});
  EXPECT_EQ(seen, (std::vector<std::string>{"a:special102", "a:keyq", "a:down", "b:down"}));
  EXPECT_EQ(hooked, 1);
  EXPECT_EQ(appFrame.windowWidth, 800);
  dispatchInput({.kind = InputKind::character, .key = '\t'});
  EXPECT_EQ(windowList.highlighted(), windowList.focus());
}

}  // namespace
