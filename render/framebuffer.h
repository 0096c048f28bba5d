// The off-screen frame buffer of the cube map's face views: one 128 × 128 single-sample frame
// buffer with a colour texture and a depth buffer, through GL_ARB_framebuffer_object (the core
// names) or GL_EXT_framebuffer_object. Each face is drawn into it and read back in turn.
#pragma once

#include <GL/gl.h>

#include "base/gl_proc.h"

enum class FramebufferApi { none, core, ext };

// Which interface a driver with this extension list offers; the core names are preferred.
FramebufferApi framebufferApiFor(const char* extensionList);

// The entry points of `api` fetched through `lookup`; true only when every one was found.
// glGenerateMipmap is optional and fetched as well (generateFramebufferMipmaps tells).
bool loadFramebufferEntryPoints(FramebufferApi api, ProcLookup lookup);

// Start-up: makes the frame buffer of side × side pixels when the driver has an interface for
// it and it is complete; otherwise leaves nothing behind and returns false. Prints nothing: the
// face views then go through the window's corner.
bool createFaceFramebuffer(int side);

// Draws go to the face views' frame buffer, or back to the window.
void bindFaceFramebuffer();
void bindWindowFramebuffer();

// The colour texture (GL_TEXTURE_2D, RGB, one level) the face views are drawn into.
GLuint faceFramebufferTexture();

// Has the GL build the mipmap chain of the texture bound to `target` from its level 0; false
// when the driver offers no glGenerateMipmap.
bool generateFramebufferMipmaps(GLenum target);
