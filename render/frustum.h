// View-frustum culling: the planes of a view and the test that a bounding sphere lies wholly
// outside it, so that what cannot reach a single pixel is not sent to the GL. Pure arithmetic,
// apart from currentViewFrustum.
#pragma once

#include <array>

// Whether drawLandscapes and drawStars skip what lies outside the view; tests and the
// benchmark turn it off to compare.
extern bool viewCulling;

// A plane a x + b y + c z + d = 0 with (a, b, c) of unit length; the inside is where the sum is
// positive.
struct FrustumPlane {
  double a, b, c, d;
};

// The side planes and the near plane of a view, in the frame of its model-view matrix. A far
// plane is left out: the game's views reach as far as a float does or have none at all.
struct Frustum {
  std::array<FrustumPlane, 5> planes{};
  int count = 0;  // planes in use; one that degenerates (a zero normal) is left out
};

// The frustum of projection × modelview, both column-major as GL holds them.
Frustum frustumFromMatrices(const float projection[16], const float modelview[16]);

// True only when the sphere lies wholly outside one of the planes by more than a margin that
// covers the GL's own rounding, so that what it culls would not have touched a pixel.
bool sphereOutsideFrustum(const Frustum& frustum, float x, float y, float z, float radius);

// The frustum of the GL's current projection and model-view matrices (needs a context).
Frustum currentViewFrustum();
