// The push of one ball through a working set, written once as a plain loop that the compiler
// vectorises: four lanes with SSE2 on every x86-64, eight with AVX2 where the processor has it
// (AVX alone has no 256-bit integer masks). Every lane takes the same single-precision operations
// in the same order (no fused multiply-adds: the file is built without contraction), and an IEEE
// operation gives one result at any width.
#include "model/brush_lanes.h"

#include <bit>
#include <cmath>

namespace {

// A ball with its centre and radius in these ranges makes the offset's length and the new
// position of any vertex it takes finite and non-zero: its radius over the computed distance is
// at least 1 and at most 3e37, and the offset is within a factor of two of the radius even where
// the distance's squares fall below the normal floats. Only other balls need those two tests.
bool ordinaryBall(MeshPoint c, float radius) {
  const float far = 1e30f;
  return std::fabs(c.x) < far && std::fabs(c.y) < far && std::fabs(c.z) < far && radius > 1e-15f && radius < 1e15f;
}

// A lane's new values are chosen with a mask, not `take ? new : old`, which GCC turns into a
// store under a branch that no longer vectorises.
float choose(std::uint32_t take, float v, float w) {
  return std::bit_cast<float>((std::bit_cast<std::uint32_t>(v) & take) | (std::bit_cast<std::uint32_t>(w) & ~take));
}

// Without branches, so that it vectorises: a lane's new values are computed whether or not the
// ball takes it. The offset's length is tested without its square root: the root of a float is
// positive and finite exactly when the float is. The lanes are walked in whole groups of eight
// (the padding is NaN, which no ball takes).
template <bool tested>
[[gnu::always_inline]] inline void pushGroups(const BrushLanes& a, MeshPoint c, float radius) {
  float *x = a.x, *y = a.y, *z = a.z, *ox = a.ox, *oy = a.oy, *oz = a.oz;
  std::uint32_t* moved = a.moved;
  const float cx = c.x, cy = c.y, cz = c.z;
  const std::size_t end = (a.count + 7) / 8 * 8;
  // The arrays never overlap.
#pragma GCC ivdep
  for (std::size_t k = 0; k < end; ++k) {
    const float dx = x[k] - cx, dy = y[k] - cy, dz = z[k] - cz;
    const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    bool takes = (d <= radius) & (d > 0.0f);
    const float s = radius / d;
    const float sx = s * dx, sy = s * dy, sz = s * dz;
    const float px = cx + sx, py = cy + sy, pz = cz + sz;
    if constexpr (tested) {
      const float q = sx * sx + sy * sy + sz * sz;
      takes = takes & (q > 0.0f) & (q < INFINITY);
      takes = takes & (std::fabs(px) < INFINITY) & (std::fabs(py) < INFINITY) & (std::fabs(pz) < INFINITY);
    }
    const std::uint32_t take = 0u - static_cast<std::uint32_t>(takes);
    x[k] = choose(take, px, x[k]);
    y[k] = choose(take, py, y[k]);
    z[k] = choose(take, pz, z[k]);
    ox[k] = choose(take, sx, ox[k]);
    oy[k] = choose(take, sy, oy[k]);
    oz[k] = choose(take, sz, oz[k]);
    moved[k] |= take;
  }
}

template <bool tested>
void pushBaseline(const BrushLanes& a, MeshPoint c, float radius) {
  pushGroups<tested>(a, c, radius);
}

#if defined(__x86_64__)
template <bool tested>
__attribute__((target("avx2"))) void pushAvx2(const BrushLanes& a, MeshPoint c, float radius) {
  pushGroups<tested>(a, c, radius);
}
#endif

}  // namespace

LaneSet widestLaneSet() {
#if defined(__x86_64__)
  static const LaneSet widest = __builtin_cpu_supports("avx2") ? LaneSet::avx2 : LaneSet::baseline;
  return widest;
#else
  return LaneSet::baseline;
#endif
}

void pushLanes(const BrushLanes& lanes, MeshPoint centre, float radius, LaneSet set) {
  const bool ordinary = set != LaneSet::tested && ordinaryBall(centre, radius);
#if defined(__x86_64__)
  if (set == LaneSet::avx2) {
    ordinary ? pushAvx2<false>(lanes, centre, radius) : pushAvx2<true>(lanes, centre, radius);
    return;
  }
#endif
  ordinary ? pushBaseline<false>(lanes, centre, radius) : pushBaseline<true>(lanes, centre, radius);
}
