// The game's step without a window, one display's worth at a time: the hit tests look at the
// position the previous step left, then the ship crashes or flies on, the bubble grows and times
// out, and the name entry replaces the menu when a game ends; the view a display is drawn from,
// the order of the random draws, and a pause that holds everything, the sequence included.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/window_list.h"
#include "base/random.h"
#include "game/rules.h"
#include "game/state.h"
#include "game/step.h"
#include "model/landscapes.h"
#include "render/stars.h"
#include "tests/game/empty_field.h"
#include "ui/widgets.h"

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
  static bool menuShown() { return windowList.size() == 2; }
  static bool nameEntryShown() {
    return windowList.size() == 1 && dynamic_cast<TextField*>(windowList.at(0)) != nullptr;
  }
};

TEST_F(Step, StarsAreTestedWhereThePreviousStepLeftTheShip) {
  // After a restart the ship's probe point is at world (110, -20): the first star is in reach
  // there, the second only once the ship has flown 2 units on along -z.
  starSet.stars[0] = Star{98.0f, 10.0f, 10.0f};
  starSet.stars[1] = Star{110.0f, 40.9f, 10.0f};
  advanceGame();
  EXPECT_EQ(gameState.collected, 1);
  EXPECT_FLOAT_EQ(starSet.stars[1].y, 40.9f);  // not yet
  EXPECT_FLOAT_EQ(gameState.camera.z, 2.0f);   // and then the ship moved
  EXPECT_FLOAT_EQ(gameState.bubble, 1.05f);    // the collection's 1, grown once
  advanceGame();
  EXPECT_EQ(gameState.collected, 2);
  EXPECT_TRUE(menuShown());
}

TEST_F(Step, AMountainEndsTheGameBeforeTheShipMovesAndTheBlastGrowsTenSteps) {
  mountainAhead();
  advanceGame();
  EXPECT_EQ(gameState.crashed, 1);
  EXPECT_FLOAT_EQ(gameState.camera.z, 0.0f);     // no flight after the crash
  EXPECT_FLOAT_EQ(gameState.blastRadius, 1.0f);  // the first blast step shows at once
  EXPECT_TRUE(nameEntryShown());
  for (int step = 2; step <= 12; ++step) {
    StepEvents events = advanceGame();
    EXPECT_FLOAT_EQ(gameState.blastRadius, float(std::min(step, 10))) << step;
    EXPECT_EQ(events.blastShown && events.shaken, step <= 10) << step;
    EXPECT_EQ(gameState.blastRadius > blastRingFrom, step >= 6) << step;  // the ring's steps
  }
  EXPECT_FLOAT_EQ(gameState.camera.z, 0.0f);
  EXPECT_FLOAT_EQ(gameState.bubble, 1.0f);  // a wreck's bubble no longer grows
  EXPECT_TRUE(nameEntryShown());
}

TEST_F(Step, AnIdleShipTimesOutAtTheFortyEighthStepAndTheNameEntryOpens) {
  for (int step = 1; step < 48; ++step) {
    advanceGame();
    ASSERT_TRUE(menuShown()) << step;
    ASSERT_GT(gameState.bubble, 0.0f) << step;
  }
  StepEvents events = advanceGame();
  EXPECT_TRUE(events.timedOut && events.bubbleShown);  // drawn once more, at radius 0
  EXPECT_FLOAT_EQ(gameState.bubble, 0.0f);
  EXPECT_TRUE(nameEntryShown());
  EXPECT_NEAR(gameState.camera.z, 96.0f, 1e-3);  // 48 steps of 2 units
  EXPECT_FALSE(advanceGame().bubbleShown);        // timed out: the ship stands still
  EXPECT_NEAR(gameState.camera.z, 96.0f, 1e-3);
  EXPECT_TRUE(nameEntryShown());
}

TEST_F(Step, ACollectionPutsTheTimeOutFortySevenStepsAfterIt) {
  // In reach once the ship has flown 10 steps: taken in the eleventh.
  starSet.stars[0] = Star{110.0f, 59.9f, 10.0f};
  int steps = 0;
  while (!nameEntryShown() && steps < 100) {
    advanceGame();
    ++steps;
    if (steps <= 11) {
      EXPECT_EQ(gameState.collected, steps == 11 ? 1 : 0) << steps;
    }
  }
  EXPECT_EQ(steps, 11 + 47);
}

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
