// GLUT's solid sphere without the models' client arrays.
#include "render/solid_sphere.h"

#include <GL/freeglut.h>

void drawSolidSphere(double radius, int slices, int stacks) {
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_INDEX_ARRAY);
  glDisableClientState(GL_EDGE_FLAG_ARRAY);
  glutSolidSphere(radius, slices, stacks);
  glPopClientAttrib();
}
