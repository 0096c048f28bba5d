// A fresh game in a field of its own for the game's tests: the stars and the mountains far away
// unless a test puts them near, the shared sequence back at its start.
#pragma once

#include "base/random.h"
#include "game/state.h"
#include "model/landscapes.h"
#include "render/stars.h"

inline void restartInAnEmptyField() {
  restartGame();
  sharedRandom = RandomSequence{};
  for (Star& star : starSet.stars) star = Star{-1000.0f, -1000.0f, 10.0f};
  for (LandscapeInstance& instance : landscapeInstances) instance = LandscapeInstance{nullptr, -1000.0f, 6.0f, -1000.0f, 0.0f};
  landscapeHalfX = 15.0f;
  landscapeHalfZ = 15.0f;
}
