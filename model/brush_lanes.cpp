// One ball through a stroke run's working set, with the widest SIMD the processor has. Every lane
// takes exactly the single-precision operations of the scalar push, in the same order (no fused
// multiply-adds: the file is built without contraction), so every bit is the same.
#include "model/brush_lanes.h"

#include <cmath>

#if defined(__x86_64__)  // where SSE2 is always there
#include <immintrin.h>
#define VELMO_X86_LANES 1
#endif

namespace {

// A ball with its centre and radius in these ranges makes the offset's length and the new
// position of any vertex it takes finite and non-zero: its radius over the computed distance is
// at least 1 and at most 3e37, and the offset is within a factor of two of the radius even where
// the distance's squares fall below the normal floats. Only other balls need those two tests.
bool ordinaryBall(MeshPoint c, float radius) {
  const float far = 1e30f;
  return std::fabs(c.x) < far && std::fabs(c.y) < far && std::fabs(c.z) < far && radius > 1e-15f && radius < 1e15f;
}

// The offset's length is tested without its square root: the root of a float is positive and
// finite exactly when the float is.
void pushScalar(const BrushLanes& a, MeshPoint c, float radius) {
  for (std::size_t k = 0; k < a.count; ++k) {
    const float dx = a.x[k] - c.x, dy = a.y[k] - c.y, dz = a.z[k] - c.z;
    const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(d <= radius) || !(d > 0.0f)) continue;
    const float s = radius / d;
    const float ox = s * dx, oy = s * dy, oz = s * dz;
    const float q = ox * ox + oy * oy + oz * oz;
    const float px = c.x + ox, py = c.y + oy, pz = c.z + oz;
    if (!(q > 0.0f) || !(q < INFINITY) || !std::isfinite(px) || !std::isfinite(py) || !std::isfinite(pz)) continue;
    a.x[k] = px, a.y[k] = py, a.z[k] = pz;
    a.ox[k] = ox, a.oy[k] = oy, a.oz[k] = oz;
    a.moved[k] = ~0u;
  }
}

#if defined(VELMO_X86_LANES)

template <bool checked>
void pushSse2(const BrushLanes& a, MeshPoint c, float radius) {
  const __m128 cx = _mm_set1_ps(c.x), cy = _mm_set1_ps(c.y), cz = _mm_set1_ps(c.z);
  const __m128 r = _mm_set1_ps(radius), zero = _mm_setzero_ps();
  const __m128 infinity = _mm_set1_ps(INFINITY), sign = _mm_set1_ps(-0.0f);
  auto finite = [&](__m128 v) { return _mm_cmplt_ps(_mm_andnot_ps(sign, v), infinity); };
  auto choose = [](__m128 take, __m128 v, __m128 w) { return _mm_or_ps(_mm_and_ps(take, v), _mm_andnot_ps(take, w)); };
  for (std::size_t k = 0; k < a.count; k += 4) {
    const __m128 x = _mm_loadu_ps(a.x + k), y = _mm_loadu_ps(a.y + k), z = _mm_loadu_ps(a.z + k);
    const __m128 dx = _mm_sub_ps(x, cx), dy = _mm_sub_ps(y, cy), dz = _mm_sub_ps(z, cz);
    const __m128 d = _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz)));
    __m128 take = _mm_and_ps(_mm_cmple_ps(d, r), _mm_cmpgt_ps(d, zero));
    const __m128 s = _mm_div_ps(r, d);
    const __m128 ox = _mm_mul_ps(s, dx), oy = _mm_mul_ps(s, dy), oz = _mm_mul_ps(s, dz);
    const __m128 px = _mm_add_ps(cx, ox), py = _mm_add_ps(cy, oy), pz = _mm_add_ps(cz, oz);
    if constexpr (checked) {
      const __m128 q = _mm_add_ps(_mm_add_ps(_mm_mul_ps(ox, ox), _mm_mul_ps(oy, oy)), _mm_mul_ps(oz, oz));
      take = _mm_and_ps(take, _mm_and_ps(_mm_cmpgt_ps(q, zero), _mm_cmplt_ps(q, infinity)));
      take = _mm_and_ps(take, _mm_and_ps(finite(px), _mm_and_ps(finite(py), finite(pz))));
    }
    _mm_storeu_ps(a.x + k, choose(take, px, x));
    _mm_storeu_ps(a.y + k, choose(take, py, y));
    _mm_storeu_ps(a.z + k, choose(take, pz, z));
    _mm_storeu_ps(a.ox + k, choose(take, ox, _mm_loadu_ps(a.ox + k)));
    _mm_storeu_ps(a.oy + k, choose(take, oy, _mm_loadu_ps(a.oy + k)));
    _mm_storeu_ps(a.oz + k, choose(take, oz, _mm_loadu_ps(a.oz + k)));
    float* moved = reinterpret_cast<float*>(a.moved + k);
    _mm_storeu_ps(moved, _mm_or_ps(_mm_loadu_ps(moved), take));
  }
}

