// Run with the hide_gl_extension library preloaded, GL_ARB_texture_cube_map and both frame-buffer
// object extensions hidden: the cube map's start-up refuses to go on before the ship is loaded,
// and the face views, made without frame-buffer objects, go through the window's corner. One
// more test runs with other names hidden (below).
#include <GL/freeglut.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "base/error.h"
#include "render/cubemap.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

// Under the sanitizers: Mesa's driver is unloaded at exit with its allocations still held, and
// the leak check would blame them on an unknown module; this program only checks addresses.
extern "C" __attribute__((used)) const char* __asan_default_options() { return "detect_leaks=0"; }

TEST(HiddenExtension, CubeMapStartUpEndsBeforeTheShip) {
  ASSERT_NE(dlsym(RTLD_DEFAULT, "velmoHideGlExtensionLoaded"), nullptr) << "run with LD_PRELOAD of the library";
  ASSERT_TRUE(ensureGlContext());
  // No ship file here: the refusal comes before any attempt to load one.
  ScratchDir dir("cubemap-hidden");
  WorkingDir inside(dir.path());
  testing::internal::CaptureStdout();
  int thrown = 0;
  try {
    initCubeMap();
  } catch (const GameError& failure) {
    thrown = failure.message ? -1 : 1;
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Initializeing cube map...ARB_texture_cube_map NOT supported.\n");
  EXPECT_EQ(thrown, 1);
}

namespace {

// Makes the frame textures in a scratch folder, then checks that the face views went through the
// window's corner: each view clears to its own grey, and the corner's pixels reach the faces.
void expectFaceViewsThroughTheCorner() {
  ScratchDir dir("cubemap-hidden-framebuffers");
  WorkingDir inside(dir.path());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  createFrameTextures();
  testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(faceViewOptions.offScreen);

  static int view = 0;
  view = 0;
  renderCubeMap(0.0f, 0.0f, 0.0f, 0.0f, [] {
    const float grey = float(++view) / 8.0f;
    glClearColor(grey, grey, grey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  });
  EXPECT_EQ(view, 6);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cubeMapTexture);
  unsigned char pixels[faceImageBytes];
  for (int f = 0; f < 6; ++f) {
    glGetTexImage(cubeFaceViews[f].target, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    EXPECT_NEAR(pixels[faceImageBytes / 2], (f + 1) * 255 / 8, 1) << "face " << f;
  }
}

}  // namespace

TEST(HiddenExtension, FaceViewsGoThroughTheWindowCornerWithoutFrameBuffers) {
  ASSERT_NE(dlsym(RTLD_DEFAULT, "velmoHideGlExtensionLoaded"), nullptr) << "run with LD_PRELOAD of the library";
  ASSERT_TRUE(ensureGlContext());
  expectFaceViewsThroughTheCorner();
}

// Run with only GL_ARB_framebuffer_object and GL_EXT_framebuffer_multisample hidden: frame
// buffers there are, but single-sample ones would lose the multisampled window's smoothing.
TEST(HiddenExtension, AMultisampledWindowKeepsTheCornerWithoutMultisampledFrameBuffers) {
  ASSERT_NE(dlsym(RTLD_DEFAULT, "velmoHideGlExtensionLoaded"), nullptr) << "run with LD_PRELOAD of the library";
  ASSERT_TRUE(ensureGlContext(256, 256, GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL | GLUT_MULTISAMPLE));
  GLint samples = 0;
  glGetIntegerv(GL_SAMPLES, &samples);
  ASSERT_GT(samples, 1) << "a multisampled window";
  expectFaceViewsThroughTheCorner();
}
