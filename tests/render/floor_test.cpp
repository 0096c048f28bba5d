// The floor's pure parts: the normalisation cube map's texels, the light vectors and the lookup
// of the multitexture functions.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "render/floor.h"

namespace {

constexpr int edge = 32;

std::array<int, 3> texel(int face, int column, int row) {
  std::vector<std::uint8_t> texels(edge * edge * 3);
  fillNormalisationFace(face, edge, texels);
  const std::uint8_t* t = &texels[3 * (row * edge + column)];
  return {t[0], t[1], t[2]};
}

TEST(NormalisationCubeMap, GoldenTexels) {
  struct Case {
    int face, column, row;
    std::array<int, 3> bytes;
  };
  const Case cases[] = {
      {0, 0, 0, {202, 200, 200}},   // +X corner: (1, 31/32, 31/32) normalised
      {5, 0, 0, {200, 200, 53}},    // -Z corner
      {4, 16, 15, {131, 131, 254}}, // +Z near the centre
  };
  for (const Case& c : cases) {
    EXPECT_EQ(texel(c.face, c.column, c.row), c.bytes) << "face " << c.face;
  }
}

TEST(NormalisationCubeMap, EveryTexelUnpacksToAUnitVector) {
  std::vector<std::uint8_t> texels(edge * edge * 3);
  for (int face = 0; face < 6; ++face) {
    fillNormalisationFace(face, edge, texels);
    for (std::size_t i = 0; i < texels.size(); i += 3) {
      const double x = (texels[i] - 128) / 127.0, y = (texels[i + 1] - 128) / 127.0,
                   z = (texels[i + 2] - 128) / 127.0;
      const double length = std::sqrt(x * x + y * y + z * z);
      ASSERT_GE(length, 0.98) << "face " << face << " texel " << i / 3;
      ASSERT_LE(length, 1.02) << "face " << face << " texel " << i / 3;
    }
  }
}

// Each face's vectors point out through that face: the major axis has the face's sign.
TEST(NormalisationCubeMap, FacesPointAlongTheirAxes) {
  const int axis[6] = {0, 0, 1, 1, 2, 2};
  const float sign[6] = {1, -1, 1, -1, 1, -1};
  for (int face = 0; face < 6; ++face) {
    for (int k : {0, 13, 31}) {
      for (int j : {0, 20, 31}) {
        const FloorVector d = cubeFaceVector(face, edge, j, k);
        const float c[3] = {d.x, d.y, d.z};
        EXPECT_GT(c[axis[face]] * sign[face], std::fabs(c[(axis[face] + 1) % 3]) - 1e-6f);
        EXPECT_GT(c[axis[face]] * sign[face], std::fabs(c[(axis[face] + 2) % 3]) - 1e-6f);
      }
    }
  }
}

TEST(NormalisationCubeMap, PackingTruncatesTowardsZero) {
  EXPECT_EQ(packUnitComponent(1.0f), 255);
  EXPECT_EQ(packUnitComponent(-1.0f), 1);
  EXPECT_EQ(packUnitComponent(0.0f), 128);
  EXPECT_EQ(packUnitComponent(0.5894f), 202);  // 202.85
}

TEST(FloorLight, CornersSeeTheLightAlongTheirOwnDirections) {
  const FloorVector raw[4] = {{2000, 1000, 100}, {0, 1000, 100}, {0, -1000, 100}, {2000, -1000, 100}};
  for (int i = 0; i < 4; ++i) {
    const FloorVector l = directionToLight(floorLightPosition, floorCorners[i]);
    const float length = std::sqrt(raw[i].x * raw[i].x + raw[i].y * raw[i].y + raw[i].z * raw[i].z);
    EXPECT_NEAR(l.x, raw[i].x / length, 1e-6f) << i;
    EXPECT_NEAR(l.y, raw[i].y / length, 1e-6f) << i;
    EXPECT_NEAR(l.z, raw[i].z / length, 1e-6f) << i;
  }
}

std::vector<std::string> requested;
const char* missing = nullptr;

void standIn() {}

GlProc fakeLookup(const char* name) {
  requested.emplace_back(name);
  return missing && std::strcmp(name, missing) == 0 ? nullptr : standIn;
}

TEST(MultitextureEntryPoints, AllEightAreAskedForInOrderAndEachIsNeeded) {
  const std::vector<std::string> names = {"glActiveTextureARB",   "glClientActiveTextureARB",
                                          "glMultiTexCoord1fARB", "glMultiTexCoord1fvARB",
                                          "glMultiTexCoord2fARB", "glMultiTexCoord2fvARB",
                                          "glMultiTexCoord3fARB", "glMultiTexCoord3fvARB"};
  requested.clear();
  missing = nullptr;
  EXPECT_TRUE(loadMultitextureEntryPoints(fakeLookup));
  EXPECT_EQ(requested, names);
  for (const std::string& name : names) {
    missing = name.c_str();
    EXPECT_FALSE(loadMultitextureEntryPoints(fakeLookup)) << name;
  }
  missing = nullptr;
}

}  // namespace
