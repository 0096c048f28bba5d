// The cube map's faces of the real world (sky, floor, mountains, stars from the game's data):
// drawn off screen against the window's corner, with culling against without, and the mipmap
// chain the faces get against what the GL would build itself.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/startup.h"
#include "game/frame.h"
#include "model/landscapes.h"
#include "render/cubemap.h"
#include "render/floor.h"
#include "render/framebuffer.h"
#include "render/frustum.h"
#include "render/skybox.h"
#include "render/stars.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr int windowSide = 256;

// Where the eye stands (the camera translation, the negated position) and where it looks.
struct Eye {
  float heading, x, y, z;
};
const Eye eyes[] = {{0.0f, 110.0f, -15.0f, 0.0f}, {35.0f, 0.0f, -15.0f, 0.0f}, {250.0f, -40.0f, -15.0f, 60.0f},
                    {123.0f, 60.0f, -15.0f, -70.0f}};

class FaceViews : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!ensureGlContext(windowSide, windowSide)) return;
    WorkingDir inside{std::filesystem::path(VELMO_RUN_DIR)};
    setFixedGlState();
    testing::internal::CaptureStdout();
    try {
      initSkyBox();
      initFloor();
      initStars();
      tessellationDetail = 20;
      loadLandscapes();
      createFrameTextures();
      loaded = true;
    } catch (...) {
    }
    std::string console = testing::internal::GetCapturedStdout();
    if (!loaded) std::fprintf(stderr, "the world did not load from %s:\n%s", VELMO_RUN_DIR, console.c_str());
    haveFramebuffers = faceViewOptions.offScreen;
  }

  void SetUp() override {
    ASSERT_TRUE(ensureGlContext(windowSide, windowSide));
    ASSERT_TRUE(loaded) << "the game's data (the assets target) in " << VELMO_RUN_DIR;
    while (glGetError() != GL_NO_ERROR) {
    }
  }

  void TearDown() override {
    faceViewOptions = {haveFramebuffers};
    viewCulling = true;
  }

  static void drawView() {
    static const float position[3] = {1000.0f, 100.0f, 0.0f};
    static const float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    setLight(GL_LIGHT1, position, colour);
    drawScene();
  }

  // Level `level` of each of the six faces after rendering them from the eye, one after the other.
  static std::vector<Bytes> faces(const Eye& eye, int level = 0) {
    renderCubeMap(eye.heading, eye.x, eye.y, eye.z, drawView);
    std::vector<Bytes> result;
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cubeMapTexture);
    const std::size_t side = std::size_t(faceSide >> level);
    for (const CubeFaceView& view : cubeFaceViews) {
      Bytes pixels(side * side * 3);
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glGetTexImage(view.target, level, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
      result.push_back(pixels);
    }
    return result;
  }

  // The window's own view from the eye, as the game draws it after the faces.
  static Bytes windowView(const Eye& eye) {
    reshapeCallback(windowSide, windowSide);
    glLoadIdentity();
    glRotatef(eye.heading, 0.0f, 1.0f, 0.0f);
    glTranslatef(eye.x, eye.y, eye.z);
    drawView();
    Bytes pixels(std::size_t(windowSide) * windowSide * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowSide, windowSide, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  static bool haveFramebuffers;
  static bool loaded;  // the world's data was found and loaded
};
bool FaceViews::haveFramebuffers = false;
bool FaceViews::loaded = false;

// Pixels whose largest channel difference exceeds `by`.
int pixelsApart(const Bytes& a, const Bytes& b, int by) {
  int count = 0;
  for (std::size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3) {
    int most = 0;
    for (int k = 0; k < 3; ++k) most = std::max(most, std::abs(int(a[i + k]) - int(b[i + k])));
    if (most > by) ++count;
  }
  return count;
}

}  // namespace

TEST_F(FaceViews, DriverGivesTheOffScreenFrameBuffers) {
  // llvmpipe has them; a driver without them is covered by the hidden-extension test.
  EXPECT_TRUE(haveFramebuffers);
}

