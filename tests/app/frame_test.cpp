// The projection, the mouse conversion and the routing of input through the window list.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <vector>

#include "app/frame.h"
#include "app/window_list.h"
#include "ui/widget.h"

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

TEST(CommandLine, AntialiasingStaysOnUnlessAnArgumentTurnsItOff) {
  const char* none[] = {"velmo", nullptr};
  const char* other[] = {"velmo", "--no-antialiasing-please", "no-antialiasing", nullptr};
  const char* off[] = {"velmo", "-x", "--no-antialiasing", nullptr};
  const char* programNameOnly[] = {"--no-antialiasing", nullptr};
  EXPECT_TRUE(antialiasingWanted(1, none));
  EXPECT_TRUE(antialiasingWanted(3, other));
  EXPECT_FALSE(antialiasingWanted(3, off));
  EXPECT_TRUE(antialiasingWanted(1, programNameOnly));
  EXPECT_TRUE(antialiasingWanted(0, none));

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
