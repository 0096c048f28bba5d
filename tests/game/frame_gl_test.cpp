// The real game frame, drawing included: what a step's events put on the screen (the rules
// themselves are tested without a window, beside the step).
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

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
    loadTheWorldOnce();
    sceneOptions.sphereDetail = 10;
    switchSound(false);
    setFixedGlState();
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
  // Whether the picture at the eye-space point (x, shipHeight, -shipDistance), level with the
  // blast and beside it, lies in the ring's flat plane there, rather than on the floor or the sky
  // far behind it.
  static bool ringAt(float x) {
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const GLdouble identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GLdouble wx, wy, wz;
    gluProject(x, shipHeight, -shipDistance, identity, projection, viewport, &wx, &wy, &wz);
    GLfloat depth = 1.0f;
    glReadPixels(static_cast<GLint>(wx), static_cast<GLint>(wy), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    GLdouble ex, ey, ez;
    gluUnProject(std::floor(wx) + 0.5, std::floor(wy) + 0.5, depth, identity, projection, viewport, &ex, &ey, &ez);
    return std::abs(ey - shipHeight) < 0.5 && std::abs(ez + shipDistance) < 5.0;
  }
};

TEST_F(GameFrameTest, TheBlastsRingShowsFromTheSixthStepToTheTenth) {
  landscapeInstances[7] = LandscapeInstance{nullptr, 99.0f, 6.0f, -20.0f, 0.0f};
  landscapeHalfX = 11.5f;
  landscapeHalfZ = 0.5f;
  frame();
  ASSERT_EQ(gameState.crashed, 1);
  for (int step = 2; step <= 12; ++step) {
    frame();
    // The ring (from 2r - 4 to 2r) shows from the sixth step to the tenth; its middle lies
    // clear of the sphere from radius 3 on.
    if (step >= 3) {
      EXPECT_EQ(ringAt(2.0f * gameState.blastRadius - 2.0f), step >= 6 && step <= 10) << step;
    }
  }
}

}  // namespace
