// The rules of one step, apart from the drawing: the hit tests, collecting, the bubble and the
// blast. They read and write the game state, the stars and the mountains' places.
#pragma once

#include "game/state.h"

inline constexpr float starReach = 20.0f;      // a star is taken when closer than this on every axis
inline constexpr float bubbleGrowth = 1.05f;   // the bubble's growth per step
inline constexpr float bubbleLimit = 10.0f;    // the game times out when the grown bubble passes it
inline constexpr float blastLimit = 10.0f;     // the blast grows by 1 a step up to this radius
inline constexpr float blastRingFrom = 5.0f;   // the ring shows once the radius is above this
inline constexpr int maxCollected = 2147483647;

// True when the probe point lies within a mountain's collision square (turned with nothing,
// heights ignored).
bool hitsLandscape(const Vec3& probe);

// Finds the first star within reach of the probe point and re-places it with two draws of the
// shared random sequence, x first. True when a star was found.
bool collectStar(const Vec3& probe);

// What the hit tests of a step decided.
struct ShipEvents {
  bool crashed;    // the ship has just hit a mountain: blast cue and name entry
  bool collected;  // a star was taken and counted: collect cue
};

// The hit tests at the ship's position from the previous step, and their consequences.
ShipEvents checkShip(GameState& state);

// Grows the bubble of a running game; true when it has just passed its limit (the game is over).
bool growBubble(GameState& state);

// The scene's offset while the blast shakes it: -1 or 0 per axis, drawn z first, then y, then x.
Vec3 drawShake();

// Grows the blast; true when it grew (the blast sphere is drawn this step).
bool growBlast(GameState& state);

// The right end of the on-screen bar, in interface units.
inline float barEnd(float bubble) { return bubble * 1.8f / 10.0f - 0.9f; }
