// The brush operations: push a ball into or out of the surface, paint with a ball, and both along
// a stroke. They touch only the vertices in use and never write a non-finite value.
#include <algorithm>
#include <cmath>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/mesh.h"

#include "base/error.h"
#include "model/brush_lanes.h"
#include "model/mesh_brush.h"

namespace {

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
// The push of one ball through candidates scattered over the mesh, four at a time: gathered from
// the vertices into SSE registers, each lane takes exactly the operations of the working set's
// push (model/brush_lanes.cpp) and makes every test, and the normal as writeBackRun makes it, so
// every bit is the same. Moves the indexes of the vertices that moved to the front of `at`, in
// order, and returns how many moved.
std::size_t pushScattered(MeshVertex* vertices, std::int32_t* at, std::size_t count, MeshPoint c, float radius) {
  const __m128 cx = _mm_set1_ps(c.x), cy = _mm_set1_ps(c.y), cz = _mm_set1_ps(c.z);
  const __m128 r = _mm_set1_ps(radius), zero = _mm_setzero_ps();
  const __m128 infinity = _mm_set1_ps(INFINITY), sign = _mm_set1_ps(-0.0f);
  auto finite = [&](__m128 a) { return _mm_cmplt_ps(_mm_andnot_ps(sign, a), infinity); };
  std::size_t moved = 0;
  auto pushFour = [&](MeshVertex* const (&q)[4], const std::int32_t (&index)[4]) __attribute__((always_inline)) {
    const __m128 dx = _mm_sub_ps(_mm_setr_ps(q[0]->x, q[1]->x, q[2]->x, q[3]->x), cx);
    const __m128 dy = _mm_sub_ps(_mm_setr_ps(q[0]->y, q[1]->y, q[2]->y, q[3]->y), cy);
    const __m128 dz = _mm_sub_ps(_mm_setr_ps(q[0]->z, q[1]->z, q[2]->z, q[3]->z), cz);
    const __m128 d = _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz)));
    __m128 take = _mm_and_ps(_mm_cmple_ps(d, r), _mm_cmpgt_ps(d, zero));
    if (_mm_movemask_ps(take) == 0) return;
    const __m128 s = _mm_div_ps(r, d);
    const __m128 ox = _mm_mul_ps(s, dx), oy = _mm_mul_ps(s, dy), oz = _mm_mul_ps(s, dz);
    const __m128 length = _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(ox, ox), _mm_mul_ps(oy, oy)), _mm_mul_ps(oz, oz)));
    const __m128 px = _mm_add_ps(cx, ox), py = _mm_add_ps(cy, oy), pz = _mm_add_ps(cz, oz);
    take = _mm_and_ps(take, _mm_and_ps(_mm_cmpgt_ps(length, zero), finite(length)));
    take = _mm_and_ps(take, _mm_and_ps(finite(px), _mm_and_ps(finite(py), finite(pz))));
    const int lanes = _mm_movemask_ps(take);
    if (lanes == 0) return;
    alignas(16) float out[6][4];
    _mm_store_ps(out[0], px);
    _mm_store_ps(out[1], py);
    _mm_store_ps(out[2], pz);
    _mm_store_ps(out[3], _mm_div_ps(ox, length));
    _mm_store_ps(out[4], _mm_div_ps(oy, length));
    _mm_store_ps(out[5], _mm_div_ps(oz, length));
    for (int lane = 0; lane < 4; ++lane) {
      if (!(lanes >> lane & 1)) continue;
      MeshVertex& v = *q[lane];
      v.x = out[0][lane], v.y = out[1][lane], v.z = out[2][lane];
      v.nx = out[3][lane], v.ny = out[4][lane], v.nz = out[5][lane];
      at[moved++] = index[lane];
    }
  };
  std::size_t k = 0;
  for (; k + 4 <= count; k += 4) {
    const std::int32_t index[4] = {at[k], at[k + 1], at[k + 2], at[k + 3]};
    MeshVertex* const q[4] = {&vertices[index[0]], &vertices[index[1]], &vertices[index[2]], &vertices[index[3]]};
    pushFour(q, index);
  }
  if (k < count) {  // the last few, with lanes on a vertex no ball takes
    MeshVertex none{};
    none.x = none.y = none.z = NAN;
    std::int32_t index[4] = {-1, -1, -1, -1};
    MeshVertex* q[4] = {&none, &none, &none, &none};
    for (std::size_t lane = 0; k + lane < count; ++lane) index[lane] = at[k + lane], q[lane] = &vertices[index[lane]];
    pushFour(q, index);
  }
  return moved;
}
#endif

