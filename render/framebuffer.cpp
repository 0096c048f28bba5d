// The face views' off-screen frame buffers and the entry points that make them.
#include "render/framebuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>

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
};

// The face views' objects; all 0 when the face views go through the window.
struct FaceFramebuffer {
  GLuint framebuffer = 0;
  GLuint texture = 0;
  GLuint depth = 0;
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
  if (entry.deleteFramebuffers) entry.deleteFramebuffers(1, &face.framebuffer);
  if (entry.deleteRenderbuffers && face.depth) entry.deleteRenderbuffers(1, &face.depth);
  glDeleteTextures(1, &face.texture);
  face = {};
}

}  // namespace

FramebufferApi framebufferApiFor(const char* extensionList) {
  if (extensionListed(extensionList, "GL_ARB_framebuffer_object")) return FramebufferApi::core;
  if (extensionListed(extensionList, "GL_EXT_framebuffer_object")) return FramebufferApi::ext;
  return FramebufferApi::none;
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
  entry = all ? found : FramebufferEntryPoints{};
  return all;
}

bool createFaceFramebuffer(int side) {
  if (face.depth) deleteFaceFramebuffer();
  FramebufferApi api = framebufferApiFor(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
  if (!loadFramebufferEntryPoints(api, lookupGlProc)) return false;
  while (glGetError() != GL_NO_ERROR) {
  }

  GLint boundTexture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
  entry.genRenderbuffers(1, &face.depth);
  entry.bindRenderbuffer(GL_RENDERBUFFER_EXT, face.depth);
  entry.renderbufferStorage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, side, side);
  entry.bindRenderbuffer(GL_RENDERBUFFER_EXT, 0);
  glGenTextures(1, &face.texture);
  entry.genFramebuffers(1, &face.framebuffer);
  glBindTexture(GL_TEXTURE_2D, face.texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
  entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, face.framebuffer);
  entry.framebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, face.texture, 0);
  entry.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, face.depth);
  bool complete = entry.checkFramebufferStatus(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
  entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
  glBindTexture(GL_TEXTURE_2D, GLuint(boundTexture));
  complete = complete && glGetError() == GL_NO_ERROR;
  if (!complete) deleteFaceFramebuffer();
  return complete;
}

void bindFaceFramebuffer() {
  assert(face.framebuffer && "createFaceFramebuffer succeeded");
  entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, face.framebuffer);
}

void bindWindowFramebuffer() {
  if (entry.bindFramebuffer) entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
}

GLuint faceFramebufferTexture() { return face.texture; }

bool generateFramebufferMipmaps(GLenum target) {
  if (!entry.generateMipmap) return false;
  entry.generateMipmap(target);
  return true;
}
