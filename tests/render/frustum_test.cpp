// Culling by the view frustum: which bounding spheres lie wholly outside the game's views, and
// which interface the face views' frame buffers are made through.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <numbers>
#include <cstring>
#include <string>
#include <vector>

#include "app/frame.h"
#include "render/framebuffer.h"
#include "render/frustum.h"

namespace {

using Matrix = std::array<float, 16>;  // column-major

Matrix identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

// gluPerspective's matrix, in double as GLU computes it and stored as floats.
Matrix perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
  double f = 1.0 / std::tan(fovyDegrees * std::numbers::pi / 360.0);
  Matrix m{};
  m[0] = float(f / aspect);
  m[5] = float(f);
  m[10] = float((zFar + zNear) / (zNear - zFar));
  m[11] = -1.0f;
  m[14] = float(2.0 * zFar * zNear / (zNear - zFar));
  return m;
}

// A turn of `degrees` about y followed by a move of (tx, ty, tz), as glRotatef then glTranslatef.
Matrix turnThenMove(float degrees, float tx, float ty, float tz) {
  float c = std::cos(degrees * float(std::numbers::pi) / 180.0f), s = std::sin(degrees * float(std::numbers::pi) / 180.0f);
  Matrix m = {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
  m[12] = c * tx + s * tz;
  m[13] = ty;
  m[14] = -s * tx + c * tz;
  return m;
}

struct SphereCase {
  const char* what;
  float x, y, z, radius;
  bool outside;
};

void expectCases(const Frustum& frustum, const std::vector<SphereCase>& cases) {
  for (const SphereCase& c : cases)
    EXPECT_EQ(sphereOutsideFrustum(frustum, c.x, c.y, c.z, c.radius), c.outside) << c.what;
}

}  // namespace

TEST(Frustum, FaceViewCullsOnlyWhatLiesWhollyBesideOrBehindIt) {
  // The face views' 90° square projection with the far plane as far as a float reaches.
  Matrix p = perspective(90.0, 1.0, 1.0, FLT_MAX);
  Frustum frustum = frustumFromMatrices(p.data(), identity().data());
  EXPECT_EQ(frustum.count, 5);  // no far plane
  expectCases(frustum, {
                           {"straight ahead", 0, 0, -50, 1, false},
                           {"a million ahead", 0, 0, -1e6f, 1, false},
                           {"beside, wholly left of the 45° edge", -60, 0, -50, 5, true},
                           {"beside, touching the left edge", -55, 0, -50, 5, false},
                           {"above, wholly", 0, 80, -50, 10, true},
                           {"below, straddling", 0, -52, -50, 5, false},
                           {"behind the eye", 0, 0, 30, 10, true},
                           {"around the eye", 0, 0, 0, 2, false},
                           {"between the eye and the near plane", 0, 0, -0.5f, 0.49f, true},
                           {"reaching past the near plane", 0, 0, -0.5f, 0.6f, false},
                           {"negative radius is never culled", -1000, 0, 0, -1, false},
                           {"NaN position is never culled", NAN, 0, 0, 1, false},
                           {"infinite radius is never culled", 0, 0, 1000, INFINITY, false},
                       });
  // A sphere outside by less than the margin for the GL's rounding stays.
  EXPECT_FALSE(sphereOutsideFrustum(frustum, -50.0f - 1.0f * std::sqrt(2.0f) - 0.01f, 0, -50, 1));
  EXPECT_TRUE(sphereOutsideFrustum(frustum, -50.0f - 1.0f * std::sqrt(2.0f) - 1.0f, 0, -50, 1));
}

TEST(Frustum, PlanesFollowTheViewMatrix) {
  // Turned by 90° about y, the view that looked down -z looks down -x (world), seen from
  // (10, 0, 0) moved to the origin.
  Matrix p = perspective(90.0, 1.0, 1.0, FLT_MAX);
  Matrix v = turnThenMove(90.0f, -10.0f, 0.0f, 0.0f);
  Frustum frustum = frustumFromMatrices(p.data(), v.data());
  expectCases(frustum, {
                           {"ahead along +x", 60, 0, 0, 2, false},
                           {"behind, along -x", -40, 0, 0, 2, true},
                           {"where -z was ahead", 10, 0, -60, 2, true},
                       });
}

