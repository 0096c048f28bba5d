// Turning and copying cube-face images, without GL.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/face_image.h"

namespace {

using Image = std::vector<unsigned char>;

// Every pixel distinct: its row, its column and a mix of both.
Image numbered() {
  Image image(faceImageBytes);
  for (int r = 0; r < faceSide; ++r)
    for (int c = 0; c < faceSide; ++c) {
      unsigned char* pixel = &image[std::size_t(r * faceSide + c) * 3];
      pixel[0] = std::uint8_t(r);
      pixel[1] = std::uint8_t(c);
      pixel[2] = std::uint8_t(r * 7 + c * 3);
    }
  return image;
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
