// Texture loading, the extension test and the screen copy against a real GL context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "render/bmp.h"
#include "render/texture.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

// Under the sanitizers: Mesa's driver is unloaded at exit with its allocations still held, and
// the leak check would blame them on an unknown module; this program only checks addresses.
extern "C" __attribute__((used)) const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {

using Bytes = std::vector<std::uint8_t>;

class TextureTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ensureGlContext(256, 256));
    while (glGetError() != GL_NO_ERROR) {
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
  }

  // Level 0 of the texture bound to GL_TEXTURE_2D.
  static Bytes levelPixels(GLenum format, int channels) {
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    Bytes pixels(std::size_t(width * height * channels));
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  ScratchDir dir{"texture"};
};

std::string asText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

Bytes tga(int type, int depth, int width, int height, const Bytes& body, const Bytes& map = {}) {
  int entries = int(map.size() / 3);
  Bytes file = {0, std::uint8_t(map.empty() ? 0 : 1), std::uint8_t(type), 0, 0, std::uint8_t(entries), 0,
                std::uint8_t(map.empty() ? 0 : 24), 0, 0, 0, 0, std::uint8_t(width), 0, std::uint8_t(height), 0,
                std::uint8_t(depth), 0};
  file.insert(file.end(), map.begin(), map.end());
  file.insert(file.end(), body.begin(), body.end());
  if (file.size() < 28) file.resize(28, 0);
  return file;
}

}  // namespace

TEST_F(TextureTest, ExtensionListIsMatchedByTheCharacterAfterTheName) {
  const char* name = "GL_ARB_texture_cube_map";
  struct Case {
    const char* list;
    bool listed;
  } cases[] = {
      {"GL_EXT_a GL_ARB_texture_cube_map", true},
      {"GL_ARB_texture_cube_map GL_EXT_a", true},
      {"GL_ARB_texture_cube_map\tGL_EXT_a", true},
      {"GL_ARB_texture_cube_map\n", true},
      {"GL_ARB_texture_cube_map_array", false},
      {"GL_ARB_texture_cube_map_array GL_EXT_a", false},
      {"GL_ARB_texture_cube_map_array GL_ARB_texture_cube_map", true},
      {"XGL_ARB_texture_cube_map", true},  // the character before a match is not looked at
      {"GL_ARB_texture_cube_ma", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    EXPECT_EQ(extensionListed(c.list, name), c.listed);
  }
  EXPECT_FALSE(extensionListed(nullptr, name));
  EXPECT_FALSE(extensionListed("GL_EXT_a", ""));
}

TEST_F(TextureTest, EveryExtensionOfTheDriverIsFoundAndNoPrefixOfOne) {
  const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  ASSERT_NE(list, nullptr);
  std::istringstream words(list);
  std::vector<std::string> names;
  for (std::string word; words >> word;) names.push_back(word);
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) EXPECT_TRUE(hasGlExtension(name.c_str())) << name;
  for (const char* needed : {"GL_ARB_texture_cube_map", "GL_ARB_texture_env_combine", "GL_ARB_texture_env_dot3",
                             "GL_ARB_multitexture"})
    EXPECT_TRUE(hasGlExtension(needed)) << needed;
  EXPECT_FALSE(hasGlExtension("GL_ARB_texture_cube"));
  EXPECT_FALSE(hasGlExtension("GL_VELMO_no_such_extension"));
}

TEST_F(TextureTest, BmpLoadsAsRedGreenBlue) {
  const Bytes pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3, 4, 5, 6};
  auto path = dir.write("picture.bmp", textOf(writeBmp24(4, 2, pixels)));
  GLuint texture = loadTexture(false, path.c_str());
  ASSERT_NE(texture, 0u);
  EXPECT_EQ(levelPixels(GL_RGB, 3), pixels);
  GLint wrap = 0, minFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  EXPECT_EQ(wrap, GL_REPEAT);
  EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureTest, MipmapsScaleToPowersOfTwo) {
  auto path = dir.write("odd.BMP", textOf(writeBmp24(3, 3, Bytes(27, 200))));
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  ASSERT_TRUE(loadBmpIntoTexture(GL_TEXTURE_2D, true, path.c_str()));
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_TRUE(width == 2 || width == 4);
  EXPECT_EQ(levelPixels(GL_RGB, 3), Bytes(std::size_t(width * width * 3), 200));
  // The chain halves down to 1 × 1 and stops there.
  const int last = width == 4 ? 2 : 1;
  for (int level = 1; level <= last + 1; ++level) {
    GLint levelWidth = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &levelWidth);
    EXPECT_EQ(levelWidth, level <= last ? width >> level : 0) << "level " << level;
  }
}

