// The sky box: six raw 512 × 512 faces, drawn at half the square root of the largest float so
// that no camera position in the scene moves the horizon visibly.
#include "render/skybox.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "base/data_file.h"
#include "base/error.h"
#include "render/face_image.h"
#include "render/texture.h"

namespace {

// The box's textures and the face pixels they were built from; one for the whole run.
struct SkyBox {
  GLuint textures[6] = {};                     // indexed by SkyFace
  std::unique_ptr<std::uint8_t[]> buffers[6];  // each face's pixels, kept after the upload
};

SkyBox skyBox;

constexpr int faceIndex(SkyFace face) { return static_cast<int>(face); }

// Texture coordinates and unit positions of each face's fan, indexed by SkyFace. Seen from the
// centre every side face shows its file upright and unmirrored: row 0 along the upper edge.
constexpr SkyCorner fans[6][4] = {
    // left, x = -h
    {{1, 0, -1, 1, -1}, {0, 0, -1, 1, 1}, {0, 1, -1, -1, 1}, {1, 1, -1, -1, -1}},
    // right, x = h
    {{0, 0, 1, 1, -1}, {0, 1, 1, -1, -1}, {1, 1, 1, -1, 1}, {1, 0, 1, 1, 1}},
    // top, y = h
    {{0, 0, 1, 1, -1}, {0, 1, 1, 1, 1}, {1, 1, -1, 1, 1}, {1, 0, -1, 1, -1}},
    // bottom, y = -h
    {{0, 0, 1, -1, -1}, {1, 0, -1, -1, -1}, {1, 1, -1, -1, 1}, {0, 1, 1, -1, 1}},
    // front, z = h
    {{1, 0, -1, 1, 1}, {0, 0, 1, 1, 1}, {0, 1, 1, -1, 1}, {1, 1, -1, -1, 1}},
    // back, z = -h
    {{0, 0, -1, 1, -1}, {0, 1, -1, -1, -1}, {1, 1, 1, -1, -1}, {1, 0, 1, 1, -1}},
};

struct FaceFile {
  SkyFace face;
  const char* path;
  const char* failure;  // the game's text when the face does not load
};

// Load order.
constexpr FaceFile faceFiles[6] = {
    {SkyFace::front, "sky/f.raw", failureText::skyFront},
    {SkyFace::back, "sky/b.raw", failureText::skyBack},
    {SkyFace::left, "sky/l.raw", failureText::skyLeft},
    {SkyFace::right, "sky/r.raw", failureText::skyRight},
    {SkyFace::top, "sky/o.raw", failureText::skyTop},
    {SkyFace::bottom, "sky/earth.raw", failureText::skyBottom},
};

// Draw order.
constexpr SkyFace drawOrder[6] = {SkyFace::back, SkyFace::left, SkyFace::right,
                                  SkyFace::top, SkyFace::front, SkyFace::bottom};

}  // namespace

const SkyCorner* skyFaceFan(SkyFace face) { return fans[faceIndex(face)]; }

std::span<const std::uint8_t> rawFacePixels(std::span<const std::uint8_t> file) {
  if (file.size() < skyFaceBytes) return {};
  return file.first(skyFaceBytes);
}

bool loadRawFace(unsigned texture, std::unique_ptr<std::uint8_t[]>& slot, const char* path, std::string* whyNot) {
  auto refuse = [whyNot](std::string reason) {
    if (whyNot) *whyNot = std::move(reason);
    return false;
  };
  slot.reset();
  const DataFile file = readDataFile(path, skyFaceBytes);
  switch (file.status) {
    case DataRead::ok:
    case DataRead::tooLarge:
      break;
    case DataRead::cannotOpen:
      return refuse(std::strerror(file.openError));
    case DataRead::notRegular:
      return refuse("not a regular file");
    case DataRead::cannotRead:
      return refuse("a read error");
  }
  const std::span<const std::uint8_t> pixels =
      rawFacePixels({reinterpret_cast<const std::uint8_t*>(file.bytes.data()), file.bytes.size()});
  if (pixels.empty())
    return refuse("holds " + std::to_string(file.bytes.size()) + " bytes; a face is " + std::to_string(skyFaceBytes));
  slot.reset(new (std::nothrow) std::uint8_t[skyFaceBytes]);
  if (!slot) return refuse("no memory for its pixels");
  std::copy(pixels.begin(), pixels.end(), slot.get());

  glBindTexture(GL_TEXTURE_2D, texture);
  // The mipmap chain halved by our own box filter, which gives GLU's levels in a fraction of
  // its time; GLU still builds them when the chain's memory cannot be had.
  std::unique_ptr<std::uint8_t[]> tail(new (std::nothrow) std::uint8_t[mipTailBytes(skyFaceEdge)]);
  if (tail) {
    buildMipTail(pixels.data(), skyFaceEdge, tail.get());
    uploadSquareMipmaps(GL_TEXTURE_2D, GL_RGB8, skyFaceEdge, pixels.data(), tail.get(), false);
  } else {
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, skyFaceEdge, skyFaceEdge, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  }
  const GLenum error = glGetError();
  if (error != GL_NO_ERROR) throw GameError{nullptr, path, "OpenGL error " + std::to_string(error) + " building its mipmaps"};
  return true;
}

void initSkyBox() {
  for (GLuint& texture : skyBox.textures) glGenTextures(1, &texture);
  for (const FaceFile& entry : faceFiles) {
    const int i = faceIndex(entry.face);
    std::string reason;
    if (!loadRawFace(skyBox.textures[i], skyBox.buffers[i], entry.path, &reason))
      throw GameError{entry.failure, entry.path, reason};
  }
}

void drawSkyBox() {
  // Half the edge: the root of half the largest float, so that the corners still square without
  // overflow.
  const float h = std::sqrt(FLT_MAX / 2.0f);

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  // Under the default modulate environment this keeps red, halves green and drops blue.
  glColor3f(1.0f, 0.5f, 0.0f);
  for (SkyFace face : drawOrder) {
    glBindTexture(GL_TEXTURE_2D, skyBox.textures[faceIndex(face)]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBegin(GL_TRIANGLE_FAN);
    for (int v = 0; v < 4; ++v) {
      const SkyCorner& c = fans[faceIndex(face)][v];
      glTexCoord2f(c.s, c.t);
      glVertex3f(c.x * h, c.y * h, c.z * h);
    }
    glEnd();
  }
  glPopAttrib();
}
