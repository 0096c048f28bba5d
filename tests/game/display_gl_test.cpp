// The on-screen display drawn for real: the bar's colours and length, the score line's ink.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <vector>

#include "app/frame.h"
#include "game/frame.h"
#include "game/state.h"
#include "tests/support/gl_context.h"
#include "ui/font.h"

namespace {

constexpr int width = 400;
constexpr int height = 300;

struct Pixels {
  std::vector<unsigned char> rgb = std::vector<unsigned char>(width * height * 3);
  // Interface units to the pixel there (rows counted from the bottom, as GL reads them).
  std::array<int, 3> at(float x, float y) const {
    int px = static_cast<int>(width / 2 + x * (height / 2));
    int py = static_cast<int>(height / 2 + y * (height / 2));
    const unsigned char* p = &rgb[(py * width + px) * 3];
    return {p[0], p[1], p[2]};
  }
};

Pixels drawDisplayWithBubble(float bubble, int collected) {
  restartGame();
  gameState.bubble = bubble;
  gameState.collected = collected;
  reshapeCallback(width, height);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawOnScreenDisplay();
  glFinish();
  Pixels pixels;
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.rgb.data());
  return pixels;
}

void expectNear(std::array<int, 3> got, std::array<int, 3> want, int tolerance, const char* what) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], tolerance) << what << " channel " << i;
}

TEST(OnScreenDisplay, BarBlendsFromPaleBlueToRedOverItsLength) {
  ASSERT_TRUE(ensureGlContext(width, height));
  initFont();
  Pixels p = drawDisplayWithBubble(5.0f, 0);  // the bar ends at x = 5 × 0.18 − 0.9 = 0
  // Half-transparent over black: (0.6, 0.6, 1.0) × 0.5 at the left, (1, 0, 0) × 0.5 at the right.
  expectNear(p.at(-0.89f, 0.65f), {76, 76, 127}, 6, "left end");
  expectNear(p.at(-0.01f, 0.65f), {127, 1, 1}, 6, "right end");
  expectNear(p.at(0.02f, 0.65f), {0, 0, 0}, 0, "past the end");
  expectNear(p.at(-0.45f, 0.58f), {0, 0, 0}, 0, "below the bar");

  Pixels empty = drawDisplayWithBubble(0.0f, 0);  // timed out: no width
  expectNear(empty.at(-0.85f, 0.65f), {0, 0, 0}, 0, "bar of a timed-out game");
}

TEST(OnScreenDisplay, ScoreLineIsGreenInkAtTheTopLeft) {
  ASSERT_TRUE(ensureGlContext(width, height));
  initFont();
  Pixels p = drawDisplayWithBubble(0.0f, 0);
  int green = 0, other = 0;
  for (int py = static_cast<int>(height / 2 + 0.70f * height / 2); py < height; ++py) {
    for (int px = 0; px < width; ++px) {
      const unsigned char* c = &p.rgb[(py * width + px) * 3];
      if (c[1] > 200 && c[0] == 0 && c[2] == 0) {
        ++green;
        EXPECT_LT(px, width / 2 + static_cast<int>(-0.4f * height / 2)) << "ink right of the score box";
      } else if (c[0] || c[1] || c[2]) {
        ++other;
      }
    }
  }
  EXPECT_GT(green, 40);
  EXPECT_EQ(other, 0);
}

}  // namespace
