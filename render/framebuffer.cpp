// The face views' off-screen frame buffers and the entry points that make them.
#include "render/framebuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cassert>
#include <cstdio>

#include "render/texture.h"

namespace {

// The frame-buffer functions, under the core or the EXT names; the EXT types are the same.
struct FramebufferEntryPoints {
  PFNGLGENFRAMEBUFFERSEXTPROC genFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSEXTPROC deleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFEREXTPROC bindFramebuffer = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DEXTPROC framebufferTexture2D = nullptr;
  PFNGLGENRENDERBUFFERSEXTPROC genRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSEXTPROC deleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFEREXTPROC bindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEEXTPROC renderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC checkFramebufferStatus = nullptr;
  PFNGLGENERATEMIPMAPEXTPROC generateMipmap = nullptr;  // optional
  PFNGLRENDERBUFFERSTORAGEMULTISAMPLEEXTPROC renderbufferStorageMultisample = nullptr;  // optional
  PFNGLBLITFRAMEBUFFEREXTPROC blitFramebuffer = nullptr;                               // optional
};

// The face views' objects; all 0 when the face views go through the window.
struct FaceFramebuffer {
  GLuint framebuffer = 0;  // its colour is the texture; single-sample, it also has the depth
  GLuint texture = 0;
  GLuint depth = 0;              // the depth buffer of the frame buffer the views are drawn into
  GLuint multisampled = 0;       // where the views are drawn when multisampled, else 0
  GLuint multisampledColour = 0;
  int side = 0;
};

FramebufferEntryPoints entry;
FaceFramebuffer face;

template <typename Function>
bool fetch(ProcLookup lookup, FramebufferApi api, const char* name, Function& into) {
  char full[64];
  std::snprintf(full, sizeof full, "%s%s", name, api == FramebufferApi::ext ? "EXT" : "");
  into = reinterpret_cast<Function>(lookup(full));
  return into != nullptr;
}

void deleteFaceFramebuffer() {
  const GLuint framebuffers[2] = {face.framebuffer, face.multisampled};
  const GLuint renderbuffers[2] = {face.depth, face.multisampledColour};
  if (entry.deleteFramebuffers) entry.deleteFramebuffers(2, framebuffers);
  if (entry.deleteRenderbuffers) entry.deleteRenderbuffers(2, renderbuffers);
  glDeleteTextures(1, &face.texture);
  face = {};
}

// A new renderbuffer of `format`, with `samples` samples a pixel when more than one, attached to
// the bound frame buffer.
GLuint attachRenderbuffer(GLenum attachment, GLenum format, int side, int samples) {
  GLuint name = 0;
  entry.genRenderbuffers(1, &name);
  entry.bindRenderbuffer(GL_RENDERBUFFER_EXT, name);
  if (samples > 1)
    entry.renderbufferStorageMultisample(GL_RENDERBUFFER_EXT, samples, format, side, side);
  else
    entry.renderbufferStorage(GL_RENDERBUFFER_EXT, format, side, side);
  entry.bindRenderbuffer(GL_RENDERBUFFER_EXT, 0);
  entry.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, attachment, GL_RENDERBUFFER_EXT, name);
  return name;
}

bool boundFramebufferComplete() {
  return entry.checkFramebufferStatus(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
}

}  // namespace

FramebufferApi framebufferApiFor(const char* extensionList) {
  if (extensionListed(extensionList, "GL_ARB_framebuffer_object")) return FramebufferApi::core;
  if (extensionListed(extensionList, "GL_EXT_framebuffer_object")) return FramebufferApi::ext;
  return FramebufferApi::none;
}

bool framebufferMultisampleFor(FramebufferApi api, const char* extensionList) {
  if (api == FramebufferApi::ext)
    return extensionListed(extensionList, "GL_EXT_framebuffer_multisample") &&
           extensionListed(extensionList, "GL_EXT_framebuffer_blit");
  return api == FramebufferApi::core;
}

