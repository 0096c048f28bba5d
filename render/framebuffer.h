// Off-screen frame buffers for the cube map's six face views: one 128 × 128 single-sample frame
// buffer per face, each with a colour texture of its own and one shared depth buffer, through
// GL_ARB_framebuffer_object (the core names) or GL_EXT_framebuffer_object.
#pragma once

#include <GL/gl.h>

#include "render/gl_proc.h"

enum class FramebufferApi { none, core, ext };

// Which interface a driver with this extension list offers; the core names are preferred.
FramebufferApi framebufferApiFor(const char* extensionList);

// The entry points of `api` fetched through `lookup`; true only when every one was found.
// glGenerateMipmap is optional and fetched as well (generateFramebufferMipmaps tells).
bool loadFramebufferEntryPoints(FramebufferApi api, ProcLookup lookup);

// Start-up: makes the six frame buffers of side × side pixels when the driver has an interface
// for them and each is complete; otherwise leaves none behind and returns false. Prints nothing:
// the face views then go through the window's corner as before.
bool createFaceFramebuffers(int side);

// Draws go to face 0..5's frame buffer, or back to the window.
void bindFaceFramebuffer(int face);
void bindWindowFramebuffer();

// The colour texture (GL_TEXTURE_2D, RGB, one level) that face 0..5 is drawn into.
GLuint faceFramebufferTexture(int face);

// Has the GL build the mipmap chain of the texture bound to `target` from its level 0; false
// when the driver offers no glGenerateMipmap.
bool generateFramebufferMipmaps(GLenum target);
