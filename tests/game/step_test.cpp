// The game's step without a window: the view a display is drawn from, the order of its random
// draws, and a pause that holds everything, the random sequence included.
#include <gtest/gtest.h>

#include "ui/window_list.h"
#include "base/random.h"
#include "game/rules.h"
#include "game/state.h"
#include "game/step.h"
#include "model/landscapes.h"
#include "render/stars.h"
#include "tests/game/empty_field.h"

namespace {

class Step : public ::testing::Test {
 protected:
  void SetUp() override { restartInAnEmptyField(); }
  void TearDown() override { closeAllWindows(); }

  // A mountain where the ship stands after a restart: the first step crashes.
  static void mountainAhead() {
    landscapeInstances[7] = LandscapeInstance{nullptr, 99.0f, 6.0f, -20.0f, 0.0f};
    landscapeHalfX = 11.5f;
    landscapeHalfZ = 0.5f;
  }
};

TEST_F(Step, TheDisplayIsDrawnFromWhereTheEyeStoodBeforeTheFlight) {
  gameState.turnRequest = 1.0f;
  StepEvents events = stepGame(gameState);
  EXPECT_FLOAT_EQ(events.viewCamera.z, 0.0f);
  EXPECT_FLOAT_EQ(events.viewHeading, 0.0f);
  EXPECT_FLOAT_EQ(gameState.camera.z, 2.0f);  // the cube map is rendered from here
  EXPECT_FLOAT_EQ(gameState.heading, 10.0f);
  EXPECT_TRUE(events.bubbleShown);
}

TEST_F(Step, ACollectedStarDrawsBeforeTheShakeOfTheCrashInTheSameStep) {
  mountainAhead();
  starSet.stars[0] = Star{98.0f, 10.0f, 10.0f};
  RandomSequence copy;
  const int x = copy.next(), y = copy.next(), c = copy.next(), b = copy.next(), a = copy.next();
  StepEvents events = stepGame(gameState);
  ASSERT_TRUE(events.crashed && events.collected && events.shaken && events.blastShown);
  EXPECT_FLOAT_EQ(starSet.stars[0].x, 2.0f * (x % 100) - 100.0f);
  EXPECT_FLOAT_EQ(starSet.stars[0].y, 2.0f * (y % 100) - 100.0f);
  EXPECT_FLOAT_EQ(events.shake.z, c % 2 - 1.0f);
  EXPECT_FLOAT_EQ(events.shake.y, b % 2 - 1.0f);
  EXPECT_FLOAT_EQ(events.shake.x, a % 2 - 1.0f);
  EXPECT_EQ(sharedRandom.state, copy.state);
}

TEST_F(Step, APauseHoldsTheBlastAndTheSequenceAndShowsTheLastStepAgain) {
  mountainAhead();
  StepEvents crash = advanceGame();
  ASSERT_TRUE(crash.crashed);
  gameState.paused = true;
  const RandomSequence before = sharedRandom;
  for (int i = 0; i < 3; ++i) {
    StepEvents still = advanceGame();
    EXPECT_FALSE(still.crashed);  // no second cue, no second name entry
    EXPECT_TRUE(still.shaken && still.blastShown);
    EXPECT_FLOAT_EQ(still.shake.x, crash.shake.x);
    EXPECT_FLOAT_EQ(still.shake.z, crash.shake.z);
  }
  EXPECT_EQ(sharedRandom.state, before.state);
  EXPECT_FLOAT_EQ(gameState.blastRadius, 1.0f);
  gameState.paused = false;
  advanceGame();
  EXPECT_FLOAT_EQ(gameState.blastRadius, 2.0f);
  EXPECT_NE(sharedRandom.state, before.state);

  // A pause right after a restart shows the new game's start, not the old game's blast.
  restartGame();
  EXPECT_FALSE(gameState.paused);
  gameState.paused = true;
  StepEvents start = advanceGame();
  EXPECT_FALSE(start.blastShown);
  EXPECT_TRUE(start.bubbleShown);
  EXPECT_FLOAT_EQ(start.viewCamera.x, -110.0f);
}

}  // namespace
