// The stars: ten collectable glowing spheres floating 10 units above the floor. Positions are in
// the floor's frame, where a star (x, y, z) stands at world (x, z, -y).
#pragma once

#include <array>

struct Star {
  float x;  // along the floor's x axis (world x)
  float y;  // along the floor's y axis (world -z)
  float z;  // height above the floor (world y); 10 once placed
};

inline constexpr int starCount = 10;
inline constexpr float starHeight = 10.0f;

struct StarSet {
  std::array<Star, starCount> stars{};  // the collection test takes them in this order
};

extern StarSet starSet;  // the game's stars, all 0 until initStars

// Places a star with the next two values of the shared random sequence (x first, then y), each
// 2 (r mod 100) - 100, on the step-2 grid -100..98; z becomes 10. The collection test re-places
// a collected star with it too.
void placeStar(Star& star);

// Places all ten stars in order and prints the start-up progress line.
void initStars();

// Draws every star (a white sphere in a pale-blue glow disc turned with the camera heading, in
// degrees) at the sphere detail given under the current modelview matrix, which is the floor's
// frame; while viewCulling is on, a star wholly outside the current view is left out.
void drawStars(int detail, float heading);

// The glow disc's rim for a tessellation detail: the step is 360 / detail degrees (integer
// division; detail is brought into 10..360 first), and rim vertices come for the angles 0, step,
// 2 step, ... while below 360 + step, so the fan closes at or just past 360 degrees.
inline constexpr int maxGlowRimVertices = 361;
struct GlowRimVertex {
  float x, y, z;  // in the star's frame before its scale of 2: radius 5 in the x-z plane
};
int glowRimStep(int detail);
// Writes the rim into `out` and returns how many vertices it has.
int glowRim(int detail, std::array<GlowRimVertex, maxGlowRimVertices>& out);
// Angle in degrees of rim vertex i.
float glowRimAngle(int detail, int i);
