// The rules of one step: hit tests, collecting, the bubble and the blast.
#include "game/rules.h"

#include <cmath>

#include "base/random.h"
#include "model/landscapes.h"
#include "render/stars.h"

bool hitsLandscape(const Vec3& probe) {
  for (const LandscapeInstance& instance : landscapeInstances) {
    float dx = probe.x + instance.x;
    float dz = probe.z + instance.z;
    if (std::fabs(dx) < landscapeHalfX && std::fabs(dz) < landscapeHalfZ) return true;
  }
  return false;
}

bool collectStar(const Vec3& probe) {
  // A star (x, y, z) in the floor's frame stands at world (x, z, -y); the probe is negated.
  for (Star& star : starSet.stars) {
    if (std::fabs(probe.x + star.x) < starReach && std::fabs(probe.z - star.y) < starReach &&
        std::fabs(probe.y + star.z) < starReach) {
      placeStar(star);
      return true;
    }
  }
  return false;
}

ShipEvents checkShip(GameState& state) {
  ShipEvents events{false, false};
  Vec3 probe = probePoint(state);
  if (hitsLandscape(probe) && state.crashed != 1) {
    state.crashed = 1;
    events.crashed = true;
  }
  // The star is re-placed even when the game is over and it does not count.
  if (collectStar(probe) && state.bubble != 0.0f) {
    state.bubble = 1.0f;
    if (state.collected < maxCollected) ++state.collected;
    events.collected = true;
  }
  return events;
}

bool growBubble(GameState& state) {
  if (state.bubble <= 0.0f) return false;
  state.bubble *= bubbleGrowth;
  if (state.bubble > bubbleLimit) {
    state.bubble = 0.0f;
    return true;
  }
  return false;
}

Vec3 drawShake() {
  Vec3 shake;
  shake.z = static_cast<float>(nextRandom() % 2 - 1);
  shake.y = static_cast<float>(nextRandom() % 2 - 1);
  shake.x = static_cast<float>(nextRandom() % 2 - 1);
  return shake;
}

bool growBlast(GameState& state) {
  if (state.blastRadius >= blastLimit) return false;
  state.blastRadius += 1.0f;
  return true;
}
