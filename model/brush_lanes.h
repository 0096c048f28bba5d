// The push of one ball through a working set (model/mesh_brush.h): the positions and offsets of
// the vertices as separate arrays, pushed a SIMD group at a time. Internal to the brushes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/mesh.h"

struct BrushLanes {
  float *x, *y, *z;     // positions
  float *ox, *oy, *oz;  // offset from the centre of the last ball that moved the vertex
  std::uint32_t* moved;  // all bits set once a ball has moved the vertex
  std::size_t count;     // entries in use; the arrays hold whole groups of eight past it, NaN
};

// How the push is built; each gives the same bits. `tested` is the baseline build making every
// test for every ball, the reference the others match; `baseline` leaves out the tests an
// ordinary ball always passes; `avx2` does that eight lanes at a time.
enum class LaneSet { tested, baseline, avx2 };
LaneSet widestLaneSet();  // the fastest this processor has

// Moves every vertex of the lanes within `radius` of the centre out onto the ball's surface and
// keeps its offset from the centre, whose direction is its normal. A lane set the processor lacks
// must not be asked for.
void pushLanes(const BrushLanes& lanes, MeshPoint centre, float radius, LaneSet set = widestLaneSet());
