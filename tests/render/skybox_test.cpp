// The sky box's pure parts: the face-file size check and the fan table.
#include <gtest/gtest.h>

#include <vector>

#include "render/skybox.h"

namespace {

TEST(SkyFaceFile, NeedsAllItsBytesAndIgnoresTheRest) {
  struct Case {
    std::size_t size;
    bool loads;
  };
  const Case cases[] = {{0, false}, {786431, false}, {786432, true}, {786433, true}, {1000000, true}};
  for (const Case& c : cases) {
    std::vector<std::uint8_t> file(c.size, 7);
    const auto pixels = rawFacePixels(file);
    EXPECT_EQ(!pixels.empty(), c.loads) << c.size;
    if (c.loads) {
      EXPECT_EQ(pixels.size(), 786432u);
      EXPECT_EQ(pixels.data(), file.data());
    }
  }
}

// Every fan lies in its face's plane and uses each texture corner once, so the four corners of
// the unit square map onto the face's four corners.
TEST(SkyFaceFan, EachFaceCoversItsPlaneWithTheWholeImage) {
  struct Plane {
    SkyFace face;
    int axis;
    float value;
  };
  const Plane planes[] = {{SkyFace::back, 2, -1}, {SkyFace::left, 0, -1}, {SkyFace::right, 0, 1},
                          {SkyFace::top, 1, 1},   {SkyFace::front, 2, 1}, {SkyFace::bottom, 1, -1}};
  for (const Plane& p : planes) {
    const SkyCorner* fan = skyFaceFan(p.face);
    int seen = 0;
    for (int v = 0; v < 4; ++v) {
      const float position[3] = {fan[v].x, fan[v].y, fan[v].z};
      EXPECT_EQ(position[p.axis], p.value);
      seen |= 1 << (int(fan[v].s) * 2 + int(fan[v].t));
    }
    EXPECT_EQ(seen, 0xF);
  }
}

}  // namespace
