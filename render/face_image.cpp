// Turning and copying cube-face images.
#include "render/face_image.h"

#include <cassert>
#include <cstring>

void rotateImage180(FaceImageIn source, FaceImageOut destination) {
  assert(source.data() + source.size() <= destination.data() ||
         destination.data() + destination.size() <= source.data());
  // Reading the pixels backwards turns the image both ways at once: pixel i goes to N - 1 - i.
  constexpr std::size_t pixels = faceImageBytes / 3;
  for (std::size_t i = 0; i < pixels; ++i) {
    const unsigned char* from = &source[i * 3];
    unsigned char* to = &destination[(pixels - 1 - i) * 3];
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
  }
}

void copyImage(FaceImageIn source, FaceImageOut destination) {
  std::memmove(destination.data(), source.data(), faceImageBytes);
}

void halveImage(const unsigned char* source, int side, unsigned char* destination) {
  assert(side >= 2 && side % 2 == 0);
  const std::size_t row = std::size_t(side) * 3;
  const int half = side / 2;
  for (int r = 0; r < half; ++r) {
    const unsigned char* top = source + 2 * std::size_t(r) * row;
    const unsigned char* bottom = top + row;
    for (int c = 0; c < half; ++c, top += 6, bottom += 6, destination += 3) {
      destination[0] = static_cast<unsigned char>((top[0] + top[3] + bottom[0] + bottom[3] + 2) >> 2);
      destination[1] = static_cast<unsigned char>((top[1] + top[4] + bottom[1] + bottom[4] + 2) >> 2);
      destination[2] = static_cast<unsigned char>((top[2] + top[5] + bottom[2] + bottom[5] + 2) >> 2);
    }
  }
}

void buildMipTail(const unsigned char* image, int side, unsigned char* tail) {
  assert(side > 0 && (side & (side - 1)) == 0);
  for (; side > 1; side /= 2) {
    halveImage(image, side, tail);
    image = tail;
    tail += std::size_t(side / 2) * (side / 2) * 3;
  }
}

void buildFaceMipTail(FaceImageIn face, FaceMipTail tail) { buildMipTail(face.data(), faceSide, tail.data()); }
