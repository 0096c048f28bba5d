// The stars: placement from the shared sequence and the glow fan's rim.
#include <gtest/gtest.h>

#include <cmath>

#include "base/random.h"
#include "render/stars.h"

TEST(Stars, FirstTenPositionsFromTheStartOfTheSequence) {
  sharedRandom = RandomSequence{};
  StarSet set;
  for (Star& star : set.stars) placeStar(star);
  const float expected[starCount][2] = {{-18, 34}, {-32, -100}, {38, -52}, {56, 16}, {24, 28},
                                        {-90, -10}, {62, -46}, {22, 82}, {90, -16}, {-46, -28}};
  for (int i = 0; i < starCount; ++i) {
    EXPECT_EQ(set.stars[i].x, expected[i][0]) << i;
    EXPECT_EQ(set.stars[i].y, expected[i][1]) << i;
    EXPECT_EQ(set.stars[i].z, 10.0f) << i;
  }
  EXPECT_EQ(sharedRandom.state, [] {
    RandomSequence r;
    for (int i = 0; i < 2 * starCount; ++i) r.next();
    return r.state;
  }());
}

TEST(Stars, PlacementStaysOnTheEvenGrid) {
  sharedRandom = RandomSequence{};
  for (int i = 0; i < 500; ++i) {
    Star star{};
    placeStar(star);
    for (float v : {star.x, star.y}) {
      EXPECT_GE(v, -100.0f);
      EXPECT_LE(v, 98.0f);
      EXPECT_EQ(std::fmod(v, 2.0f), 0.0f);
    }
  }
}

TEST(Stars, GlowRimClosesAtOrJustPast360) {
  struct Case {
    int detail, step, count;
    float lastAngle;
  } cases[] = {
      {20, 18, 21, 360.0f}, {50, 7, 53, 364.0f}, {10, 36, 11, 360.0f}, {360, 1, 361, 360.0f}, {7, 36, 11, 360.0f},
      {1000, 1, 361, 360.0f},  // details outside 10..360 are drawn as the nearest end of the range
  };
  std::array<GlowRimVertex, maxGlowRimVertices> rim{};
  for (const Case& c : cases) {
    EXPECT_EQ(glowRimStep(c.detail), c.step) << c.detail;
    int count = glowRim(c.detail, rim);
    ASSERT_EQ(count, c.count) << c.detail;
    EXPECT_EQ(glowRimAngle(c.detail, count - 1), c.lastAngle) << c.detail;
    // Starts at (0, 0, 5) and turns from +z towards -x.
    EXPECT_NEAR(rim[0].x, 0.0f, 1e-6);
    EXPECT_NEAR(rim[0].z, 5.0f, 1e-6);
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(rim[i].y, 0.0f);
      EXPECT_NEAR(std::hypot(rim[i].x, rim[i].z), 5.0f, 1e-5);
    }
  }
  glowRim(20, rim);
  EXPECT_NEAR(rim[5].x, -5.0f, 1e-5);  // 90 degrees
  EXPECT_NEAR(rim[20].z, 5.0f, 1e-5);  // closed at 360
  glowRim(50, rim);
  EXPECT_NEAR(rim[52].x, -5.0f * std::sin(364.0f * 3.14159265f / 180.0f), 1e-5);
}
