// Texture loading over the BMP and TGA readers, the extension test and the frame-buffer copy.
#include "render/texture.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <cstring>
#include <strings.h>
#include <vector>

#include "base/console.h"
#include "base/error.h"
#include "render/bmp.h"
#include "render/tga.h"
#include "render/tga_format.h"

static_assert(glColourIndex == GL_COLOR_INDEX && glLuminance == GL_LUMINANCE && glRgb == GL_RGB &&
              glBgr == GL_BGR_EXT && glBgra == GL_BGRA_EXT);

namespace {

void upload(GLenum target, bool mipmaps, GLint components, int width, int height, GLenum format,
            const void* pixels) {
  if (mipmaps)
    gluBuild2DMipmaps(target, components, width, height, format, GL_UNSIGNED_BYTE, pixels);
  else
    glTexImage2D(target, 0, components, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
}

// Colour-index pixels looked up in the image's own colour map; GL's colour-index path would map
// them through its default pixel maps instead, which turns every texel black.
bool expandColourMap(const TgaImage& image, std::vector<std::uint8_t>& rgb) {
  rgb.resize(image.pixels.size() * 3);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    std::size_t index = image.pixels[i];
    if (index >= std::size_t(image.colourMapEntries)) return false;
    std::memcpy(&rgb[i * 3], &image.colourMap[index * 3], 3);
  }
  return true;
}

}  // namespace

GLuint loadTexture(bool mipmaps, const char* path) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  loadImageIntoTexture(GL_TEXTURE_2D, mipmaps, path);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  return texture;
}

bool loadImageIntoTexture(GLenum target, bool mipmaps, const char* path) {
  if (!path) return false;
  // The extension belongs to the file name: a dot in a folder name ("run.d/plain") is no extension.
  const char* slash = std::strrchr(path, '/');
  const char* dot = std::strrchr(slash ? slash + 1 : path, '.');
  if (!dot) return false;
  if (strcasecmp(dot + 1, "bmp") == 0) return loadBmpIntoTexture(target, mipmaps, path);
  if (strcasecmp(dot + 1, "tga") == 0) return loadTgaIntoTexture(target, mipmaps, path);
  consolePrint(stdout, "oops\n");
  return false;
}

bool loadTgaIntoTexture(GLenum target, bool mipmaps, const char* path) {
  std::optional<TgaImage> image = readTgaFile(path);
  std::vector<std::uint8_t> rgb;
  if (image && image->format == glColourIndex && !expandColourMap(*image, rgb)) image.reset();
  if (!image) {
    consolePrint(stdout, "Error loading %s.\n", path ? path : "");
    return false;
  }
  if (image->format == glColourIndex)
    upload(target, mipmaps, 3, image->width, image->height, GL_RGB, rgb.data());
  else
    upload(target, mipmaps, image->components, image->width, image->height, image->format, image->pixels.data());
  return true;
}

bool loadBmpIntoTexture(GLenum target, bool mipmaps, const char* path) {
  std::optional<RgbImage> image = readBmp(path);
  if (!image) {
    consolePrint(stdout, "Error loading %s.\n", path ? path : "");
    return false;
  }
  upload(target, mipmaps, GL_RGB, image->width, image->height, GL_RGB, image->pixels.data());
  return true;
}

bool extensionListed(const char* list, const char* name) {
  if (!list || !name || !*name) return false;
  const std::size_t length = std::strlen(name);
  for (const char* found = std::strstr(list, name); found; found = std::strstr(found + length, name)) {
    char after = found[length];
    if (after == '\0' || after == ' ' || after == '\t' || after == '\n' || after == '\v' || after == '\f' ||
        after == '\r')
      return true;
  }
  return false;
}

bool hasGlExtension(const char* name) {
  return extensionListed(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

void uploadSquareMipmaps(GLenum target, GLint internalFormat, int side, const unsigned char* image,
                         const unsigned char* tail, bool refill) {
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // the small levels' rows are 6 and 3 bytes long
  for (int level = 0; side >= 1; ++level, side /= 2) {
    if (refill)
      glTexSubImage2D(target, level, 0, 0, side, side, GL_RGB, GL_UNSIGNED_BYTE, image);
    else
      glTexImage2D(target, level, internalFormat, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, image);
    image = level == 0 ? tail : image + std::size_t(side) * side * 3;
  }
  glPopClientAttrib();
}

bool levelHoldsRgb(GLenum target, int level, int width, int height) {
  GLint w = 0, h = 0, format = 0;
  glGetTexLevelParameteriv(target, level, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(target, level, GL_TEXTURE_HEIGHT, &h);
  glGetTexLevelParameteriv(target, level, GL_TEXTURE_INTERNAL_FORMAT, &format);
  return w == width && h == height && w > 0 && h > 0 && (format == 3 || format == GL_RGB || format == GL_RGB8);
}

void copyScreenToTexture(GLuint texture, unsigned char* buffer, int x, int y, int width, int height) {
  glBindTexture(GL_TEXTURE_2D, texture);
  // Once the level has this size, new pixels go into the storage it has instead of a new level.
  if (levelHoldsRgb(GL_TEXTURE_2D, 0, width, height))
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, buffer);
  else
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, buffer);
  if (GLenum error = glGetError(); error != GL_NO_ERROR)
    consolePrint(stdout, "Error building 2DMipmaps: %i\n", int(error));
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, y, width, height);
  if (GLenum error = glGetError(); error != GL_NO_ERROR) {
    consolePrint(stderr, "Error copying tex image: %i\n", int(error));
    throw GameError{};
  }
}
