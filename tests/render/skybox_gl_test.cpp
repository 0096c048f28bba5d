// The sky box on a real GL context: its load failures, its tint and the orientation of its faces.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "base/error.h"
#include "render/skybox.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

// Under the sanitizers: Mesa's driver is unloaded at exit with the sky's textures still held, and
// the leak check would blame them on an unknown module; this program only checks addresses.
extern "C" __attribute__((used)) const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {

using Pixel = std::array<int, 3>;

// A face file whose every pixel comes from colour(row, column).
std::string faceFile(const std::function<Pixel(int, int)>& colour, std::size_t size = skyFaceBytes) {
  std::string bytes(size, '\0');
  for (int row = 0; row < skyFaceEdge; ++row)
    for (int column = 0; column < skyFaceEdge; ++column) {
      const std::size_t at = 3 * (std::size_t(row) * skyFaceEdge + column);
      if (at + 2 >= size) continue;
      const Pixel p = colour(row, column);
      for (int c = 0; c < 3; ++c) bytes[at + c] = static_cast<char>(p[c]);
    }
  return bytes;
}

std::string uniformFace(Pixel p, std::size_t size = skyFaceBytes) {
  return faceFile([p](int, int) { return p; }, size);
}

const char* const facePaths[6] = {"sky/f.raw", "sky/b.raw", "sky/l.raw", "sky/r.raw", "sky/o.raw", "sky/earth.raw"};

// What the game prints when initSkyBox fails in dir, "" when it loads.
std::string initIn(const ScratchDir& dir) {
  WorkingDir inside(dir.path());
  try {
    initSkyBox();
  } catch (const GameError& failure) {
    return failureReport(failure);
  }
  return "";
}

TEST(SkyBoxGl, LoadFailuresThrowTheFaceTextAndNameTheFile) {
  ASSERT_TRUE(ensureGlContext());
  struct Case {
    const char* name;
    int missingFace;        // index into facePaths, -1 for none
    std::size_t frontSize;  // bytes of "sky/f.raw"
    const char* thrown;
  };
  const Case cases[] = {
      {"all present", -1, skyFaceBytes, ""},
      {"front one byte short", -1, skyFaceBytes - 1,
       "Error loading front texture\nvelmo: sky/f.raw: holds 786431 bytes; a face is 786432\n"},
      {"front longer", -1, skyFaceBytes + 100, ""},
      {"no front", 0, skyFaceBytes, "Error loading front texture\nvelmo: sky/f.raw: No such file or directory\n"},
      {"no back", 1, skyFaceBytes, "Error loading back texture\nvelmo: sky/b.raw: No such file or directory\n"},
      {"no left", 2, skyFaceBytes, "Error loading left texture=n\nvelmo: sky/l.raw: No such file or directory\n"},
      {"no right", 3, skyFaceBytes, "Error loading right texture\nvelmo: sky/r.raw: No such file or directory\n"},
      {"no top", 4, skyFaceBytes, "Error loading top texture\nvelmo: sky/o.raw: No such file or directory\n"},
      {"no bottom", 5, skyFaceBytes, "Error loading bottom texture\nvelmo: sky/earth.raw: No such file or directory\n"},
  };
  for (const Case& c : cases) {
    ScratchDir dir("skybox-load");
    for (int i = 0; i < 6; ++i) {
      if (i == c.missingFace) continue;
      dir.write(facePaths[i], uniformFace({10, 20, 30}, i == 0 ? c.frontSize : skyFaceBytes));
    }
    EXPECT_EQ(initIn(dir), c.thrown) << c.name;
  }
}

TEST(SkyBoxGl, LoadRawFaceReplacesItsSlot) {
  ASSERT_TRUE(ensureGlContext());
  ScratchDir dir("skybox-slot");
  dir.write("face.raw", uniformFace({1, 2, 3}));
  WorkingDir inside(dir.path());
  GLuint texture = 0;
  glGenTextures(1, &texture);
  std::unique_ptr<std::uint8_t[]> slot;
  ASSERT_TRUE(loadRawFace(texture, slot, "face.raw"));
  ASSERT_TRUE(slot);
  EXPECT_EQ(slot[skyFaceBytes - 1], 3);
  EXPECT_FALSE(loadRawFace(texture, slot, "missing.raw"));
  glDeleteTextures(1, &texture);
}

TEST(SkyBoxGl, FaceMipmapsAreTheLevelsGluBuildsFromTheFile) {
  ASSERT_TRUE(ensureGlContext());
  // Noise, so every level's rounding is exercised.
  std::uint32_t state = 7;
  const std::string file = faceFile([&state](int, int) {
    Pixel p{};
    for (int& c : p) c = int((state = state * 1664525u + 1013904223u) >> 24);
    return p;
  });
  ScratchDir dir("skybox-mipmaps");
  dir.write("face.raw", file);
  WorkingDir inside(dir.path());
  GLuint textures[2] = {};
  glGenTextures(2, textures);
  std::unique_ptr<std::uint8_t[]> slot;
  ASSERT_TRUE(loadRawFace(textures[0], slot, "face.raw"));
  glBindTexture(GL_TEXTURE_2D, textures[1]);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, skyFaceEdge, skyFaceEdge, GL_RGB, GL_UNSIGNED_BYTE, file.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (int level = 0, side = skyFaceEdge; side >= 1; ++level, side /= 2) {
    std::vector<unsigned char> built(std::size_t(side) * side * 3), expected(built.size());
    GLint builtSide = 0, builtFormat = 0, expectedFormat = 0;
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &builtSide);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_INTERNAL_FORMAT, &builtFormat);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, built.data());
    glBindTexture(GL_TEXTURE_2D, textures[1]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_INTERNAL_FORMAT, &expectedFormat);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, expected.data());
    ASSERT_EQ(builtSide, side) << "level " << level;
    EXPECT_EQ(builtFormat, expectedFormat) << "level " << level;
    EXPECT_TRUE(built == expected) << "level " << level;
  }
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  glDeleteTextures(2, textures);
}

