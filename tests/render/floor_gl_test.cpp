// The floor on a real GL context: the normalisation cube map read back from GL, and the two
// passes on screen.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "render/bmp.h"
#include "render/floor.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

namespace {

constexpr int edge = 32;

TEST(NormalisationCubeMapGl, TexelsReadBackFromEveryFace) {
  ASSERT_TRUE(ensureGlContext());
  const GLuint name = buildNormalisationCubeMap(edge);
  ASSERT_NE(name, 0u);
  ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, name);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);

  std::vector<std::vector<std::uint8_t>> faces(6, std::vector<std::uint8_t>(edge * edge * 3));
  for (int face = 0; face < 6; ++face) {
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face, 0, GL_TEXTURE_WIDTH, &width);
    ASSERT_EQ(width, edge);
    glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face, 0, GL_RGB, GL_UNSIGNED_BYTE, faces[face].data());
    for (std::size_t i = 0; i < faces[face].size(); i += 3) {
      const double x = (faces[face][i] - 128) / 127.0, y = (faces[face][i + 1] - 128) / 127.0,
                   z = (faces[face][i + 2] - 128) / 127.0;
      const double length = std::sqrt(x * x + y * y + z * z);
      ASSERT_TRUE(length >= 0.98 && length <= 1.02) << "face " << face << " texel " << i / 3 << ": " << length;
    }
  }
  auto at = [&](int face, int column, int row) {
    const std::uint8_t* t = &faces[face][3 * (row * edge + column)];
    return std::array<int, 3>{t[0], t[1], t[2]};
  };
  EXPECT_EQ(at(0, 0, 0), (std::array<int, 3>{202, 200, 200}));
  EXPECT_EQ(at(5, 0, 0), (std::array<int, 3>{200, 200, 53}));
  EXPECT_EQ(at(4, 16, 15), (std::array<int, 3>{131, 131, 254}));

  GLint filter = 0, wrap = 0;
  glGetTexParameteriv(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, &filter);
  glGetTexParameteriv(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, &wrap);
  EXPECT_EQ(filter, GL_LINEAR);
  EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP_ARB));
  glDeleteTextures(1, &name);
}

// A uniform 4 × 4 image of one colour as a BMP file.
std::string uniformBmp(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < 16; ++i) pixels.insert(pixels.end(), {r, g, b});
  return textOf(writeBmp24(4, 4, pixels));
}

std::array<int, 3> drawFloorAndReadCentre(GLenum depthFunction) {
  orthoView(256, 1000, -1, 1);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(depthFunction);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawFloor();
  std::uint8_t pixel[3] = {};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(128, 128, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
  return {pixel[0], pixel[1], pixel[2]};
}

// With LEQUAL the second pass lands on the first and the floor shows its base texture darkened
// by the lighting; with LESS it is rejected and only the grey lighting term is left.
TEST(FloorGl, SecondPassMultipliesTheLightingByTheBaseTexture) {
  ASSERT_TRUE(ensureGlContext());
  ScratchDir dir("floor-gl");
  // Normals leaning 45° towards the light at +x; base colour well away from grey.
  dir.write("normal2.bmp", uniformBmp(217, 128, 217));
  dir.write("block.bmp", uniformBmp(200, 120, 40));
  {
    WorkingDir inside(dir.path());
    initFloor();
  }
  GLint function = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &function);
  EXPECT_EQ(function, GL_LEQUAL);
  ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  const std::array<int, 3> lightingOnly = drawFloorAndReadCentre(GL_LESS);
  const std::array<int, 3> lit = drawFloorAndReadCentre(GL_LEQUAL);

  // The lighting term is grey: n·l of about 0.7 in all three channels.
  EXPECT_EQ(lightingOnly[0], lightingOnly[1]);
  EXPECT_EQ(lightingOnly[1], lightingOnly[2]);
  EXPECT_GT(lightingOnly[0], 140);
  EXPECT_LT(lightingOnly[0], 210);

  const int base[3] = {200, 120, 40};
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(lit[c], lightingOnly[c] * base[c] / 255.0, 3.0) << "channel " << c;
  }
  // drawFloor leaves the state as it found it.
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  EXPECT_EQ(active, GL_TEXTURE0_ARB);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  glDepthFunc(GL_LEQUAL);
}

}  // namespace
