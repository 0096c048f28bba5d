// The solid sphere's arrays: whole strips that face outwards at every detail the game uses,
// and a cache that builds each sphere once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "render/sphere_geometry.h"

namespace {

struct Vec {
  double x, y, z;
};
Vec at(const std::vector<float>& xyz, std::uint32_t i) { return {xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]}; }
Vec minus(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace

// Every index in range, every vertex used, every vertex on the unit sphere, and every triangle
// of every strip (their order alternating) wound anticlockwise seen from outside, or flat.
TEST(SphereGeometry, StripsCoverAWholeOutwardFacingSphere) {
  const struct {
    int slices, stacks;
  } sizes[] = {{1, 2}, {2, 2}, {3, 3}, {12, 7}, {20, 20}, {256, 256}, {257, 300}, {360, 360}, {36, 360}};
  SphereGeometry geometry;
  for (const auto& size : sizes) {
    SCOPED_TRACE(testing::Message() << size.slices << " × " << size.stacks);
    buildSphereGeometry(size.slices, size.stacks, geometry);
    ASSERT_EQ(geometry.vertexCount(), size.slices * (size.stacks - 1) + 2);
    ASSERT_EQ(geometry.strips.size(), static_cast<size_t>(size.stacks) * (size.slices + 1) * 2);
    std::vector<bool> used(geometry.vertexCount());
    for (std::uint32_t index : geometry.strips) {
      ASSERT_LT(index, static_cast<std::uint32_t>(geometry.vertexCount()));
      used[index] = true;
    }
    EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
    for (int v = 0; v < geometry.vertexCount(); ++v) {
      const Vec n = at(geometry.normals, v);
      ASSERT_NEAR(dot(n, n), 1.0, 1e-6) << "vertex " << v;
    }
    int outward = 0;
    const int length = geometry.stripLength();
    for (int s = 0; s < geometry.stacks; ++s) {
      const std::uint32_t* strip = geometry.strips.data() + s * length;
      for (int t = 0; t + 2 < length; ++t) {
        Vec a = at(geometry.normals, strip[t]), b = at(geometry.normals, strip[t + 1]);
        const Vec c = at(geometry.normals, strip[t + 2]);
        if (t % 2) std::swap(a, b);
        // The sine of the angle at a, signed by the side it faces: rounding aside, 0 or above.
        const Vec ab = minus(b, a), ac = minus(c, a);
        const double lengths = std::sqrt(dot(ab, ab) * dot(ac, ac));
        if (lengths == 0) continue;
        const double facing = dot(cross(ab, ac), a) / lengths;
        ASSERT_GE(facing, -1e-5) << "strip " << s << " triangle " << t;
        outward += facing > 1e-5;
      }
    }
    // Each stack of slices quads makes two triangles per slice, one of them degenerate at a pole.
    if (size.slices >= 3) {
      EXPECT_EQ(outward, size.slices * (2 * size.stacks - 2));
    }
  }
}

TEST(SphereGeometry, NothingBelowFreeglutsMinimumAndAtMostTheMaximumDetail) {
  SphereGeometry geometry;
  for (auto [slices, stacks] : {std::pair{0, 10}, {10, 1}, {-5, 10}, {10, -5}, {std::numeric_limits<int>::min(), 2}}) {
    buildSphereGeometry(slices, stacks, geometry);
    EXPECT_EQ(geometry.slices, 0);
    EXPECT_TRUE(geometry.normals.empty());
    EXPECT_TRUE(geometry.strips.empty());
  }
  buildSphereGeometry(std::numeric_limits<int>::max(), 1000000, geometry);
  EXPECT_EQ(geometry.slices, maxSphereDetail);
  EXPECT_EQ(geometry.stacks, maxSphereDetail);
  EXPECT_EQ(geometry.vertexCount(), maxSphereDetail * (maxSphereDetail - 1) + 2);
}

TEST(SphereGeometry, NegativeRadiusTurnsThePositionsButLeavesThePolesOnTheAxis) {
  SphereGeometry geometry;
  std::vector<float> positions;
  buildSphereGeometry(4, 3, geometry);
  scaleSphere(geometry, -2.0f, positions);
  EXPECT_EQ(positions[2], -2.0f);
  EXPECT_EQ(positions[positions.size() - 1], 2.0f);
  for (size_t k : {size_t{0}, size_t{1}, positions.size() - 3, positions.size() - 2}) {
    EXPECT_FALSE(std::signbit(positions[k])) << k;  // freeglut writes +0 there
  }
  EXPECT_EQ(positions[3], -2.0f * geometry.normals[3]);
}

// The bubble and the stars alternate every frame: neither may rebuild or reallocate the other.
TEST(SphereCache, TwoSpheresAlternateWithoutRebuilding) {
  SphereCache cache;
  const SphereCache::Entry* bubble = cache.find(360, 360, 3.0f);
  ASSERT_NE(bubble, nullptr);
  const float* bubbleNormals = bubble->geometry.normals.data();
  const float* bubblePositions = bubble->positions.data();
  const SphereCache::Entry* star = cache.find(36, 36, 1.0f);
  ASSERT_NE(star, nullptr);
  ASSERT_NE(star, bubble);
  const float* starNormals = star->geometry.normals.data();
  for (float radius : {3.5f, 4.0f, 0.0f}) {
    EXPECT_EQ(cache.find(360, 360, radius), bubble);
    EXPECT_EQ(bubble->geometry.normals.data(), bubbleNormals);
    EXPECT_EQ(bubble->positions.data(), bubblePositions);
    EXPECT_EQ(bubble->positions[3 * 1000 + 1], bubble->geometry.normals[3 * 1000 + 1] * radius);
    EXPECT_EQ(cache.find(36, 36, 1.0f), star);
    EXPECT_EQ(star->geometry.normals.data(), starNormals);
  }
  // A third sphere takes the place of the one used longest ago.
  const SphereCache::Entry* other = cache.find(20, 20, 1.0f);
  EXPECT_EQ(other, bubble);
  EXPECT_EQ(other->geometry.slices, 20);
  EXPECT_EQ(cache.find(36, 36, 1.0f)->geometry.slices, 36);
  EXPECT_EQ(cache.find(360, 360, 2.0f)->geometry.slices, 360);
  EXPECT_EQ(cache.find(36, 36, 1.0f)->geometry.slices, 36);
  EXPECT_EQ(cache.find(360, 360, 2.0f)->positions[5], 2.0f * cache.find(360, 360, 2.0f)->geometry.normals[5]);
}

TEST(SphereCache, NoSphereForTooFewSlicesOrARadiusThatIsNotFinite) {
  SphereCache cache;
  EXPECT_EQ(cache.find(0, 0, 1.0f), nullptr);
  EXPECT_EQ(cache.find(3, 1, 1.0f), nullptr);
  EXPECT_EQ(cache.find(12, 12, std::numeric_limits<float>::quiet_NaN()), nullptr);
  EXPECT_EQ(cache.find(12, 12, std::numeric_limits<float>::infinity()), nullptr);
  const SphereCache::Entry* sphere = cache.find(12, 12, 1.0f);
  ASSERT_NE(sphere, nullptr);
  EXPECT_EQ(sphere->positions.size(), sphere->geometry.normals.size());
}