TEST_F(FaceViews, OffScreenFacesMatchTheWindowCornerOnesButForEdges) {
  if (!haveFramebuffers) GTEST_SKIP() << "no frame-buffer objects";
  for (const Eye& eye : eyes) {
    SCOPED_TRACE(eye.heading);
    faceViewOptions.offScreen = true;
    std::vector<Bytes> offScreen = faces(eye);
    faceViewOptions.offScreen = false;
    std::vector<Bytes> corner = faces(eye);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    for (int f = 0; f < 6; ++f) {
      SCOPED_TRACE(f);
      // The window may be multisampled where the frame buffers are not: edges may differ, a
      // few per cent of a face at most, and nothing may move.
      EXPECT_LE(pixelsApart(offScreen[f], corner[f], 2), faceSide * faceSide * 3 / 100);
      EXPECT_LE(pixelsApart(offScreen[f], corner[f], 96), faceSide * faceSide / 200);
    }
  }
}

TEST_F(FaceViews, CullingChangesNoFaceAndNoWindowPixel) {
  for (bool offScreen : {true, false}) {
    if (offScreen && !haveFramebuffers) continue;
    SCOPED_TRACE(offScreen ? "off screen" : "window corner");
    faceViewOptions.offScreen = offScreen;
    for (const Eye& eye : eyes) {
      SCOPED_TRACE(eye.heading);
      viewCulling = false;
      std::vector<Bytes> all = faces(eye);
      Bytes windowAll = windowView(eye);
      viewCulling = true;
      std::vector<Bytes> culled = faces(eye);
      Bytes windowCulled = windowView(eye);
      for (int f = 0; f < 6; ++f) EXPECT_TRUE(all[f] == culled[f]) << "face " << f;
      EXPECT_TRUE(windowAll == windowCulled);
      // The comparison means something only where the window's view leaves mountains out.
      Frustum view = currentViewFrustum();
      int left = 0;
      for (const LandscapeInstance& m : landscapeInstances) left += sphereOutsideFrustum(view, m.x, m.y, m.z, landscapeRadii[m.mesh == landscapeMeshes[1]]);
      EXPECT_GE(left, 3);
    }
  }
}

TEST_F(FaceViews, EveryLevelOfAFaceIsTheBoxFilterOfItsPicture) {
  // The chain the faces get is the processor's box filter: rounding (a + b + c + d + 2) / 4, as
  // GLU builds it. The GL's own generator is measured against it here and reported.
  std::vector<Bytes> level0 = faces(eyes[2]);
  std::vector<Bytes> tails(6, Bytes(faceMipTailBytes));
  for (int f = 0; f < 6; ++f) buildFaceMipTail(FaceImageIn(level0[f].data(), faceImageBytes), FaceMipTail(tails[f].data(), faceMipTailBytes));
  int generatedApart[faceMipLevels] = {};
  int generatedLargest[faceMipLevels] = {};
  GLuint generated = 0;
  glGenTextures(1, &generated);
  for (int level = 1; level < faceMipLevels; ++level) {
    std::vector<Bytes> built = faces(eyes[2], level);
    const std::size_t side = std::size_t(faceMipSide(level));
    for (int f = 0; f < 6; ++f) {
      SCOPED_TRACE(f);
      Bytes expected(tails[f].begin() + long(faceMipOffset(level)),
                     tails[f].begin() + long(faceMipOffset(level) + side * side * 3));
      EXPECT_TRUE(built[f] == expected) << "level " << level;
    }
  }
  // The GL's generator on the same six pictures.
  for (int f = 0; f < 6; ++f) {
    glBindTexture(GL_TEXTURE_2D, generated);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, faceSide, faceSide, 0, GL_RGB, GL_UNSIGNED_BYTE, level0[f].data());
    if (!generateFramebufferMipmaps(GL_TEXTURE_2D)) GTEST_SKIP() << "no glGenerateMipmap";
    for (int level = 1; level < faceMipLevels; ++level) {
      const std::size_t side = std::size_t(faceMipSide(level));
      Bytes got(side * side * 3);
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, got.data());
      for (std::size_t i = 0; i < got.size(); ++i) {
        int d = std::abs(int(got[i]) - int(tails[f][faceMipOffset(level) + i]));
        if (d) ++generatedApart[level];
        generatedLargest[level] = std::max(generatedLargest[level], d);
      }
    }
  }
  glDeleteTextures(1, &generated);
  for (int level = 1; level < faceMipLevels; ++level)
    std::printf("glGenerateMipmap, level %d: %d of %d bytes differ from the box filter, by up to %d\n", level,
                generatedApart[level], 6 * faceMipSide(level) * faceMipSide(level) * 3, generatedLargest[level]);
}
