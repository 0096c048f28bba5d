// The brush operations on a generated sphere, and the stroke walk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <vector>

#include "model/mesh.h"
#include "model/mesh_brush.h"
#include "tests/model/mesh_checks.h"

namespace {

SphereMesh sphere(int n = 20) {
  SphereMesh m;
  m.generate(n);
  return m;
}

float distance(const MeshVertex& v, MeshPoint c) {
  return std::sqrt((v.x - c.x) * (v.x - c.x) + (v.y - c.y) * (v.y - c.y) + (v.z - c.z) * (v.z - c.z));
}

std::vector<float> strokeTs(BrushPoint from, BrushPoint to, int detail) {
  std::vector<float> ts;
  forEachStrokeStep(from, to, detail, [&](float t) { ts.push_back(t); });
  return ts;
}

}  // namespace

TEST(Brush, PushRaisesADentAndLeavesFarVerticesAlone) {
  SphereMesh before = sphere(), m = sphere();
  const MeshPoint centre{0.0f, 1.5f, 0.0f};
  m.push(centre, 1.0f);
  EXPECT_NEAR(m.vertices[0].x, 0.0f, 1e-6);
  EXPECT_NEAR(m.vertices[0].y, 0.5f, 1e-6);
  EXPECT_NEAR(m.vertices[0].ny, -1.0f, 1e-6);
  for (int i = 0; i < m.vertexCount; ++i) {
    float d = distance(before.vertices[i], centre);
    if (d > 1.0f) {
      EXPECT_EQ(m.vertices[i].y, before.vertices[i].y) << i;
      EXPECT_EQ(m.vertices[i].nx, before.vertices[i].nx) << i;
    } else {
      EXPECT_NEAR(distance(m.vertices[i], centre), 1.0f, 1e-5) << i;
    }
    EXPECT_EQ(m.vertices[i].red, 1.0f);
  }
}

TEST(Brush, PushFromInsideInflatesAndSmallPushesChangeNothing) {
  SphereMesh m = sphere();
  m.push({0.0f, 0.0f, 0.0f}, 0.5f);  // every vertex is farther than 0.5
  EXPECT_EQ(m.vertices[0].y, 1.0f);
  m.push({0.0f, 0.0f, 0.0f}, 3.0f);
  for (int i = 0; i < m.vertexCount; ++i) EXPECT_NEAR(distance(m.vertices[i], {0, 0, 0}), 3.0f, 1e-5);
  EXPECT_NEAR(m.vertices[0].ny, 1.0f, 1e-6);
}

TEST(Brush, DegenerateBrushesNeverWriteNaN) {
  SphereMesh m = sphere();
  const MeshVertex pole = m.vertices[0];
  m.push({0.0f, 1.0f, 0.0f}, 0.3f);  // centred exactly on the pole
  EXPECT_EQ(m.vertices[0].y, pole.y);
  EXPECT_EQ(m.vertices[0].ny, pole.ny);
  m.paint({0.0f, -1.0f, 0.0f}, 0.0f, {1.0f, 0.0f, 0.0f, 1.0f});  // radius 0 on the south pole
  EXPECT_EQ(m.vertices[m.vertexCount - 1].red, 0.0f);
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  m.push({nan, 0.0f, 0.0f}, 2.0f);
  m.push({0.0f, 0.0f, 0.0f}, inf);
  m.push({0.0f, 0.0f, 0.0f}, nan);
  m.paint({0.0f, 0.0f, 0.0f}, 5.0f, {nan, inf, -1.0f, 1.0f});
  m.pushStroke({0, 0, 0, 1}, {nan, 0, 0, 1});
  m.paintStroke({0, 0, 0, inf}, {1, 1, 1, 1}, {1e30f, 0, 0, 1}, {0, 0, 0, 1});
  EXPECT_TRUE(allFinite(m));
  for (int i = 0; i < m.vertexCount; ++i) {
    EXPECT_GE(m.vertices[i].red, 0.0f);
    EXPECT_LE(m.vertices[i].green, 1.0f);
  }
}

