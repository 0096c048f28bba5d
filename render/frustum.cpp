// The frustum's planes from a view's matrices and the bounding-sphere test.
#include "render/frustum.h"

#include <cmath>

bool viewCulling = true;

Frustum frustumFromMatrices(const float projection[16], const float modelview[16]) {
  // Row r of the combined matrix, column-major: m[r], m[4 + r], m[8 + r], m[12 + r].
  double m[16];
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += double(projection[k * 4 + row]) * double(modelview[column * 4 + k]);
      m[column * 4 + row] = sum;
    }
  auto row = [&m](int r, int i) { return m[i * 4 + r]; };
  // Inside the clip volume -w <= x, y <= w and -w <= z: w + x >= 0, w - x >= 0 and so on.
  const int rows[5] = {0, 0, 1, 1, 2};
  const double signs[5] = {1.0, -1.0, 1.0, -1.0, 1.0};
  Frustum frustum;
  for (int p = 0; p < 5; ++p) {
    FrustumPlane plane{row(3, 0) + signs[p] * row(rows[p], 0), row(3, 1) + signs[p] * row(rows[p], 1),
                       row(3, 2) + signs[p] * row(rows[p], 2), row(3, 3) + signs[p] * row(rows[p], 3)};
    double length = std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c);
    if (!(length > 1e-9)) continue;
    frustum.planes[std::size_t(frustum.count++)] = {plane.a / length, plane.b / length, plane.c / length,
                                                    plane.d / length};
  }
  return frustum;
}

bool sphereOutsideFrustum(const Frustum& frustum, float x, float y, float z, float radius) {
  if (!(radius >= 0.0f) || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return false;
  // The GL transforms in single precision: allow it a thousandth of the sizes involved.
  const double margin = 1e-3 * (1.0 + std::fabs(x) + std::fabs(y) + std::fabs(z) + radius);
  for (int i = 0; i < frustum.count; ++i) {
    const FrustumPlane& p = frustum.planes[std::size_t(i)];
    double distance = p.a * x + p.b * y + p.c * z + p.d;
    if (distance < -(double(radius) + margin)) return true;
  }
  return false;
}
