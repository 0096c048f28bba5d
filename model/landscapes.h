// The landscapes: two sculpted mountain shapes placed as twenty instances around the origin, and
// the half-extents of the square the game tests the ship against.
#pragma once

#include <array>
#include <span>

#include "model/mesh.h"

struct LandscapeInstance {
  SphereMesh* mesh;  // one of landscapeMeshes
  float x, y, z;     // world position; whole numbers -100..99 on x and z, y = 6
  float angle;       // degrees about +y, whole numbers 0..359
};

inline constexpr int landscapeCount = 20;
inline constexpr float landscapeHeight = 6.0f;  // world y of every mesh origin

extern std::array<SphereMesh*, 2> landscapeMeshes;                        // "mountain/_mountain4", "_mountain5"
extern std::array<LandscapeInstance, landscapeCount> landscapeInstances;  // drawn and tested in this order
extern float landscapeHalfX;  // half of mountain 0's largest |x|
extern float landscapeHalfZ;  // half of mountain 0's largest |z|
extern std::array<float, 2> landscapeRadii;  // each mesh's largest vertex distance from its origin

// Builds both mountains at the sphere detail given, measures the half-extents and places the
// instances with the shared random sequence. Throws a GameError when memory runs out.
void loadLandscapes(int detail);

// Half of the largest |x| and |z| among the mesh's vertices.
void measureHalfExtents(const SphereMesh& mesh, float& halfX, float& halfZ);

// The largest distance of a vertex of the mesh from its origin: an instance, only moved and
// turned about y, lies within this distance of its position.
float meshBoundingRadius(const SphereMesh& mesh);

// Places the instances: for each, x, z, angle and the mesh, drawn in that order from nextRandom().
void placeLandscapes(std::span<LandscapeInstance> instances, const std::array<SphereMesh*, 2>& meshes);

// A mountain: a sphere of the given detail with the recording at `path` replayed onto it (a
// recording that cannot be opened leaves the plain sphere).
SphereMesh* buildLandscapeMesh(const char* path, int detail);
