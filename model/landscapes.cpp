// Loading and placing the landscapes.
#include "model/landscapes.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <new>

#include "app/console.h"
#include "app/random.h"
#include "app/startup.h"
#include "model/sculpt.h"

std::array<SphereMesh*, 2> landscapeMeshes{};
std::array<LandscapeInstance, landscapeCount> landscapeInstances{};
float landscapeHalfX = 0.0f;
float landscapeHalfZ = 0.0f;
std::array<float, 2> landscapeRadii{};

float meshBoundingRadius(const SphereMesh& mesh) {
  float largest = 0.0f;
  for (std::int32_t i = 0; i < mesh.vertexCount; ++i) {
    const MeshVertex& v = mesh.vertices[static_cast<std::size_t>(i)];
    largest = std::fmax(largest, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
  }
  return largest;
}

void measureHalfExtents(const SphereMesh& mesh, float& halfX, float& halfZ) {
  float largestX = 0.0f, largestZ = 0.0f;
  for (std::int32_t i = 0; i < mesh.vertexCount; ++i) {
    const MeshVertex& v = mesh.vertices[static_cast<std::size_t>(i)];
    if (std::fabs(v.x) > largestX) largestX = std::fabs(v.x);
    if (std::fabs(v.z) > largestZ) largestZ = std::fabs(v.z);
  }
  halfX = largestX * 0.5f;
  halfZ = largestZ * 0.5f;
}

void placeLandscapes(std::span<LandscapeInstance> instances, const std::array<SphereMesh*, 2>& meshes) {
  for (LandscapeInstance& instance : instances) {
    instance.x = static_cast<float>(nextRandom() % 200 - 100);
    instance.y = landscapeHeight;
    instance.z = static_cast<float>(nextRandom() % 200 - 100);
    instance.angle = static_cast<float>(nextRandom() % 360);
    instance.mesh = meshes[static_cast<std::size_t>(nextRandom() % 2)];
  }
}

SphereMesh* buildLandscapeMesh(const char* path, int detail) {
  std::unique_ptr<SphereMesh> mesh(new (std::nothrow) SphereMesh);
  if (!mesh) throw 1;
  mesh->generate(detail);
  SculptRecorder recorder(mesh.get());
  recorder.replay(path);
  return mesh.release();
}

void loadLandscapes() {
  consolePrint(stdout, "Loading landscapes.\n");
  consolePrint(stdout, "Loading mountain4...");
  std::unique_ptr<SphereMesh> mountain4(buildLandscapeMesh("mountain/_mountain4", tessellationDetail));
  logOk();
  consolePrint(stdout, "Loading mountain5...");
  std::unique_ptr<SphereMesh> mountain5(buildLandscapeMesh("mountain/_mountain5", tessellationDetail));
  logOk();
  // Loaded once at start-up; a second load (tests) replaces the meshes.
  delete landscapeMeshes[0];
  delete landscapeMeshes[1];
  landscapeMeshes = {mountain4.release(), mountain5.release()};

  landscapeHalfX = 0.0f;
  landscapeHalfZ = 0.0f;
  measureHalfExtents(*landscapeMeshes[0], landscapeHalfX, landscapeHalfZ);
  landscapeRadii = {meshBoundingRadius(*landscapeMeshes[0]), meshBoundingRadius(*landscapeMeshes[1])};
  placeLandscapes(landscapeInstances, landscapeMeshes);
}
