// The bump-mapped floor: DOT3 lighting of a normal map on two texture units, then a second pass
// that multiplies the frame buffer by the base texture.
#include "render/floor.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/freeglut.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <new>

#include "base/console.h"
#include "base/error.h"
#include "render/texture.h"

namespace {

// The eight ARB multitexture functions, fetched by name at start-up.
struct MultitextureEntryPoints {
  PFNGLACTIVETEXTUREARBPROC activeTexture = nullptr;
  PFNGLCLIENTACTIVETEXTUREARBPROC clientActiveTexture = nullptr;
  PFNGLMULTITEXCOORD1FARBPROC multiTexCoord1f = nullptr;
  PFNGLMULTITEXCOORD1FVARBPROC multiTexCoord1fv = nullptr;
  PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2f = nullptr;
  PFNGLMULTITEXCOORD2FVARBPROC multiTexCoord2fv = nullptr;
  PFNGLMULTITEXCOORD3FARBPROC multiTexCoord3f = nullptr;
  PFNGLMULTITEXCOORD3FVARBPROC multiTexCoord3fv = nullptr;
};

// The floor's GL objects and the light vectors of its corners; one for the whole run.
struct BumpFloor {
  float vertices[4][3];        // the corners, floor frame
  float texCoords[4][2];       // base and normal-map coordinates: 100 repeats across the square
  float lightVectors[4][3];    // unit vectors from each corner to the light, refreshed per draw
  GLuint normalMap = 0;        // "normal2.bmp"
  GLuint baseTexture = 0;      // "block.bmp"
  GLuint normalisationMap = 0; // cube map of unit directions, 0 when it could not be built
};

MultitextureEntryPoints multitexture;
BumpFloor bumpFloor;

constexpr int normalisationEdge = 32;  // texels per side of each cube face

template <typename Function>
bool fetch(ProcLookup lookup, const char* name, Function& into) {
  into = reinterpret_cast<Function>(lookup(name));
  return into != nullptr;
}

// Unsupported features end the start-up: the message, then the integer the handler reports.
void requireExtension(const char* extension, const char* missingText) {
  if (!hasGlExtension(extension)) {
    consolePrint(stdout, "%s", missingText);
    throw GameError{};
  }
}

}  // namespace

std::uint8_t packUnitComponent(float component) {
  // 127·c + 128 lies in 1..255 for c in -1..1; the conversion truncates towards zero.
  return static_cast<std::uint8_t>(127.0f * component + 128.0f);
}

FloorVector cubeFaceVector(int face, int edge, int column, int row) {
  const float s = 2.0f * (static_cast<float>(column) + 0.5f) / static_cast<float>(edge) - 1.0f;
  const float t = 2.0f * (static_cast<float>(row) + 0.5f) / static_cast<float>(edge) - 1.0f;
  FloorVector d{};
  switch (face) {
    case 0: d = {1.0f, -t, -s}; break;
    case 1: d = {-1.0f, -t, s}; break;
    case 2: d = {s, 1.0f, t}; break;
    case 3: d = {s, -1.0f, -t}; break;
    case 4: d = {s, -t, 1.0f}; break;
    default: d = {-s, -t, -1.0f}; break;
  }
  const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  return {d.x / length, d.y / length, d.z / length};
}

void fillNormalisationFace(int face, int edge, std::span<std::uint8_t> texels) {
  for (int k = 0; k < edge; ++k) {
    for (int j = 0; j < edge; ++j) {
      const FloorVector d = cubeFaceVector(face, edge, j, k);
      std::uint8_t* texel = &texels[3 * (static_cast<std::size_t>(k) * edge + j)];
      texel[0] = packUnitComponent(d.x);
      texel[1] = packUnitComponent(d.y);
      texel[2] = packUnitComponent(d.z);
    }
  }
}

FloorVector directionToLight(FloorVector light, FloorVector point) {
  const FloorVector d{light.x - point.x, light.y - point.y, light.z - point.z};
  const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  if (length == 0.0f) return {0.0f, 0.0f, 1.0f};
  return {d.x / length, d.y / length, d.z / length};
}

bool loadMultitextureEntryPoints(ProcLookup lookup) {
  MultitextureEntryPoints found;
  bool all = fetch(lookup, "glActiveTextureARB", found.activeTexture);
  all = fetch(lookup, "glClientActiveTextureARB", found.clientActiveTexture) && all;
  all = fetch(lookup, "glMultiTexCoord1fARB", found.multiTexCoord1f) && all;
  all = fetch(lookup, "glMultiTexCoord1fvARB", found.multiTexCoord1fv) && all;
  all = fetch(lookup, "glMultiTexCoord2fARB", found.multiTexCoord2f) && all;
  all = fetch(lookup, "glMultiTexCoord2fvARB", found.multiTexCoord2fv) && all;
  all = fetch(lookup, "glMultiTexCoord3fARB", found.multiTexCoord3f) && all;
  all = fetch(lookup, "glMultiTexCoord3fvARB", found.multiTexCoord3fv) && all;
  multitexture = found;
  return all;
}

