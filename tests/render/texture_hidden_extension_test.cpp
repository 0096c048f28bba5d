// Run with the hide_gl_extension library preloaded and VELMO_HIDE_GL_EXTENSION naming
// GL_ARB_texture_cube_map and GL_ARB_multitexture: the game's extension test no longer finds them.
#include <GL/gl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "render/texture.h"
#include "tests/support/gl_context.h"

// Under the sanitizers: Mesa's driver is unloaded at exit with its allocations still held, and
// the leak check would blame them on an unknown module; this program only checks addresses.
extern "C" __attribute__((used)) const char* __asan_default_options() { return "detect_leaks=0"; }

TEST(HiddenExtension, PreloadedFilterTakesTheNamesOutOfTheList) {
  ASSERT_NE(dlsym(RTLD_DEFAULT, "velmoHideGlExtensionLoaded"), nullptr) << "run with LD_PRELOAD of the library";
  const char* hidden = std::getenv("VELMO_HIDE_GL_EXTENSION");
  ASSERT_NE(hidden, nullptr);
  ASSERT_TRUE(ensureGlContext());
  const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  ASSERT_NE(list, nullptr);
  std::istringstream names(hidden);
  for (std::string name; names >> name;) {
    EXPECT_FALSE(hasGlExtension(name.c_str())) << name;
    std::istringstream words(list);
    for (std::string word; words >> word;) EXPECT_NE(word, name);
  }
  // Everything else is still there, including names that merely start with a hidden one.
  EXPECT_TRUE(hasGlExtension("GL_ARB_texture_env_combine"));
  EXPECT_TRUE(hasGlExtension("GL_ARB_texture_env_dot3"));
  EXPECT_TRUE(hasGlExtension("GL_ARB_texture_cube_map_array"));
  EXPECT_NE(std::string(reinterpret_cast<const char*>(glGetString(GL_VENDOR))), "");
}
