// The brush operations: push a ball into or out of the surface, paint with a ball, and both along
// a stroke. They touch only the vertices in use and never write a non-finite value.
#include <cmath>

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

}  // namespace

void SphereMesh::push(MeshPoint c, float radius) {
  for (std::int32_t i = 0; i < vertexCount; ++i) {
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
