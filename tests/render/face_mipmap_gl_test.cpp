// The cube faces' own mipmap builder against GLU's: every level of every face the same, byte for byte.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/cubemap.h"
#include "tests/support/gl_context.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Face images that stress the halving's sums and rounding in different ways.
struct FaceCase {
  const char* name;
  Bytes image;
};

std::vector<FaceCase> faceCases() {
  std::vector<FaceCase> cases;
  Bytes noise(faceImageBytes);
  std::uint32_t state = 12345;
  for (unsigned char& b : noise) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<unsigned char>(state >> 24);
  }
  cases.push_back({"noise", noise});
  cases.push_back({"white", Bytes(faceImageBytes, 255)});
  // Sums of 1, 2 and 3 over a 2 × 2 block: the rounding up and down at every level.
  Bytes sparse(faceImageBytes, 0);
  for (std::size_t i = 0; i < faceImageBytes; ++i) sparse[i] = (i * 7 / 3) % 5 == 0 ? 1 : 0;
  cases.push_back({"ones", sparse});
  Bytes checker(faceImageBytes);
  for (int r = 0; r < faceSide; ++r)
    for (int c = 0; c < faceSide; ++c)
      for (int k = 0; k < 3; ++k) checker[std::size_t(r * faceSide + c) * 3 + k] = ((r ^ c) & 1) ? 255 : (k * 40 + 1);
  cases.push_back({"checker", checker});
  Bytes gradient(faceImageBytes);
  for (std::size_t i = 0; i < faceImageBytes; ++i) gradient[i] = static_cast<unsigned char>(i / 3 % 251 + i % 3);
  cases.push_back({"gradient", gradient});
  cases.push_back({"black", Bytes(faceImageBytes, 0)});
  return cases;
}

Bytes level(GLenum target, int level) {
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(target, level, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(target, level, GL_TEXTURE_HEIGHT, &height);
  Bytes pixels(std::size_t(width) * height * 3);
  glGetTexImage(target, level, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

const GLenum faceTargets[6] = {GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, GL_TEXTURE_CUBE_MAP_NEGATIVE_X_ARB,
                               GL_TEXTURE_CUBE_MAP_POSITIVE_Y_ARB, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB,
                               GL_TEXTURE_CUBE_MAP_POSITIVE_Z_ARB, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB};

}  // namespace

TEST(FaceMipmaps, EveryLevelOfEveryFaceEqualsWhatGluBuilds) {
  ASSERT_TRUE(ensureGlContext());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLuint textures[2] = {};
  glGenTextures(2, textures);
  const std::vector<FaceCase> cases = faceCases();
  // The second round writes over faces that are built already, as every step after the first does.
  for (std::size_t turn = 0; turn < 2 * cases.size(); ++turn) {
    const std::size_t i = turn % cases.size(), round = turn / cases.size();
    SCOPED_TRACE(std::string(cases[i].name) + (round ? ", over a built face" : ", new face"));
    const GLenum target = faceTargets[(i + round) % 6];
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, textures[0]);
    ASSERT_EQ(gluBuild2DMipmaps(target, 3, faceWidth, faceHeight, GL_RGB, GL_UNSIGNED_BYTE, cases[i].image.data()), 0);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, textures[1]);
    buildFaceMipmaps(target, FaceImageIn(cases[i].image.data(), faceImageBytes));
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    for (int l = 0; l < faceMipLevels; ++l) {
      SCOPED_TRACE("level " + std::to_string(l));
      glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, textures[0]);
      const Bytes expected = level(target, l);
      GLint format = 0;
      glGetTexLevelParameteriv(target, l, GL_TEXTURE_INTERNAL_FORMAT, &format);
      glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, textures[1]);
      const Bytes built = level(target, l);
      GLint builtFormat = 0;
      glGetTexLevelParameteriv(target, l, GL_TEXTURE_INTERNAL_FORMAT, &builtFormat);
      ASSERT_EQ(built.size(), std::size_t(faceMipSide(l)) * faceMipSide(l) * 3);
      EXPECT_EQ(built, expected);
      EXPECT_EQ(builtFormat, format);
    }
    // GLU's chain ends at 1 × 1 too: nothing beyond the last level.
    GLint beyond = -1;
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, textures[0]);
    glGetTexLevelParameteriv(target, faceMipLevels, GL_TEXTURE_WIDTH, &beyond);
    EXPECT_EQ(beyond, 0);
  }
  glDeleteTextures(2, textures);
}