TEST(Frustum, WindowViewHasNoFarPlaneAndItsWiderSide) {
  // The window's projection: 90° across the shorter side, near 0.5, no far plane.
  Projection wide = computeProjection(1024, 512);
  Frustum frustum = frustumFromMatrices(wide.matrix, identity().data());
  EXPECT_EQ(frustum.count, 5);
  expectCases(frustum, {
                           {"far ahead", 0, 0, -1e7f, 1, false},
                           {"within the wider side", -150, 0, -100, 1, false},
                           {"beyond the wider side", -250, 0, -100, 1, true},
                           {"beyond the shorter side", 0, 150, -100, 1, true},
                           {"behind the near plane", 0, 0, -0.3f, 0.1f, true},
                       });
}

TEST(FramebufferApi, CoreNamesArePreferredAndEitherExtensionWillDo) {
  EXPECT_EQ(framebufferApiFor("GL_EXT_framebuffer_object GL_ARB_framebuffer_object"), FramebufferApi::core);
  EXPECT_EQ(framebufferApiFor("GL_ARB_texture_cube_map GL_EXT_framebuffer_object"), FramebufferApi::ext);
  EXPECT_EQ(framebufferApiFor("GL_EXT_framebuffer_object_extra GL_EXT_framebuffer_blit"), FramebufferApi::none);
  EXPECT_EQ(framebufferApiFor(nullptr), FramebufferApi::none);
  // Multisampled frame buffers and their resolve: part of the core names, two more extensions
  // with the EXT ones.
  EXPECT_TRUE(framebufferMultisampleFor(FramebufferApi::core, ""));
  EXPECT_TRUE(framebufferMultisampleFor(FramebufferApi::ext, "GL_EXT_framebuffer_blit GL_EXT_framebuffer_multisample"));
  EXPECT_FALSE(framebufferMultisampleFor(FramebufferApi::ext, "GL_EXT_framebuffer_multisample"));
  EXPECT_FALSE(framebufferMultisampleFor(FramebufferApi::ext, "GL_EXT_framebuffer_blit"));
  EXPECT_FALSE(framebufferMultisampleFor(FramebufferApi::none, "GL_EXT_framebuffer_blit GL_EXT_framebuffer_multisample"));
}

namespace {

std::vector<std::string> asked;
std::string refused;

void standIn() {}

GlProc lookup(const char* name) {
  asked.emplace_back(name);
  return refused == name ? nullptr : standIn;
}

}  // namespace

TEST(FramebufferApi, EntryPointsComeUnderTheInterfacesNamesAndEachButTheOptionalOnesIsNeeded) {
  asked.clear();
  refused.clear();
  EXPECT_TRUE(loadFramebufferEntryPoints(FramebufferApi::ext, lookup));
  ASSERT_EQ(asked.size(), 13u);
  for (const std::string& name : asked) EXPECT_EQ(name.substr(name.size() - 3), "EXT") << name;
  std::vector<std::string> extNames = asked;

  asked.clear();
  EXPECT_TRUE(loadFramebufferEntryPoints(FramebufferApi::core, lookup));
  for (std::size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(asked[i] + "EXT", extNames[i]);

  for (const std::string& name : extNames) {
    refused = name;
    const bool optional = name == "glGenerateMipmapEXT" || name == "glRenderbufferStorageMultisampleEXT" ||
                          name == "glBlitFramebufferEXT";
    EXPECT_EQ(loadFramebufferEntryPoints(FramebufferApi::ext, lookup), optional) << name;
  }
  refused.clear();
  asked.clear();
  EXPECT_FALSE(loadFramebufferEntryPoints(FramebufferApi::none, lookup));
  EXPECT_TRUE(asked.empty());
}
