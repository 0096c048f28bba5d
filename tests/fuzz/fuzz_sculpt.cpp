// Fuzz target: a sculpt recording and the base recordings it names, all held in memory (see
// file_bundle.h). The mesh must stay finite whatever the recording does.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/mesh.h"
#include "model/sculpt.h"
#include "tests/fuzz/file_bundle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FileBundle bundle = unpackBundle(data, size);
  if (bundle.files.files.empty()) return 0;
  static SphereMesh fresh = [] {
    SphereMesh m;
    // The smallest sphere: a stroke then costs the fuzzer its balls, not balls times vertices,
    // and inputs that spend the whole brush budget still run in a fraction of a second.
    m.generate(2);
    return m;
  }();
  SphereMesh mesh = fresh;
  SculptRecorder recorder(&mesh, bundle.files);
  if (!recorder.replay(bundle.first)) std::abort();  // the first file is always there
  for (std::int32_t i = 0; i < mesh.vertexCount; ++i) {
    const MeshVertex& v = mesh.vertices[static_cast<std::size_t>(i)];
    for (float f : {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.red, v.green, v.blue, v.alpha})
      if (!std::isfinite(f)) std::abort();
  }
  return 0;
}
