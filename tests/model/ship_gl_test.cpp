// The ship the data tool writes, drawn where the game draws it: 7 below and 20 ahead of the eye,
// turned to fly away from it, under the window's 90° projection.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/frame.h"
#include "base/random.h"
#include "model/model.h"
#include "render/model_draw.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

// Under the sanitizers: Mesa's driver is unloaded at exit with its allocations still held, and
// the leak check would blame them on an unknown module; this program only checks addresses. The
// ship's own allocations are leak-checked by the model tests, which load it without GL.
extern "C" __attribute__((used)) const char* __asan_default_options() { return "detect_leaks=0"; }

TEST(ShipGl, TheShipShowsBelowTheMiddleOfTheViewAndLeavesTheMatrixStack) {
  constexpr int side = 256;
  ASSERT_TRUE(ensureGlContext(side, side));
  Model* ship = nullptr;
  {
    WorkingDir here(std::filesystem::path(VELMO_DATA_DIR));
    sharedRandom = RandomSequence{};
    ship = new Model("vorizozadi1", 50);
  }
  glViewport(0, 0, side, side);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(computeProjection(side, side).matrix);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  prepareUnlitMeshDrawing();

  GLint depthBefore = 0, depthAfter = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
  glPushMatrix();
  glTranslatef(0.0f, -7.0f, -20.0f);
  glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
  drawModel(*ship);
  glPopMatrix();
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
  EXPECT_EQ(depthAfter, depthBefore);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  std::vector<unsigned char> pixels(side * side * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, side, side, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  int left = side, right = -1, bottom = side, top = -1, covered = 0;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const unsigned char* p = &pixels[3 * (y * side + x)];
      if (p[0] + p[1] + p[2] == 0) continue;
      ++covered;
      left = std::min(left, x), right = std::max(right, x);
      bottom = std::min(bottom, y), top = std::max(top, y);
    }
  ASSERT_GT(covered, 0);
  // Centred across, wholly below the middle, and some 5 to 25 per cent of the view wide.
  EXPECT_NEAR((left + right) / 2.0, side / 2.0, 3.0);
  EXPECT_LT(top, side / 2);
  EXPECT_GT(bottom, side / 8);
  const int width = right - left + 1;
  EXPECT_GE(width, side / 20);
  EXPECT_LE(width, side / 4);
  EXPECT_LT(top - bottom + 1, width) << "seen from behind and above, the wings are wider than the ship is tall";
  delete ship;
}
