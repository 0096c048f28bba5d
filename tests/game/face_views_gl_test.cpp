// The cube map's faces of the real world (sky, floor, mountains, stars from the game's data):
// drawn off screen against the window's corner, with culling against without, the sky drawn last
// against first, and the mipmap chain the faces get against what the GL would build itself. Built
// twice: in a plain window, and in one with the game's own multisampled visual.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
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
#include "render/light.h"
#include "render/skybox.h"
#include "render/stars.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr int windowSide = 256;
#if defined(VELMO_TEST_GAME_VISUAL)
const unsigned displayMode = windowDisplayMode(true);
#else
const unsigned displayMode = 0;  // the tests' plain window
#endif

// Where the eye stands (the camera translation, the negated position) and where it looks.
struct Eye {
  float heading, x, y, z;
};
const Eye eyes[] = {{0.0f, 110.0f, -15.0f, 0.0f}, {35.0f, 0.0f, -15.0f, 0.0f}, {250.0f, -40.0f, -15.0f, 60.0f},
                    {123.0f, 60.0f, -15.0f, -70.0f}};

class FaceViews : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!ensureGlContext(windowSide, windowSide, displayMode)) return;
    WorkingDir inside{std::filesystem::path(VELMO_DATA_DIR)};
    setFixedGlState();
    testing::internal::CaptureStdout();
    try {
      initSkyBox();
      initFloor();
      initStars();
      loadLandscapes(20);
      createFrameTextures();
      loaded = true;
    } catch (...) {
    }
    std::string console = testing::internal::GetCapturedStdout();
    if (!loaded) std::fprintf(stderr, "the world did not load from %s:\n%s", VELMO_DATA_DIR, console.c_str());
    haveFramebuffers = faceViewOptions.offScreen;
  }

  void SetUp() override {
    ASSERT_TRUE(ensureGlContext(windowSide, windowSide, displayMode));
    ASSERT_TRUE(loaded) << "the game's data (the assets target) in " << VELMO_DATA_DIR;
    while (glGetError() != GL_NO_ERROR) {
    }
  }

  void TearDown() override {
    faceViewOptions = {haveFramebuffers};
    viewCulling = true;
    sceneOptions = {};
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

// The fixture's pictures, for the helpers outside it.
struct FaceViewsAccess : FaceViews {
  static bool haveFramebuffers() { return FaceViews::haveFramebuffers; }
  static std::vector<Bytes> faces(const Eye& eye) { return FaceViews::faces(eye); }
  static Bytes windowView(const Eye& eye) { return FaceViews::windowView(eye); }
};

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
      // Only edges may differ, and nothing may move. The frame buffer has the window's samples:
      // measured on llvmpipe, at most 0.04 % of a face's pixels differ by more than 2 in the plain
      // window and 0.06 % in the game's multisampled one, none by more than 96.
      const int onEdges = faceSide * faceSide / 100;
      const int farApart = faceSide * faceSide / 1000;
      EXPECT_LE(pixelsApart(offScreen[f], corner[f], 2), onEdges);
      EXPECT_LE(pixelsApart(offScreen[f], corner[f], 96), farApart);
    }
  }
}

// The six faces (off screen and in the window's corner) and the window's view from every eye
// are the same, byte for byte, with a change off and on; `check` looks at each window view too.
void expectTheSamePictures(const std::function<void(bool)>& change,
                           const std::function<void(const Bytes& window)>& check) {
  for (bool offScreen : {true, false}) {
    if (offScreen && !FaceViewsAccess::haveFramebuffers()) continue;
    SCOPED_TRACE(offScreen ? "off screen" : "window corner");
    faceViewOptions.offScreen = offScreen;
    for (const Eye& eye : eyes) {
      SCOPED_TRACE(eye.heading);
      change(false);
      std::vector<Bytes> before = FaceViewsAccess::faces(eye);
      Bytes windowBefore = FaceViewsAccess::windowView(eye);
      change(true);
      std::vector<Bytes> after = FaceViewsAccess::faces(eye);
      Bytes windowAfter = FaceViewsAccess::windowView(eye);
      for (int f = 0; f < 6; ++f)
        EXPECT_TRUE(before[f] == after[f]) << "face " << f << ": " << pixelsApart(before[f], after[f], 0) << " pixels apart";
      EXPECT_TRUE(windowBefore == windowAfter) << pixelsApart(windowBefore, windowAfter, 0) << " pixels apart";
      check(windowAfter);
    }
  }
}

TEST_F(FaceViews, CullingChangesNoFaceAndNoWindowPixel) {
  expectTheSamePictures([](bool on) { viewCulling = on; },
                        [](const Bytes&) {
                          // The comparison means something only where the window's view leaves mountains out.
                          Frustum view = currentViewFrustum();
                          int left = 0;
                          for (const LandscapeInstance& m : landscapeInstances)
                            left += sphereOutsideFrustum(view, m.x, m.y, m.z, landscapeRadii[m.mesh == landscapeMeshes[1]]);
                          EXPECT_GE(left, 3);
                        });
}

TEST_F(FaceViews, TheWindowHasTheVisualAsked) {
  GLint samples = 0;
  glGetIntegerv(GL_SAMPLES, &samples);
#if defined(VELMO_TEST_GAME_VISUAL)
  EXPECT_GT(samples, 1) << "the game's visual is multisampled on llvmpipe";
#else
  EXPECT_EQ(samples, 0);
#endif
}

// The sky drawn after the rock and the floor, where it shows, leaves every sample as the sky
// drawn first did: in the faces, off screen and in the window's corner, and in the window.
TEST_F(FaceViews, TheSkyDrawnLastChangesNoFaceAndNoWindowPixel) {
  expectTheSamePictures([](bool on) { sceneOptions.skyLast = on; },
                        [](const Bytes& window) {
                          // Sky, and floor or rock, each hold a good part of the window, or the comparison means little.
                          int sky = 0, other = 0;
                          for (std::size_t i = 0; i + 2 < window.size(); i += 3) {
                            const int r = window[i], g = window[i + 1], b = window[i + 2];
                            (r > g + 25 && r > b + 40 ? sky : other) += 1;
                          }
                          EXPECT_GT(sky, windowSide * windowSide / 5);
                          EXPECT_GT(other, windowSide * windowSide / 5);
                        });
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
