// The environment cube map against a real GL context: start-up textures, the face capture, the
// six views and the mirror they make on a reflective sphere.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "game/ship.h"
#include "model/model.h"
#include "render/cubemap.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

// Under the sanitizers: Mesa's driver is unloaded at exit with its allocations still held, and
// the leak check would blame them on an unknown module; this program only checks addresses.
extern "C" __attribute__((used)) const char* __asan_default_options() { return "detect_leaks=0"; }

// Counts the program's own allocations while a test asks for it. The address sanitizer keeps
// its own allocator, which the driver's mixed new, delete and free calls must reach unchanged.
#ifndef __SANITIZE_ADDRESS__
#define VELMO_COUNTS_ALLOCATIONS 1
namespace {
bool countingAllocations = false;
int allocations = 0;
void* allocate(std::size_t size) {
  if (countingAllocations) ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace {

using Bytes = std::vector<unsigned char>;
constexpr int windowSide = 256;

struct Rgb {
  int r, g, b;
};

class CubeMapTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!ensureGlContext(windowSide, windowSide)) return;
    // Start-up's textures, made where there is no "blast2.bmp".
    ScratchDir empty("cubemap-empty");
    WorkingDir inside(empty.path());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    createBlastTexture();
    createFrameTextures();
    startOut = new std::string(testing::internal::GetCapturedStdout());
    startErr = new std::string(testing::internal::GetCapturedStderr());
  }

  void SetUp() override {
    ASSERT_TRUE(ensureGlContext(windowSide, windowSide));
    while (glGetError() != GL_NO_ERROR) {
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glViewport(0, 0, windowSide, windowSide);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
  }

  // Puts the image into the window's lower-left 128 × 128 pixels, its row 0 at the bottom.
  static void drawCorner(const Bytes& image) {
    glRasterPos2f(-1.0f, -1.0f);
    glDrawPixels(faceSide, faceSide, GL_RGB, GL_UNSIGNED_BYTE, image.data());
  }

  static Bytes face(GLenum target) {
    Bytes pixels(faceImageBytes);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cubeMapTexture);
    glGetTexImage(target, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  static std::string* startOut;
  static std::string* startErr;
};
std::string* CubeMapTest::startOut = nullptr;
std::string* CubeMapTest::startErr = nullptr;

Bytes numbered() {
  Bytes image(faceImageBytes);
  for (std::size_t i = 0; i < faceImageBytes; i += 3) {
    std::size_t pixel = i / 3;
    image[i] = (unsigned char)(pixel % faceSide * 2);
    image[i + 1] = (unsigned char)(pixel / faceSide * 2);
    image[i + 2] = (unsigned char)(pixel * 37 % 251);
  }
  return image;
}

Bytes turned(const Bytes& image) {
  Bytes result(faceImageBytes);
  rotateImage180(FaceImageIn(image.data(), faceImageBytes), FaceImageOut(result.data(), faceImageBytes));
  return result;
}

Bytes pixelAt(const Bytes& image, std::size_t index) { return Bytes(&image[index * 3], &image[index * 3 + 3]); }

}  // namespace

TEST_F(CubeMapTest, StartUpMakesTheTexturesAndBuffersAndGoesOnWithoutTheBlastImage) {
  ASSERT_NE(startOut, nullptr);
  EXPECT_EQ(*startOut, "Error loading blast2.bmp.\n");
  EXPECT_EQ(*startErr, "Failed to open DIB file blast2.bmp.\n");
  EXPECT_NE(faceBuffer, nullptr);
  EXPECT_NE(captureBuffer, nullptr);
  EXPECT_EQ(captureWidth, 128);
  EXPECT_EQ(captureHeight, 128);
  EXPECT_EQ(captureX, 0);
  EXPECT_EQ(captureY, 0);
  for (GLuint texture : {blastTexture, cubeMapTexture, captureTexture}) EXPECT_TRUE(glIsTexture(texture));
  EXPECT_NE(blastTexture, cubeMapTexture);
  EXPECT_NE(cubeMapTexture, captureTexture);

  // The capture texture holds 128 × 128 RGB with its whole mipmap chain down to 1 × 1.
  glBindTexture(GL_TEXTURE_2D, captureTexture);
  GLint width = 0, height = 0, last = 0, format = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 7, GL_TEXTURE_WIDTH, &last);
  EXPECT_EQ(width, 128);
  EXPECT_EQ(height, 128);
  EXPECT_EQ(last, 1);
  EXPECT_TRUE(format == 3 || format == GL_RGB || format == GL_RGB8) << format;
  // The cube-map name is of cube-map type: binding it as 2D is refused.
  glBindTexture(GL_TEXTURE_2D, cubeMapTexture);
  EXPECT_EQ(glGetError(), GLenum(GL_INVALID_OPERATION));
  GLint unpack = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
  EXPECT_EQ(unpack, 1);
}

