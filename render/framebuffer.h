// The off-screen frame buffer of the cube map's face views: 128 × 128 pixels with a colour
// texture and a depth buffer, through GL_ARB_framebuffer_object (the core names) or
// GL_EXT_framebuffer_object. Under a multisampled window the views are drawn into a frame buffer
// with the window's samples and resolved into the texture, so a face is smoothed as the window's
// corner would smooth it. Each face is drawn into it and read back in turn.
#pragma once

#include <GL/gl.h>

#include "base/gl_proc.h"

enum class FramebufferApi { none, core, ext };

// Which interface a driver with this extension list offers; the core names are preferred.
FramebufferApi framebufferApiFor(const char* extensionList);

// Whether that interface can also make multisampled frame buffers and resolve them with a blit:
// always with the core names; with the EXT names only where GL_EXT_framebuffer_multisample and
// GL_EXT_framebuffer_blit are listed too.
bool framebufferMultisampleFor(FramebufferApi api, const char* extensionList);

// The entry points of `api` fetched through `lookup`; true only when every one was found.
// glGenerateMipmap, glRenderbufferStorageMultisample and glBlitFramebuffer are optional and
// fetched as well (generateFramebufferMipmaps tells of the first; createFaceFramebuffer needs the
// other two only for a multisampled frame buffer).
bool loadFramebufferEntryPoints(FramebufferApi api, ProcLookup lookup);

// Start-up: makes the frame buffer of side × side pixels with `samples` samples a pixel (at most
// the driver's maximum; 0 or 1 for a single-sample one) when the driver has an interface for it
// and it is complete; otherwise leaves nothing behind and returns false. Prints nothing: the face
// views then go through the window's corner.
bool createFaceFramebuffer(int side, int samples);

// Draws go to the face views' frame buffer, or back to the window.
void bindFaceFramebuffer();
void bindWindowFramebuffer();

// After a view is drawn: its picture into the colour texture (a multisampled frame buffer is
// resolved into it; a single-sample one draws there directly). The face frame buffer stays bound.
void resolveFaceFramebuffer();

// Whether the views are to be drawn upside down into the frame buffer: a multisampled one. Mesa
// keeps a window's rows top first and a frame buffer object's bottom first, and places a pixel's
// samples the same way in memory; so upside down, each pixel's samples lie where the window's
// corner has them, and the faces come out as the corner's would (else up to 4 % of a face's
// pixels differ, on the edges, by a sample's share).
bool faceFramebufferUpsideDown();

// The colour texture (GL_TEXTURE_2D, RGB, one level) that holds the face view last resolved.
GLuint faceFramebufferTexture();

// Has the GL build the mipmap chain of the texture bound to `target` from its level 0; false
// when the driver offers no glGenerateMipmap.
bool generateFramebufferMipmaps(GLenum target);