bool loadFramebufferEntryPoints(FramebufferApi api, ProcLookup lookup) {
  FramebufferEntryPoints found;
  if (api == FramebufferApi::none) {
    entry = found;
    return false;
  }
  bool all = fetch(lookup, api, "glGenFramebuffers", found.genFramebuffers);
  all = fetch(lookup, api, "glDeleteFramebuffers", found.deleteFramebuffers) && all;
  all = fetch(lookup, api, "glBindFramebuffer", found.bindFramebuffer) && all;
  all = fetch(lookup, api, "glFramebufferTexture2D", found.framebufferTexture2D) && all;
  all = fetch(lookup, api, "glGenRenderbuffers", found.genRenderbuffers) && all;
  all = fetch(lookup, api, "glDeleteRenderbuffers", found.deleteRenderbuffers) && all;
  all = fetch(lookup, api, "glBindRenderbuffer", found.bindRenderbuffer) && all;
  all = fetch(lookup, api, "glRenderbufferStorage", found.renderbufferStorage) && all;
  all = fetch(lookup, api, "glFramebufferRenderbuffer", found.framebufferRenderbuffer) && all;
  all = fetch(lookup, api, "glCheckFramebufferStatus", found.checkFramebufferStatus) && all;
  fetch(lookup, api, "glGenerateMipmap", found.generateMipmap);
  fetch(lookup, api, "glRenderbufferStorageMultisample", found.renderbufferStorageMultisample);
  fetch(lookup, api, "glBlitFramebuffer", found.blitFramebuffer);
  entry = all ? found : FramebufferEntryPoints{};
  return all;
}

bool createFaceFramebuffer(int side, int samples) {
  deleteFaceFramebuffer();
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  FramebufferApi api = framebufferApiFor(extensions);
  if (!loadFramebufferEntryPoints(api, lookupGlProc)) return false;
  const bool multisampled = samples > 1;
  if (multisampled) {
    // Without multisampling the faces would lose the window's smoothing: the corner keeps it.
    if (!framebufferMultisampleFor(api, extensions) || !entry.renderbufferStorageMultisample || !entry.blitFramebuffer)
      return false;
    GLint most = 0;
    glGetIntegerv(GL_MAX_SAMPLES_EXT, &most);
    if (most < 2) return false;
    samples = std::min(samples, int(most));
  }
  while (glGetError() != GL_NO_ERROR) {
  }

  GLint boundTexture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
  glGenTextures(1, &face.texture);
  glBindTexture(GL_TEXTURE_2D, face.texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
  entry.genFramebuffers(1, &face.framebuffer);
  entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, face.framebuffer);
  entry.framebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, face.texture, 0);
  bool complete = true;
  if (multisampled) {
    // The texture only receives the resolved views; the blit that resolves them needs the same
    // colour format on both sides.
    complete = boundFramebufferComplete();
    entry.genFramebuffers(1, &face.multisampled);
    entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, face.multisampled);
    face.multisampledColour = attachRenderbuffer(GL_COLOR_ATTACHMENT0_EXT, GL_RGB8, side, samples);
  }
  // The depth goes with the frame buffer bound, the one the views are drawn into.
  face.depth = attachRenderbuffer(GL_DEPTH_ATTACHMENT_EXT, GL_DEPTH_COMPONENT24, side, samples);
  complete = complete && boundFramebufferComplete();
  entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
  glBindTexture(GL_TEXTURE_2D, GLuint(boundTexture));
  complete = complete && glGetError() == GL_NO_ERROR;
  face.side = side;
  if (!complete) deleteFaceFramebuffer();
  return complete;
}

void bindFaceFramebuffer() {
  assert(face.framebuffer && "createFaceFramebuffer succeeded");
  entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, face.multisampled ? face.multisampled : face.framebuffer);
}

void resolveFaceFramebuffer() {
  if (!face.multisampled) return;
  entry.bindFramebuffer(GL_DRAW_FRAMEBUFFER_EXT, face.framebuffer);
  entry.blitFramebuffer(0, 0, face.side, face.side, 0, 0, face.side, face.side, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, face.multisampled);
}

void bindWindowFramebuffer() {
  if (entry.bindFramebuffer) entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
}

bool faceFramebufferUpsideDown() { return face.multisampled != 0; }

GLuint faceFramebufferTexture() { return face.texture; }

bool generateFramebufferMipmaps(GLenum target) {
  if (!entry.generateMipmap) return false;
  entry.generateMipmap(target);
  return true;
}