TEST_F(CubeMapTest, CapturedFaceHoldsTheCornerTurnedOrAsItIs) {
  const Bytes corner = numbered();
  struct Case {
    GLenum target;
    bool rotate;
  } cases[] = {{GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, true}, {GL_TEXTURE_CUBE_MAP_POSITIVE_Y_ARB, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rotate ? "rotate" : "as it is");
    glClear(GL_COLOR_BUFFER_BIT);
    drawCorner(corner);
    captureCubeFace(captureTexture, cubeMapTexture, c.target, c.rotate);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    const Bytes built = face(c.target);
    // The frame buffer's lower-left pixel: last pixel of the last row, or first of the first.
    Bytes lowerLeft(3);
    glReadPixels(0, 0, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, lowerLeft.data());
    EXPECT_EQ(lowerLeft, pixelAt(corner, 0));
    EXPECT_EQ(pixelAt(built, c.rotate ? faceSide * faceSide - 1 : 0), lowerLeft);
    EXPECT_EQ(built, c.rotate ? turned(corner) : corner);
    // The whole mipmap chain was rebuilt: level 7 is one texel.
    GLint last = 0;
    glGetTexLevelParameteriv(c.target, 7, GL_TEXTURE_WIDTH, &last);
    EXPECT_EQ(last, 1);
  }
}

TEST_F(CubeMapTest, CaptureMakesNoAllocationOfItsOwn) {
#ifndef VELMO_COUNTS_ALLOCATIONS
  GTEST_SKIP() << "allocations are counted only without the address sanitizer";
#else
  drawCorner(numbered());
  // The driver compiles and caches its own code on first use; the steady state is what counts.
  for (int i = 0; i < 12; ++i) captureCubeFace(captureTexture, cubeMapTexture, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB, i % 2);
  allocations = 0;
  countingAllocations = true;
  for (int i = 0; i < 6; ++i) captureCubeFace(captureTexture, cubeMapTexture, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB, i % 2);
  countingAllocations = false;
  EXPECT_EQ(allocations, 0);
#endif
}

TEST_F(CubeMapTest, FailedCopyIsReportedAndTheFaceKeepsItsPicture) {
  const Bytes corner = numbered();
  drawCorner(corner);
  captureCubeFace(captureTexture, cubeMapTexture, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB, false);
  ASSERT_EQ(face(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB), corner);

  glClear(GL_COLOR_BUFFER_BIT);
  const int saved = captureWidth;
  captureWidth = -1;  // a rectangle GL refuses to copy
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  captureCubeFace(captureTexture, cubeMapTexture, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB, false);
  std::string err = testing::internal::GetCapturedStderr();
  std::string out = testing::internal::GetCapturedStdout();
  captureWidth = saved;
  EXPECT_EQ(out, "Error building 2DMipmaps: " + std::to_string(GL_INVALID_VALUE) + "\n");
  const std::string copying = "Error copying tex image: ";
  ASSERT_EQ(err.rfind(copying, 0), 0u) << err;
  const std::size_t lineEnd = err.find('\n');
  EXPECT_GT(std::stoi(err.substr(copying.size(), lineEnd - copying.size())), 0);
  EXPECT_EQ(err.substr(lineEnd + 1), "Error saving screen to cube map\n");
  EXPECT_EQ(face(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB), corner);
}

