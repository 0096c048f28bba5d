// Loading and placing the landscapes.
#include "model/landscapes.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <exception>
#include <new>
#include <system_error>
#include <thread>

#include "base/console.h"
#include "base/error.h"
#include "base/random.h"
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
  if (!mesh) throw GameError{};
  mesh->generate(detail);
  SculptRecorder recorder(mesh.get());
  recorder.replay(path);
  return mesh.release();
}

namespace {

// One mountain's sculpting, on whichever thread runs it: the mesh or the failure, and the
// messages printed meanwhile.
struct Sculpting {
  Sculpting(const char* recording, int sphereDetail) : path(recording), detail(sphereDetail) {}
  const char* path;
  int detail;
  std::unique_ptr<SphereMesh> mesh;
  std::exception_ptr failure;
  HeldConsole messages;

  void run() {
    messages.start();
    try {
      mesh.reset(buildLandscapeMesh(path, detail));
    } catch (...) {
      failure = std::current_exception();
    }
    messages.stop();
  }
  void rethrow() const {
    if (failure) std::rethrow_exception(failure);
  }
};

}  // namespace

void loadLandscapes(int detail) {
  consolePrint(stdout, "Loading landscapes.\n");
  // The two mountains are sculpted at the same time, mountain5 on a thread of its own: at high
  // details each takes seconds. Its messages are held back and come out after its own line, as
  // they would have had it been sculpted second.
  Sculpting mountain5("mountain/_mountain5", detail);
  std::thread second;
  try {
    second = std::thread([&mountain5] { mountain5.run(); });
  } catch (const std::system_error&) {  // no thread to be had: it is sculpted second, below
  }
  const bool together = second.joinable();
  Sculpting mountain4("mountain/_mountain4", detail);
  consolePrint(stdout, "Loading mountain4...");
  mountain4.run();
  if (together) second.join();
  mountain4.messages.release();
  mountain4.rethrow();
  logOk();
  consolePrint(stdout, "Loading mountain5...");
  if (!together) mountain5.run();
  mountain5.messages.release();
  mountain5.rethrow();
  logOk();
  // Loaded once at start-up; a second load (tests) replaces the meshes.
  delete landscapeMeshes[0];
  delete landscapeMeshes[1];
  landscapeMeshes = {mountain4.mesh.release(), mountain5.mesh.release()};

  landscapeHalfX = 0.0f;
  landscapeHalfZ = 0.0f;
  measureHalfExtents(*landscapeMeshes[0], landscapeHalfX, landscapeHalfZ);
  landscapeRadii = {meshBoundingRadius(*landscapeMeshes[0]), meshBoundingRadius(*landscapeMeshes[1])};
  placeLandscapes(landscapeInstances, landscapeMeshes);
}