template <bool checked>
__attribute__((target("avx"))) void pushAvx(const BrushLanes& a, MeshPoint c, float radius) {
  const __m256 cx = _mm256_set1_ps(c.x), cy = _mm256_set1_ps(c.y), cz = _mm256_set1_ps(c.z);
  const __m256 r = _mm256_set1_ps(radius), zero = _mm256_setzero_ps();
  const __m256 infinity = _mm256_set1_ps(INFINITY), sign = _mm256_set1_ps(-0.0f);
  for (std::size_t k = 0; k < a.count; k += 8) {
    const __m256 x = _mm256_loadu_ps(a.x + k), y = _mm256_loadu_ps(a.y + k), z = _mm256_loadu_ps(a.z + k);
    const __m256 dx = _mm256_sub_ps(x, cx), dy = _mm256_sub_ps(y, cy), dz = _mm256_sub_ps(z, cz);
    const __m256 d = _mm256_sqrt_ps(
        _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(dy, dy)), _mm256_mul_ps(dz, dz)));
    __m256 take = _mm256_and_ps(_mm256_cmp_ps(d, r, _CMP_LE_OQ), _mm256_cmp_ps(d, zero, _CMP_GT_OQ));
    const __m256 s = _mm256_div_ps(r, d);
    const __m256 ox = _mm256_mul_ps(s, dx), oy = _mm256_mul_ps(s, dy), oz = _mm256_mul_ps(s, dz);
    const __m256 px = _mm256_add_ps(cx, ox), py = _mm256_add_ps(cy, oy), pz = _mm256_add_ps(cz, oz);
    if constexpr (checked) {
      const __m256 q =
          _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(ox, ox), _mm256_mul_ps(oy, oy)), _mm256_mul_ps(oz, oz));
      take = _mm256_and_ps(take, _mm256_and_ps(_mm256_cmp_ps(q, zero, _CMP_GT_OQ), _mm256_cmp_ps(q, infinity, _CMP_LT_OQ)));
      const __m256 finite = _mm256_and_ps(_mm256_cmp_ps(_mm256_andnot_ps(sign, px), infinity, _CMP_LT_OQ),
                                          _mm256_and_ps(_mm256_cmp_ps(_mm256_andnot_ps(sign, py), infinity, _CMP_LT_OQ),
                                                        _mm256_cmp_ps(_mm256_andnot_ps(sign, pz), infinity, _CMP_LT_OQ)));
      take = _mm256_and_ps(take, finite);
    }
    // Chosen with masks: a blend GCC may turn into a branch per lane.
    _mm256_storeu_ps(a.x + k, _mm256_or_ps(_mm256_and_ps(take, px), _mm256_andnot_ps(take, x)));
    _mm256_storeu_ps(a.y + k, _mm256_or_ps(_mm256_and_ps(take, py), _mm256_andnot_ps(take, y)));
    _mm256_storeu_ps(a.z + k, _mm256_or_ps(_mm256_and_ps(take, pz), _mm256_andnot_ps(take, z)));
    _mm256_storeu_ps(a.ox + k, _mm256_or_ps(_mm256_and_ps(take, ox), _mm256_andnot_ps(take, _mm256_loadu_ps(a.ox + k))));
    _mm256_storeu_ps(a.oy + k, _mm256_or_ps(_mm256_and_ps(take, oy), _mm256_andnot_ps(take, _mm256_loadu_ps(a.oy + k))));
    _mm256_storeu_ps(a.oz + k, _mm256_or_ps(_mm256_and_ps(take, oz), _mm256_andnot_ps(take, _mm256_loadu_ps(a.oz + k))));
    float* moved = reinterpret_cast<float*>(a.moved + k);
    _mm256_storeu_ps(moved, _mm256_or_ps(_mm256_loadu_ps(moved), take));
  }
}

#endif

}  // namespace

LaneSet widestLaneSet() {
#if defined(VELMO_X86_LANES)
  static const LaneSet widest = __builtin_cpu_supports("avx") ? LaneSet::avx : LaneSet::sse2;
  return widest;
#else
  return LaneSet::scalar;
#endif
}

void pushLanes(const BrushLanes& lanes, MeshPoint centre, float radius, LaneSet set) {
#if defined(VELMO_X86_LANES)
  const bool ordinary = ordinaryBall(centre, radius);
  if (set == LaneSet::avx) {
    ordinary ? pushAvx<false>(lanes, centre, radius) : pushAvx<true>(lanes, centre, radius);
    return;
  }
  if (set == LaneSet::sse2) {
    ordinary ? pushSse2<false>(lanes, centre, radius) : pushSse2<true>(lanes, centre, radius);
    return;
  }
#endif
  pushScalar(lanes, centre, radius);
}
