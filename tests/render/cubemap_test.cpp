// Turning and copying cube-face images, without GL.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/face_image.h"

namespace {

using Image = std::vector<unsigned char>;

// A face whose red is the row, green the column, and blue what `blue` makes of both.
template <class Blue>
Image rowsAndColumns(Blue blue) {
  Image image(faceImageBytes);
  for (int r = 0; r < faceSide; ++r)
    for (int c = 0; c < faceSide; ++c) {
      unsigned char* pixel = &image[std::size_t(r * faceSide + c) * 3];
      pixel[0] = std::uint8_t(r);
      pixel[1] = std::uint8_t(c);
      pixel[2] = blue(r, c);
    }
  return image;
}

// Every pixel distinct.
Image numbered() {
  return rowsAndColumns([](int r, int c) { return std::uint8_t(r * 7 + c * 3); });
}

FaceImageIn in(const Image& image) { return FaceImageIn(image.data(), faceImageBytes); }
FaceImageOut out(Image& image) { return FaceImageOut(image.data(), faceImageBytes); }

}  // namespace

TEST(FaceImage, RotationMovesEveryPixelToTheOppositeCornerWithItsBytesInOrder) {
  const Image source = numbered();
  Image turned(faceImageBytes, 0xEE);
  rotateImage180(in(source), out(turned));
  for (int r = 0; r < faceSide; ++r)
    for (int c = 0; c < faceSide; ++c) {
      const unsigned char* from = &source[std::size_t(r * faceSide + c) * 3];
      const unsigned char* to = &turned[std::size_t((127 - r) * faceSide + (127 - c)) * 3];
      ASSERT_EQ(to[0], from[0]) << r << "," << c;
      ASSERT_EQ(to[1], from[1]) << r << "," << c;
      ASSERT_EQ(to[2], from[2]) << r << "," << c;
    }
  // The first pixel of the first row ends as the last pixel of the last row, and back.
  EXPECT_EQ(Image(turned.end() - 3, turned.end()), Image(source.begin(), source.begin() + 3));
  EXPECT_EQ(Image(turned.begin(), turned.begin() + 3), Image(source.end() - 3, source.end()));
}

TEST(FaceImage, RotatingTwiceGivesTheSourceBackAndCopyingChangesNothing) {
  const Image source = numbered();
  Image once(faceImageBytes), twice(faceImageBytes), copied(faceImageBytes);
  rotateImage180(in(source), out(once));
  EXPECT_NE(once, source);
  rotateImage180(in(once), out(twice));
  EXPECT_EQ(twice, source);
  copyImage(in(source), out(copied));
  EXPECT_EQ(copied, source);
}

TEST(FaceImage, HalvingRoundsTheMeanOfEachBlockHalfUp) {
  // One 2 × 2 block per case, the same four values in all three channels.
  struct Case {
    unsigned char a, b, c, d, mean;
  } cases[] = {
      {0, 0, 0, 0, 0},       {0, 0, 0, 1, 0},     {0, 0, 1, 1, 1},     {0, 1, 1, 1, 1},
      {1, 1, 1, 2, 1},       {1, 1, 2, 2, 2},     {255, 255, 255, 255, 255}, {255, 255, 255, 254, 255},
      {255, 255, 254, 254, 255}, {255, 254, 254, 254, 254}, {0, 0, 255, 255, 128}, {0, 0, 0, 255, 64},
  };
  for (const Case& k : cases) {
    const unsigned char block[12] = {k.a, k.a, k.a, k.b, k.b, k.b, k.c, k.c, k.c, k.d, k.d, k.d};
    unsigned char half[3] = {};
    halveImage(block, 2, half);
    EXPECT_EQ(half[0], k.mean) << int(k.a) << " " << int(k.b) << " " << int(k.c) << " " << int(k.d);
    EXPECT_EQ(half[1], k.mean);
    EXPECT_EQ(half[2], k.mean);
  }
}

TEST(FaceImage, ChainHalvesLevelByLevelAndKeepsTheChannelsApart) {
  // Each channel's rows are constant, so every level keeps the mean of the rows it covers.
  const Image face = rowsAndColumns([](int, int) { return std::uint8_t{200}; });
  Image tail(faceMipTailBytes, 0xEE);
  buildFaceMipTail(in(face), FaceMipTail(tail.data(), faceMipTailBytes));
  EXPECT_EQ(faceMipOffset(1), 0u);
  EXPECT_EQ(faceMipOffset(2), 64u * 64 * 3);
  EXPECT_EQ(faceMipSide(7), 1);
  // Level 1, pixel (r, c) covers rows 2r, 2r + 1 and columns 2c, 2c + 1.
  const unsigned char* level1 = &tail[faceMipOffset(1)];
  EXPECT_EQ(level1[(5 * 64 + 9) * 3 + 0], (10 + 10 + 11 + 11 + 2) / 4);
  EXPECT_EQ(level1[(5 * 64 + 9) * 3 + 1], (18 + 19 + 18 + 19 + 2) / 4);
  EXPECT_EQ(level1[(5 * 64 + 9) * 3 + 2], 200);
  // The 1 × 1 level is built from the 2 × 2 one, not from the face: the roundings add up.
  const unsigned char* level6 = &tail[faceMipOffset(6)];
  const unsigned char* level7 = &tail[faceMipOffset(7)];
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(level7[k], (level6[k] + level6[3 + k] + level6[6 + k] + level6[9 + k] + 2) / 4) << k;
  EXPECT_EQ(level7[2], 200);
}
