// Helpers for the model tests: ring structure and surface checks of generated spheres.
#pragma once

#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "model/mesh.h"

// Vertex counts of the rings between the poles, found as runs of equal y after the north pole.
inline std::vector<int> ringSizes(const SphereMesh& mesh) {
  std::vector<int> sizes;
  for (int i = 1; i < mesh.vertexCount - 1; ++i) {
    if (i == 1 || mesh.vertices[i].y != mesh.vertices[i - 1].y) sizes.push_back(0);
    ++sizes.back();
  }
  return sizes;
}

inline bool degenerate(const SphereMesh& m, int t) {
  unsigned a = m.indices[3 * t], b = m.indices[3 * t + 1], c = m.indices[3 * t + 2];
  return a == b || b == c || a == c;
}

// Number of directed edges of non-degenerate triangles whose opposite edge is missing.
inline int unmatchedEdges(const SphereMesh& m) {
  std::map<std::pair<unsigned, unsigned>, int> edges;
  for (int t = 0; t < m.indexCount / 3; ++t) {
    if (degenerate(m, t)) continue;
    for (int e = 0; e < 3; ++e) edges[{m.indices[3 * t + e], m.indices[3 * t + (e + 1) % 3]}]++;
  }
  int unmatched = 0;
  for (const auto& [edge, count] : edges) {
    auto opposite = edges.find({edge.second, edge.first});
    if (opposite == edges.end() || opposite->second != count) ++unmatched;
  }
  return unmatched;
}

// Signed volume enclosed by the triangles (positive when they are wound outwards).
inline double signedVolume(const SphereMesh& m) {
  double volume = 0.0;
  for (int t = 0; t < m.indexCount / 3; ++t) {
    const MeshVertex& a = m.vertices[m.indices[3 * t]];
    const MeshVertex& b = m.vertices[m.indices[3 * t + 1]];
    const MeshVertex& c = m.vertices[m.indices[3 * t + 2]];
    volume += (double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) - double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
               double(a.z) * (double(b.x) * c.y - double(b.y) * c.x)) /
              6.0;
  }
  return volume;
}

inline bool allFinite(const SphereMesh& m) {
  for (int i = 0; i < m.vertexCount; ++i) {
    const MeshVertex& v = m.vertices[i];
    for (float f : {v.red, v.green, v.blue, v.alpha, v.nx, v.ny, v.nz, v.x, v.y, v.z})
      if (!std::isfinite(f)) return false;
  }
  return true;
}