// Paints one vertex within reach; true when it did.
bool paintVertex(MeshVertex& v, MeshPoint c, float radius, Colour k) {
  float dx = v.x - c.x, dy = v.y - c.y, dz = v.z - c.z;
  if (beyondReach(dx, dy, dz, radius)) return false;
  float d = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (!(d <= radius)) return false;
  float f = d > 0.0f ? d / radius : 0.0f;  // a vertex at the centre is black, even for radius 0
  v.red = unitClamp(k.red * f);
  v.green = unitClamp(k.green * f);
  v.blue = unitClamp(k.blue * f);
  return true;
}

// As many cells as vertices: a sphere's surface crosses a few per cent of them, which puts tens
// of vertices in each cell it meets; finer cells cost more to look into than they save.
constexpr double cellsPerVertex = 0.125;
constexpr std::int64_t maxCells = std::int64_t{1} << 22;
constexpr std::int32_t maxCellsPerAxis = 1024;
// A ball on a mesh this small visits every vertex sooner than it would find its cells.
constexpr std::int32_t smallestIndexedMesh = 256;
// A run of a push stroke ends after this many balls, or before a ball that reaches farther than
// this share of the first one's radius beyond the first ball: the working set grows with that.
constexpr std::size_t maxRunBalls = 64;
constexpr double maxRunMarginShare = 1.0 / 16;
// The run's reach is widened for the push's own roundings: its float distance is within a few
// units in the last place of the true one, and squares too small for a normal float lose more.
constexpr double reachRoundingShare = 1e-4;
constexpr double reachRoundingFloor = 1e-12;
// Entries past the working set, so that it is always read in whole SIMD groups.
constexpr std::size_t runPadding = 8;

// A ball with a finite centre and a finite, positive radius: its reach (runReach) bounds the
// vertices it can move. Any other ball goes through the push with every vertex it gathered.
bool ordinarySize(BrushPoint b) {
  return std::isfinite(b.x) && std::isfinite(b.y) && std::isfinite(b.z) && std::isfinite(b.radius) && b.radius > 0.0f;
}

// How far from an ordinary ball's centre a vertex it moves can be, given how far beyond it the
// later balls of its run reach.
double runReach(float radius, double margin) {
  return (static_cast<double>(radius) + margin) * (1.0 + reachRoundingShare) + reachRoundingFloor;
}

}  // namespace

MeshBrush::MeshBrush(SphereMesh& target, std::int64_t visits) : mesh(&target), visitsLeft(visits) {
  const std::size_t count = static_cast<std::size_t>(std::max(mesh->vertexCount, 0));
  try {
    next.resize(count);
    prev.resize(count);
    cellAt.resize(count);
    candidates.reserve(count);
  } catch (const std::bad_alloc&) {
    throw GameError{};
  }
  indexed = count > smallestIndexedMesh;
  if (indexed && spend(static_cast<std::int64_t>(count) * visitsPerIndexedVertex)) rebuild();
}

bool MeshBrush::spend(std::int64_t visits) {
  if (cut) return false;
  if (visits > visitsLeft) {
    cut = true;
    return false;
  }
  visitsLeft -= visits;
  return true;
}

