// The push through a working set gives the same bits with every instruction set, and the pushes
// that leave out the offset's and position's tests for ordinary balls lose nothing: the push that
// always tests is the reference.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "model/brush_lanes.h"

namespace {

// A working set held in vectors, padded as the brushes pad theirs.
struct Lanes {
  explicit Lanes(std::size_t n) : count(n) {
    const std::size_t size = n + 8;
    for (auto* a : {&x, &y, &z, &ox, &oy, &oz}) a->assign(size, 0.0f);
    for (std::size_t k = n; k < size; ++k) x[k] = y[k] = z[k] = std::numeric_limits<float>::quiet_NaN();
    moved.assign(size, 0);
  }
  BrushLanes view() { return {x.data(), y.data(), z.data(), ox.data(), oy.data(), oz.data(), moved.data(), count}; }
  bool operator==(const Lanes& o) const {
    auto same = [](const std::vector<float>& a, const std::vector<float>& b) {
      return std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
    };
    return same(x, o.x) && same(y, o.y) && same(z, o.z) && same(ox, o.ox) && same(oy, o.oy) && same(oz, o.oz) &&
           moved == o.moved;
  }
  std::vector<float> x, y, z, ox, oy, oz;
  std::vector<std::uint32_t> moved;
  std::size_t count;
};

std::uint32_t draw(std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

std::vector<LaneSet> availableSets() {
  std::vector<LaneSet> sets = {LaneSet::tested, LaneSet::baseline};
  if (widestLaneSet() == LaneSet::avx2) sets.push_back(LaneSet::avx2);
  return sets;
}

}  // namespace

// Vertices at every scale about the centre, from ones whose squared offsets are below the normal
// floats to far ones, NaN and infinite ones, and one on the centre; balls ordinary and not, just
// inside and just outside the range where the tests may be left out.
TEST(BrushLanes, EveryInstructionSetGivesThePlainLoopsBits) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  const float radii[] = {1.0001e-15f, 1e-15f, 9.9e-16f, 1e-20f, 3e-23f, 0.3f, 1.0f, 7.5f, 9.99e14f, 1e15f, 1e20f, 3e38f,
                         inf, nan, 0.0f, -1.0f};
  const MeshPoint centres[] = {{0, 0, 0}, {0.25f, -0.5f, 1}, {9.9e29f, 0, 0}, {1e30f, 0, 0}, {-3e38f, 1, 1}, {nan, 0, 0}};
  for (const LaneSet set : availableSets()) {
    std::uint32_t state = 7;
    for (const MeshPoint c : centres) {
      for (const float radius : radii) {
        Lanes reference(1003);
        for (std::size_t k = 0; k < reference.count; ++k) {
          const float scale = std::ldexp(1.0f, static_cast<int>(draw(state) % 200) - 150);
          auto offset = [&] { return scale * (static_cast<float>(draw(state) % 2001) / 1000.0f - 1.0f); };
          reference.x[k] = c.x + offset();
          reference.y[k] = c.y + offset();
          reference.z[k] = c.z + offset();
        }
        reference.x[5] = c.x, reference.y[5] = c.y, reference.z[5] = c.z;
        reference.x[9] = nan, reference.y[17] = inf, reference.z[33] = -inf;
        Lanes lanes = reference;
        // Three balls in turn, as a run pushes them, the later ones a little off the first.
        for (int ball = 0; ball < 3; ++ball) {
          const MeshPoint at{c.x + 0.001f * static_cast<float>(ball) * radius, c.y, c.z};
          const float r = radius * (1.0f + 0.01f * static_cast<float>(ball));
          pushLanes(reference.view(), at, r, LaneSet::tested);
          pushLanes(lanes.view(), at, r, set);
          ASSERT_TRUE(lanes == reference) << "set " << static_cast<int>(set) << ", centre " << c.x << ", radius "
                                          << radius << ", ball " << ball;
        }
      }
    }
  }
}

// What the push does to one vertex: out onto the surface, offset kept, marked as moved; a vertex
// out of reach and the padding past the set stay as they are.
TEST(BrushLanes, APushMovesTheVerticesInReachAndMarksThem) {
  for (const LaneSet set : availableSets()) {
    Lanes lanes(3);
    lanes.x = {0.5f, 3.0f, 0.0f, lanes.x[3], lanes.x[4], lanes.x[5], lanes.x[6], lanes.x[7], lanes.x[8], lanes.x[9], lanes.x[10]};
    pushLanes(lanes.view(), {0, 0, 0}, 1.0f, set);
    EXPECT_EQ(lanes.x[0], 1.0f);
    EXPECT_EQ(lanes.ox[0], 1.0f);
    EXPECT_EQ(lanes.moved[0], ~0u);
    EXPECT_EQ(lanes.x[1], 3.0f);  // out of reach
    EXPECT_EQ(lanes.moved[1], 0u);
    EXPECT_EQ(lanes.x[2], 0.0f);  // on the centre: no direction to move in
    EXPECT_EQ(lanes.moved[2], 0u);
    for (std::size_t k = 3; k < lanes.moved.size(); ++k) {
      EXPECT_TRUE(std::isnan(lanes.x[k])) << k;
      EXPECT_EQ(lanes.moved[k], 0u) << k;
    }
  }
}
