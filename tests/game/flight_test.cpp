// The flight rules: moving, turning, the heading's wrap, and keys after the game has ended.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <cmath>

#include "game/state.h"

namespace {

class Flight : public ::testing::Test {
 protected:
  void SetUp() override { restartGame(); }
};

TEST_F(Flight, FirstStepAfterRestartMovesTheEyeTwoUnitsAlongMinusZ) {
  EXPECT_FLOAT_EQ(-gameState.camera.x, 110.0f);
  EXPECT_FLOAT_EQ(-gameState.camera.y, 15.0f);
  EXPECT_FLOAT_EQ(-gameState.camera.z, 0.0f);
  flightStep(gameState);
  EXPECT_FLOAT_EQ(-gameState.camera.x, 110.0f);
  EXPECT_FLOAT_EQ(-gameState.camera.y, 15.0f);
  EXPECT_FLOAT_EQ(-gameState.camera.z, -2.0f);
}

TEST_F(Flight, ProbePointIsTheShipNegated) {
  Vec3 p = probePoint(gameState);
  EXPECT_FLOAT_EQ(p.x, -110.0f);
  EXPECT_FLOAT_EQ(p.y, -15.0f);
  EXPECT_FLOAT_EQ(p.z, 20.0f);
  gameState.heading = 90.0f;  // looking along +x: the ship is 20 ahead in x
  p = probePoint(gameState);
  EXPECT_NEAR(p.x, -130.0f, 1e-4);
  EXPECT_NEAR(p.z, 0.0f, 1e-4);
}

TEST_F(Flight, TheLastArrowBeforeAStepWinsAndTheMoveUsesTheOldHeading) {
  gameSpecialKey(GLUT_KEY_RIGHT, 0, 0);
  gameSpecialKey(GLUT_KEY_LEFT, 0, 0);
  flightStep(gameState);
  EXPECT_FLOAT_EQ(gameState.heading, -10.0f);
  EXPECT_FLOAT_EQ(gameState.turnRequest, 0.0f);
  EXPECT_FLOAT_EQ(gameState.camera.x, -110.0f);  // moved along -z before turning
  EXPECT_FLOAT_EQ(gameState.camera.z, 2.0f);
  flightStep(gameState);  // now along the new heading
  EXPECT_NEAR(gameState.camera.x, -110.0f - 2.0f * std::sin(-10.0f * 3.14159265f / 180.0f), 1e-4);
}

TEST_F(Flight, TheNextSpecialKeyWrapsTheHeading) {
  gameSpecialKey(GLUT_KEY_LEFT, 0, 0);
  flightStep(gameState);
  EXPECT_FLOAT_EQ(gameState.heading, -10.0f);  // no wrap in the step
  gameSpecialKey(GLUT_KEY_UP, 0, 0);            // a key that does nothing else
  EXPECT_FLOAT_EQ(gameState.heading, 350.0f);

  gameState.heading = 370.0f;
  gameSpecialKey(GLUT_KEY_HOME, 0, 0);
  EXPECT_FLOAT_EQ(gameState.heading, 10.0f);
  gameState.heading = 360.0f;  // exactly 360 stays
  gameSpecialKey(GLUT_KEY_HOME, 0, 0);
  EXPECT_FLOAT_EQ(gameState.heading, 360.0f);
}

TEST_F(Flight, ArrowsAreIgnoredAfterACrashOrATimeOutAndF2AlwaysRestarts) {
  gameState.crashed = 1;
  gameSpecialKey(GLUT_KEY_LEFT, 0, 0);
  EXPECT_FLOAT_EQ(gameState.turnRequest, 0.0f);
  gameSpecialKey(GLUT_KEY_F2, 0, 0);
  EXPECT_EQ(gameState.crashed, 0);

  gameState.bubble = 0.0f;
  gameState.collected = 12;
  gameState.heading = 40.0f;
  gameSpecialKey(GLUT_KEY_RIGHT, 0, 0);
  EXPECT_FLOAT_EQ(gameState.turnRequest, 0.0f);
  Vec3 before = gameState.camera;
  flightStep(gameState);  // timed out: the ship stands still
  EXPECT_FLOAT_EQ(gameState.camera.x, before.x);
  EXPECT_FLOAT_EQ(gameState.camera.z, before.z);
  gameSpecialKey(GLUT_KEY_F2, 0, 0);
  EXPECT_FLOAT_EQ(gameState.bubble, 1.0f);
  EXPECT_EQ(gameState.collected, 0);
  EXPECT_FLOAT_EQ(gameState.heading, 0.0f);
  EXPECT_FLOAT_EQ(gameState.camera.z, 0.0f);
}

}  // namespace