// Sizes the grid to the box of the current positions with a quarter of its largest side to spare
// on every side, so that a mesh may grow a little before vertices fall outside it.
void MeshBrush::rebuild() {
  const std::int32_t count = mesh->vertexCount;
  float low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
  for (std::int32_t i = 0; i < count; ++i) {
    const MeshVertex& v = mesh->vertices[static_cast<std::size_t>(i)];
    const float p[3] = {v.x, v.y, v.z};
    for (int a = 0; a < 3; ++a) {
      low[a] = std::min(low[a], p[a]);
      high[a] = std::max(high[a], p[a]);
    }
  }
  double side[3], largest = 0, magnitude = 0;
  for (int a = 0; a < 3; ++a) {
    side[a] = count > 0 ? static_cast<double>(high[a]) - low[a] : 0.0;
    largest = std::max(largest, side[a]);
    if (count > 0) magnitude = std::max({magnitude, std::fabs(static_cast<double>(low[a])), std::fabs(static_cast<double>(high[a]))});
  }
  const double spare = 0.25 * largest + 1e-6 * (1.0 + magnitude);
  double volume = 1;
  for (int a = 0; a < 3; ++a) {
    side[a] += 2 * spare;
    volume *= side[a];
  }
  const double target = std::clamp(cellsPerVertex * count, 1.0, static_cast<double>(maxCells));
  const double cellSide = std::cbrt(volume / target);
  std::int64_t total = 1;
  if (std::isfinite(volume) && cellSide > 0 && std::isfinite(cellSide)) {
    cellsPerUnit = 1.0 / cellSide;
    for (int a = 0; a < 3; ++a) {
      origin[a] = static_cast<double>(low[a]) - spare;
      cells[a] = static_cast<std::int32_t>(std::clamp(std::ceil(side[a] * cellsPerUnit), 1.0, double{maxCellsPerAxis}));
      total *= cells[a];
    }
  } else {  // one cell holding everything: slow, still exact
    cellsPerUnit = 0;
    for (int a = 0; a < 3; ++a) origin[a] = 0, cells[a] = 1;
  }
  try {
    head.assign(static_cast<std::size_t>(total), -1);
  } catch (const std::bad_alloc&) {
    throw GameError{};
  }
  outside = 0;
  for (std::int32_t i = 0; i < count; ++i) link(i, cellOf(mesh->vertices[static_cast<std::size_t>(i)]));
}

std::int32_t MeshBrush::axisCell(double position, int axis) const {
  const double t = (position - origin[axis]) * cellsPerUnit;
  if (!(t >= 0)) return 0;
  if (t >= cells[axis]) return cells[axis] - 1;
  return static_cast<std::int32_t>(t);
}

std::int32_t MeshBrush::cellOf(const MeshVertex& v) {
  const double p[3] = {v.x, v.y, v.z};
  for (int a = 0; a < 3; ++a) {
    const double t = (p[a] - origin[a]) * cellsPerUnit;
    if (!(t >= 0) || t >= cells[a]) ++outside;
  }
  return (axisCell(v.z, 2) * cells[1] + axisCell(v.y, 1)) * cells[0] + axisCell(v.x, 0);
}

void MeshBrush::link(std::int32_t vertex, std::int32_t cell) {
  const std::size_t i = static_cast<std::size_t>(vertex);
  std::int32_t& first = head[static_cast<std::size_t>(cell)];
  next[i] = first;
  prev[i] = -1;
  if (first >= 0) prev[static_cast<std::size_t>(first)] = vertex;
  first = vertex;
  cellAt[i] = cell;
}

void MeshBrush::follow(std::int32_t vertex) {
  const std::int32_t cell = cellOf(mesh->vertices[static_cast<std::size_t>(vertex)]);
  if (cell == cellAt[static_cast<std::size_t>(vertex)]) return;
  unlink(vertex);
  link(vertex, cell);
}

