// The face views' off-screen frame buffers and the entry points that make them.
#include "render/framebuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <array>
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

// The six faces' objects; all 0 when the face views go through the window.
struct FaceFramebuffers {
  std::array<GLuint, 6> framebuffers{};
  std::array<GLuint, 6> textures{};
  GLuint depth = 0;  // one depth buffer serves every face: each view clears it first
};

FramebufferEntryPoints entry;
FaceFramebuffers faces;

template <typename Function>
bool fetch(ProcLookup lookup, FramebufferApi api, const char* name, Function& into) {
  char full[64];
  std::snprintf(full, sizeof full, "%s%s", name, api == FramebufferApi::ext ? "EXT" : "");
  into = reinterpret_cast<Function>(lookup(full));
  return into != nullptr;
}

void deleteFaceFramebuffers() {
  if (entry.deleteFramebuffers) entry.deleteFramebuffers(6, faces.framebuffers.data());
  if (entry.deleteRenderbuffers && faces.depth) entry.deleteRenderbuffers(1, &faces.depth);
  glDeleteTextures(6, faces.textures.data());
  faces = {};
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

bool createFaceFramebuffers(int side) {
  if (faces.depth) deleteFaceFramebuffers();
  FramebufferApi api = framebufferApiFor(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
  if (!loadFramebufferEntryPoints(api, lookupGlProc)) return false;
  while (glGetError() != GL_NO_ERROR) {
  }

  GLint boundTexture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
  entry.genRenderbuffers(1, &faces.depth);
  entry.bindRenderbuffer(GL_RENDERBUFFER_EXT, faces.depth);
  entry.renderbufferStorage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, side, side);
  entry.bindRenderbuffer(GL_RENDERBUFFER_EXT, 0);
  glGenTextures(6, faces.textures.data());
  entry.genFramebuffers(6, faces.framebuffers.data());
  bool complete = true;
  for (int i = 0; i < 6 && complete; ++i) {
    glBindTexture(GL_TEXTURE_2D, faces.textures[i]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, faces.framebuffers[i]);
    entry.framebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, faces.textures[i], 0);
    entry.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, faces.depth);
    complete = entry.checkFramebufferStatus(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
  }
  entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
  glBindTexture(GL_TEXTURE_2D, GLuint(boundTexture));
  complete = complete && glGetError() == GL_NO_ERROR;
  if (!complete) deleteFaceFramebuffers();
  return complete;
}

void bindFaceFramebuffer(int face) {
  assert(face >= 0 && face < 6 && faces.framebuffers[std::size_t(face)] && "createFaceFramebuffers succeeded");
  entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, faces.framebuffers[std::size_t(face)]);
}

void bindWindowFramebuffer() {
  if (entry.bindFramebuffer) entry.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
}

GLuint faceFramebufferTexture(int face) {
  assert(face >= 0 && face < 6);
  return faces.textures[std::size_t(face)];
}

bool generateFramebufferMipmaps(GLenum target) {
  if (!entry.generateMipmap) return false;
  entry.generateMipmap(target);
  return true;
}