TEST(Brush, PaintIsBlackAtTheCentreAndFullAtTheRim) {
  SphereMesh before = sphere(), m = sphere();
  const MeshPoint centre{0.0f, 1.0f, 0.0f};
  m.paint(centre, 0.5f, {1.0f, 0.0f, 0.0f, 1.0f});
  EXPECT_EQ(m.vertices[0].red, 0.0f);
  EXPECT_EQ(m.vertices[0].alpha, 1.0f);
  int painted = 0;
  for (int i = 1; i < m.vertexCount; ++i) {
    float d = distance(before.vertices[i], centre);
    if (d <= 0.5f) {
      ++painted;
      EXPECT_NEAR(m.vertices[i].red, d / 0.5f, 1e-6);
      EXPECT_EQ(m.vertices[i].green, 0.0f);
    } else {
      EXPECT_EQ(m.vertices[i].green, 1.0f);
    }
    EXPECT_EQ(m.vertices[i].y, before.vertices[i].y);
  }
  EXPECT_GT(painted, 0);
}

TEST(Brush, StrokeWalkSpacing) {
  struct Case {
    BrushPoint from, to;
    int detail;
    int count;
  };
  const Case cases[] = {
      {{0, 0, 0, 1}, {0, 0, 0, 2}, 20, 1},   // ends coincide: once
      {{0, 0, 0, 1}, {4, 0, 0, 1}, 20, 20},  // step 0.05: 0 .. 0.95 (0.05 * 20 rounds above 1)
      {{0, 0, 0, 1}, {8, 0, 0, 1}, 20, 10},  // twice as long: half as many
      {{0, 0, 0, 1}, {0, 3, 4, 1}, 50, 41},  // length 5, step 0.025
  };
  for (const Case& c : cases) {
    std::vector<float> ts = strokeTs(c.from, c.to, c.detail);
    ASSERT_EQ(static_cast<int>(ts.size()), c.count) << c.to.x;
    EXPECT_EQ(ts.front(), 0.0f);
    EXPECT_LE(ts.back(), 1.0f);
    float length = std::sqrt((c.to.x - c.from.x) * (c.to.x - c.from.x) + (c.to.y - c.from.y) * (c.to.y - c.from.y) +
                             (c.to.z - c.from.z) * (c.to.z - c.from.z));
    // Successive balls lie |delta|^2 / (4 detail) apart.
    for (std::size_t i = 1; i < ts.size(); ++i)
      EXPECT_NEAR((ts[i] - ts[i - 1]) * length, length * length / (4.0f * c.detail), 1e-4);
  }
}

TEST(Brush, StrokeWalkIsBoundedForTinySteps) {
  EXPECT_EQ(static_cast<int>(strokeTs({0, 0, 0, 1}, {1e-6f, 0, 0, 1}, 360).size()), maxStrokeSteps);
  EXPECT_EQ(static_cast<int>(strokeTs({0, 0, 0, 1}, {1, 0, 0, 1}, 0).size()), 1);
}

TEST(Brush, StrokeWithCoincidingEndsAppliesOnce) {
  SphereMesh once = sphere(), stroke = sphere();
  once.push({0.3f, 0.9f, 0.0f}, 0.6f);
  stroke.pushStroke({0.3f, 0.9f, 0.0f, 0.6f}, {0.3f, 0.9f, 0.0f, 0.6f});
  SphereMesh paintOnce = sphere(), paintStroke = sphere();
  paintOnce.paint({0.3f, 0.9f, 0.0f}, 0.6f, {0.2f, 0.4f, 0.6f, 1.0f});
  paintStroke.paintStroke({0.3f, 0.9f, 0.0f, 0.6f}, {0.2f, 0.4f, 0.6f, 1.0f}, {0.3f, 0.9f, 0.0f, 0.6f}, {1, 1, 1, 1});
  for (int i = 0; i < once.vertexCount; ++i) {
    EXPECT_EQ(once.vertices[i].x, stroke.vertices[i].x);
    EXPECT_EQ(once.vertices[i].y, stroke.vertices[i].y);
    EXPECT_EQ(paintOnce.vertices[i].green, paintStroke.vertices[i].green);
  }
}

TEST(Brush, StrokeMovesEveryBallAlongTheSegment) {
  // A push stroke from the pole outwards drags the pole to the last ball's far side.
  SphereMesh m = sphere();
  m.pushStroke({0.0f, 0.5f, 0.0f, 0.8f}, {0.0f, 2.5f, 0.0f, 0.8f});
  std::vector<float> ts = strokeTs({0.0f, 0.5f, 0.0f, 0.8f}, {0.0f, 2.5f, 0.0f, 0.8f}, 20);
  EXPECT_NEAR(m.vertices[0].y, 0.5f + 2.0f * ts.back() + 0.8f, 1e-5);
  EXPECT_GT(m.vertices[0].y, 2.5f);
}