void MeshBrush::unlink(std::int32_t vertex) {
  const std::size_t i = static_cast<std::size_t>(vertex);
  if (prev[i] >= 0)
    next[static_cast<std::size_t>(prev[i])] = next[i];
  else
    head[static_cast<std::size_t>(cellAt[i])] = next[i];
  if (next[i] >= 0) prev[static_cast<std::size_t>(next[i])] = prev[i];
}

// A vertex the ball takes lies within `radius` of its centre along every axis, give or take a
// rounding (see beyondReach); the box searched adds a hundredth of the radius and a little more,
// and the cells a position falls in never decrease as it grows, so no vertex in reach is missed.
bool MeshBrush::gather(MeshPoint c, float radius) {
  candidates.clear();
  everyVertex = false;
  const std::int32_t count = mesh->vertexCount;
  if (cut || count <= 0 || !(radius >= 0.0f)) return false;  // no distance is below a negative or NaN radius
  if (!indexed) {
    everyVertex = true;
    return spend(count);
  }
  if (outside > count / 8) {
    if (!spend(std::int64_t{count} * visitsPerIndexedVertex)) return false;
    rebuild();
  }
  const double reach = static_cast<double>(radius) * 1.01 + 1e-14;
  const double centre[3] = {c.x, c.y, c.z};
  std::int32_t first[3], last[3];
  std::int64_t range = 1;
  for (int a = 0; a < 3; ++a) {
    const double low = centre[a] - reach, high = centre[a] + reach;
    if (!std::isfinite(low) || !std::isfinite(high)) range = count;  // a ball without a box
    first[a] = axisCell(low, a);
    last[a] = axisCell(high, a);
    if (range < count) range *= last[a] - first[a] + 1;
  }
  if (range >= count) {
    everyVertex = true;
    return spend(count);
  }
  // Cells wholly beyond reach are passed over; a border cell reaches out without end, since it
  // keeps the vertices past the box.
  const double cellSide = cellsPerUnit > 0 ? 1.0 / cellsPerUnit : 0.0, slack = cellSide * 1e-6;
  auto gap = [&](int a, std::int32_t i) {
    const double low = i == 0 ? -INFINITY : origin[a] + i * cellSide - slack;
    const double high = i == cells[a] - 1 ? INFINITY : origin[a] + (i + 1) * cellSide + slack;
    const double g = centre[a] < low ? low - centre[a] : (centre[a] > high ? centre[a] - high : 0.0);
    return g * g;
  };
  const double reach2 = reach * reach;
  for (std::int32_t z = first[2]; z <= last[2]; ++z) {
    const double gz = gap(2, z);
    if (gz > reach2) continue;
    for (std::int32_t y = first[1]; y <= last[1]; ++y) {
      const double gzy = gz + gap(1, y);
      if (gzy > reach2) continue;
      const std::size_t row = (static_cast<std::size_t>(z) * static_cast<std::size_t>(cells[1]) + static_cast<std::size_t>(y)) *
                              static_cast<std::size_t>(cells[0]);
      for (std::int32_t x = first[0]; x <= last[0]; ++x) {
        if (gzy + gap(0, x) > reach2) continue;
        for (std::int32_t i = head[row + static_cast<std::size_t>(x)]; i >= 0; i = next[static_cast<std::size_t>(i)])
          candidates.push_back(i);
      }
    }
  }
  return spend(range + static_cast<std::int64_t>(candidates.size())) && !candidates.empty();
}

