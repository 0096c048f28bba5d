// The brushes of a replay: push and paint balls that visit only the vertices near them, found
// through a uniform grid over the mesh's current positions that follows every vertex a push moves.
// A ball leaves each vertex exactly as a visit of every vertex would: a vertex's new position,
// normal or colour depends on nothing but its own old values and the ball.
//
// A push stroke's balls lie close together, and a push leaves no vertex inside its ball: the next
// ball can only take vertices near the last one's surface. So a stroke is pushed in runs of
// balls: the vertices that any ball of a run may reach are copied once into a compact working set,
// every ball of the run pushes through that set, and the moved vertices go back into the mesh and
// the grid when the run ends.
#pragma once

#include <cstdint>
#include <vector>

#include "model/mesh.h"

class MeshBrush {
 public:
  // The work of a brush is counted in visits, each about the time of one look at a vertex:
  // a vertex examined, or a grid cell looked into, counts one; these count more.
  static constexpr std::int64_t visitsPerMove = 20;           // a vertex a ball moved put back into the grid
  static constexpr std::int64_t visitsPerPaint = 10;          // a vertex painted
  static constexpr std::int64_t visitsPerIndexedVertex = 24;  // a vertex put into a grid built anew

  // Indexes the mesh as it stands, which takes visitsPerIndexedVertex of the `visits` per vertex;
  // while the brush lives, only the brush may move its vertices. Throws a GameError when memory
  // runs out.
  explicit MeshBrush(SphereMesh& mesh, std::int64_t visits = INT64_MAX);

  // The operations of SphereMesh, each ball visiting only the vertices it may reach. A ball is
  // applied whole or not at all; once the bound below is spent every later ball is skipped
  // (exhausted() tells).
  void push(MeshPoint centre, float radius);
  void paint(MeshPoint centre, float radius, Colour colour);
  void pushStroke(BrushPoint from, BrushPoint to);
  void paintStroke(BrushPoint from, Colour fromColour, BrushPoint to, Colour toColour);

  // The work bound, in visits (above). A single ball's moved vertices go back into the grid at
  // once; a stroke's run looks at every vertex of its working set for each of its balls and puts
  // the vertices it moved back once, at its end. A ball whose looks alone would pass the bound is
  // skipped; one whose changes pass it is the last.
  void limitVisits(std::int64_t visits) { visitsLeft = visits < visitsLeft ? visits : visitsLeft; }
  std::int64_t visitsRemaining() const { return visitsLeft; }
  bool exhausted() const { return cut; }

 private:
  // Collects the vertices a ball of `radius` about `centre` may reach into `candidates`, or all of
  // them; false when the ball reaches none or the work bound stops it.
  bool gather(MeshPoint centre, float radius);
  bool spend(std::int64_t visits);
  void spendAfter(std::int64_t changed, std::int64_t visitsEach);
  void rebuild();
  // One run of a push stroke: the balls strokeBalls[first, end) through one working set.
  std::size_t pushRun(std::size_t first);
  // Gathers for a ball of `radius` and copies into the working set the vertices gathered within
  // `reach` of the centre, every one where `reach` is infinite; false when there is none.
  bool collectRun(MeshPoint centre, float radius, double reach);
  void pushThroughRun(MeshPoint centre, float radius);
  void writeBackRun();
  std::int32_t axisCell(double position, int axis) const;  // clamped into the grid
  std::int32_t cellOf(const MeshVertex& v);                // counts the vertex if it is past the box
  void link(std::int32_t vertex, std::int32_t cell);
  void unlink(std::int32_t vertex);
  void follow(std::int32_t vertex);  // into the cell of its current position

  SphereMesh* mesh;
  double origin[3] = {0, 0, 0};
  double cellsPerUnit = 1;  // cells are cubes
  std::int32_t cells[3] = {1, 1, 1};
  std::int32_t outside = 0;  // vertices moved past the grid's box, kept in its border cells
  std::vector<std::int32_t> head;    // first vertex of each cell, -1 for none
  std::vector<std::int32_t> next;    // per vertex: the next one in its cell
  std::vector<std::int32_t> prev;    // per vertex: the previous one, -1 at the head
  std::vector<std::int32_t> cellAt;  // per vertex: its cell
  std::vector<std::int32_t> candidates;
  // The working set of a stroke's run, one entry per vertex the run may reach, padded to a whole
  // number of SIMD groups with entries no ball takes: positions, the offset from the centre of
  // the last ball that moved each one (its normal is that offset's direction, set at the end),
  // and whether any ball of the run moved it (all bits set when it did).
  std::vector<float> runX, runY, runZ, runOffsetX, runOffsetY, runOffsetZ;
  std::vector<std::uint32_t> runMoved;
  std::vector<std::int32_t> runVertex;
  std::size_t runCount = 0;
  std::vector<BrushPoint> strokeBalls;  // the balls of the stroke being pushed
  bool indexed = false;      // a small mesh has no grid: every ball visits every vertex
  bool everyVertex = false;  // the last gather chose all vertices instead of candidates
  std::int64_t visitsLeft;
  bool cut = false;
};
