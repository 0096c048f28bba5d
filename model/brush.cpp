// The brush operations: push a ball into or out of the surface, paint with a ball, and both along
// a stroke. They touch only the vertices in use and never write a non-finite value.
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/mesh.h"

namespace {

bool finite3(float x, float y, float z) { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }

// Colours stay within 0..1 whatever a recording asks for; NaN becomes 0.
float unitClamp(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

// Whether a vertex this far from the ball's centre along one axis is out of its reach, decided
// without the distance: the computed distance is never below the largest axis offset by more
// than a rounding, which the margin covers (offsets too small to square exactly are left to
// the full test). A vertex it keeps may still be out of reach; the full test decides.
bool beyondReach(float dx, float dy, float dz, float radius) {
  const float reach = radius * 1.0001f;
  const float ax = std::fabs(dx), ay = std::fabs(dy), az = std::fabs(dz);
  return (ax > reach && ax > 1e-15f) || (ay > reach && ay > 1e-15f) || (az > reach && az > 1e-15f);
}

#if defined(__SSE2__)
// The push of whole groups of four vertices, from the first; returns how many it took. Every
// lane goes through the same single-precision operations in the same order as the loop of
// SphereMesh::push (the square root and the quotients are correctly rounded in both), so each
// vertex ends exactly as one at a time would leave it.
std::int32_t pushFours(MeshVertex* vertices, std::int32_t count, MeshPoint c, float radius) {
  const __m128 cx = _mm_set1_ps(c.x), cy = _mm_set1_ps(c.y), cz = _mm_set1_ps(c.z);
  const __m128 r = _mm_set1_ps(radius), zero = _mm_setzero_ps();
  const __m128 infinity = _mm_set1_ps(INFINITY), sign = _mm_set1_ps(-0.0f);
  // Finite: below infinity in magnitude, which NaN is not either.
  auto finite = [&](__m128 a) { return _mm_cmplt_ps(_mm_andnot_ps(sign, a), infinity); };
  std::int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    MeshVertex* q = vertices + i;
    const __m128 dx = _mm_sub_ps(_mm_setr_ps(q[0].x, q[1].x, q[2].x, q[3].x), cx);
    const __m128 dy = _mm_sub_ps(_mm_setr_ps(q[0].y, q[1].y, q[2].y, q[3].y), cy);
    const __m128 dz = _mm_sub_ps(_mm_setr_ps(q[0].z, q[1].z, q[2].z, q[3].z), cz);
    const __m128 d =
        _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz)));
    __m128 take = _mm_and_ps(_mm_cmple_ps(d, r), _mm_cmpgt_ps(d, zero));
    if (_mm_movemask_ps(take) == 0) continue;
    const __m128 s = _mm_div_ps(r, d);
    const __m128 ox = _mm_mul_ps(s, dx), oy = _mm_mul_ps(s, dy), oz = _mm_mul_ps(s, dz);
    const __m128 length =
        _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(ox, ox), _mm_mul_ps(oy, oy)), _mm_mul_ps(oz, oz)));
    const __m128 px = _mm_add_ps(cx, ox), py = _mm_add_ps(cy, oy), pz = _mm_add_ps(cz, oz);
    take = _mm_and_ps(take, _mm_and_ps(_mm_cmpgt_ps(length, zero), finite(length)));
    take = _mm_and_ps(take, _mm_and_ps(finite(px), _mm_and_ps(finite(py), finite(pz))));
    const int lanes = _mm_movemask_ps(take);
    if (lanes == 0) continue;
    alignas(16) float out[6][4];
    _mm_store_ps(out[0], px);
    _mm_store_ps(out[1], py);
    _mm_store_ps(out[2], pz);
    _mm_store_ps(out[3], _mm_div_ps(ox, length));
    _mm_store_ps(out[4], _mm_div_ps(oy, length));
    _mm_store_ps(out[5], _mm_div_ps(oz, length));
    for (int k = 0; k < 4; ++k) {
      if (!(lanes & (1 << k))) continue;
      MeshVertex& v = q[k];
      v.x = out[0][k];
      v.y = out[1][k];
      v.z = out[2][k];
      v.nx = out[3][k];
      v.ny = out[4][k];
      v.nz = out[5][k];
    }
  }
  return i;
}
#endif

}  // namespace

void SphereMesh::push(MeshPoint c, float radius) {
  std::int32_t first = 0;
#if defined(__SSE2__)
  if (vertexCount > 0) first = pushFours(vertices.data(), vertexCount, c, radius);
#endif
  for (std::int32_t i = first; i < vertexCount; ++i) {
    MeshVertex& v = vertices[static_cast<std::size_t>(i)];
    float dx = v.x - c.x, dy = v.y - c.y, dz = v.z - c.z;
    if (beyondReach(dx, dy, dz, radius)) continue;
    float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(d <= radius) || !(d > 0.0f)) continue;  // outside, or at the centre with no direction
    float s = radius / d;
    float ox = s * dx, oy = s * dy, oz = s * dz;
    float length = std::sqrt(ox * ox + oy * oy + oz * oz);
    float px = c.x + ox, py = c.y + oy, pz = c.z + oz;
    if (!(length > 0.0f) || !finite3(px, py, pz) || !std::isfinite(length)) continue;
    v.x = px;
    v.y = py;
    v.z = pz;
    v.nx = ox / length;
    v.ny = oy / length;
    v.nz = oz / length;
  }
}

void SphereMesh::paint(MeshPoint c, float radius, Colour k) {
  for (std::int32_t i = 0; i < vertexCount; ++i) {
    MeshVertex& v = vertices[static_cast<std::size_t>(i)];
    float dx = v.x - c.x, dy = v.y - c.y, dz = v.z - c.z;
    if (beyondReach(dx, dy, dz, radius)) continue;
    float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(d <= radius)) continue;
    float f = d > 0.0f ? d / radius : 0.0f;  // a vertex at the centre is black, even for radius 0
    v.red = unitClamp(k.red * f);
    v.green = unitClamp(k.green * f);
    v.blue = unitClamp(k.blue * f);
  }
}

void SphereMesh::pushStroke(BrushPoint from, BrushPoint to) {
  float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z, dr = to.radius - from.radius;
  forEachStrokeStep(from, to, detail, [&](float t) {
    push({from.x + t * dx, from.y + t * dy, from.z + t * dz}, from.radius + t * dr);
  });
}

void SphereMesh::paintStroke(BrushPoint from, Colour k1, BrushPoint to, Colour k2) {
  float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z, dr = to.radius - from.radius;
  forEachStrokeStep(from, to, detail, [&](float t) {
    Colour k{k1.red + t * (k2.red - k1.red), k1.green + t * (k2.green - k1.green), k1.blue + t * (k2.blue - k1.blue),
             k1.alpha + t * (k2.alpha - k1.alpha)};
    paint({from.x + t * dx, from.y + t * dy, from.z + t * dz}, from.radius + t * dr, k);
  });
}
