// The environment cube map: start-up, the six views, the face capture and the reflective ship.
#include "render/cubemap.h"

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <cfloat>
#include <new>

#include "base/console.h"
#include "base/error.h"
#include "render/framebuffer.h"
#include "render/model_draw.h"
#include "render/texture.h"

int captureWidth = faceWidth;
int captureHeight = faceHeight;
int captureX = 0;
int captureY = 0;
unsigned char* faceBuffer = nullptr;
unsigned char* captureBuffer = nullptr;
GLuint cubeMapTexture = 0;
GLuint captureTexture = 0;
FaceViewOptions faceViewOptions;

// The heading turns every view about y; the side faces are also turned by 180° when captured.
const CubeFaceView cubeFaceViews[6] = {
    {GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, 90.0f, 0.0f, 1.0f, 0.0f, true, true},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_X_ARB, 90.0f, 0.0f, -1.0f, 0.0f, false, true},
    {GL_TEXTURE_CUBE_MAP_POSITIVE_Y_ARB, 90.0f, -1.0f, 0.0f, 0.0f, false, false},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB, 90.0f, 1.0f, 0.0f, 0.0f, false, false},
    {GL_TEXTURE_CUBE_MAP_POSITIVE_Z_ARB, 180.0f, 0.0f, 1.0f, 0.0f, false, true},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB, 0.0f, 0.0f, 0.0f, 0.0f, false, true},
};

namespace {

constexpr float faceEyeRaise = 7.0f;  // the faces are seen from this far above the eye
// The face projection: a 90° square view with the far plane as far as a float reaches.
constexpr double faceFieldOfView = 90.0;
constexpr double faceNear = 1.0;
constexpr double faceFar = FLT_MAX;

// GL reads texture rows back with the default pack alignment of 4; a face row needs none.
static_assert(faceSide * 3 % 8 == 0);

// Levels 1 to 7 of the face being built; static, so a capture never allocates.
std::array<unsigned char, faceMipTailBytes> faceMipTail;

// The face in captureBuffer, bottom row first, turned or copied into faceBuffer and built with
// its mipmaps into the cube map's face `faceTarget`.
void buildCapturedFace(GLuint cubeMapTexture, GLenum faceTarget, bool rotate) {
  glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cubeMapTexture);
  FaceImageIn captured(captureBuffer, faceImageBytes);
  FaceImageOut face(faceBuffer, faceImageBytes);
  if (rotate)
    rotateImage180(captured, face);
  else
    copyImage(captured, face);
  buildFaceMipmaps(faceTarget, FaceImageIn(faceBuffer, faceImageBytes));
}

// Puts the rows of an image drawn upside down back in order.
void turnRowsOver(unsigned char* image) {
  constexpr std::size_t rowBytes = std::size_t(faceSide) * 3;
  for (int r = 0; r < faceSide / 2; ++r)
    std::swap_ranges(image + r * rowBytes, image + (r + 1) * rowBytes, image + (faceSide - 1 - r) * rowBytes);
}

// Face i's view, just drawn into the frame buffer, read back and built into the cube map.
void captureFramebufferFace(int i, bool upsideDown) {
  resolveFaceFramebuffer();
  glBindTexture(GL_TEXTURE_2D, faceFramebufferTexture());
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, captureBuffer);
  if (upsideDown) turnRowsOver(captureBuffer);
  buildCapturedFace(cubeMapTexture, cubeFaceViews[i].target, cubeFaceViews[i].rotate);
}

// The face projection, turned upside down when asked (which also turns the triangles' winding).
void loadFaceProjection(bool upsideDown) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (upsideDown) glScalef(1.0f, -1.0f, 1.0f);
  gluPerspective(faceFieldOfView, 1.0, faceNear, faceFar);
  glMatrixMode(GL_MODELVIEW);
  glFrontFace(upsideDown ? GL_CW : GL_CCW);
}

// Loads the face's view matrix: the fixed turn and the heading, then the raised eye.
void loadFaceView(const CubeFaceView& face, float heading, float cameraX, float cameraY, float cameraZ) {
  glLoadIdentity();
  if (face.headingFirst) glRotatef(heading, 0.0f, 1.0f, 0.0f);
  if (face.angle != 0.0f) glRotatef(face.angle, face.axisX, face.axisY, face.axisZ);
  if (!face.headingFirst) glRotatef(heading, 0.0f, 1.0f, 0.0f);
  glTranslatef(cameraX, cameraY, cameraZ);
  glTranslatef(0.0f, -faceEyeRaise, 0.0f);
}

// A zeroed buffer of one face image, kept for the whole run.
unsigned char* faceImageBuffer(unsigned char* previous) {
  delete[] previous;
  unsigned char* buffer = new (std::nothrow) unsigned char[faceImageBytes]();
  if (!buffer) throw GameError{failureText::notEnoughMemory};
  return buffer;
}

}  // namespace

void initCubeMap() {
  consolePrint(stdout, "Initializeing cube map...");
  if (!hasGlExtension("GL_ARB_texture_cube_map")) {
    consolePrint(stdout, "ARB_texture_cube_map NOT supported.\n");
    throw GameError{};
  }
  logOk();
}

