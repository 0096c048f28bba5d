// The solid sphere GLUT draws, as plain arrays built once per (slices, stacks) and kept.
#pragma once

#include <cstdint>
#include <vector>

// Finer spheres than this are drawn at this many slices or stacks: about 8 MB of arrays at
// 512 × 512, where the game asks for at most 360.
inline constexpr int maxSphereDetail = 512;

// freeglut 3.4's sphere: the north pole, then stacks - 1 rings of slices vertices from north to
// south (each ring turning clockwise seen from above, starting on +x), then the south pole. The
// arrays are those of freeglut's fghGenerateSphere, float for float, with 32-bit indices where
// freeglut's 16-bit ones wrap beyond about 256 × 256.
struct SphereGeometry {
  int slices = 0;                       // 0 when there is nothing to draw
  int stacks = 0;
  std::vector<float> normals;           // x, y, z per vertex: the unit sphere's points, too
  std::vector<std::uint32_t> strips;    // stacks triangle strips of stripLength() indices, north first
  int stripLength() const { return (slices + 1) * 2; }
  int vertexCount() const { return static_cast<int>(normals.size() / 3); }
};

// Fills geometry for a sphere of slices × stacks, reusing its storage. As in freeglut, fewer than
// 1 slice or 2 stacks leaves it empty; more than maxSphereDetail is brought down to it.
void buildSphereGeometry(int slices, int stacks, SphereGeometry& geometry);

// positions = normals × radius in float, the product freeglut stores (its poles are ±radius).
void scaleSphere(const SphereGeometry& geometry, float radius, std::vector<float>& positions);

// The spheres of the last two (slices, stacks) pairs asked for, each with its positions for the
// last radius asked: the bubble or blast and the stars alternate without building anything.
class SphereCache {
 public:
  struct Entry {
    SphereGeometry geometry;
    std::vector<float> positions;       // x, y, z per vertex, for radius
    float radius = 0.0f;
    bool scaled = false;                // positions hold geometry × radius
    int askedSlices = -1, askedStacks = -1;  // the pair as asked, before any clamping
    unsigned lastUse = 0;
  };
  // The sphere to draw, or nullptr when there is none (too few slices or stacks, or a radius
  // that is not finite). The entry stays valid until the next call.
  const Entry* find(int slices, int stacks, float radius);

 private:
  Entry entries[2];
  unsigned useCount = 0;  // stamps lastUse
};
