// Sphere meshes: the vertex layout handed to GL as it is, and the brush operations that reshape
// and colour a generated sphere. Nothing here calls GL; drawing lives in render/model_draw.h.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// One vertex in GL_C4F_N3F_V3F order: colour, normal, position. The array goes to GL unconverted.
struct MeshVertex {
  float red, green, blue, alpha;  // 0..1
  float nx, ny, nz;               // unit length, or 0 before generation
  float x, y, z;                  // in the mesh's own frame
};
static_assert(sizeof(MeshVertex) == 40, "MeshVertex must match the 40-byte GL_C4F_N3F_V3F stride");

struct MeshPoint {
  float x, y, z;
};

// A brush position with its reach, in the mesh's own frame.
struct BrushPoint {
  float x, y, z;
  float radius;
};

struct Colour {
  float red, green, blue, alpha;
};

// Where a child part's origin hangs, in the parent mesh's frame; w is kept and unused.
struct AttachmentPoint {
  float x, y, z, w;
};
static_assert(sizeof(AttachmentPoint) == 16);

// Pushes at most this many balls per stroke; a stroke that would need more is cut there, which
// only matters for strokes far shorter than a mesh edge.
inline constexpr int maxStrokeSteps = 65536;

class SphereMesh {
 public:
  // GL's default is 0; 16 gives a moderate highlight wherever a specular material is set.
  static constexpr float initialShininess = 16.0f;

  SphereMesh() = default;
  virtual ~SphereMesh() = default;

  // A closed unit sphere of detail n about the origin (n below 2 is taken as 2). Throws a
  // GameError when memory runs out.
  SphereMesh& generate(int n);

  // Moves every vertex within `radius` of the centre straight out onto the ball's surface; its
  // normal becomes the direction from the centre. A vertex at the centre itself stays as it is.
  void push(MeshPoint centre, float radius);
  // Sets the colour of every vertex within `radius` to `colour` times its distance over the
  // radius (black at the centre, full at the rim); alpha stays.
  void paint(MeshPoint centre, float radius, Colour colour);
  // Pushes along the segment, |to - from|^2 / (4 detail) apart; ends that coincide push once.
  void pushStroke(BrushPoint from, BrushPoint to);
  // Paints along the segment like pushStroke, the colour blended from `fromColour` to `toColour`.
  void paintStroke(BrushPoint from, Colour fromColour, BrushPoint to, Colour toColour);

  MeshPoint pivot() const { return pivotPoint; }
  void setPivot(float x, float y, float z) { pivotPoint = {x, y, z}; }

  // Vertex and index capacities that generate(n) allocates, from the ring-size estimate.
  static std::int64_t vertexCapacity(int n);
  static std::int64_t indexCapacity(int n);

  std::vector<MeshVertex> vertices;     // the first vertexCount are in use
  std::vector<std::uint32_t> indices;   // three per triangle; the first indexCount are drawn
  std::int32_t vertexCount = 0;
  std::int32_t indexCount = 0;
  std::int32_t detail = 0;              // the n of generate; strokes divide by it
  float shininess = initialShininess;   // material shininess while the mesh is drawn, 0..128
  MeshPoint pivotPoint{0.0f, 0.0f, 0.0f};  // a model part is drawn shifted by minus this
};

// Calls apply(t) for t = 0, step, 2 step, ... while t <= 1, t held in single precision, where
// step = |to - from| / detail * 0.25: the walk of both strokes. Ends that coincide give t = 0
// once; at most maxStrokeSteps values are given.
template <class Apply>
void forEachStrokeStep(BrushPoint from, BrushPoint to, int detail, Apply&& apply) {
  float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
  float length = std::sqrt(dx * dx + dy * dy + dz * dz);
  float step = detail > 0 ? length / static_cast<float>(detail) * 0.25f : 0.0f;
  float t = 0.0f;
  for (int count = 0; count < maxStrokeSteps && t <= 1.0f; ++count) {
    apply(t);
    float next = t + step;
    if (!(next > t)) break;  // a zero, NaN or vanishing step: the walk would never move on
    t = next;
  }
}
