// The real game frame, drawing included, step by step: the hit tests look at the position the
// previous step left, then the ship crashes or flies on, the bubble grows and times out, and the
// name entry replaces the menu when a game ends.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>

#include "app/frame.h"
#include "base/random.h"
#include "game/frame.h"
#include "game/rules.h"
#include "game/ship.h"
#include "game/sound.h"
#include "game/state.h"
#include "model/landscapes.h"
#include "render/cubemap.h"
#include "render/floor.h"
#include "render/skybox.h"
#include "render/stars.h"
#include "tests/game/empty_field.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"
#include "ui/widgets.h"
#include "ui/window_list.h"

namespace {

constexpr int width = 320;
constexpr int height = 240;

class GameFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ensureGlContext(width, height));
    static bool loaded = false;
    if (!loaded) {  // the start-up's loading, once: the sky, the floor, the stars, the ship
      WorkingDir here(VELMO_RUN_DIR);
      testing::internal::CaptureStdout();  // the progress lines
      initSkyBox();
      initFloor();
      initStars();
      initCubeMap();
      loadShip(4);
      createBlastTexture();
      createFrameTextures();
      testing::internal::GetCapturedStdout();
      sceneOptions.sphereDetail = 10;
      sceneOptions.windowView = restoreWindowView;
      loaded = true;
    }
    switchSound(false);
    reshapeCallback(width, height);
    restartInAnEmptyField();
  }
  void TearDown() override { closeAllWindows(); }

  // One display's worth of the game.
  void frame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gameFrame();
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  }
  static bool menuShown() { return windowList.size() == 2; }
  static bool nameEntryShown() {
    return windowList.size() == 1 && dynamic_cast<TextField*>(windowList.at(0)) != nullptr;
  }
};

TEST_F(GameFrameTest, StarsAreTestedWhereThePreviousStepLeftTheShip) {
  // After a restart the ship's probe point is at world (110, -20): the first star is in reach
  // there, the second only once the ship has flown 2 units on along -z.
  starSet.stars[0] = Star{98.0f, 10.0f, 10.0f};
  starSet.stars[1] = Star{110.0f, 40.9f, 10.0f};
  frame();
  EXPECT_EQ(gameState.collected, 1);
  EXPECT_FLOAT_EQ(starSet.stars[1].y, 40.9f);  // not yet
  EXPECT_FLOAT_EQ(gameState.camera.z, 2.0f);   // and then the ship moved
  EXPECT_FLOAT_EQ(gameState.bubble, 1.05f);    // the collection's 1, grown once
  frame();
  EXPECT_EQ(gameState.collected, 2);
  EXPECT_TRUE(menuShown());
}

TEST_F(GameFrameTest, AMountainEndsTheGameBeforeTheShipMovesAndTheBlastGrowsTenSteps) {
  landscapeInstances[7] = LandscapeInstance{nullptr, 99.0f, 6.0f, -20.0f, 0.0f};
  landscapeHalfX = 11.5f;
  landscapeHalfZ = 0.5f;
  frame();
  EXPECT_EQ(gameState.crashed, 1);
  EXPECT_FLOAT_EQ(gameState.camera.z, 0.0f);     // no flight after the crash
  EXPECT_FLOAT_EQ(gameState.blastRadius, 1.0f);  // the first blast step shows at once
  EXPECT_TRUE(nameEntryShown());
  for (int step = 2; step <= 12; ++step) {
    frame();
    EXPECT_FLOAT_EQ(gameState.blastRadius, float(std::min(step, 10))) << step;
    EXPECT_EQ(gameState.blastRadius > blastRingFrom, step >= 6) << step;  // the ring's steps
  }
  EXPECT_FLOAT_EQ(gameState.camera.z, 0.0f);
  EXPECT_FLOAT_EQ(gameState.bubble, 1.0f);  // a wreck's bubble no longer grows
  EXPECT_TRUE(nameEntryShown());
}

TEST_F(GameFrameTest, AnIdleShipTimesOutAtTheFortyEighthStepAndTheNameEntryOpens) {
  for (int step = 1; step < 48; ++step) {
    frame();
    ASSERT_TRUE(menuShown()) << step;
    ASSERT_GT(gameState.bubble, 0.0f) << step;
  }
  frame();
  EXPECT_FLOAT_EQ(gameState.bubble, 0.0f);
  EXPECT_TRUE(nameEntryShown());
  EXPECT_NEAR(gameState.camera.z, 96.0f, 1e-3);  // 48 steps of 2 units
  frame();                                        // timed out: the ship stands still
  EXPECT_NEAR(gameState.camera.z, 96.0f, 1e-3);
  EXPECT_TRUE(nameEntryShown());
}

TEST_F(GameFrameTest, ACollectionPutsTheTimeOutFortySevenStepsAfterIt) {
  // In reach once the ship has flown 10 steps: taken in the eleventh.
  starSet.stars[0] = Star{110.0f, 59.9f, 10.0f};
  int steps = 0;
  while (!nameEntryShown() && steps < 100) {
    frame();
    ++steps;
    if (steps <= 11) {
      EXPECT_EQ(gameState.collected, steps == 11 ? 1 : 0) << steps;
    }
  }
  EXPECT_EQ(steps, 11 + 47);
}

}  // namespace
