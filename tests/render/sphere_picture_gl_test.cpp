// The solid sphere on the screen: the very pixels and depths of glutSolidSphere wherever
// freeglut's indices hold, lit and translucent, and a whole sphere with no warning beyond.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#include "render/solid_sphere.h"
#include "tests/support/gl_context.h"

namespace {

constexpr int side = 256;

struct Picture {
  std::vector<unsigned char> colour = std::vector<unsigned char>(side * side * 4);
  std::vector<unsigned> depth = std::vector<unsigned>(side * side);
};

// A lit sphere turned so that a pole, the strips' seams and a specular highlight all show. The
// opaque pass culls back faces, so the winding counts; the translucent pass draws both sides
// without the depth test, so every triangle's order counts.
void setScene(double radius, bool translucent) {
  orthoView(side, radius * 1.25, -radius * 4, radius * 4);
  glRotatef(35.0f, 1.0f, 0.0f, 0.0f);
  glRotatef(-20.0f, 0.0f, 1.0f, 0.0f);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  const GLfloat light[] = {0.5f, 1.0f, 2.0f, 0.0f};
  const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
  const GLfloat diffuse[] = {0.6f, 0.6f, 1.0f, translucent ? 0.2f : 1.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, light);
  glLightfv(GL_LIGHT0, GL_SPECULAR, white);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 40.0f);
  glShadeModel(GL_SMOOTH);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glDisable(GL_TEXTURE_2D);
  if (translucent) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
  }
  glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

Picture readPicture() {
  Picture picture;
  glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, picture.colour.data());
  glReadPixels(0, 0, side, side, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, picture.depth.data());
  return picture;
}

template <typename Draw>
Picture draw(double radius, bool translucent, Draw drawSphere) {
  setScene(radius, translucent);
  drawSphere();
  return readPicture();
}

int differingPixels(const Picture& a, const Picture& b) {
  int count = 0;
  for (int i = 0; i < side * side; ++i) {
    count += !std::equal(&a.colour[4 * i], &a.colour[4 * i + 4], &b.colour[4 * i]) || a.depth[i] != b.depth[i];
  }
  return count;
}

int backgroundPixels(const Picture& a) {
  int count = 0;
  for (int i = 0; i < side * side; ++i) count += a.depth[i] == a.depth[0] && a.colour[4 * i] == a.colour[0];
  return count;
}

}  // namespace

TEST(SolidSpherePicture, SameBytesAsGlutWhereverItsIndicesHold) {
  ASSERT_TRUE(ensureGlContext(side, side));
  const struct {
    int slices, stacks;
  } details[] = {{1, 2}, {2, 2}, {3, 3}, {7, 5}, {5, 9}, {12, 12}, {20, 20}, {36, 36}, {50, 50}, {100, 100}, {200, 200}, {256, 256}};
  for (double radius : {1.0, 2.5, 10.0}) {
    for (const auto& d : details) {
      for (bool translucent : {false, true}) {
        SCOPED_TRACE(testing::Message() << d.slices << " × " << d.stacks << " radius " << radius
                                        << (translucent ? " translucent" : " opaque"));
        const Picture glut = draw(radius, translucent, [&] { glutSolidSphere(radius, d.slices, d.stacks); });
        const Picture ours = draw(radius, translucent, [&] { drawSolidSphere(radius, d.slices, d.stacks); });
        EXPECT_EQ(differingPixels(glut, ours), 0);
        if (d.slices >= 3) {
          EXPECT_LT(backgroundPixels(ours), side * side * 3 / 4) << "no sphere drawn";
        }
      }
    }
  }
}

// Beyond 256 × 256 freeglut's 16-bit indices wrap and it says so; ours is the sphere of detail
// 200 give or take a pixel along the outline and the rounding of the lighting, and says nothing.
TEST(SolidSpherePicture, WholeAndSilentAtTheHighestDetail) {
  ASSERT_TRUE(ensureGlContext(side, side));
  const Picture coarse = draw(2.5, false, [] { drawSolidSphere(2.5, 200, 200); });
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  const Picture fine = draw(2.5, false, [] { drawSolidSphere(2.5, 360, 360); });
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  int outline = 0, shade = 0;
  for (int i = 0; i < side * side; ++i) {
    const bool coarseBackground = coarse.depth[i] == coarse.depth[0];
    const bool fineBackground = fine.depth[i] == fine.depth[0];
    if (coarseBackground != fineBackground) {
      ++outline;
      continue;
    }
    for (int k = 0; k < 3; ++k) shade = std::max(shade, std::abs(coarse.colour[4 * i + k] - fine.colour[4 * i + k]));
  }
  EXPECT_LE(outline, 40);  // of about 640 outline pixels; freeglut at 360 loses a fifth of the disc
  EXPECT_LE(shade, 6);
  EXPECT_LT(backgroundPixels(fine), side * side * 3 / 4);
}

// What the game may ask in error: nothing is drawn, nothing breaks, the client state stays.
TEST(SolidSpherePicture, SillyArgumentsDrawNothingOrABoundedSphere) {
  ASSERT_TRUE(ensureGlContext(side, side));
  setScene(1.0, false);
  const Picture empty = readPicture();
  for (auto [slices, stacks] : {std::pair{0, 0}, {-3, 12}, {12, 1}, {12, -1}}) {
    drawSolidSphere(1.0, slices, stacks);
  }
  drawSolidSphere(std::nan(""), 12, 12);
  drawSolidSphere(std::numeric_limits<double>::infinity(), 12, 12);
  drawSolidSphere(0.0, 12, 12);
  EXPECT_EQ(differingPixels(empty, readPicture()), 0);
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
  drawSolidSphere(1.0, 1 << 30, 1 << 30);
  EXPECT_LT(backgroundPixels(readPicture()), side * side * 3 / 4);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
