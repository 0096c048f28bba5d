// The push of one ball through a stroke run's working set (model/mesh_brush.h): the positions
// and offsets of the run's vertices as separate arrays, pushed eight or four at a time. Internal
// to the brushes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/mesh.h"

struct BrushLanes {
  float *x, *y, *z;     // positions
  float *ox, *oy, *oz;  // offset from the centre of the last ball that moved the vertex
  std::uint32_t* moved;  // all bits set once a ball of the run has moved the vertex
  std::size_t count;     // entries in use; the arrays hold whole groups of eight past it, NaN
};

// The instruction sets the push can take; each gives the same bits.
enum class LaneSet { scalar, sse2, avx };
LaneSet widestLaneSet();  // the widest this processor has

// Moves every vertex of the lanes within `radius` of the centre out onto the ball's surface as
// pushVertex does, bit for bit, and keeps its offset from the centre for its normal. A lane set
// the processor lacks must not be asked for.
void pushLanes(const BrushLanes& lanes, MeshPoint centre, float radius, LaneSet set = widestLaneSet());
