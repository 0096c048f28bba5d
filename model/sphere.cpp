// Sphere generation: rings of latitude spaced by the latitude step, each ring's vertices spaced by
// the same arc length, the northern bands stitched by a merge walk over azimuths and mirrored south.
// The single-precision roundings below decide the ring sizes and are part of the result.
#include <cmath>
#include <limits>
#include <new>
#include <numbers>
#include <stdexcept>

#include "model/mesh.h"

#include "base/error.h"

namespace {

constexpr double pi = std::numbers::pi;
constexpr MeshVertex blankVertex{1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};

int detailOf(int n) { return n < 2 ? 2 : n; }

float latitudeStep(int n) { return static_cast<float>(pi / n); }

double roundHalfAway(double x) { return x > 0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5); }

// Estimated vertex count of ring i (ring n stands for the south pole's slot).
std::int64_t ringEstimate(int i, float a) {
  double step = (1.0 / std::sin(i * static_cast<double>(a))) * a;
  float argument = static_cast<float>(2.0 * pi / step + 2.5);
  return static_cast<std::int64_t>(roundHalfAway(argument));
}

// Azimuth of a vertex on a ring of horizontal radius rho; NaN (comparing false) where the ratio
// has no arc cosine, as at the pole.
float azimuth(const MeshVertex& v, double rho) {
  if (rho == 0.0) return std::numeric_limits<float>::quiet_NaN();
  double ratio = static_cast<double>(v.x) / rho;
  if (!(ratio >= -1.0 && ratio <= 1.0)) return std::numeric_limits<float>::quiet_NaN();
  float theta = static_cast<float>(std::acos(ratio));
  if (v.z < 0.0f) theta = static_cast<float>(2.0 * pi - theta);
  return theta;
}

double horizontalRadius(const MeshVertex& v) {
  return std::sqrt(static_cast<double>(v.x) * v.x + static_cast<double>(v.z) * v.z);
}

}  // namespace

std::int64_t SphereMesh::vertexCapacity(int n) {
  n = detailOf(n);
  float a = latitudeStep(n);
  std::int64_t total = 2;
  for (int i = 1; i <= n; ++i) total += ringEstimate(i, a);
  return total;
}

std::int64_t SphereMesh::indexCapacity(int n) {
  n = detailOf(n);
  float a = latitudeStep(n);
  std::int64_t total = 0, previous = 0;
  for (int i = 1; i <= n; ++i) {
    std::int64_t k = ringEstimate(i, a);
    total += 3 * (k + previous);
    previous = k;
  }
  return total + 6 * ringEstimate(1, a);
}

SphereMesh& SphereMesh::generate(int n) {
  n = detailOf(n);
  const float a = latitudeStep(n);
  std::vector<std::uint32_t> ringStart(static_cast<std::size_t>(n) + 1);
  try {
    vertices.assign(static_cast<std::size_t>(vertexCapacity(n)), blankVertex);
    indices.assign(static_cast<std::size_t>(indexCapacity(n)), 0u);
  } catch (const std::bad_alloc&) {
    throw GameError{};
  } catch (const std::length_error&) {
    throw GameError{};
  }
  std::size_t used = 0;
  auto append = [&](float x, float y, float z) {
    if (used >= vertices.size()) throw GameError{};  // the estimate always covers the rings
    vertices[used] = {1.0f, 1.0f, 1.0f, 1.0f, x, y, z, x, y, z};
    return static_cast<std::uint32_t>(used++);
  };

  ringStart[0] = append(0.0f, 1.0f, 0.0f);
  for (int i = 1; i <= n - 1; ++i) {
    double s = std::sin(i * static_cast<double>(a));
    double c = std::cos(i * static_cast<double>(a));
    float step = static_cast<float>((1.0 / s) * a);
    double limit = 2.0 * pi / step;
    ringStart[i] = static_cast<std::uint32_t>(used);
    for (int j = 0; j <= limit; ++j) {
      double phi = j * static_cast<double>(step);
      append(static_cast<float>(s * std::cos(phi)), static_cast<float>(c), static_cast<float>(s * std::sin(phi)));
    }
  }
  ringStart[n] = append(0.0f, -1.0f, 0.0f);
  vertexCount = static_cast<std::int32_t>(used);

  std::size_t emitted = 0;
  auto emit = [&](std::uint32_t i0, std::uint32_t i1, std::uint32_t i2) {
    if (2 * (emitted + 3) > indices.size()) throw GameError{};  // room for the mirror too
    indices[emitted++] = i0;
    indices[emitted++] = i1;
    indices[emitted++] = i2;
  };
  const int half = n / 2 + n % 2;
  for (int r = 1; r <= half; ++r) {
    const std::uint32_t first = ringStart[r], above = ringStart[r - 1], end = ringStart[r + 1];
    const double radius = horizontalRadius(vertices[first]);
    const double radiusAbove = horizontalRadius(vertices[above]);
    std::uint32_t l = above;
    for (std::uint32_t k = first + 1; k < end; ++k) {
      if (azimuth(vertices[k - 1], radius) > azimuth(vertices[l], radiusAbove)) {
        emit(l + 1, k - 1, l);
        ++l;
      }
      emit(k, k - 1, l);
    }
    emit(first, end - 1, l);
    if (r >= 2) {
      emit(above, first, first - 1);
      if (first - 1 != l) emit(l + 1, first, l);
    }
  }
  const std::uint32_t last = static_cast<std::uint32_t>(vertexCount - 1);
  for (std::size_t i = 0; i < emitted; ++i) indices[emitted + i] = last - indices[i];
  indexCount = static_cast<std::int32_t>(2 * emitted);
  detail = n;
  pivotPoint = {0.0f, 0.0f, 0.0f};
  return *this;
}
