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