void lookThroughTheWindowProjection() {
  glViewport(0, 0, 256, 256);
  const Projection projection = computeProjection(256, 256);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(projection.matrix);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  setFixedGlState();
  glDepthFunc(GL_LEQUAL);
  glClearColor(0.2f, 0.2f, 0.2f, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

Pixel readPixel(int x, int y) {
  std::uint8_t p[3] = {};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

TEST(SkyBoxGl, PureBlueIsDrawnBlackAndGreyIsTinted) {
  ASSERT_TRUE(ensureGlContext());
  struct Case {
    Pixel file;
    Pixel shown;
  };
  const Case cases[] = {{{0, 0, 255}, {0, 0, 0}}, {{200, 200, 200}, {200, 100, 0}}};
  for (const Case& c : cases) {
    ScratchDir dir("skybox-tint");
    for (const char* path : facePaths) dir.write(path, uniformFace(c.file));
    ASSERT_EQ(initIn(dir), "");
    lookThroughTheWindowProjection();
    drawSkyBox();
    for (auto [x, y] : {std::pair{128, 128}, {5, 5}, {250, 250}, {5, 250}}) {
      const Pixel p = readPixel(x, y);
      for (int ch = 0; ch < 3; ++ch) EXPECT_NEAR(p[ch], c.shown[ch], 2) << x << "," << y << " channel " << ch;
    }
  }
}

// Seen from the centre, each side face shows its file upright and unmirrored: row 0 along the
// top, column 0 at the left. Quadrants of the file are coloured apart.
TEST(SkyBoxGl, SideFacesAreUprightAndUnmirrored) {
  ASSERT_TRUE(ensureGlContext());
  const Pixel topLeft{250, 0, 0}, topRight{120, 0, 0}, bottomLeft{0, 250, 0}, bottomRight{250, 250, 0};
  const std::string quadrants = faceFile([&](int row, int column) {
    if (row < 256) return column < 256 ? topLeft : topRight;
    return column < 256 ? bottomLeft : bottomRight;
  });
  ScratchDir dir("skybox-faces");
  for (const char* path : facePaths) dir.write(path, quadrants);
  ASSERT_EQ(initIn(dir), "");

  auto shown = [](Pixel p) { return Pixel{p[0], p[1] / 2, 0}; };
  struct View {
    const char* face;
    float yaw;  // degrees about +y applied to the model-view matrix
  };
  const View views[] = {{"back", 0}, {"right", 90}, {"front", 180}, {"left", -90}};
  for (const View& v : views) {
    lookThroughTheWindowProjection();
    glRotatef(v.yaw, 0, 1, 0);
    drawSkyBox();
    // Window rows count from the bottom.
    const Pixel seen[4] = {readPixel(64, 192), readPixel(192, 192), readPixel(64, 64), readPixel(192, 64)};
    const Pixel want[4] = {shown(topLeft), shown(topRight), shown(bottomLeft), shown(bottomRight)};
    for (int q = 0; q < 4; ++q)
      for (int ch = 0; ch < 3; ++ch) EXPECT_NEAR(seen[q][ch], want[q][ch], 2) << v.face << " quadrant " << q;
  }
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

}  // namespace