TEST(Brush, PaintStrokeBlendsTheColour) {
  SphereMesh m = sphere();
  // The last ball (t = 0.95) paints the south pole from 0.5 away with 95% of the way to blue.
  m.paintStroke({0.0f, 3.5f, 0.0f, 0.5f}, {1, 0, 0, 1}, {0.0f, -1.5f, 0.0f, 0.5f}, {0, 0, 1, 1});
  std::vector<float> ts = strokeTs({0.0f, 3.5f, 0.0f, 0.5f}, {0.0f, -1.5f, 0.0f, 0.5f}, 20);
  ASSERT_FALSE(ts.empty());
  float t = ts.back();
  float d = std::fabs(-1.0f - (3.5f - 5.0f * t));
  const MeshVertex& south = m.vertices[m.vertexCount - 1];
  EXPECT_NEAR(south.blue, t * d / 0.5f, 1e-5);
  EXPECT_NEAR(south.red, (1 - t) * d / 0.5f, 1e-5);
}

namespace {

// The brushes as first written: the distance of every vertex, then the test. The quick rejection
// of far vertices must leave every result exactly as these give it.
void referencePush(SphereMesh& m, MeshPoint c, float radius) {
  for (int i = 0; i < m.vertexCount; ++i) {
    MeshVertex& v = m.vertices[std::size_t(i)];
    float dx = v.x - c.x, dy = v.y - c.y, dz = v.z - c.z;
    float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(d <= radius) || !(d > 0.0f)) continue;
    float s = radius / d;
    float ox = s * dx, oy = s * dy, oz = s * dz;
    float length = std::sqrt(ox * ox + oy * oy + oz * oz);
    float px = c.x + ox, py = c.y + oy, pz = c.z + oz;
    if (!(length > 0.0f) || !std::isfinite(px) || !std::isfinite(py) || !std::isfinite(pz) || !std::isfinite(length))
      continue;
    v.x = px, v.y = py, v.z = pz;
    v.nx = ox / length, v.ny = oy / length, v.nz = oz / length;
  }
}

float referenceClamp(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

void referencePaint(SphereMesh& m, MeshPoint c, float radius, Colour k) {
  for (int i = 0; i < m.vertexCount; ++i) {
    MeshVertex& v = m.vertices[std::size_t(i)];
    float dx = v.x - c.x, dy = v.y - c.y, dz = v.z - c.z;
    float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(d <= radius)) continue;
    float f = d > 0.0f ? d / radius : 0.0f;
    v.red = referenceClamp(k.red * f);
    v.green = referenceClamp(k.green * f);
    v.blue = referenceClamp(k.blue * f);
  }
}

bool sameBytes(const SphereMesh& a, const SphereMesh& b) {
  return a.vertexCount == b.vertexCount &&
         std::memcmp(a.vertices.data(), b.vertices.data(), sizeof(MeshVertex) * std::size_t(a.vertexCount)) == 0;
}

}  // namespace

TEST(Brush, QuickRejectionChangesNoResult) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  SphereMesh fast = sphere(30), slow = sphere(30);
  const MeshVertex& v7 = slow.vertices[7];
  // Balls on the rim of a vertex along an axis, degenerate ones, and a long run of ordinary ones.
  std::vector<BrushPoint> balls = {
      {v7.x + 0.5f, v7.y, v7.z, 0.5f}, {v7.x, v7.y - 0.25f, v7.z, 0.25f}, {v7.x, v7.y, v7.z, 0.0f},
      {0.0f, 0.0f, 0.0f, -1.0f},       {0.0f, 0.0f, 0.0f, nan},          {nan, 0.0f, 0.0f, 1.0f},
      {inf, 0.0f, 0.0f, 1.0f},         {0.0f, 0.0f, 0.0f, inf},          {0.0f, 1.0f, 0.0f, 1e-20f},
      {v7.x, v7.y, v7.z, 1e-20f},      {1e30f, 0.0f, 0.0f, 1e30f},       {0.0f, 0.0f, 0.0f, 3e38f},
  };
  std::uint32_t state = 99;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 24);  // 0..1
  };
  for (int i = 0; i < 300; ++i) balls.push_back({4 * next() - 2, 4 * next() - 2, 4 * next() - 2, 1.5f * next()});
  for (std::size_t i = 0; i < balls.size(); ++i) {
    const BrushPoint& b = balls[i];
    const Colour k{1.5f * next(), next(), next() - 0.2f, 1.0f};
    if (i % 2) {
      fast.paint({b.x, b.y, b.z}, b.radius, k);
      referencePaint(slow, {b.x, b.y, b.z}, b.radius, k);
    } else {
      fast.push({b.x, b.y, b.z}, b.radius);
      referencePush(slow, {b.x, b.y, b.z}, b.radius);
    }
    ASSERT_TRUE(sameBytes(fast, slow)) << "ball " << i << ": " << b.x << " " << b.y << " " << b.z << " r " << b.radius;
  }
  // The run reshaped the sphere: the comparison was not between two untouched meshes.
  EXPECT_FALSE(sameBytes(fast, sphere(30)));
}

