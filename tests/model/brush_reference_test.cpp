// The brushes of every shipped recording, mountains and ship parts, at details from 2 to 360 leave
// every vertex, normal and colour bit for bit where the plain loop over all vertices leaves them.
// That loop, as the game ran it before its brushes searched a grid, is kept here as the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/mesh.h"
#include "model/mesh_brush.h"
#include "model/sculpt.h"
#include "model/sculpt_format.h"
#include "tests/support/test_files.h"

namespace {

namespace reference {

bool finite3(float x, float y, float z) { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }

float unitClamp(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

bool beyondReach(float dx, float dy, float dz, float radius) {
  const float reach = radius * 1.0001f;
  const float ax = std::fabs(dx), ay = std::fabs(dy), az = std::fabs(dz);
  return (ax > reach && ax > 1e-15f) || (ay > reach && ay > 1e-15f) || (az > reach && az > 1e-15f);
}

#if defined(__SSE2__)
std::int32_t pushFours(MeshVertex* vertices, std::int32_t count, MeshPoint c, float radius) {
  const __m128 cx = _mm_set1_ps(c.x), cy = _mm_set1_ps(c.y), cz = _mm_set1_ps(c.z);
  const __m128 r = _mm_set1_ps(radius), zero = _mm_setzero_ps();
  const __m128 infinity = _mm_set1_ps(INFINITY), sign = _mm_set1_ps(-0.0f);
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

void push(SphereMesh& m, MeshPoint c, float radius) {
  std::int32_t first = 0;
#if defined(__SSE2__)
  if (m.vertexCount > 0) first = pushFours(m.vertices.data(), m.vertexCount, c, radius);
#endif
  for (std::int32_t i = first; i < m.vertexCount; ++i) {
    MeshVertex& v = m.vertices[static_cast<std::size_t>(i)];
    float dx = v.x - c.x, dy = v.y - c.y, dz = v.z - c.z;
    if (beyondReach(dx, dy, dz, radius)) continue;
    float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(d <= radius) || !(d > 0.0f)) continue;
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

void paint(SphereMesh& m, MeshPoint c, float radius, Colour k) {
  for (std::int32_t i = 0; i < m.vertexCount; ++i) {
    MeshVertex& v = m.vertices[static_cast<std::size_t>(i)];
    float dx = v.x - c.x, dy = v.y - c.y, dz = v.z - c.z;
    if (beyondReach(dx, dy, dz, radius)) continue;
    float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(d <= radius)) continue;
    float f = d > 0.0f ? d / radius : 0.0f;
    v.red = unitClamp(k.red * f);
    v.green = unitClamp(k.green * f);
    v.blue = unitClamp(k.blue * f);
  }
}

void pushStroke(SphereMesh& m, BrushPoint from, BrushPoint to) {
  float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z, dr = to.radius - from.radius;
  forEachStrokeStep(from, to, m.detail, [&](float t) {
    push(m, {from.x + t * dx, from.y + t * dy, from.z + t * dz}, from.radius + t * dr);
  });
}

void paintStroke(SphereMesh& m, BrushPoint from, Colour k1, BrushPoint to, Colour k2) {
  float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z, dr = to.radius - from.radius;
  forEachStrokeStep(from, to, m.detail, [&](float t) {
    Colour k{k1.red + t * (k2.red - k1.red), k1.green + t * (k2.green - k1.green), k1.blue + t * (k2.blue - k1.blue),
             k1.alpha + t * (k2.alpha - k1.alpha)};
    paint(m, {from.x + t * dx, from.y + t * dy, from.z + t * dz}, from.radius + t * dr, k);
  });
}

// The brush records of a recording without a base, applied in order; every record is whole.
void replay(SphereMesh& m, const std::vector<std::byte>& data) {
  std::size_t at = 0;
  auto word = [&] {
    float f;
    std::memcpy(&f, data.data() + at, 4);
    at += 4;
    return f;
  };
  auto integer = [&] {
    std::int32_t i;
    std::memcpy(&i, data.data() + at, 4);
    at += 4;
    return i;
  };
  auto point = [&] { return BrushPoint{word(), word(), word(), word()}; };
  auto colour = [&] { return Colour{word(), word(), word(), word()}; };
  ASSERT_LE(integer(), 0) << "the shipped recordings have no base";
  while (at < data.size()) {
    switch (integer()) {
      case sculpt::opPush: {
        BrushPoint p = point();
        push(m, {p.x, p.y, p.z}, p.radius);
        break;
      }
      case sculpt::opPushStroke: {
        BrushPoint a = point(), b = point();
        pushStroke(m, a, b);
        break;
      }
      case sculpt::opPaint: {
        BrushPoint p = point();
        paint(m, {p.x, p.y, p.z}, p.radius, colour());
        break;
      }
      case sculpt::opPaintStroke: {
        BrushPoint a = point();
        Colour ka = colour();
        BrushPoint b = point();
        paintStroke(m, a, ka, b, colour());
        break;
      }
      case sculpt::opAttachments:
        at += 16 * static_cast<std::size_t>(integer());
        break;
      case sculpt::opPivot:
        at += 12;
        break;
      default:
        FAIL() << "the shipped recordings hold only known records";
    }
  }
  ASSERT_EQ(at, data.size());
}

}  // namespace reference

// Every shipped recording: both mountains and every variant of every ship part.
std::vector<std::string> shippedRecordings() {
  const std::filesystem::path run = VELMO_DATA_DIR;
  std::vector<std::string> paths = {"mountain/_mountain4", "mountain/_mountain5"};
  std::vector<std::string> parts;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(run / "ship"))
    if (entry.is_regular_file() && entry.path().filename() != "files.txt")
      parts.push_back(std::filesystem::relative(entry.path(), run).string());
  std::sort(parts.begin(), parts.end());
  paths.insert(paths.end(), parts.begin(), parts.end());
  return paths;
}

std::uint64_t digest(const SphereMesh& m) {
  std::uint64_t h = 14695981039346656037ull;
  const auto* bytes = reinterpret_cast<const unsigned char*>(m.vertices.data());
  for (std::size_t i = 0; i < static_cast<std::size_t>(m.vertexCount) * sizeof(MeshVertex); ++i)
    h = (h ^ bytes[i]) * 1099511628211ull;
  return h;
}

// The first vertex whose bytes differ, or -1.
int firstDifference(const SphereMesh& a, const SphereMesh& b) {
  for (int i = 0; i < a.vertexCount; ++i)
    if (std::memcmp(&a.vertices[static_cast<std::size_t>(i)], &b.vertices[static_cast<std::size_t>(i)], sizeof(MeshVertex)) != 0)
      return i;
  return -1;
}

SphereMesh sculpted(const std::string& path, int detail) {
  SphereMesh m;
  m.generate(detail);
  WorkingDir here(VELMO_DATA_DIR);
  SculptRecorder recorder(&m);
  EXPECT_TRUE(recorder.replay(path)) << path;
  // The bound on a replay's work leaves the shipped recordings a fifth of it to spare at every
  // detail: a recording that comes near it is cut at the highest detail by the next change.
  EXPECT_GE(recorder.vertexVisitsLeft(), sculpt::maxVertexVisits / 5) << path << " at detail " << detail;
  return m;
}

// Runs the reference at every detail up to `highest` and compares; the digests it prints are
// the table below.
void compareWithTheReference(int highest) {
  for (int detail : {2, 10, 20, 50, 100, 200, 360}) {
    if (detail > highest) break;
    for (const std::string& path : shippedRecordings()) {
      SphereMesh expected;
      expected.generate(detail);
      reference::replay(expected, readBytes(std::filesystem::path(VELMO_DATA_DIR) / path));
      SphereMesh got = sculpted(path, detail);
      ASSERT_EQ(got.vertexCount, expected.vertexCount);
      const int i = firstDifference(got, expected);
      EXPECT_EQ(i, -1) << path << " at detail " << detail << ", vertex " << i;
      std::printf("  {\"%s\", %d, 0x%016llxull},\n", path.c_str(), detail,
                  static_cast<unsigned long long>(digest(expected)));
    }
  }
}

std::uint32_t nextDraw(std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

}  // namespace

// Balls of every size, from inside and outside, far away and at the origin, degenerate ones among
// them, and strokes that drag vertices out of the grid's box and back: one brush through them all
// leaves every byte where the reference does.
TEST(BrushReference, RandomBallsMatchTheReferenceOnOneBrush) {
  const float special[] = {0.0f, -0.0f, -1.0f, INFINITY, -INFINITY, NAN, 1e-30f, 1e30f, 400.0f};
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    std::uint32_t state = seed;
    auto uniform = [&](float low, float high) {
      return low + (high - low) * static_cast<float>(nextDraw(state) % 100000) / 100000.0f;
    };
    auto value = [&](float low, float high) {
      return nextDraw(state) % 16 == 0 ? special[nextDraw(state) % std::size(special)] : uniform(low, high);
    };
    SphereMesh expected, got;
    expected.generate(12 + static_cast<int>(seed) * 7);
    got = expected;
    MeshBrush brush(got);
    for (int op = 0; op < 300; ++op) {
      const float scale = nextDraw(state) % 4 == 0 ? 8.0f : 1.5f;
      const BrushPoint a{value(-scale, scale), value(-scale, scale), value(-scale, scale), value(0.0f, scale)};
      const BrushPoint b{a.x + uniform(-2, 2), a.y + uniform(-2, 2), a.z + uniform(-2, 2), value(0.0f, scale)};
      const Colour k{uniform(0, 1), uniform(0, 1), uniform(0, 1), 1.0f}, l{uniform(0, 1), 0.5f, 0.25f, 1.0f};
      switch (nextDraw(state) % 4) {
        case 0:
          reference::push(expected, {a.x, a.y, a.z}, a.radius);
          brush.push({a.x, a.y, a.z}, a.radius);
          break;
        case 1:
          reference::pushStroke(expected, a, b);
          brush.pushStroke(a, b);
          break;
        case 2:
          reference::paint(expected, {a.x, a.y, a.z}, a.radius, k);
          brush.paint({a.x, a.y, a.z}, a.radius, k);
          break;
        default:
          reference::paintStroke(expected, a, k, b, l);
          brush.paintStroke(a, k, b, l);
          break;
      }
      const int i = firstDifference(got, expected);
      ASSERT_EQ(i, -1) << "seed " << seed << ", operation " << op << ", vertex " << i;
    }
  }
}

TEST(BrushReference, EveryShippedRecordingMatchesTheReferenceUpToDetail100) { compareWithTheReference(100); }

// The reference takes minutes at the two highest details (the very cost the grid removes), so
// its results there are kept as digests of the vertex bytes. VELMO_BRUSH_REFERENCE=360 runs the
// reference itself at every detail and prints the table again, as after a change of the data.
TEST(BrushReference, EveryShippedRecordingMatchesTheReferenceDigestsAt200And360) {
  if (const char* highest = std::getenv("VELMO_BRUSH_REFERENCE")) {
    compareWithTheReference(std::atoi(highest));
    return;
  }
  struct Expected {
    const char* path;
    int detail;
    std::uint64_t digest;
  };
  const Expected table[] = {
#include "tests/model/brush_reference_digests.inc"
  };
  int checked = 0;
  for (const Expected& e : table) {
    if (e.detail < 200) continue;
    SphereMesh got = sculpted(e.path, e.detail);
    EXPECT_EQ(digest(got), e.digest) << e.path << " at detail " << e.detail;
    ++checked;
  }
  EXPECT_EQ(checked, 2 * static_cast<int>(shippedRecordings().size()));
}
