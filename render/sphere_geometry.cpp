// The solid sphere's arrays, computed with freeglut 3.4's float operations in its order, so the
// picture is the one glutSolidSphere draws wherever its 16-bit indices hold.
#include "render/sphere_geometry.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

// freeglut's fghCircleTable: n + 1 samples of sin and cos a whole turn (or half a turn) round,
// the angle stepping by a float, each sine taken in double of that float and rounded back. A
// negative n turns the other way; the last sample closes the circle exactly.
void circleTable(int n, bool halfCircle, std::vector<float>& sines, std::vector<float>& cosines) {
  const int size = std::abs(n);
  const float angle = static_cast<float>(halfCircle ? 1 : 2) * static_cast<float>(std::numbers::pi) /
                      static_cast<float>(n == 0 ? 1 : n);
  sines.resize(static_cast<size_t>(size) + 1);
  cosines.resize(static_cast<size_t>(size) + 1);
  sines[0] = 0.0f;
  cosines[0] = 1.0f;
  for (int i = 1; i < size; ++i) {
    const double a = angle * static_cast<float>(i);  // float product, as in C's angle*i
    sines[i] = static_cast<float>(std::sin(a));
    cosines[i] = static_cast<float>(std::cos(a));
  }
  sines[size] = halfCircle ? 0.0f : sines[0];
  cosines[size] = halfCircle ? -1.0f : cosines[0];
}

}  // namespace

void buildSphereGeometry(int slices, int stacks, SphereGeometry& geometry) {
  geometry.normals.clear();
  geometry.strips.clear();
  geometry.slices = geometry.stacks = 0;
  if (slices < 1 || stacks < 2) return;
  slices = std::min(slices, maxSphereDetail);
  stacks = std::min(stacks, maxSphereDetail);
  geometry.slices = slices;
  geometry.stacks = stacks;

  std::vector<float> sint1, cost1, sint2, cost2;
  circleTable(-slices, false, sint1, cost1);
  circleTable(stacks, true, sint2, cost2);

  const std::uint32_t vertexCount = static_cast<std::uint32_t>(slices * (stacks - 1) + 2);
  std::vector<float>& n = geometry.normals;
  n.reserve(vertexCount * 3);
  n.insert(n.end(), {0.0f, 0.0f, 1.0f});
  for (int i = 1; i < stacks; ++i) {
    for (int j = 0; j < slices; ++j) n.insert(n.end(), {cost1[j] * sint2[i], sint1[j] * sint2[i], cost2[i]});
  }
  n.insert(n.end(), {0.0f, 0.0f, -1.0f});

  // Each strip runs round one stack, south vertex before north, closing on its first pair.
  std::vector<std::uint32_t>& s = geometry.strips;
  const std::uint32_t south = vertexCount - 1;
  s.reserve(static_cast<size_t>(geometry.stripLength()) * stacks);
  for (int j = 0; j <= slices; ++j) s.insert(s.end(), {static_cast<std::uint32_t>(j % slices + 1), 0u});
  for (int i = 0; i < stacks - 2; ++i) {
    const std::uint32_t offset = 1 + static_cast<std::uint32_t>(i * slices);
    for (int j = 0; j <= slices; ++j) {
      const std::uint32_t k = offset + static_cast<std::uint32_t>(j % slices);
      s.insert(s.end(), {k + static_cast<std::uint32_t>(slices), k});
    }
  }
  const std::uint32_t lastRing = 1 + static_cast<std::uint32_t>((stacks - 2) * slices);
  for (int j = 0; j <= slices; ++j) s.insert(s.end(), {south, lastRing + static_cast<std::uint32_t>(j % slices)});
}

void scaleSphere(const SphereGeometry& geometry, float radius, std::vector<float>& positions) {
  positions.resize(geometry.normals.size());
  std::transform(geometry.normals.begin(), geometry.normals.end(), positions.begin(),
                 [radius](float x) { return x * radius; });
  if (positions.empty()) return;
  // freeglut writes the poles as (+0, +0, ±radius), not as products: 0 × a negative radius is -0.
  const size_t south = positions.size() - 3;
  positions[0] = positions[1] = positions[south] = positions[south + 1] = 0.0f;
  positions[2] = radius;
  positions[south + 2] = -radius;
}

const SphereCache::Entry* SphereCache::find(int slices, int stacks, float radius) {
  if (!std::isfinite(radius)) return nullptr;
  Entry* entry = nullptr;
  for (Entry& e : entries) {
    if (e.askedSlices == slices && e.askedStacks == stacks) entry = &e;
  }
  if (!entry) {
    entry = entries[0].lastUse <= entries[1].lastUse ? &entries[0] : &entries[1];
    buildSphereGeometry(slices, stacks, entry->geometry);
    entry->askedSlices = slices;
    entry->askedStacks = stacks;
    entry->scaled = false;
  }
  entry->lastUse = ++useCount;
  if (entry->geometry.slices == 0) return nullptr;
  if (!entry->scaled || std::bit_cast<std::uint32_t>(entry->radius) != std::bit_cast<std::uint32_t>(radius)) {
    scaleSphere(entry->geometry, radius, entry->positions);
    entry->radius = radius;
    entry->scaled = true;
  }
  return entry;
}
