// The current view's frustum, read from the GL.
#include <GL/gl.h>

#include "render/frustum.h"

Frustum currentViewFrustum() {
  float projection[16], modelview[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  return frustumFromMatrices(projection, modelview);
}