bool loadMultitextureEntryPoints() { return loadMultitextureEntryPoints(lookupGlProc); }

unsigned buildNormalisationCubeMap(int edge) {
  if (edge <= 0 || edge > 4096) return 0;
  const std::size_t bytes = static_cast<std::size_t>(edge) * edge * 3;
  std::unique_ptr<std::uint8_t[]> texels(new (std::nothrow) std::uint8_t[bytes]);
  if (!texels) return 0;

  GLuint name = 0;
  glGenTextures(1, &name);
  glEnable(GL_TEXTURE_CUBE_MAP_ARB);
  glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  for (int face = 0; face < 6; ++face) {
    fillNormalisationFace(face, edge, std::span<std::uint8_t>(texels.get(), bytes));
    glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face, 0, GL_RGB, edge, edge, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 texels.get());
  }
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glDisable(GL_TEXTURE_CUBE_MAP_ARB);
  return name;
}

void initFloor() {
  consolePrint(stdout, "Initializing floor...");
  logOk();
  requireExtension("GL_ARB_texture_env_combine", "ARB_texture_env_combine NOT supported.\n");
  requireExtension("GL_ARB_texture_cube_map", "ARB_texture_cube_map NOT supported.\n");
  requireExtension("GL_ARB_texture_env_dot3", "ARB_texture_env_dot3 NOT supported.\n");
  if (!loadMultitextureEntryPoints()) throw GameError{failureText::multitexture};

  for (int i = 0; i < 4; ++i) {
    bumpFloor.vertices[i][0] = floorCorners[i].x;
    bumpFloor.vertices[i][1] = floorCorners[i].y;
    bumpFloor.vertices[i][2] = floorCorners[i].z;
    bumpFloor.texCoords[i][0] = floorTexCoords[i][0];
    bumpFloor.texCoords[i][1] = floorTexCoords[i][1];
  }
  bumpFloor.normalMap = loadTexture(true, "normal2.bmp");
  bumpFloor.baseTexture = loadTexture(true, "block.bmp");
  bumpFloor.normalisationMap = buildNormalisationCubeMap(normalisationEdge);
  // The second floor pass and the sky box (at the cleared depth 1.0) both draw at depths already
  // in the buffer: they pass only with LEQUAL, which stays for the rest of the run.
  glDepthFunc(GL_LEQUAL);
}

void drawFloor() {
  // initFloor has not run (or failed): there is nothing to draw with.
  if (!multitexture.activeTexture || !multitexture.multiTexCoord2fv || !multitexture.multiTexCoord3fv) return;

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glColor3f(1.0f, 1.0f, 1.0f);

  // A unit that combines its own texel first.
  auto combiningUnit = [](GLenum unit, GLenum target, GLuint texture) {
    multitexture.activeTexture(unit);
    glEnable(target);
    glBindTexture(target, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_TEXTURE);
  };
  // Unit 0 hands on the normal-map texel unchanged.
  combiningUnit(GL_TEXTURE0_ARB, GL_TEXTURE_2D, bumpFloor.normalMap);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_REPLACE);

  // Unit 1 dots the normalised light direction with that normal, into all three channels.
  combiningUnit(GL_TEXTURE1_ARB, GL_TEXTURE_CUBE_MAP_ARB, bumpFloor.normalisationMap);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_PREVIOUS_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_DOT3_RGB_ARB);

  for (int i = 0; i < 4; ++i) {
    const FloorVector l = directionToLight(floorLightPosition, floorCorners[i]);
    bumpFloor.lightVectors[i][0] = l.x;
    bumpFloor.lightVectors[i][1] = l.y;
    bumpFloor.lightVectors[i][2] = l.z;
  }

  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    multitexture.multiTexCoord2fv(GL_TEXTURE0_ARB, bumpFloor.texCoords[i]);
    multitexture.multiTexCoord3fv(GL_TEXTURE1_ARB, bumpFloor.lightVectors[i]);
    glVertex3fv(bumpFloor.vertices[i]);
  }
  glEnd();

  // Second pass: unit 0 now replaces with the base texel, unit 1 passes it on, and the blend
  // multiplies the lighting already in the frame buffer by it.
  multitexture.activeTexture(GL_TEXTURE0_ARB);
  glBindTexture(GL_TEXTURE_2D, bumpFloor.baseTexture);
  multitexture.activeTexture(GL_TEXTURE1_ARB);
  glDisable(GL_TEXTURE_CUBE_MAP_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);

  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    multitexture.multiTexCoord2fv(GL_TEXTURE0_ARB, bumpFloor.texCoords[i]);
    glVertex3fv(bumpFloor.vertices[i]);
  }
  glEnd();

  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glPopAttrib();
}
