// The landscapes: half-extents, the layout drawn from the shared sequence, and the real mountains.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/random.h"
#include "model/landscapes.h"
#include "model/sculpt.h"
#include "model/sculpt_format.h"
#include "render/stars.h"
#include "tests/model/mesh_checks.h"
#include "tests/support/test_files.h"

TEST(Landscapes, UnsculptedMountainsGiveHalfExtentsOfAHalf) {
  ScratchDir dir("landscapes_missing");
  WorkingDir here(dir.path());
  loadLandscapes(20);
  EXPECT_LE(landscapeHalfX, 0.5f);
  EXPECT_GT(landscapeHalfX, 0.49f);
  EXPECT_LE(landscapeHalfZ, 0.5f);
  EXPECT_GT(landscapeHalfZ, 0.49f);
  ASSERT_NE(landscapeMeshes[0], nullptr);
  EXPECT_EQ(landscapeMeshes[0]->detail, 20);
  EXPECT_EQ(landscapeMeshes[0]->vertices[0].y, 1.0f);
  // The culling radius reaches the farthest vertex of the unit sphere, and no farther.
  for (float radius : landscapeRadii) {
    EXPECT_GE(radius, 1.0f - 1e-6f);
    EXPECT_LE(radius, 1.0f + 1e-5f);
  }
}

TEST(Landscapes, LayoutFollowsTheStarsInTheSharedSequence) {
  sharedRandom = RandomSequence{};
  for (Star& star : starSet.stars) placeStar(star);
  SphereMesh a, b;
  std::array<SphereMesh*, 2> meshes{&a, &b};
  std::array<LandscapeInstance, landscapeCount> instances{};
  placeLandscapes(instances, meshes);

  RandomSequence expected;
  for (int i = 0; i < 2 * starCount; ++i) expected.next();
  int used[2] = {0, 0};
  for (const LandscapeInstance& instance : instances) {
    EXPECT_EQ(instance.x, float(expected.next() % 200 - 100));
    EXPECT_EQ(instance.y, 6.0f);
    EXPECT_EQ(instance.z, float(expected.next() % 200 - 100));
    EXPECT_EQ(instance.angle, float(expected.next() % 360));
    int which = expected.next() % 2;
    EXPECT_EQ(instance.mesh, meshes[which]);
    used[which]++;
    EXPECT_GE(instance.x, -100.0f);
    EXPECT_LE(instance.x, 99.0f);
  }
  // Both mountains stand in the field, in the numbers the game's sequence gives every run (worked
  // out apart from the game's generator): a change of the draws' order or count shows here.
  EXPECT_EQ(used[0], 13);
  EXPECT_EQ(used[1], 7);
  EXPECT_EQ(instances[0].x, 91.0f);
  EXPECT_EQ(instances[0].z, -96.0f);
  EXPECT_EQ(instances[0].angle, 302.0f);
  EXPECT_EQ(instances[0].mesh, &b);
}

TEST(Landscapes, HalfExtentsComeFromTheLargestCoordinates) {
  SphereMesh m;
  m.generate(8);
  m.vertices[3].x = -7.0f;
  m.vertices[5].z = 3.0f;
  float hx = 0, hz = 0;
  measureHalfExtents(m, hx, hz);
  EXPECT_EQ(hx, 3.5f);
  EXPECT_EQ(hz, 1.5f);
}

// The mountains the build writes: fair to fly among at every detail a player may choose.
TEST(Mountains, StandOnTheFloorAndKeepHighRockInsideTheCollisionSquare) {
  const std::filesystem::path run = VELMO_DATA_DIR;
  ASSERT_TRUE(std::filesystem::exists(run / "mountain/_mountain4")) << "build the assets first";
  WorkingDir here(run);
  for (int detail : {10, 20, 50, 120}) {
    std::unique_ptr<SphereMesh> meshes[2] = {std::unique_ptr<SphereMesh>(buildLandscapeMesh("mountain/_mountain4", detail)),
                                             std::unique_ptr<SphereMesh>(buildLandscapeMesh("mountain/_mountain5", detail))};
    float halfX = 0, halfZ = 0;
    measureHalfExtents(*meshes[0], halfX, halfZ);
    const float circle = std::fmin(halfX, halfZ);
    float footprint[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
      const SphereMesh& m = *meshes[k];
      ASSERT_TRUE(allFinite(m));
      float lowest = 1e9f, highest = -1e9f;
      for (int i = 0; i < m.vertexCount; ++i) {
        const MeshVertex& v = m.vertices[i];
        float r = std::sqrt(v.x * v.x + v.z * v.z);
        lowest = std::fmin(lowest, v.y);
        highest = std::fmax(highest, v.y);
        if (v.y > 2.0f) {
          EXPECT_LT(r, circle) << "mountain " << k << " detail " << detail << " vertex " << i << " y " << v.y;
        }
        if (v.y >= -6.0f) footprint[k] = std::fmax(footprint[k], r);
      }
      EXPECT_LE(lowest, -6.0f) << k;
      EXPECT_GT(highest, 12.0f) << k;  // well above the ship
      EXPECT_GE(footprint[k], 15.0f) << k << " detail " << detail;
      EXPECT_LE(footprint[k], 25.0f) << k << " detail " << detail;
    }
    EXPECT_LT(std::fabs(footprint[0] - footprint[1]), 0.2f * footprint[0]) << detail;
  }
}

// mountain5 is sculpted on a thread of its own while mountain4 is sculpted: what it prints must
// still come after everything mountain4 prints, as if the two had been sculpted in turn.
// mountain4 works through sixteen strokes of the most balls a stroke may before its bound cuts
// it; mountain5 complains at once of a base that is itself.
TEST(Landscapes, TheSecondMountainsMessagesComeAfterTheFirstOnes) {
  ScratchDir dir("landscapes_messages");
  WorkingDir here(dir.path());
  std::filesystem::create_directory("mountain");
  sculpt::Writer busy;
  for (int i = 0; i < 17; ++i) busy.pushStroke({0, 0, 0, 0.1f}, {0, 0, 0.0001f, 0.1f});
  auto save = [](const char* path, const std::vector<std::byte>& bytes) {
    std::FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  };
  save("mountain/_mountain4", busy.bytes());
  save("mountain/_mountain5", sculpt::Writer("mountain/_mountain5").push({0, 0, 0, 2}).bytes());
  testing::internal::CaptureStderr();
  loadLandscapes(20);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Sculpt recording mountain/_mountain4: too much brush work; the remaining brush operations are skipped\n"
            "Sculpt recording mountain/_mountain5: base recording mountain/_mountain5 leads back to a recording being "
            "replayed; it is not replayed\n");
}
