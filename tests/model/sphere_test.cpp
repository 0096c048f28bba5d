// Sphere generation: the octahedron, ring sizes, closure, winding and the capacity estimate.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

#include "model/mesh.h"
#include "tests/model/mesh_checks.h"

TEST(Sphere, DetailTwoIsTheOctahedron) {
  SphereMesh m;
  m.generate(2);
  ASSERT_EQ(m.vertexCount, 6);
  ASSERT_EQ(m.indexCount, 24);
  const float expected[6][3] = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 0, -1}, {0, -1, 0}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR(m.vertices[i].x, expected[i][0], 1e-6) << i;
    EXPECT_NEAR(m.vertices[i].y, expected[i][1], 1e-6) << i;
    EXPECT_NEAR(m.vertices[i].z, expected[i][2], 1e-6) << i;
  }
  const unsigned triangles[8][3] = {{2, 1, 0}, {3, 2, 0}, {4, 3, 0}, {1, 4, 0}, {3, 4, 5}, {2, 3, 5}, {1, 2, 5}, {4, 1, 5}};
  for (int t = 0; t < 8; ++t)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(m.indices[3 * t + k], triangles[t][k]) << "triangle " << t;
  EXPECT_EQ(m.detail, 2);
}

TEST(Sphere, DetailBelowTwoIsTakenAsTwo) {
  for (int n : {1, 0, -5}) {
    SphereMesh m;
    m.generate(n);
    EXPECT_EQ(m.vertexCount, 6) << n;
    EXPECT_EQ(m.detail, 2) << n;
  }
}

TEST(Sphere, EquatorHasTwoNVerticesAndRingsMirror) {
  for (int n : {20, 50}) {
    SphereMesh m;
    m.generate(n);
    std::vector<int> rings = ringSizes(m);
    ASSERT_EQ(static_cast<int>(rings.size()), n - 1) << n;
    EXPECT_EQ(rings[n / 2 - 1], 2 * n) << n;
    for (int i = 1; i < n; ++i) EXPECT_EQ(rings[i - 1], rings[n - i - 1]) << "N " << n << " ring " << i;
  }
}

TEST(Sphere, KnownVertexCounts) {
  // Regression values: a change in the rounding rules changes the ring sizes.
  SphereMesh m20, m50;
  m20.generate(20);
  m50.generate(50);
  EXPECT_EQ(m20.vertexCount, 522);
  EXPECT_EQ(m50.vertexCount, 3204);
}

TEST(Sphere, RingsStartOnThePlaneZZero) {
  SphereMesh m;
  const int n = 20;
  m.generate(n);
  const float a = static_cast<float>(std::numbers::pi / n);
  int first = 1;
  std::vector<int> rings = ringSizes(m);
  for (int i = 1; i < n; ++i) {
    EXPECT_EQ(m.vertices[first].z, 0.0f);
    EXPECT_NEAR(m.vertices[first].x, std::sin(i * double(a)), 1e-6);
    first += rings[i - 1];
  }
}

TEST(Sphere, EvenDetailsGiveClosedOutwardSurfacesUsingEveryVertex) {
  for (int n = 2; n <= 60; n += 2) {
    SphereMesh m;
    m.generate(n);
    EXPECT_EQ(unmatchedEdges(m), 0) << "N " << n;
    std::set<unsigned> used(m.indices.begin(), m.indices.begin() + m.indexCount);
    EXPECT_EQ(static_cast<int>(used.size()), m.vertexCount) << "N " << n;
    EXPECT_LT(*used.rbegin(), static_cast<unsigned>(m.vertexCount));
    EXPECT_GT(signedVolume(m), 0.0) << "N " << n;
  }
  SphereMesh fine;
  fine.generate(60);
  EXPECT_NEAR(signedVolume(fine), 4.0 * std::numbers::pi / 3.0, 0.01 * 4.0 * std::numbers::pi / 3.0);
}

TEST(Sphere, OddDetailsDrawTheMiddleBandFromBothHalves) {
  for (int n : {3, 5, 21}) {
    SphereMesh m;
    m.generate(n);
    std::vector<int> rings = ringSizes(m);
    ASSERT_EQ(static_cast<int>(rings.size()), n - 1);
    // The two middle rings: ring (n-1)/2 and ring (n+1)/2.
    int upperFirst = 1;
    for (int i = 1; i < (n - 1) / 2; ++i) upperFirst += rings[i - 1];
    int lowerFirst = upperFirst + rings[(n - 1) / 2 - 1];
    int lowerEnd = lowerFirst + rings[(n + 1) / 2 - 1];
    auto inUpper = [&](unsigned v) { return int(v) >= upperFirst && int(v) < lowerFirst; };
    auto inLower = [&](unsigned v) { return int(v) >= lowerFirst && int(v) < lowerEnd; };
    int half = m.indexCount / 6, north = 0, south = 0;
    for (int t = 0; t < m.indexCount / 3; ++t) {
      bool up = false, down = false;
      for (int k = 0; k < 3; ++k) {
        up |= inUpper(m.indices[3 * t + k]);
        down |= inLower(m.indices[3 * t + k]);
      }
      if (up && down) (t < half ? north : south)++;
    }
    EXPECT_GT(north, 0) << n;
    EXPECT_EQ(north, south) << n;
    std::set<unsigned> used(m.indices.begin(), m.indices.begin() + m.indexCount);
    EXPECT_EQ(static_cast<int>(used.size()), m.vertexCount) << n;
    EXPECT_GT(signedVolume(m), 0.0) << n;
  }
}

TEST(Sphere, CapacityEstimateCoversWhatIsGenerated) {
  for (int n = 2; n <= 200; n += (n < 40 ? 1 : 17)) {
    SphereMesh m;
    m.generate(n);
    EXPECT_LE(m.vertexCount, SphereMesh::vertexCapacity(n)) << n;
    EXPECT_LE(m.indexCount, SphereMesh::indexCapacity(n)) << n;
    EXPECT_EQ(m.indexCount % 3, 0);
    // Spare vertices stay white at the origin.
    if (static_cast<int>(m.vertices.size()) > m.vertexCount) {
      const MeshVertex& spare = m.vertices.back();
      EXPECT_EQ(spare.red, 1.0f);
      EXPECT_EQ(spare.x, 0.0f);
    }
  }
}

TEST(Sphere, VerticesLieOnTheUnitSphereWithOutwardNormals) {
  SphereMesh m;
  m.generate(20);
  for (int i = 0; i < m.vertexCount; ++i) {
    const MeshVertex& v = m.vertices[i];
    EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 1.0f, 1e-5);
    EXPECT_EQ(v.nx, v.x);
    EXPECT_EQ(v.ny, v.y);
    EXPECT_EQ(v.alpha, 1.0f);
  }
  EXPECT_EQ(m.pivot().x, 0.0f);
  EXPECT_EQ(m.shininess, SphereMesh::initialShininess);
}