// The mirror: six two-toned walls around the eye, the cube map rendered from the eye, and a
// reflective sphere in front of it. Every sampled pixel of the sphere must show the wall its
// reflection ray meets, in the right half.
namespace {

struct Wall {
  Rgb full, dim;
};
// Indexed by axis (x, y, z) and sign (+, -). Side walls are bright above the horizon, the top
// and the bottom on the +x side.
const Wall walls[3][2] = {
    {{{255, 0, 0}, {96, 0, 0}}, {{0, 255, 0}, {0, 96, 0}}},
    {{{0, 0, 255}, {0, 0, 96}}, {{255, 255, 0}, {96, 96, 0}}},
    {{{0, 255, 255}, {0, 96, 96}}, {{255, 0, 255}, {96, 0, 96}}},
};

const Model* drawnShip = nullptr;  // what drawMirroringSphere draws as the ship

void colour(Rgb c) { glColor3ub(GLubyte(c.r), GLubyte(c.g), GLubyte(c.b)); }

// Quads of the walls at distance 10 from the origin, each split in its two halves.
void drawWalls() {
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  const float d = 10.0f;
  glBegin(GL_QUADS);
  for (int sign = 0; sign < 2; ++sign) {
    const float s = sign == 0 ? d : -d;
    // x walls, split at y = 0
    colour(walls[0][sign].full);
    glVertex3f(s, 0, -d), glVertex3f(s, d, -d), glVertex3f(s, d, d), glVertex3f(s, 0, d);
    colour(walls[0][sign].dim);
    glVertex3f(s, -d, -d), glVertex3f(s, 0, -d), glVertex3f(s, 0, d), glVertex3f(s, -d, d);
    // y walls, split at x = 0
    colour(walls[1][sign].full);
    glVertex3f(0, s, -d), glVertex3f(d, s, -d), glVertex3f(d, s, d), glVertex3f(0, s, d);
    colour(walls[1][sign].dim);
    glVertex3f(-d, s, -d), glVertex3f(0, s, -d), glVertex3f(0, s, d), glVertex3f(-d, s, d);
    // z walls, split at y = 0
    colour(walls[2][sign].full);
    glVertex3f(-d, 0, s), glVertex3f(d, 0, s), glVertex3f(d, d, s), glVertex3f(-d, d, s);
    colour(walls[2][sign].dim);
    glVertex3f(-d, -d, s), glVertex3f(d, -d, s), glVertex3f(d, 0, s), glVertex3f(-d, 0, s);
  }
  glEnd();
}

struct Direction {
  double x, y, z;
};

// The wall colour a world direction meets, or nothing when it lies too near an edge or a split.
std::optional<Rgb> wallSeen(Direction w) {
  double a[3] = {w.x, w.y, w.z};
  int axis = 0;
  for (int i = 1; i < 3; ++i)
    if (std::fabs(a[i]) > std::fabs(a[axis])) axis = i;
  double major = std::fabs(a[axis]);
  for (int i = 0; i < 3; ++i)
    if (i != axis && std::fabs(a[i]) > 0.8 * major) return std::nullopt;
  double split = axis == 1 ? a[0] : a[1];
  if (std::fabs(split) < 0.2 * major) return std::nullopt;
  const Wall& wall = walls[axis][a[axis] > 0 ? 0 : 1];
  return split > 0 ? wall.full : wall.dim;
}

constexpr double sphereDistance = 2.0;  // eye to centre, radius 1

// For the window pixel (px, py), the world direction the sphere reflects there, if it is hit.
std::optional<Direction> reflectedAt(int px, int py, double headingDegrees) {
  // Under the 90° square projection a pixel's ray is (sx, sy, -1) with sx, sy in -1..1.
  double sx = (px + 0.5) / windowSide * 2.0 - 1.0, sy = (py + 0.5) / windowSide * 2.0 - 1.0;
  double length = std::sqrt(sx * sx + sy * sy + 1.0);
  Direction d{sx / length, sy / length, -1.0 / length};
  // |t d - c|^2 = 1 with c = (0, 0, -D): t^2 + 2 D d.z t + D^2 - 1 = 0, nearer root.
  double b = sphereDistance * d.z, disc = b * b - (sphereDistance * sphereDistance - 1.0);
  if (disc < 0.0) return std::nullopt;
  double t = -b - std::sqrt(disc);
  Direction n{t * d.x, t * d.y, t * d.z + sphereDistance};
  double dn = d.x * n.x + d.y * n.y + d.z * n.z;
  if (dn > -0.35) return std::nullopt;  // too near the rim, where the reflection turns fast
  Direction r{d.x - 2 * dn * n.x, d.y - 2 * dn * n.y, d.z - 2 * dn * n.z};
  // Eye to world: the view turned the world by the heading about y.
  double h = headingDegrees * M_PI / 180.0, c = std::cos(h), s = std::sin(h);
  return Direction{r.x * c - r.z * s, r.y, r.x * s + r.z * c};
}

void drawMirroringSphere(float heading) {
  renderCubeMap(heading, 0.0f, 7.0f, 0.0f, drawWalls);  // the faces' eye at the world origin
  glViewport(0, 0, windowSide, windowSide);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(90.0, 1.0, 0.1, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glTranslated(0.0, 0.0, -sphereDistance);
  drawReflectiveShip(drawnShip, cubeMapTexture);
  glDisable(GL_DEPTH_TEST);
}

// A ship that is one white unit sphere.
struct SphereShip {
  SphereShip() {
    mesh.generate(64);
    model.root = std::make_unique<ModelNode>();
    model.root->mesh = &mesh;
    drawnShip = &model;
  }
  ~SphereShip() { drawnShip = nullptr; }
  SphereMesh mesh;
  Model model;
};

}  // namespace

TEST_F(CubeMapTest, SphereMirrorsTheWallsItFacesWhateverTheHeading) {
  SphereShip ship;
  for (float heading : {0.0f, 35.0f, 250.0f}) {
    SCOPED_TRACE(heading);
    drawMirroringSphere(heading);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    Bytes window(std::size_t(windowSide * windowSide * 3));
    glReadPixels(0, 0, windowSide, windowSide, GL_RGB, GL_UNSIGNED_BYTE, window.data());
    int checked = 0, wrong = 0;
    for (int y = 0; y < windowSide; y += 3)
      for (int x = 0; x < windowSide; x += 3) {
        std::optional<Direction> ray = reflectedAt(x, y, heading);
        if (!ray) continue;
        std::optional<Rgb> expected = wallSeen(*ray);
        if (!expected) continue;
        const unsigned char* p = &window[std::size_t(y * windowSide + x) * 3];
        ++checked;
        if (std::abs(p[0] - expected->r) > 50 || std::abs(p[1] - expected->g) > 50 ||
            std::abs(p[2] - expected->b) > 50) {
          if (++wrong <= 5)
            ADD_FAILURE() << "pixel " << x << "," << y << " shows " << int(p[0]) << " " << int(p[1]) << " "
                          << int(p[2]) << ", the wall is " << expected->r << " " << expected->g << " "
                          << expected->b;
        }
      }
    EXPECT_GT(checked, 500);
    EXPECT_EQ(wrong, 0) << "of " << checked;
    // Straight back along the view: the wall behind the eye.
    const unsigned char* centre = &window[std::size_t((windowSide / 2) * windowSide + windowSide / 2) * 3];
    EXPECT_GT(int(centre[0]) + centre[1] + centre[2], 150);
  }
}

TEST_F(CubeMapTest, ShipIsDrawnEvenWhenTheBindFailsAndEveryStateComesBack) {
  SphereShip ship;
  drawMirroringSphere(0.0f);
  glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Bytes background(3), centre(3);
  glReadPixels(windowSide / 2, windowSide / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, background.data());
  glEnable(GL_LIGHTING);
  glGetError();
  testing::internal::CaptureStdout();
  drawReflectiveShip(drawnShip, blastTexture);  // a 2D texture cannot be bound as a cube map
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error binding texture cube map: " + std::to_string(GL_INVALID_OPERATION));
  glReadPixels(windowSide / 2, windowSide / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, centre.data());
  EXPECT_NE(centre, background);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  for (GLenum cap : {GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
    EXPECT_FALSE(glIsEnabled(cap)) << cap;
  GLint mode = 0;
  glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
  EXPECT_EQ(mode, GL_EYE_LINEAR);
  glDisable(GL_LIGHTING);

  // Without a ship nothing is drawn.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawReflectiveShip(nullptr, cubeMapTexture);
  glReadPixels(windowSide / 2, windowSide / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, centre.data());
  EXPECT_EQ(centre, background);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

namespace {

// A one-part ship: the part directory "ball" lists one recording, an empty sphere.
void writeBallShip(const ScratchDir& dir) {
  std::string model = "C3DOBJECT";
  const std::int32_t nameLength = 4;
  const float detailScale = 1.0f;
  const std::uint32_t extra = 0;
  model.append(reinterpret_cast<const char*>(&nameLength), 4).append("ball");
  model.append(reinterpret_cast<const char*>(&detailScale), 4).append(reinterpret_cast<const char*>(&extra), 4);
  dir.write("vorizozadi1", model);
  dir.write("ball/files.txt", "empty");
  dir.write("ball/empty", std::string(4, '\0'));
}

// The console text with every progress stamp (" [  OK  ] " and 24 characters of date and
// time, "Mon Dec 07 06:17:58 2026") written as " [OK]"; a malformed stamp stays as it is.
std::string withoutStamps(std::string text) {
  const std::string mark = " [  OK  ] ";
  for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) {
    std::string date = text.substr(at + mark.size(), 24);
    if (date.size() == 24 && date[3] == ' ' && date[7] == ' ' && date[13] == ':' && date[16] == ':' &&
        std::isdigit(static_cast<unsigned char>(date[23])))
      text.replace(at, mark.size() + 24, " [OK]");
  }
  return text;
}

}  // namespace

TEST_F(CubeMapTest, StartUpLoadsTheShipBetweenItsProgressLines) {
  ScratchDir dir("cubemap-ship");
  writeBallShip(dir);
  WorkingDir inside(dir.path());
  testing::internal::CaptureStdout();
  initCubeMap();
  loadShip(20);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(withoutStamps(out), "Initializeing cube map... [OK]\nLoading vorizozadi... [OK]\n");
  ASSERT_NE(shipModel, nullptr);
  ASSERT_NE(shipModel->root, nullptr);
  EXPECT_EQ(shipModel->root->name, "ball");
  EXPECT_NE(shipModel->root->mesh, nullptr);
  shipModel.reset();
}

TEST_F(CubeMapTest, MissingShipFailsAfterItsProgressText) {
  ScratchDir dir("cubemap-no-ship");
  WorkingDir inside(dir.path());
  testing::internal::CaptureStdout();
  int thrown = 0;
  try {
    initCubeMap();
    loadShip(20);
  } catch (const GameError& failure) {
    thrown = failure.message ? -1 : 1;
  }
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(thrown, 1);
  EXPECT_EQ(withoutStamps(out), "Initializeing cube map... [OK]\nLoading vorizozadi...");
  EXPECT_EQ(shipModel, nullptr);
}

namespace {

// A face view that only clears, to a colour of its own.
void clearToRed() {
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

}  // namespace

TEST_F(CubeMapTest, FaceViewsClearTheirWholeFaceAndTheWindowViewClearsTheWholeWindow) {
  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  renderCubeMap(30.0f, 1.0f, 2.0f, 3.0f, clearToRed);
  ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  Bytes red(faceImageBytes);
  for (std::size_t i = 0; i < faceImageBytes; i += 3) red[i] = 255;
  for (const CubeFaceView& view : cubeFaceViews) EXPECT_EQ(face(view.target), red) << view.target;

  // What the window's view clears next must reach every pixel again.
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  glViewport(0, 0, windowSide, windowSide);
  glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  Bytes window(std::size_t(windowSide * windowSide * 3));
  glReadPixels(0, 0, windowSide, windowSide, GL_RGB, GL_UNSIGNED_BYTE, window.data());
  Bytes green(window.size());
  for (std::size_t i = 1; i < green.size(); i += 3) green[i] = 255;
  EXPECT_EQ(window, green);
}
