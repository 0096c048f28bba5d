// Drawing the stars in a real GL context: a white sphere in a pale blue glow that faces the camera
// whichever way it is turned. What the drawing leaves of the GL state is tested with the other
// drawing functions (tests/game/gl_state_gl_test.cpp).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "app/frame.h"
#include "render/stars.h"
#include "tests/support/gl_context.h"

TEST(StarsGl, TheGlowFacesTheCameraAtEveryHeading) {
  ASSERT_TRUE(ensureGlContext(64, 64));
  StarSet saved = starSet;
  for (Star& star : starSet.stars) star = {0.0f, 0.0f, 0.0f};
  // At 45° and -135° a glow turned the wrong way would be seen edge on.
  for (float heading : {0.0f, 45.0f, -135.0f}) {
    setFixedGlState();
    orthoView(64, 12, -50, 50);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The camera's turn, as placeCamera makes it, then the floor's frame: one star at the origin.
    glRotatef(heading, 0.0f, 1.0f, 0.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    drawStars(20, heading);
    unsigned char centre[3], glow[3], outside[3];
    glReadPixels(32, 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, centre);
    glReadPixels(32 + 12, 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, glow);  // about 4.5 units out
    glReadPixels(2, 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, outside);
    EXPECT_GT(centre[0], 200) << heading;  // the white star, behind the glow where it turns
    EXPECT_GT(glow[2], glow[0]) << heading;  // pale blue
    EXPECT_GT(glow[2], 0) << heading;
    EXPECT_EQ(outside[2], 0) << heading;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  starSet = saved;
}