// A ball on its own pushes the vertices it gathered where they lie, or, without SSE2, through a
// working set of those within its reach, as a run's balls do. The candidates were all collected
// before any moved: a vertex moved into a cell not yet searched is not pushed twice by the same
// ball.
void MeshBrush::push(MeshPoint c, float radius) {
#if defined(__SSE2__)
  if (!gather(c, radius)) return;
  if (everyVertex) {
    candidates.resize(static_cast<std::size_t>(mesh->vertexCount));
    for (std::int32_t i = 0; i < mesh->vertexCount; ++i) candidates[static_cast<std::size_t>(i)] = i;
  }
  // The moves come first, the grid follows: a vertex's move and its new cell would otherwise wait
  // on each other, vertex after vertex.
  const std::size_t moved = pushScattered(mesh->vertices.data(), candidates.data(), candidates.size(), c, radius);
  for (std::size_t k = 0; indexed && k < moved; ++k) follow(candidates[k]);
  spendAfter(static_cast<std::int64_t>(moved), visitsPerMove);
#else
  const double reach = ordinarySize({c.x, c.y, c.z, radius}) ? runReach(radius, 0.0) : INFINITY;
  if (!collectRun(c, radius, reach)) return;
  pushThroughRun(c, radius);
  writeBackRun();
#endif
}

void MeshBrush::paint(MeshPoint c, float radius, Colour k) {
  if (!gather(c, radius)) return;
  std::int64_t painted = 0;
  if (everyVertex)
    for (std::int32_t i = 0; i < mesh->vertexCount; ++i)
      painted += paintVertex(mesh->vertices[static_cast<std::size_t>(i)], c, radius, k);
  else
    for (std::int32_t i : candidates) painted += paintVertex(mesh->vertices[static_cast<std::size_t>(i)], c, radius, k);
  spendAfter(painted, visitsPerPaint);
}

// What a ball changes is known only once it is applied: it is charged afterwards, and a ball that
// overdraws the bound is the last.
void MeshBrush::spendAfter(std::int64_t changed, std::int64_t visitsEach) {
  visitsLeft -= changed * visitsEach;
  if (visitsLeft < 0) {
    visitsLeft = 0;
    cut = true;
  }
}

void MeshBrush::pushStroke(BrushPoint from, BrushPoint to) {
  float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z, dr = to.radius - from.radius;
  try {
    strokeBalls.clear();
    strokeBalls.reserve(maxStrokeSteps);
  } catch (const std::bad_alloc&) {
    throw GameError{};
  }
  forEachStrokeStep(from, to, mesh->detail, [&](float t) {
    strokeBalls.push_back({from.x + t * dx, from.y + t * dy, from.z + t * dz, from.radius + t * dr});
  });
  for (std::size_t k = 0; k < strokeBalls.size() && !cut;) k = pushRun(k);
}

// A ball of the run takes a vertex only within its radius of its centre, that is within the first
// ball's radius plus the run's margin of the first centre, and a vertex no ball of the run takes
// does not move: the working set holds every vertex the run can move, whatever the order of moves.
std::size_t MeshBrush::pushRun(std::size_t first) {
  const BrushPoint e = strokeBalls[first];
  const bool usable = ordinarySize(e);
  const double marginLimit = usable ? e.radius * maxRunMarginShare : 0.0;
  double margin = 0;
  std::size_t end = first + 1;
  for (; usable && end < strokeBalls.size() && end - first < maxRunBalls; ++end) {
    const BrushPoint& b = strokeBalls[end];
    const double dx = static_cast<double>(b.x) - e.x, dy = static_cast<double>(b.y) - e.y,
                 dz = static_cast<double>(b.z) - e.z;
    const double reachBeyond = static_cast<double>(b.radius) - e.radius + std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(reachBeyond <= marginLimit)) break;  // NaN too
    margin = std::max(margin, reachBeyond);
  }
  if (end == first + 1) {  // a ball on its own goes through the grid
    push({e.x, e.y, e.z}, e.radius);
    return end;
  }
  const double reach = runReach(e.radius, margin);
  if (!collectRun({e.x, e.y, e.z}, static_cast<float>(reach), reach)) return end;  // nothing in reach, or the bound is spent
  for (std::size_t j = first; j < end; ++j) {
    if (!spend(static_cast<std::int64_t>(runCount))) break;
    const BrushPoint& b = strokeBalls[j];
    pushThroughRun({b.x, b.y, b.z}, b.radius);
  }
  writeBackRun();
  return end;
}