TEST(MeshBrush, TheWorkBoundSkipsTheBallThatWouldPassItAndEveryLaterOne) {
  SphereMesh m = sphere(), untouched = sphere();
  // Indexing takes its visits per vertex; a ball far from the sphere looks into a cell or so.
  MeshBrush brush(m, m.vertexCount * MeshBrush::visitsPerIndexedVertex + 20);
  EXPECT_FALSE(brush.exhausted());
  brush.push({9, 9, 9}, 0.1f);
  EXPECT_FALSE(brush.exhausted());
  EXPECT_GE(brush.visitsRemaining(), 0);
  brush.push({0, 0, 0}, 3.0f);  // every vertex: more than is left
  EXPECT_TRUE(brush.exhausted());
  EXPECT_EQ(std::memcmp(m.vertices.data(), untouched.vertices.data(), sizeof(MeshVertex) * m.vertexCount), 0);
  brush.limitVisits(INT64_MAX);  // a bound never rises again
  brush.paint({0, 1, 0}, 1.0f, {0, 0, 0, 1});
  EXPECT_EQ(m.vertices[0].red, 1.0f);

  SphereMesh small = sphere();
  MeshBrush none(small, small.vertexCount * MeshBrush::visitsPerIndexedVertex - 1);  // not even the index fits
  EXPECT_TRUE(none.exhausted());
}

// A stroke's balls go through the mesh in runs whose moves reach the mesh at the run's end; a
// stroke the bound cuts leaves the mesh as its first balls pushed one at a time would, whether
// the cut falls in a run or between runs: a bound a little larger keeps a ball or so more.
TEST(MeshBrush, AStrokeCutByTheBoundKeepsExactlyItsFirstBalls) {
  const BrushPoint from{0.3f, 0.2f, 0.1f, 0.9f}, to{0.9f, 0.4f, -0.2f, 1.1f};
  const int detail = 40;
  std::vector<float> ts = strokeTs(from, to, detail);
  ASSERT_GT(ts.size(), 200u);
  auto digest = [](const SphereMesh& m) {
    std::uint64_t h = 14695981039346656037ull;
    const auto* bytes = reinterpret_cast<const unsigned char*>(m.vertices.data());
    for (std::size_t i = 0; i < sizeof(MeshVertex) * std::size_t(m.vertexCount); ++i) h = (h ^ bytes[i]) * 1099511628211ull;
    return h;
  };
  // Every prefix of the stroke, ball by ball, each through the grid on its own.
  std::map<std::uint64_t, std::size_t> prefixes;
  SphereMesh prefix = sphere(detail);
  prefixes[digest(prefix)] = 0;
  for (std::size_t k = 0; k < ts.size(); ++k) {
    const float t = ts[k];
    prefix.push({from.x + t * (to.x - from.x), from.y + t * (to.y - from.y), from.z + t * (to.z - from.z)},
                from.radius + t * (to.radius - from.radius));
    prefixes[digest(prefix)] = k + 1;
  }
  SphereMesh whole = sphere(detail);
  MeshBrush measuring(whole);
  const std::int64_t before = measuring.visitsRemaining();
  measuring.pushStroke(from, to);
  const std::int64_t needed = before - measuring.visitsRemaining();
  EXPECT_EQ(digest(whole), digest(prefix));
  std::set<std::size_t> kept;
  const int bounds = 100;
  for (int i = 1; i < bounds; ++i) {
    SphereMesh m = sphere(detail);
    MeshBrush brush(m, needed * i / bounds);
    brush.pushStroke(from, to);
    EXPECT_TRUE(brush.exhausted()) << i;
    const auto found = prefixes.find(digest(m));
    ASSERT_NE(found, prefixes.end()) << "cut at " << i << "% of the work: the mesh is no prefix of the stroke";
    kept.insert(found->second);
  }
  // The bounds, a hundredth of the work apart, keep many different prefixes, not only those that
  // end where a run ends (about one in fourteen balls here). About half of a run's work is
  // putting its moved vertices back at its end, where no later ball is kept: about 50 come out.
  EXPECT_GT(kept.size(), std::size_t{bounds / 3});
}