void createFrameTextures() {
  glGenTextures(1, &cubeMapTexture);
  glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cubeMapTexture);
  glGenTextures(1, &captureTexture);
  glBindTexture(GL_TEXTURE_2D, captureTexture);

  faceBuffer = faceImageBuffer(faceBuffer);
  captureWidth = faceWidth;
  captureHeight = faceHeight;
  captureBuffer = faceImageBuffer(captureBuffer);
  captureX = 0;
  captureY = 0;

  // Gives the capture texture its storage; the buffer's contents do not matter.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, captureWidth, captureHeight, GL_RGB, GL_UNSIGNED_BYTE, captureBuffer);
  if (GLenum error = glGetError(); error != GL_NO_ERROR)
    consolePrint(stdout, "Error building 2DMipmaps: %i", int(error));

  // The faces are smoothed as the window is: a multisampled window, a multisampled frame buffer.
  GLint windowSamples = 0;
  glGetIntegerv(GL_SAMPLES, &windowSamples);
  if (!faceViewOptions.windowSamples) windowSamples = 0;
  faceViewOptions.offScreen = faceViewOptions.offScreen && createFaceFramebuffer(faceSide, windowSamples);
}

void renderCubeMap(float heading, float cameraX, float cameraY, float cameraZ, void (*drawView)()) {
  glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cubeMapTexture);
  glGetError();  // an earlier error is not the capture's
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glViewport(0, 0, captureWidth, captureHeight);
  if (faceViewOptions.offScreen) {
    // The frame buffer is 128 × 128: a clear reaches exactly the face. Drawing all six views
    // before reading any back (into six frame buffers) gained nothing measurable on llvmpipe.
    const bool upsideDown = faceFramebufferUpsideDown();
    loadFaceProjection(upsideDown);
    bindFaceFramebuffer();
    for (int i = 0; i < 6; ++i) {
      glPushMatrix();
      loadFaceView(cubeFaceViews[i], heading, cameraX, cameraY, cameraZ);
      drawView();
      glPopMatrix();
      captureFramebufferFace(i, upsideDown);
    }
    bindWindowFramebuffer();
    if (upsideDown) loadFaceProjection(false);
    return;
  }
  loadFaceProjection(false);

  // Only the captured corner of a face view is ever used, and the window's own view clears the
  // whole window afterwards: the views' clears need not reach beyond the corner. Drawing stays
  // inside the viewport, which is the same rectangle.
  glScissor(captureX, captureY, captureWidth, captureHeight);
  glEnable(GL_SCISSOR_TEST);
  for (const CubeFaceView& face : cubeFaceViews) {
    glPushMatrix();
    loadFaceView(face, heading, cameraX, cameraY, cameraZ);
    drawView();
    captureCubeFace(captureTexture, cubeMapTexture, face.target, face.rotate);
    glPopMatrix();
  }
  glDisable(GL_SCISSOR_TEST);
}

void captureCubeFace(GLuint captureTexture, GLuint cubeMapTexture, GLenum faceTarget, bool rotate) {
  assert(faceBuffer && captureBuffer && "createFrameTextures makes the buffers first");
  assert(captureWidth * captureHeight * 3 <= int(faceImageBytes));
  try {
    copyScreenToTexture(captureTexture, captureBuffer, captureX, captureY, captureWidth, captureHeight);
  } catch (const GameError&) {
    consolePrint(stderr, "Error saving screen to cube map\n");
    return;
  }
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, captureBuffer);
  buildCapturedFace(cubeMapTexture, faceTarget, rotate);
}

void buildFaceMipmaps(GLenum faceTarget, FaceImageIn face) {
  buildFaceMipTail(face, faceMipTail);
  // A face built before keeps its storage and only takes the new pixels.
  const bool refill = levelHoldsRgb(faceTarget, 0, faceWidth, faceHeight) &&
                      levelHoldsRgb(faceTarget, faceMipLevels - 1, 1, 1);
  uploadSquareMipmaps(faceTarget, 3, faceSide, face.data(), faceMipTail.data(), refill);
}

void drawReflectiveShip(const Model* ship, GLuint cubeMapTexture) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameterf(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameterf(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glEnable(GL_TEXTURE_CUBE_MAP_ARB);
  // Reflection vectors in eye coordinates index the cube map, which the faces line up with the eye.
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP_ARB);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP_ARB);
  glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP_ARB);
  glEnable(GL_TEXTURE_CUBE_MAP_ARB);
  glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cubeMapTexture);
  if (GLenum error = glGetError(); error != GL_NO_ERROR)
    consolePrint(stdout, "Error binding texture cube map: %i", int(error));
  glTexParameterf(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameterf(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
  glEnable(GL_TEXTURE_GEN_R);
  glDisable(GL_LIGHTING);
  if (ship) drawModel(*ship);
  glEnable(GL_LIGHTING);
  glPopAttrib();
}