TEST_F(TextureTest, TgaKindsLoadWithTheirOwnFormat) {
  struct Case {
    const char* name;
    Bytes file;
    GLenum readFormat;
    int channels;
    Bytes expected;
  } cases[] = {
      {"bgr.tga", tga(2, 24, 2, 1, {1, 2, 3, 4, 5, 6}), GL_RGB, 3, {3, 2, 1, 6, 5, 4}},
      {"bgra.TGA", tga(2, 32, 2, 1, {1, 2, 3, 4, 5, 6, 7, 8}), GL_RGBA, 4, {3, 2, 1, 4, 7, 6, 5, 8}},
      {"grey.Tga", tga(3, 8, 2, 1, {9, 200}), GL_LUMINANCE, 1, {9, 200}},
      {"mapped.tga", tga(1, 8, 2, 1, {1, 0}, {10, 20, 30, 40, 50, 60}), GL_RGB, 3, {60, 50, 40, 30, 20, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto path = dir.write(c.name, asText(c.file));
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(loadImageIntoTexture(GL_TEXTURE_2D, false, path.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(levelPixels(c.readFormat, c.channels), c.expected);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  }
}

TEST_F(TextureTest, ExtensionChoosesTheReaderAndFailuresAreReported) {
  const std::string bmpText = textOf(writeBmp24(1, 1, Bytes{1, 2, 3}));
  const std::string noDot = dir.write("plain", bmpText).string();
  const std::string dotInFolder = dir.write("folder.d/plain", bmpText).string();
  const std::string png = dir.write("picture.png", bmpText).string();
  const std::string missing = (dir.path() / "missing.bmp").string();
  const std::string badTga = dir.write("bad.tga", "short").string();
  const std::string colourMapMiss = dir.write("miss.tga", asText(tga(1, 8, 1, 1, {5}, {1, 2, 3}))).string();
  struct Case {
    std::string path;
    bool loaded;
    std::string out;
    std::string err;
  } cases[] = {
      {dir.write("upper.BMP", bmpText).string(), true, "", ""},
      {dir.write("mixed.Bmp", bmpText).string(), true, "", ""},
      {noDot, false, "", ""},
      {dotInFolder, false, "", ""},  // the folder's dot is not the file's extension
      {dir.write("folder.d/image.bmp", bmpText).string(), true, "", ""},
      {png, false, "oops\n", ""},
      {missing, false, "Error loading " + missing + ".\n", "Failed to open DIB file " + missing + ".\n"},
      {badTga, false, "Error loading " + badTga + ".\n", ""},
      {colourMapMiss, false, "Error loading " + colourMapMiss + ".\n", ""},
  };
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadImageIntoTexture(GL_TEXTURE_2D, true, c.path.c_str()), c.loaded);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out);
  }
}

TEST_F(TextureTest, MissingImageStillGivesATextureName) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  GLuint texture = loadTexture(true, "no-such-normal2.bmp");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed to open DIB file no-such-normal2.bmp.\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error loading no-such-normal2.bmp.\n");
  EXPECT_NE(texture, 0u);
  EXPECT_TRUE(glIsTexture(texture));
}

TEST_F(TextureTest, ScreenCopyHoldsExactlyTheCopiedRectangle) {
  // A pattern in the back buffer, then an 8 × 4 rectangle of it copied from (5, 3).
  const int width = 32, height = 16;
  Bytes pattern(std::size_t(width * height * 3));
  for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = std::uint8_t(i * 13 % 251);
  glViewport(0, 0, 256, 256);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glRasterPos2i(-1, -1);  // the lower-left corner of the window under identity matrices
  glDrawPixels(width, height, GL_RGB, GL_UNSIGNED_BYTE, pattern.data());
  Bytes expected(8 * 4 * 3);
  glReadPixels(5, 3, 8, 4, GL_RGB, GL_UNSIGNED_BYTE, expected.data());
  for (int row = 0; row < 4; ++row)
    ASSERT_EQ(0, std::memcmp(&expected[std::size_t(row * 8 * 3)], &pattern[std::size_t(((row + 3) * width + 5) * 3)], 24));

  GLuint texture = 0;
  glGenTextures(1, &texture);
  Bytes buffer(8 * 4 * 3, 0);
  testing::internal::CaptureStdout();
  copyScreenToTexture(texture, buffer.data(), 5, 3, 8, 4);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  glBindTexture(GL_TEXTURE_2D, texture);
  EXPECT_EQ(levelPixels(GL_RGB, 3), expected);
}

TEST_F(TextureTest, FailedScreenCopyReportsAndThrowsOne) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  Bytes buffer(16 * 3, 0);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  int thrown = 0;
  try {
    copyScreenToTexture(texture, buffer.data(), 0, 0, -4, 4);
  } catch (const GameError& failure) {
    thrown = failure.message ? -1 : 1;
  }
  std::string err = testing::internal::GetCapturedStderr();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(thrown, 1);
  EXPECT_EQ(out, "Error building 2DMipmaps: " + std::to_string(GL_INVALID_VALUE) + "\n");
  // The level was never made, so the copy fails too (Mesa says GL_INVALID_OPERATION).
  const std::string prefix = "Error copying tex image: ";
  ASSERT_EQ(err.rfind(prefix, 0), 0u) << err;
  EXPECT_GT(std::stoi(err.substr(prefix.size())), 0);
  EXPECT_EQ(err.back(), '\n');
}
