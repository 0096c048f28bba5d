// Run with the hide_gl_extension library preloaded and GL_ARB_texture_cube_map hidden: the cube
// map's start-up refuses to go on before the ship is loaded.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

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
  } catch (int code) {
    thrown = code;
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Initializeing cube map...ARB_texture_cube_map NOT supported.\n");
  EXPECT_EQ(thrown, 1);
  EXPECT_EQ(shipModel, nullptr);
}
