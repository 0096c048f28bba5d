// Drawing the stars in a real GL context: the glow shows and the state is put back.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "render/stars.h"
#include "tests/support/gl_context.h"

TEST(StarsGl, DrawsAGlowAndRestoresTheState) {
  ASSERT_TRUE(ensureGlContext(64, 64));
  orthoView(64, 12, -50, 50);
  glDisable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // One star at the origin seen along the floor frame's y axis: the disc faces the viewer.
  StarSet saved = starSet;
  for (Star& star : starSet.stars) star = {0.0f, 0.0f, 0.0f};
  glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
  drawStars(20, 0.0f);
  starSet = saved;
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1.0f);
  EXPECT_EQ(colour[3], 1.0f);
  unsigned char centre[3], glow[3], outside[3];
  glReadPixels(32, 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, centre);
  glReadPixels(32 + 12, 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, glow);  // about 4.5 units out
  glReadPixels(2, 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, outside);
  EXPECT_EQ(centre[0], 255);
  EXPECT_GT(glow[2], glow[0]);  // pale blue
  EXPECT_GT(glow[2], 0);
  EXPECT_EQ(outside[2], 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
