// The brushes of a replay: push and paint balls that visit only the vertices near them, found
// through a uniform grid over the mesh's current positions that follows every vertex a push moves.
// A ball leaves each vertex exactly as a visit of every vertex would: a vertex's new position,
// normal or colour depends on nothing but its own old values and the ball.
#pragma once

#include <cstdint>
#include <vector>

#include "model/mesh.h"

class MeshBrush {
 public:
  static constexpr std::int64_t visitsPerChange = 8;

  // Indexes the mesh as it stands, which takes as many of the `visits` as it has vertices; while
  // the brush lives, only the brush may move its vertices. Throws the integer 1 when memory runs out.
  explicit MeshBrush(SphereMesh& mesh, std::int64_t visits = INT64_MAX);

  // The operations of SphereMesh, each ball visiting only the vertices it may reach. A ball is
  // applied whole or not at all; once the bound below is spent every later ball is skipped
  // (exhausted() tells).
  void push(MeshPoint centre, float radius);
  void paint(MeshPoint centre, float radius, Colour colour);
  void pushStroke(BrushPoint from, BrushPoint to);
  void paintStroke(BrushPoint from, Colour fromColour, BrushPoint to, Colour toColour);

  // The work bound, in visits: a vertex examined or a grid cell looked into counts one, a vertex
  // a ball moves or paints visitsPerChange more (its square root and quotients cost about that
  // many looks), a rebuild of the grid as many as the mesh has vertices. A ball whose looks alone
  // would pass the bound is skipped; one whose changes pass it is the last.
  void limitVisits(std::int64_t visits) { visitsLeft = visits < visitsLeft ? visits : visitsLeft; }
  std::int64_t visitsRemaining() const { return visitsLeft; }
  bool exhausted() const { return cut; }

 private:
  // Collects the vertices a ball of `radius` about `centre` may reach into `candidates`, or all of
  // them; false when the ball reaches none or the work bound stops it.
  bool gather(MeshPoint centre, float radius);
  bool spend(std::int64_t visits);
  void spendAfter(std::int64_t changed);
  void rebuild();
  std::int32_t axisCell(double position, int axis) const;  // clamped into the grid
  std::int32_t cellOf(const MeshVertex& v);                // counts the vertex if it is past the box
  void link(std::int32_t vertex, std::int32_t cell);
  void unlink(std::int32_t vertex);

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
  bool indexed = false;      // a small mesh has no grid: every ball visits every vertex
  bool everyVertex = false;  // the last gather chose all vertices instead of candidates
  std::int64_t visitsLeft;
  bool cut = false;
};
