// The rules of a step one by one: stars, mountains, the shake and the score. Their order in the
// game's step is tested on the step itself (step_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>

#include "base/random.h"
#include "game/rules.h"
#include "game/state.h"
#include "tests/game/empty_field.h"
#include "model/landscapes.h"
#include "render/stars.h"

namespace {

class Rules : public ::testing::Test {
 protected:
  void SetUp() override {
    restartInAnEmptyField();
  }
};

TEST_F(Rules, AStarIsTakenWithin19Point9ButNotAt20) {
  // After a restart the ship stands at world (110, 8, -20); the probe point is (-110, -15, 20).
  const float offsets[][2] = {{19.9f, 0.0f}, {-19.9f, 19.9f}, {0.0f, -19.9f}};
  for (const auto& o : offsets) {
    starSet.stars[0] = Star{110.0f + o[0], 20.0f + o[1], 10.0f};  // world z = -y
    EXPECT_TRUE(collectStar(probePoint(gameState))) << o[0] << ", " << o[1];
  }
  const float outside[][2] = {{20.0f, 0.0f}, {0.0f, 20.0f}, {-20.0f, -20.0f}};
  for (const auto& o : outside) {
    starSet.stars[0] = Star{110.0f + o[0], 20.0f + o[1], 10.0f};
    EXPECT_FALSE(collectStar(probePoint(gameState))) << o[0] << ", " << o[1];
  }
}

TEST_F(Rules, CollectingReplacesTheStarXFirstAndCountsOnce) {
  starSet.stars[3] = Star{98.0f, 10.0f, 10.0f};  // world (98, 10, -10): taken in the first step
  starSet.stars[5] = Star{100.0f, 12.0f, 10.0f}; // also in reach, but stored later
  EXPECT_TRUE(checkShip(gameState).collected);
  EXPECT_EQ(gameState.collected, 1);
  // The sequence's first two values are 41 and 18467.
  EXPECT_FLOAT_EQ(starSet.stars[3].x, 2.0f * (41 % 100) - 100.0f);
  EXPECT_FLOAT_EQ(starSet.stars[3].y, 2.0f * (18467 % 100) - 100.0f);
  EXPECT_FLOAT_EQ(starSet.stars[3].z, 10.0f);
  EXPECT_FLOAT_EQ(starSet.stars[5].x, 100.0f);  // untouched this step
  EXPECT_FLOAT_EQ(gameState.bubble, 1.0f);       // a collection sets the bubble back to 1
}

TEST_F(Rules, AMountainIsHitWithinItsHalfExtents) {
  landscapeInstances[7] = LandscapeInstance{nullptr, 99.0f, 6.0f, -20.0f, 0.0f};
  landscapeHalfX = 11.5f;
  landscapeHalfZ = 0.5f;
  ShipEvents events = checkShip(gameState);
  EXPECT_TRUE(events.crashed);
  EXPECT_EQ(gameState.crashed, 1);
  EXPECT_FALSE(checkShip(gameState).crashed);  // reported once

  // Half-extents just too small: no hit.
  restartGame();
  landscapeHalfX = 11.0f;
  EXPECT_FALSE(hitsLandscape(probePoint(gameState)));
}

TEST_F(Rules, TheShakeDrawsThreeValuesZFirst) {
  RandomSequence copy = sharedRandom;
  int c = copy.next(), b = copy.next(), a = copy.next();
  Vec3 shake = drawShake();
  EXPECT_FLOAT_EQ(shake.z, c % 2 - 1.0f);
  EXPECT_FLOAT_EQ(shake.y, b % 2 - 1.0f);
  EXPECT_FLOAT_EQ(shake.x, a % 2 - 1.0f);
  for (float v : {shake.x, shake.y, shake.z}) EXPECT_TRUE(v == 0.0f || v == -1.0f);
}

TEST_F(Rules, AWreckStillCollectsAndATimedOutShipDoesNotScore) {
  gameState.crashed = 1;
  gameState.bubble = 3.0f;
  sharedRandom = RandomSequence{};
  starSet.stars[0] = Star{98.0f, 10.0f, 10.0f};
  EXPECT_TRUE(checkShip(gameState).collected);
  EXPECT_EQ(gameState.collected, 1);

  restartGame();
  sharedRandom = RandomSequence{};
  gameState.bubble = 0.0f;
  starSet.stars[0] = Star{98.0f, 10.0f, 10.0f};
  EXPECT_FALSE(checkShip(gameState).collected);
  EXPECT_EQ(gameState.collected, 0);
  EXPECT_FLOAT_EQ(starSet.stars[0].x, -18.0f);  // re-placed all the same, from the sequence's start
}

TEST_F(Rules, TheScoreSaturates) {
  gameState.collected = maxCollected - 1;
  for (int i = 0; i < 3; ++i) {
    Vec3 p = probePoint(gameState);
    starSet.stars[0] = Star{-p.x, p.z, 10.0f};
    checkShip(gameState);
  }
  EXPECT_EQ(gameState.collected, maxCollected);
}

TEST_F(Rules, TheBarSpansItsRange) {
  EXPECT_FLOAT_EQ(barEnd(10.0f), 0.9f);
  EXPECT_FLOAT_EQ(barEnd(0.0f), -0.9f);
  EXPECT_FLOAT_EQ(barEnd(1.0f), -0.72f);
}

}  // namespace