bool MeshBrush::collectRun(MeshPoint c, float radius, double reach) {
  runCount = 0;
  if (!gather(c, radius)) return false;
  const std::size_t count = static_cast<std::size_t>(mesh->vertexCount);
  if (runVertex.size() < count + runPadding) {
    try {
      for (auto* a : {&runX, &runY, &runZ, &runOffsetX, &runOffsetY, &runOffsetZ}) a->resize(count + runPadding);
      runMoved.resize(count + runPadding);
      runVertex.resize(count + runPadding);
    } catch (const std::bad_alloc&) {
      throw GameError{};
    }
  }
  const double reach2 = reach * reach;
  auto take = [&](std::int32_t i) {
    const MeshVertex& v = mesh->vertices[static_cast<std::size_t>(i)];
    const double dx = static_cast<double>(v.x) - c.x, dy = static_cast<double>(v.y) - c.y,
                 dz = static_cast<double>(v.z) - c.z;
    if (reach < INFINITY && !(dx * dx + dy * dy + dz * dz <= reach2)) return;
    runX[runCount] = v.x;
    runY[runCount] = v.y;
    runZ[runCount] = v.z;
    runMoved[runCount] = 0;
    runVertex[runCount++] = i;
  };
  if (everyVertex)
    for (std::int32_t i = 0; i < mesh->vertexCount; ++i) take(i);
  else
    for (std::int32_t i : candidates) take(i);
  // Whole groups: the padding's positions are NaN, which no ball takes.
  for (std::size_t k = runCount; k < runCount + runPadding; ++k) {
    runX[k] = runY[k] = runZ[k] = NAN;
    runMoved[k] = 0;
  }
  return runCount > 0;
}

void MeshBrush::pushThroughRun(MeshPoint c, float radius) {
  pushLanes({runX.data(), runY.data(), runZ.data(), runOffsetX.data(), runOffsetY.data(), runOffsetZ.data(), runMoved.data(),
             runCount},
            c, radius);
}

void MeshBrush::writeBackRun() {
  std::int64_t written = 0;
  for (std::size_t k = 0; k < runCount; ++k) {
    if (!runMoved[k]) continue;
    const std::int32_t i = runVertex[k];
    MeshVertex& v = mesh->vertices[static_cast<std::size_t>(i)];
    const float ox = runOffsetX[k], oy = runOffsetY[k], oz = runOffsetZ[k];
    const float length = std::sqrt(ox * ox + oy * oy + oz * oz);
    v.x = runX[k];
    v.y = runY[k];
    v.z = runZ[k];
    v.nx = ox / length;
    v.ny = oy / length;
    v.nz = oz / length;
    ++written;
    if (indexed) follow(i);
  }
  runCount = 0;
  spendAfter(written, visitsPerMove);
}

void MeshBrush::paintStroke(BrushPoint from, Colour k1, BrushPoint to, Colour k2) {
  float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z, dr = to.radius - from.radius;
  forEachStrokeStep(from, to, mesh->detail, [&](float t) {
    Colour k{k1.red + t * (k2.red - k1.red), k1.green + t * (k2.green - k1.green), k1.blue + t * (k2.blue - k1.blue),
             k1.alpha + t * (k2.alpha - k1.alpha)};
    paint({from.x + t * dx, from.y + t * dy, from.z + t * dz}, from.radius + t * dr, k);
  });
}

void SphereMesh::push(MeshPoint c, float radius) { MeshBrush(*this).push(c, radius); }

void SphereMesh::paint(MeshPoint c, float radius, Colour k) { MeshBrush(*this).paint(c, radius, k); }

void SphereMesh::pushStroke(BrushPoint from, BrushPoint to) { MeshBrush(*this).pushStroke(from, to); }

void SphereMesh::paintStroke(BrushPoint from, Colour k1, BrushPoint to, Colour k2) {
  MeshBrush(*this).paintStroke(from, k1, to, k2);
}
