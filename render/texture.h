// Textures: images loaded into GL texture objects, the extension test and the screen copy.
#pragma once

#include <GL/gl.h>

// A new 2D texture (repeating, trilinear) filled from a .bmp or .tga file. The name comes back
// even when the image failed to load; the failure has then been printed.
GLuint loadTexture(bool mipmaps, const char* path);

// Upload the image at path into the texture bound to target, reader chosen by the text after
// the last dot of the file name ("bmp" or "tga", any case); a file name without a dot is refused
// silently, another extension with "oops". True when an image was uploaded.
bool loadImageIntoTexture(GLenum target, bool mipmaps, const char* path);
bool loadBmpIntoTexture(GLenum target, bool mipmaps, const char* path);
bool loadTgaIntoTexture(GLenum target, bool mipmaps, const char* path);

// Whether the space-separated list names the extension: an occurrence counts when the character
// after it is white space or the end (the one before it is not examined).
bool extensionListed(const char* list, const char* name);
// The same test on the driver's GL_EXTENSIONS string.
bool hasGlExtension(const char* name);

// Uploads a square RGB image whose side is a power of two and its mipmap chain (buildMipTail's
// `tail`), level by level, into the texture bound to `target`; with `refill` the levels already
// have these sizes and only take the new pixels. The levels are the ones gluBuild2DMipmaps makes.
void uploadSquareMipmaps(GLenum target, GLint internalFormat, int side, const unsigned char* image,
                         const unsigned char* tail, bool refill);

// Whether the level of the texture bound to `target` already holds an RGB image of this size,
// so that new pixels can be written into it without specifying it anew.
bool levelHoldsRgb(GLenum target, int level, int width, int height);

// Copies the frame-buffer rectangle with lower-left corner (x, y) into level 0 of the texture,
// first filling that level from buffer (width × height RGB bytes; the level is specified anew
// only when it does not hold that size yet). A failed copy prints its line on standard error
// and throws a GameError without a text.
void copyScreenToTexture(GLuint texture, unsigned char* buffer, int x, int y, int width, int height);
